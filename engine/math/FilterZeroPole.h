#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/math/FilterZeroPoleDetails.h"
#include "engine/math/SampleFlush.h"

#include <cstdint>

namespace AudioEngine {

// A first-order section as a leaf module: "In" to "Out" by
//   y = (b1 x1 + b0 x) - a1 y1,
// each of the two partial sums and the result flushed (SampleFlush.h), then
// x1 = x, y1 = y. The input is flushed the same way before use. As with BiquadFilter, the flags
// (0x53) select processBlockAlt, which holds the loop, and the other two routines run the same
// loop. Construction makes a pass-through: b0 = 1, b1 = a1 = 0, zero state.
template <class Coeffs = FilterZeroPoleDetails::CoeffsZ<float>>
class FilterZeroPole : public ModuleBasic {
public:
    using Coefficients = Coeffs;
    using CoefficientsS = FilterZeroPoleDetails::CoeffsS<float>;
    using Bilinear = FilterZeroPoleDetails::CoeffsSToZBilinear<Coeffs, CoefficientsS>;

    struct State {
        float x1 = 0.0f;
        float y1 = 0.0f;
    };

    static ModuleInfo moduleInfo()
    {
        return ModuleInfo{0x53, "FilterZeroPole", "Zero-pole filter"};
    }

    FilterZeroPole() : FilterZeroPole(moduleInfo()) {}
    explicit FilterZeroPole(const ModuleInfo& info) : ModuleBasic(info) {}
    FilterZeroPole(const FilterZeroPole& other)
        : ModuleBasic(other), coefficients_(other.coefficients_)
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

    void setCoefficients(const Coeffs& z) noexcept { coefficients_ = z; }
    void setCoefficients(float b0, float b1, float a1) noexcept
    {
        coefficients_.b0 = b0;
        coefficients_.b1 = b1;
        coefficients_.a1 = a1;
    }
    const Coeffs& getCoefficients() const noexcept { return coefficients_; }
    const State& getState() const noexcept { return state_; }

    void tick(float x, float& y) noexcept { y = step(x, coefficients_, state_); }
    float tick(float x) noexcept { return step(x, coefficients_, state_); }

    // y[i] = tick(x[i] - offset) for n samples, the state held in registers
    // for the run (a store through y could otherwise be taken to change it).
    void tickOffset(const float* x, float offset, float* y, std::uint32_t n) noexcept
    {
        const Coeffs k = coefficients_;
        State s = state_;
        for (std::uint32_t i = 0; i < n; ++i)
            y[i] = step(x[i] - offset, k, s);
        state_ = s;
    }

private:
    static float step(float input, const Coeffs& k, State& s) noexcept
    {
        const float x = AudioMath::flushedSample(input);
        const float feedForward = AudioMath::flushedSample(k.b1 * s.x1 + k.b0 * x);
        const float feedBack = AudioMath::flushedSample(k.a1 * s.y1);
        const float y = AudioMath::flushedSample(feedForward - feedBack);
        s.x1 = x;
        s.y1 = y;
        return y;
    }

    std::uint32_t filterBlock()
    {
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        const Coeffs k = coefficients_;
        State s = state_;
        for (std::uint32_t i = 0; i < n; ++i)
            y[i] = step(x[i], k, s);
        state_ = s;
        return n;
    }

    Port* in_ = nullptr;
    Port* out_ = nullptr;
    State state_;
    Coeffs coefficients_{1.0f, 0.0f, 0.0f};
};

} // namespace AudioEngine
