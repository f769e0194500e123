#include "models/amps/stages/Vactrol.h"

namespace AudioEngine::BorvanQom::VactrolDetails {

VTL5C7Curve::VTL5C7Curve()
{
    using Points = StageCurveTables::VTL5C7Points;
    reserve(Points::count);
    for (std::int32_t i = 0; i < Points::count; ++i)
        push_back({VTL5C7TransferFunctionType::logOf(Points::currentA[i]),
                   VTL5C7TransferFunctionType::logOf(Points::resistanceOhm[i])});
}

float VTL5C7TransferFunctionType::operator()(float current) const noexcept
{
    if (!(current > kDarkCurrent))
        return kDarkResistance;
    if (current >= kFullCurrent)
        return kFullResistance;
    const float logR = spline_.evaluate(logOf(current));
    return static_cast<float>(std::pow(10.0, static_cast<double>(logR)));
}

} // namespace AudioEngine::BorvanQom::VactrolDetails
