#include "Calibration.h"

#include "LeastSquares.h"

#include <cmath>

namespace power_curves {

namespace {

// Each calibrated constant moves in an unconstrained coordinate: the logarithm of those that
// must stay positive (and of the bias's magnitude), the value itself for the two imbalances.
// Indices: 0 driveScale, 1 bias, 2 driveBalance, 3 biasMismatch, 4 loadOhms, 5 outputScale,
// 6 plateScale, 7 screenScale, 8 mu, 9 kp, 10 kvb, 11 screenReturn, 12 ex.
double& slot(Stage& s, int index)
{
    switch (index) {
    case 0:
        return s.driveScale;
    case 1:
        return s.bias;
    case 2:
        return s.driveBalance;
    case 3:
        return s.biasMismatch;
    case 4:
        return s.loadOhms;
    case 5:
        return s.outputScale;
    case 6:
        return s.plateScale;
    case 7:
        return s.screenScale;
    case 8:
        return s.tube.mu;
    case 9:
        return s.tube.kp;
    case 10:
        return s.tube.kvb;
    case 11:
        return s.screenReturn;
    default:
        return s.tube.ex;
    }
}

bool isLinear(int index)
{
    return index == 2 || index == 3;
}

std::vector<double> encode(const AmpData& amp, const Stage& stage)
{
    std::vector<double> p;
    Stage s = stage;
    for (int index : amp.freeParameters) {
        const double v = slot(s, index);
        p.push_back(isLinear(index) ? v : std::log(std::fabs(v)));
    }
    return p;
}

Stage decode(const AmpData& amp, const std::vector<double>& p)
{
    Stage s = amp.stage;
    for (std::size_t j = 0; j < p.size(); ++j) {
        const int index = amp.freeParameters[j];
        double& v = slot(s, index);
        v = isLinear(index) ? p[j] : (index == 1 ? -std::exp(p[j]) : std::exp(p[j]));
    }
    return s;
}

double floorOf(Kind kind)
{
    switch (kind) {
    case kV:
        return 1.0;
    case kI1:
        return 0.01;
    default:
        return 0.002;
    }
}

} // namespace

double modelValue(const AmpData& amp, const Stage& stage, int triple, Kind kind, int k)
{
    const Range range = kind == kV ? amp.vRange : amp.currentRanges[triple - 1];
    const StagePoint p =
        solveStage(stage, knotX(range, k), supply0(amp, triple), supply1(amp, triple));
    return kind == kV ? p.v : (kind == kI1 ? p.i1 : p.i2);
}

double modelSlopeAtZero(const AmpData& amp, const Stage& stage, int triple)
{
    const double h = 1e-4 * (amp.vRange.x1 - amp.vRange.x0);
    const double s0 = supply0(amp, triple);
    const double s1 = supply1(amp, triple);
    return (solveStage(stage, h, s0, s1).v - solveStage(stage, -h, s0, s1).v) / (2.0 * h);
}

const char* parameterName(int index)
{
    static const char* const names[] = {"driveScale", "bias",        "driveBalance", "biasMismatch",
                                        "loadOhms",   "outputScale", "plateScale",   "screenScale",
                                        "mu",         "kp",          "kvb",          "screenReturn",
                                        "ex"};
    return names[index];
}

double parameterValue(const Stage& stage, int index)
{
    Stage s = stage;
    return slot(s, index);
}

Stage calibrate(const AmpData& amp, double& rmsError)
{
    auto residuals = [&](const std::vector<double>& p) {
        const Stage s = decode(amp, p);
        std::vector<double> r;
        for (const Pin& pin : amp.pins) {
            const double m = modelValue(amp, s, pin.triple, pin.kind, pin.k);
            // The output curve of the centre triple is also level 0's whole transfer: it counts
            // most.
            const double weight = pin.triple == 5 && pin.kind == kV ? 10.0 : 1.0;
            r.push_back(weight * (m - pin.value) /
                        std::max(std::fabs(pin.value), floorOf(pin.kind)));
        }
        r.push_back(10.0 * (modelSlopeAtZero(amp, s, 5) - amp.slopeAtZero) / amp.slopeAtZero);
        return r;
    };
    const FitResult fit = levenbergMarquardt(residuals, encode(amp, amp.stage), 400);
    rmsError = std::sqrt(2.0 * fit.cost / static_cast<double>(amp.pins.size() + 1));
    return decode(amp, fit.p);
}

} // namespace power_curves
