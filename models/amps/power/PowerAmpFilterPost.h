#pragma once

#include "engine/math/FilterVariable.h"
#include "engine/math/FilterZeroPole.h"

#include <cmath>
#include <cstdint>

namespace AudioEngine::CX2 {

// What the post filter asks, once per block, of the level before it: the
// level's output for a silent input with its present settings.
class PowerAmpRestSource {
public:
    virtual float getRestOutput() const noexcept = 0;

protected:
    ~PowerAmpRestSource() = default;
};

// The fixed high-pass after a tube power amp, H(s) = s / (s + 2 pi fw): it
// takes out DC and subsonic content, among them the offset of a curve that
// is not zero at zero drive. The corner is pre-warped,
// fw = (fs / pi) tan(pi fc / fs), so that the digital corner sits at fc at
// every rate.
//
// It filters the swing about the level's rest output (input - rest) from a
// zero history, as the coupling filters after the preamp's tube stages do: for
// a high-pass that is the same filter once settled, but it starts settled, so
// a fresh or reset amp puts out silence for silence instead of the offset's
// decay (a thump of up to 0.01 on the RKM Classic), and a detail switch or a
// calibration change that moves the rest level makes no step. A NaN or
// infinite input stays one after the subtraction and the filter takes it as
// silence. Without a source the rest level is 0.
class PowerAmpFilterPost : public FilterVariable<FilterZeroPole<>> {
public:
    explicit PowerAmpFilterPost(float cornerHz) : cornerHz_(cornerHz) {}

    // The level whose rest is taken off; it outlives this filter's processing.
    void setRestSource(const PowerAmpRestSource* source) noexcept { rest_ = source; }

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
    void design() override
    {
        static const float pi = std::acos(-1.0f);
        const float fs = getSampleRate();
        const float fw = fs / pi * std::tan(pi * cornerHz_ / fs);
        installDesign(CoefficientsS(0.0f, 1.0f, 2.0f * pi * fw, 1.0f));
    }

private:
    std::uint32_t filterSwing()
    {
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        const float rest = rest_ ? rest_->getRestOutput() : 0.0f;
        tickOffset(x, rest, y, n);
        return n;
    }

    float cornerHz_;
    const PowerAmpRestSource* rest_ = nullptr;
    Port* in_ = nullptr;
    Port* out_ = nullptr;
};

} // namespace AudioEngine::CX2

namespace AudioEngine::BorvanQom {

namespace PowerAmpBorvanV9EDetails {
// Both V9E power amps, 50W and 100W.
class FilterPost : public CX2::PowerAmpFilterPost {
public:
    FilterPost() : PowerAmpFilterPost(12.7f) {}
};
} // namespace PowerAmpBorvanV9EDetails

namespace PowerAmpBorvanRKMClassicHeadTraitsDetails {
class FilterPost : public CX2::PowerAmpFilterPost {
public:
    FilterPost() : PowerAmpFilterPost(25.0f) {}
};
} // namespace PowerAmpBorvanRKMClassicHeadTraitsDetails

} // namespace AudioEngine::BorvanQom
