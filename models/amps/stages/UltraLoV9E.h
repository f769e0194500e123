#pragma once

#include "engine/math/BiquadFilter.h"
#include "engine/math/FilterVariable.h"
#include "models/amps/stages/SwitchParameter.h"

#include <cmath>

namespace AudioEngine::BorvanQom {

// The "UltraLo" switch network. "On" runs the network's second-order transfer
// function
//   H(s) = (p2 s^2 + p1 s + p0) / (s^2 + q1 s + q0)
// (bilinear, no prewarping): a mid dip from a pair of complex zeros between
// two real poles. "Off" is the flat gain the switch leaves, 10^(0.05 offDb).
//
// Traits: static constexpr float p2, p1, p0, q1, q0, offDb.
template <class Traits> class UltraLoV9E : public FilterVariable<BiquadFilter<>> {
public:
    void createParameters() override
    {
        switch_ = parameters_.addParameter(StageSwitch::make("UltraLo"), "UltraLo");
    }

    static float offGain() { return static_cast<float>(std::pow(10.0, 0.05 * Traits::offDb)); }

protected:
    void design() override
    {
        if (StageSwitch::isOn(*switch_))
            installDesign(
                CoefficientsS(Traits::p0, Traits::p1, Traits::p2, Traits::q0, Traits::q1, 1.0f));
        else
            setCoefficients(offGain(), 0.0f, 0.0f, 0.0f, 0.0f);
    }

private:
    ParameterBase* switch_ = nullptr;
};

} // namespace AudioEngine::BorvanQom
