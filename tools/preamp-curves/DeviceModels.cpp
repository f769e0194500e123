#include "DeviceModels.h"

#include "Numerics.h"

#include <cmath>

namespace PreampCurves {

double Triode::plateCurrent(double vp, double vg) const
{
    if (vp <= 0.0)
        return 0.0;
    const double e1 = vp / kp * softplus(kp * (1.0 / mu + vg / std::sqrt(kvb + vp * vp)));
    return std::pow(e1, ex) / kg1;
}

double TriodeStage::gridVoltage(double x) const
{
    const double vg = bias + inputScale * x;
    return gridLimit - gridKnee * softplus((gridLimit - vg) / gridKnee);
}

double TriodeStage::plateVoltage(double x) const
{
    // Ip - Ip_triode(...) rises strictly with Ip from 0 at Ip = 0 (where the
    // triode conducts) to above 0 where the plate reaches 0 V: bisection finds
    // its one root to the last bit.
    const double vg = gridVoltage(x);
    double lo = 0.0, hi = supply / (plateLoad + cathodeLoad);
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (mid == lo || mid == hi)
            break;
        const double vk = cathodeLoad * mid;
        if (mid < triode.plateCurrent(supply - plateLoad * mid - vk, vg - vk))
            lo = mid;
        else
            hi = mid;
    }
    return supply - plateLoad * 0.5 * (lo + hi);
}

double DiodeWithSeriesR::current(double v) const
{
    const double L = std::log(is * r / nVt) + (v + is * r) / nVt;
    return nVt / r * lambertWOfExp(L) - is;
}

double LedDriver::current(double v) const
{
    const double id = diode.current(v);
    if (id <= 0.0)
        return floorA;
    return floorA + id / std::pow(1.0 + std::pow(id / limitA, limitOrder), 1.0 / limitOrder);
}

double FollowerKnee::output(double x) const
{
    return offset + lowGain * x + (highGain - lowGain) * knee * softplus((x - xKnee) / knee);
}

} // namespace PreampCurves
