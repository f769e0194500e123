#include "engine/math/TanhCurve.h"

#include <cmath>

namespace AudioEngine::CX2::DynacompCompSectionDetails {

TanhCurve::TanhCurve()
{
    constexpr float kStep = 0.005f; // deliberately single precision, see the header
    reserve(kKnots);
    for (int i = 0; i < kKnots; ++i) {
        const auto x =
            static_cast<float>(static_cast<double>(i) * 20.0 * static_cast<double>(kStep) - 10.0);
        const auto y = static_cast<float>(std::tanh(static_cast<double>(x)));
        push_back({x, y});
    }
}

} // namespace AudioEngine::CX2::DynacompCompSectionDetails
