#pragma once

// The device laws the curves are synthesised from. Units: volts, amperes, ohms.
namespace PreampCurves {

// Koren's triode law: with
//   E1 = (Vp / kp) ln(1 + exp(kp (1/mu + Vg / sqrt(kvb + Vp^2)))),
// the plate current is Ip = E1^ex / kg1. The defaults are the published 12AX7
// constants; a fit may move kp (the sharpness of cut-off) and ex (the power
// law of conduction) to match a measured stage.
struct Triode {
    double mu = 100.0;
    double ex = 1.4;
    double kg1 = 1060.0;
    double kp = 600.0;
    double kvb = 300.0;

    double plateCurrent(double vp, double vg) const;
};

// Common-cathode triode stage with a plate load to the supply and an unbypassed
// cathode resistor to ground. The curve's input x reaches the grid as
// bias + inputScale x; grid current through the source impedance keeps the grid
// from rising above about gridLimit, modelled as a smooth minimum with the
// width gridKnee. The plate current solves
//   Ip = Ip_triode(supply - (plateLoad + cathodeLoad) Ip, Vg - cathodeLoad Ip)
// and the output is the plate voltage supply - plateLoad Ip.
struct TriodeStage {
    Triode triode;
    double supply = 300.0;
    double plateLoad = 100e3;
    double cathodeLoad = 1e3;
    double bias = -1.0;
    double inputScale = 0.5;
    double gridLimit = 0.0;
    double gridKnee = 0.2;

    double gridVoltage(double x) const;
    double plateVoltage(double x) const;
};

// A diode (saturation current is, emission voltage nVt = n kT/q) in series with
// a resistance r, driven by the voltage v: the Shockley equation
//   v = nVt ln(1 + I / is) + r I
// solved in closed form, I = (nVt / r) W((is r / nVt) e^((v + is r) / nVt)) - is.
struct DiodeWithSeriesR {
    double is = 1e-12;
    double nVt = 0.05;
    double r = 100.0;

    double current(double v) const;
};

// An LED behind a driver whose output current is limited: a leakage floor plus
// the diode current, softly limited to limitA with the sharpness limitOrder,
//   I = floor + Id / (1 + (Id / limitA)^p)^(1/p).
struct LedDriver {
    DiodeWithSeriesR diode;
    double floorA = 1e-10;
    double limitA = 0.03;
    double limitOrder = 4.0;

    double current(double v) const;
};

// The output of a stage that passes its input with one small gain below a
// knee and a larger one above it (a cathode follower leaving cut-off): two
// straight asymptotes joined by a softplus knee of width knee at xKnee.
struct FollowerKnee {
    double offset = 0.0;
    double lowGain = 0.2;
    double highGain = 1.0;
    double xKnee = 0.0;
    double knee = 10.0;

    double output(double x) const;
};

} // namespace PreampCurves
