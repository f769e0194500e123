#pragma once

// A push-pull output stage of pentodes or beam tetrodes driven in class AB, solved statically:
// for a drive x and the two supplies of a grid point it gives the scaled output voltage and the
// summed plate and screen currents.

namespace power_curves {

// Koren's pentode equation (1996):
//   E1  = (Eg2 / kp) ln(1 + exp(kp (1/mu + Eg1 / Eg2)))
//   Ip  = 2 E1^ex / kg1 * atan(Ep / kvb)
//   Ig2 = E1^ex / kg2 + r 2 E1^ex / kg1 (pi/2 - atan(Ep / kvb))
// The screen takes the smooth cut-off term E1 as well, so both currents vanish together below
// cut-off; kp = 0 stands for the limit kp -> infinity, E1 = max(0, Eg2/mu + Eg1), a hard cut-off
// below which both currents are exactly zero. The plate current's atan knee is what flattens the
// output once a plate nears its floor. Koren's screen current ignores the plate; the second screen
// term hands the screen the share r of the current that a plate below its knee turns back (r = 1
// keeps the cathode current independent of the plate), which is why a saturated stage draws so much
// screen current.
struct Pentode {
    double mu;
    double ex;
    double kg1;
    double kp;
    double kvb;
    double kg2;
};

// Published constants of the tube types used here.
constexpr Pentode k6L6GC{8.7, 1.35, 1460.0, 48.0, 12.0, 4500.0};
constexpr Pentode k6550{7.9, 1.35, 890.0, 60.0, 24.0, 4200.0};

// The stage around the tubes: the phase inverter drives the two grids in opposite directions
// from a fixed bias, the plates hang on the two halves of the output transformer's primary (a
// centre tap on the plate supply s0), the screens sit on the screen supply s1.
struct Stage {
    Pentode tube;
    int tubesPerSide = 1;
    double driveScale = 20.0;  // grid volts per unit of drive x
    double bias = -45.0;       // grid bias of both sides, volts
    double driveBalance = 0.0; // the inverter's imbalance: side A gets (1 + b), side B (1 - b)
    double biasMismatch = 0.0; // volts added to side B's bias (unequal tubes)
    double loadOhms = 1000.0;  // load reflected across one half of the primary
    double outputScale = 0.08; // output volts per volt across one half of the primary
    double plateScale = 1.0;   // multiplies the plate current (cathode area, emission)
    double screenScale = 1.0;  // multiplies the screen current (screen/plate split)
    double screenReturn = 0.0; // share of the current a low plate turns back that the screen takes
};

struct Currents {
    double plate;
    double screen;
};

// One tube's currents at grid, screen and plate voltages.
Currents pentodeCurrents(const Pentode& tube, double eg1, double eg2, double ep,
                         double screenReturn);

struct StagePoint {
    double v;  // scaled output voltage
    double i1; // -(sum of plate currents), amperes
    double i2; // -(sum of screen currents), amperes
};

// Solves the primary's half voltage e of the stage at drive x and supplies (s0, s1):
//   e = R (n ipA(s0 - e) - n ipB(s0 + e)),
// which has one root in (-s0, s0) because its right side falls as e grows. With equal drive
// and bias on both sides (x = 0, no mismatch) the root is exactly 0.
StagePoint solveStage(const Stage& stage, double x, double s0, double s1);

} // namespace power_curves
