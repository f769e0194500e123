#pragma once

#include "engine/core/Parameter.h"
#include "engine/math/BiquadFilter.h"
#include "engine/math/FilterVariable.h"
#include "models/amps/stages/LP2ToCoeffsZ.h"

namespace AudioEngine::BorvanQom {

// The gain smoother of the optical stages (the compressor's "Filter", the
// limiter's "SmoothingFilter"): a critically damped second-order low-pass
// (q = 0.5) whose corner is "Responsiveness" hertz. The owning stage steps it
// once per sample with its divider gain (tick); starting from a zero state, the
// gain it hands back rises from 0 along the step response.
class ResponsivenessFilter : public FilterVariable<BiquadFilter<>> {
public:
    static constexpr float kQ = 0.5f;

    void createParameters() override
    {
        responsiveness_ = parameters_.addParameter(
            Parameter("Responsiveness", "", 10.0f, 1000.0f, 500.0f, 0), "Responsiveness");
    }

protected:
    void design() override
    {
        const FilterLP2Details::LP2ToCoeffsZ<FilterLP2Details::LP2ToCoeffsZTraits<float>> lowPass(
            responsiveness_->getValue(), kQ);
        Coefficients z;
        setCoefficients(lowPass.design(z, getSampleRate()));
    }

private:
    ParameterBase* responsiveness_ = nullptr;
};

} // namespace AudioEngine::BorvanQom
