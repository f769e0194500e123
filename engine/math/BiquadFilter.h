#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/math/BiquadFilterDetails.h"
#include "engine/math/SampleFlush.h"

#include <cstdint>

namespace AudioEngine {

// A second-order section as a leaf module: "In" through direct form I to "Out".
//   y = b2 x2 + b0 x + b1 x1 - a1 y1 - a2 y2,
// summed in that order in single precision, then x2 = x1, x1 = x, y2 = y1, y1 = y.
// Each input and each output is flushed (SampleFlush.h) on the way: subnormals
// never reach the state, and a NaN or infinite input sample is taken as silence.
//
// The module's flags (0x52) carry the bit that makes the framework run
// processBlockAlt, so that is where the loop lives; processBlock and
// processBlockVector run the same loop, so a stage that declares other flags
// still filters instead of falling silent.
//
// Construction sets the state to zero and all five coefficients to 1.0, a
// placeholder until the owning stage's design (FilterVariable) installs its own.
// Any chunk length works; the state is kept in locals across the loop.
template <class Coeffs = BiquadFilterDetails::CoeffsZ<float>>
class BiquadFilter : public ModuleBasic {
public:
    using Coefficients = Coeffs;
    using CoefficientsS = BiquadFilterDetails::CoeffsS<float>;
    using Bilinear = BiquadFilterDetails::CoeffsSToZBilinear<Coeffs, CoefficientsS>;

    struct State {
        float x1 = 0.0f;
        float x2 = 0.0f;
        float y1 = 0.0f;
        float y2 = 0.0f;
    };

    static ModuleInfo moduleInfo()
    {
        return ModuleInfo{0x52, "BiquadFilter", "Biquadratic filter"};
    }

    BiquadFilter() : BiquadFilter(moduleInfo()) {}
    // For a stage that declares its own information.
    explicit BiquadFilter(const ModuleInfo& info) : ModuleBasic(info) {}
    // An unbuilt copy with the same coefficients and a zero state.
    BiquadFilter(const BiquadFilter& other) : ModuleBasic(other), coefficients_(other.coefficients_)
    {
    }

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }
    void reset() override { state_ = State{}; }

    std::uint32_t processBlockAlt() override { return filterBlock(); }
    std::uint32_t processBlock() override { return filterBlock(); }
    std::uint32_t processBlockVector() override { return filterBlock(); }

    // Processing thread (or before processing starts).
    void setCoefficients(const Coeffs& z) noexcept { coefficients_ = z; }
    void setCoefficients(float b0, float b1, float b2, float a1, float a2) noexcept
    {
        coefficients_.b0 = b0;
        coefficients_.b1 = b1;
        coefficients_.b2 = b2;
        coefficients_.a1 = a1;
        coefficients_.a2 = a2;
    }
    const Coeffs& getCoefficients() const noexcept { return coefficients_; }
    const State& getState() const noexcept { return state_; }

    // One sample through the module's state, for stages that run the filter
    // inside a loop of their own.
    void tick(float x, float& y) noexcept { y = step(x, coefficients_, state_); }
    float tick(float x) noexcept { return step(x, coefficients_, state_); }

    // n samples, each first passed through `map`, with the state and the
    // coefficients held in locals across the loop: stepping through tick would
    // reload them from the module on every sample, as the output may alias them.
    template <class Map>
    void filterMapped(const float* x, float* y, std::uint32_t n, Map map) noexcept
    {
        const Coeffs k = coefficients_;
        State s = state_;
        for (std::uint32_t i = 0; i < n; ++i)
            y[i] = step(map(x[i]), k, s);
        state_ = s;
    }

private:
    static float step(float input, const Coeffs& k, State& s) noexcept
    {
        const float x = AudioMath::flushedSample(input);
        const float y = AudioMath::flushedSample(k.b2 * s.x2 + k.b0 * x + k.b1 * s.x1 -
                                                 k.a1 * s.y1 - k.a2 * s.y2);
        s.x2 = s.x1;
        s.x1 = x;
        s.y2 = s.y1;
        s.y1 = y;
        return y;
    }

    std::uint32_t filterBlock()
    {
        const std::uint32_t n = getChunkSize();
        filterMapped(in_->getBuffer(), out_->getBuffer(), n, [](float x) { return x; });
        return n;
    }

    Port* in_ = nullptr;
    Port* out_ = nullptr;
    State state_;
    Coeffs coefficients_{1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
};

} // namespace AudioEngine
