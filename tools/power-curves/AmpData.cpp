#include "AmpData.h"

namespace power_curves {

float knotX(Range range, int k)
{
    const float span = range.x1 - range.x0;
    return static_cast<float>(k) * span / 180.0f + range.x0;
}

namespace {

// The values at k = 0, 90, 180 of the output, plate and screen tables of one triple.
void addRows(std::vector<Pin>& pins, int triple, std::array<double, 3> v, std::array<double, 3> i1,
             std::array<double, 3> i2)
{
    const int ks[3] = {0, 90, 180};
    for (int j = 0; j < 3; ++j) {
        pins.push_back({triple, kV, ks[j], v[j]});
        pins.push_back({triple, kI1, ks[j], i1[j]});
        pins.push_back({triple, kI2, ks[j], i2[j]});
    }
}

// The fifth output table at k = 45, 80, 89, 91, 100, 135 (its values at 0, 90 and 180 are in
// the triple's rows, written there with these digits).
void addFifthOutput(std::vector<Pin>& pins, std::array<double, 6> v)
{
    const int ks[6] = {45, 80, 89, 91, 100, 135};
    for (int j = 0; j < 6; ++j)
        pins.push_back({5, kV, ks[j], v[j]});
}

// Two or four 6L6GCs, one or two a side.
Stage v9eStart(int tubesPerSide, double loadOhms)
{
    Stage s;
    s.tube = k6L6GC;
    s.tube.ex = 1.5;
    s.tube.kp = 0.0;
    s.tube.kvb = 1.0;
    s.tubesPerSide = tubesPerSide;
    s.driveScale = 19.3;
    s.bias = -47.66;
    s.loadOhms = loadOhms;
    s.outputScale = 0.08;
    return s;
}

} // namespace

std::vector<AmpData> ampData()
{
    std::vector<AmpData> amps;

    // Calibrated constants (indices of Calibration.cpp): 0 driveScale, 1 bias, 2 driveBalance,
    // 3 biasMismatch, 4 loadOhms, 5 outputScale, 6 plateScale, 7 screenScale, 9 kp, 10 kvb,
    // 11 screenReturn, 12 ex. The starting points come from hand estimates: the cut-off screen
    // voltage that the idle currents of triples 1, 5 and 9 imply under a 3/2-power law gives the
    // bias, the small-signal slope the drive scale, and the plateau over the end currents the
    // product of load and output scale.
    //
    // The V9E's screens are fed well below their plates' supply; its pentodes saturate with a
    // sharp knee (kvb 1 V) and cut off hard (kp = 0: both currents are exactly zero at triple 1's
    // idle), and the screen current follows Koren's screen term alone.
    {
        AmpData a;
        a.name = "PowerAmpBorvanV9E_50WTraitsDetails";
        a.label = "V9E 50W";
        a.axis0 = {415.0, 485.0, 500.0};
        a.axis1 = {410.0, 484.0, 510.0};
        a.vRange = {-4.0f, 4.0f};
        a.currentRanges = {{{-3.991664f, 3.994311f},
                            {-4.007744f, 3.991383f},
                            {-4.007298f, 3.993786f},
                            {-4.007471f, 3.995144f},
                            {-4.007871f, 3.994292f},
                            {-4.007441f, 3.993977f},
                            {-4.007795f, 3.992853f},
                            {-4.007626f, 3.994199f},
                            {-4.007601f, 3.994023f}}};
        addRows(a.pins, 1, {-30.758, 0.0, 30.733}, {-0.3426, 0.0, -0.3449},
                {-0.04051, 0.0, -0.04042});
        addRows(a.pins, 5, {-36.0107, 0.0, 36.5584}, {-0.4041, -0.0533, -0.4069},
                {-0.05014, -0.00439, -0.05005});
        addRows(a.pins, 9, {-37.621, 0.0, 37.298}, {-0.4172, -0.0859, -0.4202},
                {-0.05383, -0.00706, -0.05373});
        addFifthOutput(a.pins, {-34.526, -7.11457, -0.769709, 0.771601, 7.40713, 35.1302});
        a.vMin = -36.0107;
        a.vMax = 36.5717;
        a.slopeAtZero = 17.3;
        a.zeroAtOrigin = true;
        a.stage = v9eStart(1, 1100.0);
        a.freeParameters = {0, 1, 2, 4, 5, 6, 7, 12};
        amps.push_back(a);
    }
    {
        AmpData a;
        a.name = "PowerAmpBorvanV9E_100WTraitsDetails";
        a.label = "V9E 100W";
        a.axis0 = {415.0, 485.0, 500.0};
        a.axis1 = {410.0, 484.0, 510.0};
        a.vRange = {-4.0f, 4.0f};
        a.currentRanges = {{{-3.991743f, 3.995083f},
                            {-4.008368f, 3.993383f},
                            {-4.007529f, 3.994274f},
                            {-4.00742f, 3.9939f},
                            {-4.007343f, 3.995054f},
                            {-4.00825f, 3.993973f},
                            {-4.007771f, 3.99436f},
                            {-4.007673f, 3.994322f},
                            {-4.007597f, 3.993297f}}};
        addRows(a.pins, 1, {-32.928, 0.0, 32.906}, {-0.3666, 0.0, -0.3694},
                {-0.09161, 0.0, -0.09138});
        addRows(a.pins, 5, {-38.6, 0.0, 38.7986}, {-0.431, -0.1063, -0.4344},
                {-0.11258, -0.00876, -0.11232});
        addRows(a.pins, 9, {-38.867, 0.0, 40.967}, {-0.4447, -0.1714, -0.4483},
                {-0.12071, -0.0141, -0.12043});
        addFifthOutput(a.pins, {-38.5897, -13.9707, -1.49286, 1.49563, 14.3385, 38.8081});
        a.vMin = -38.6415;
        a.vMax = 38.81;
        a.slopeAtZero = 33.6;
        a.zeroAtOrigin = true;
        a.stage = v9eStart(2, 550.0);
        a.freeParameters = {0, 1, 2, 4, 5, 6, 7, 12};
        amps.push_back(a);
    }
    {
        AmpData a;
        a.name = "PowerAmpBorvanRKMClassicHeadTraitsDetails";
        a.label = "RKM Classic";
        a.axis0 = {400.0, 660.0, 750.0};
        a.axis1 = {280.0, 345.0, 450.0};
        a.vRange = {-30.0f, 30.0f};
        a.currentRanges = {{{-29.99967f, 29.99483f},
                            {-30.11761f, 29.9951f},
                            {-30.11657f, 29.99758f},
                            {-30.11581f, 29.9928f},
                            {-30.11713f, 29.98017f},
                            {-30.11665f, 29.97908f},
                            {-30.1177f, 29.89877f},
                            {-30.11737f, 29.92129f},
                            {-30.117f, 29.99166f}}};
        addRows(a.pins, 1, {-38.255, 0.0001, 38.38}, {-0.4748, 0.0029, -0.4774},
                {-0.06846, -0.00285, -0.06546});
        addRows(a.pins, 5, {-63.9557, -0.797893, 63.9459}, {-0.7962, -0.0569, -0.7974},
                {-0.07866, -0.006, -0.07648});
        addRows(a.pins, 9, {-73.155, -2.3367, 73.135}, {-0.9102, -0.7503, -0.9127},
                {-0.55927, -0.04249, -0.5563});
        addFifthOutput(a.pins, {-29.5423, -7.0818, -1.4913, -0.10125, 5.99544, 28.019});
        a.vMin = -63.9591;
        a.vMax = 63.9566;
        a.slopeAtZero = 2.09;
        a.zeroAtOrigin = false;
        // Six 6550s, three a side. Their idle current at triple 9 is high, and a saturated
        // plate there hands most of the turned-back current to the screen.
        Stage s;
        s.tube = k6550;
        s.tube.ex = 1.5;
        s.tube.kp = 500.0;
        s.tube.kvb = 5.0;
        s.tubesPerSide = 3;
        s.driveScale = 0.889;
        s.bias = -40.76;
        s.loadOhms = 750.0;
        s.outputScale = 0.107;
        s.screenReturn = 0.3;
        a.stage = s;
        a.freeParameters = {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12};
        amps.push_back(a);
    }
    return amps;
}

} // namespace power_curves
