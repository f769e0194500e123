#include "PushPullStage.h"

#include <algorithm>
#include <cmath>

namespace power_curves {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

Currents pentodeCurrents(const Pentode& tube, double eg1, double eg2, double ep,
                         double screenReturn)
{
    double e1 = 0.0;
    if (tube.kp > 0.0) {
        // ln(1 + exp(a)) without overflow for large a.
        const double a = tube.kp * (1.0 / tube.mu + eg1 / eg2);
        const double softplus = a > 30.0 ? a + std::log1p(std::exp(-a)) : std::log1p(std::exp(a));
        e1 = eg2 / tube.kp * softplus;
    } else {
        e1 = std::max(0.0, eg2 / tube.mu + eg1);
    }
    const double stream = std::pow(e1, tube.ex);
    const double plate = 2.0 * stream / tube.kg1;
    const double knee = std::atan(ep / tube.kvb);
    return {plate * knee, stream / tube.kg2 + screenReturn * plate * (0.5 * kPi - knee)};
}

namespace {

struct Side {
    Currents a;
    Currents b;
};

Side sides(const Stage& stage, double x, double s0, double s1, double e)
{
    const double gA = stage.bias + (1.0 + stage.driveBalance) * stage.driveScale * x;
    const double gB =
        stage.bias + stage.biasMismatch - (1.0 - stage.driveBalance) * stage.driveScale * x;
    Currents a = pentodeCurrents(stage.tube, gA, s1, s0 - e, stage.screenReturn);
    Currents b = pentodeCurrents(stage.tube, gB, s1, s0 + e, stage.screenReturn);
    const double n = stage.tubesPerSide;
    a.plate *= n * stage.plateScale;
    b.plate *= n * stage.plateScale;
    a.screen *= n * stage.screenScale;
    b.screen *= n * stage.screenScale;
    return {a, b};
}

} // namespace

StagePoint solveStage(const Stage& stage, double x, double s0, double s1)
{
    // f(e) = e - R (ipA - ipB) rises strictly with e; bisection from the symmetric bracket
    // meets e = 0 exactly when the two sides are equal.
    auto f = [&](double e) {
        const Side s = sides(stage, x, s0, s1, e);
        return e - stage.loadOhms * (s.a.plate - s.b.plate);
    };
    double lo = -s0;
    double hi = s0;
    double e = 0.0;
    for (int i = 0; i < 200; ++i) {
        e = 0.5 * (lo + hi);
        const double fe = f(e);
        if (fe == 0.0 || e == lo || e == hi)
            break;
        (fe < 0.0 ? lo : hi) = e;
    }
    const Side s = sides(stage, x, s0, s1, e);
    return {stage.outputScale * e, -(s.a.plate + s.b.plate), -(s.a.screen + s.b.screen)};
}

} // namespace power_curves
