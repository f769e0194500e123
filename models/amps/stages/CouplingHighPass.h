#pragma once

#include "engine/math/BiquadFilter.h"
#include "engine/math/FilterVariable.h"
#include "engine/math/FilterZeroPole.h"

#include <cstdint>

namespace AudioEngine::BorvanQom {

namespace CouplingDetails {

// Sets a filter's input history to `rest` and its output history to 0, as if
// it had long been fed the constant rest output of the tube stage before it:
// the filter is stepped `order` times on `rest` with an all-zero record, which
// stores the inputs and yields zero outputs, then its own record goes back.
template <class Filter> void presetHistory(Filter& filter, float rest, int order) noexcept
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
template <class Traits> class CouplingHighPass1 : public FilterVariable<FilterZeroPole<>> {
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

// A second-order coupling stage over a biquad, started settled the same way.
// The section filters the swing about the rest level (input - rest) from a
// zero history: for a high-pass that is the same filter as one fed the plate
// voltage with both previous inputs preset to rest, but the single-precision
// round-off of each sum stays at the size of the swing. Fed the plate voltage
// itself, every sum rounds off at about 1e-5 V; the poles near z = 1 raise
// that noise by a factor that grows with the square of the rate, and after a
// loud note the head's output would hiss on for seconds at 1e-4 .. 1e-3.
//
// Traits: static CoeffsS<float> prototype(float sampleRate) and
// static constexpr float restInput.
template <class Traits> class CouplingHighPass2 : public FilterVariable<BiquadFilter<>> {
public:
    void bindPorts() override
    {
        FilterVariable::bindPorts();
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    std::uint32_t processBlockAlt() override { return filterSwing(); }
    std::uint32_t processBlock() override { return filterSwing(); }
    std::uint32_t processBlockVector() override { return filterSwing(); }

protected:
    void design() override { installDesign(Traits::prototype(getSampleRate())); }

private:
    // A NaN or infinite input stays one after the subtraction, and the biquad
    // takes it as silence.
    std::uint32_t filterSwing()
    {
        const std::uint32_t n = getChunkSize();
        filterMapped(in_->getBuffer(), out_->getBuffer(), n,
                     [](float x) { return x - Traits::restInput; });
        return n;
    }

    Port* in_ = nullptr;
    Port* out_ = nullptr;
};

} // namespace AudioEngine::BorvanQom
