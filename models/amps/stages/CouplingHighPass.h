#pragma once

#include "engine/math/BiquadFilter.h"
#include "engine/math/FilterVariable.h"
#include "engine/math/FilterZeroPole.h"

namespace AudioEngine::BorvanQom {

namespace CouplingDetails {

// Sets a filter's input history to `rest` and its output history to 0, as if
// it had long been fed the constant rest output of the tube stage before it:
// the filter is stepped `order` times on `rest` with an all-zero record, which
// stores the inputs and yields zero outputs, then its own record goes back.
template <class Filter>
void presetHistory(Filter& filter, float rest, int order) noexcept
{
    const auto own = filter.getCoefficients();
    filter.setCoefficients(typename Filter::Coefficients{});
    for (int i = 0; i < order; ++i)
        filter.tick(rest);
    filter.setCoefficients(own);
}

} // namespace CouplingDetails

// The coupling capacitor after a tube stage: H(s) = s / (s + w), w in rad/s,
// mapped without prewarping. The stage's plate sits at a rest voltage, so
// prepare and reset start the filter settled on it (previous input = rest,
// previous output = 0): the output is 0 from the first sample on, with no
// start-up thump.
//
// Traits: static constexpr float pole (w) and restInput (volts).
template <class Traits>
class CouplingHighPass1 : public FilterVariable<FilterZeroPole<>> {
public:
    void prepare() override
    {
        FilterVariable::prepare();
        CouplingDetails::presetHistory(*this, Traits::restInput, 1);
    }
    void reset() override
    {
        FilterVariable::reset();
        CouplingDetails::presetHistory(*this, Traits::restInput, 1);
    }

protected:
    void design() override { installDesign(CoefficientsS(0.0f, 1.0f, Traits::pole, 1.0f)); }
};

// A second-order coupling stage over a biquad, started settled the same way
// (both previous inputs = rest, both previous outputs = 0).
//
// Traits: static CoeffsS<float> prototype(float sampleRate) and
// static constexpr float restInput.
template <class Traits>
class CouplingHighPass2 : public FilterVariable<BiquadFilter<>> {
public:
    void prepare() override
    {
        FilterVariable::prepare();
        CouplingDetails::presetHistory(*this, Traits::restInput, 2);
    }
    void reset() override
    {
        FilterVariable::reset();
        CouplingDetails::presetHistory(*this, Traits::restInput, 2);
    }

protected:
    void design() override { installDesign(Traits::prototype(getSampleRate())); }
};

} // namespace AudioEngine::BorvanQom
