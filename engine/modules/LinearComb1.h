#pragma once

#include "engine/core/ModuleBasic.h"

#include <cstdint>

namespace AudioEngine {

namespace LinearComb1Details {

// The cutoff of a 7 ms time constant, 1 / (2 pi 0.007): slow enough that a
// knob jump turns into a fade, fast enough that the fade is not heard as lag.
inline constexpr float kSmoothingCutoffHz = 22.736420f;

// One parameter followed at the block rate Fb = fs / n by the first-order
// low-pass S_new = a (P + P_last) + b S_old, a = pi fc / (pi fc + Fb),
// b = 1 - 2a: the bilinear transform of a one-pole at fc, fed with the mean of
// this block's and the last block's target. The samples of a block then ramp
// linearly from S_old to S_new.
//
// The state is carried in double: in float the recursion stalls a unit in the
// last place short of its target (a unity pedal would settle at 0.99999988),
// while in double it rounds to the target exactly once settled. b is formed in
// double from a for the same reason: 2a + b must be exactly 1.
struct Smoother {
    double value = 0.0; // S_old: where the last block ended
    float last = 0.0f;  // the target the last block saw
    float cutoff = kSmoothingCutoffHz;
    double a = 0.0;
    double b = 0.0;

    // a and b for a block rate; pi is the single-precision acos(-1).
    void design(float blockRate) noexcept;
    // Moves to the target for one block of n samples; returns the per-sample
    // step (S_new - S_old) / n. value holds S_new afterwards.
    float advance(float target, std::uint32_t n) noexcept;
    // The state as the samples use it.
    float current() const noexcept { return static_cast<float>(value); }
};

// y[i] = F(F(x[i]) g_i + o_i), F the denormal flush, with the ramps
// g_i = gEnd - (n - 1 - i) dg and o_i = oEnd - (n - 1 - i) do, so that the last
// sample of the block meets gEnd and oEnd exactly. y may be x.
void ramp(const float* x, float* y, std::uint32_t n, float gEnd, float dg, float oEnd,
          float dOffset) noexcept;
// The same four samples per step, lane for lane the same arithmetic, so both
// routines agree bit for bit; n is a multiple of 4 (a tail is left to ramp).
void rampFourLane(const float* x, float* y, std::uint32_t n, float gEnd, float dg, float oEnd,
                  float dOffset) noexcept;

} // namespace LinearComb1Details

// "Out" = "Scale" x "In" + "Offset", both coefficients smoothed per block and
// ramped per sample so that a knob never clicks. The descriptors (static
// minimum, maximum, defaultValue) give the two ranges; an empty range pins a
// coefficient.
//
// The smoothed states start at 0 and nothing resets them: a new combinator
// fades in from silence over its first blocks, and a reset of the graph (a
// model switch) does not make it fade in again.
template <class ScaleDescriptor, class OffsetDescriptor> class LinearComb1 : public ModuleBasic {
public:
    LinearComb1()
        : ModuleBasic(ModuleInfo{0x193, "LinearCombinator1", "1-coeffs linear combinator"})
    {
    }

    void createParameters() override
    {
        scaleParameter_ = parameters_.addParameter(Parameter("Scale", "", ScaleDescriptor::minimum,
                                                             ScaleDescriptor::maximum,
                                                             ScaleDescriptor::defaultValue, 0),
                                                   "Scale");
        offsetParameter_ = parameters_.addParameter(
            Parameter("Offset", "", OffsetDescriptor::minimum, OffsetDescriptor::maximum,
                      OffsetDescriptor::defaultValue, 0),
            "Offset");
    }

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        if (!advance(n))
            return 0;
        LinearComb1Details::ramp(in_->getBuffer(), out_->getBuffer(), n, scale_.current(),
                                 scaleStep_, offset_.current(), offsetStep_);
        return n;
    }

    std::uint32_t processBlockVector() override
    {
        const std::uint32_t n = getChunkSize();
        if (!advance(n))
            return 0;
        LinearComb1Details::rampFourLane(in_->getBuffer(), out_->getBuffer(), n, scale_.current(),
                                         scaleStep_, offset_.current(), offsetStep_);
        return n;
    }

    // The smoothed coefficients where the last block ended (S_old, O_old).
    float getSmoothedScale() const noexcept { return scale_.current(); }
    float getSmoothedOffset() const noexcept { return offset_.current(); }
    const LinearComb1Details::Smoother& getScaleSmoother() const noexcept { return scale_; }

private:
    // One block of both smoothers; the coefficients follow the block rate,
    // which changes with the piece length and the sample rate. An empty piece
    // moves nothing (a step over zero samples has no meaning).
    bool advance(std::uint32_t n) noexcept
    {
        if (n == 0)
            return false;
        const float rate = getSampleRate();
        if (n != designedLength_ || rate != designedRate_) {
            const float blockRate = rate / static_cast<float>(n);
            scale_.design(blockRate);
            offset_.design(blockRate);
            designedLength_ = n;
            designedRate_ = rate;
        }
        scaleStep_ = scale_.advance(scaleParameter_->getValue(), n);
        offsetStep_ = offset_.advance(offsetParameter_->getValue(), n);
        return true;
    }

    Port* in_ = nullptr;
    Port* out_ = nullptr;
    Parameter* scaleParameter_ = nullptr;
    Parameter* offsetParameter_ = nullptr;
    LinearComb1Details::Smoother scale_;
    LinearComb1Details::Smoother offset_;
    float scaleStep_ = 0.0f;
    float offsetStep_ = 0.0f;
    std::uint32_t designedLength_ = 0;
    float designedRate_ = 0.0f;
};

} // namespace AudioEngine
