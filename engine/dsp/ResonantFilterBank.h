#pragma once

#include "engine/math/utils/BilinFilter.h"
#include "engine/math/utils/BiquadFilter.h"

#include <cstdint>

namespace mixer {

// The resonant cutoff's filters: a first-order section and two biquads, of
// which the pole count uses one (one pole: the first-order section; two: the
// first biquad; four: both biquads in cascade), with a low-pass, band-pass or
// high-pass response. The biquads are the analogue prototypes at w = 6.283 x
// cutoff and damping d = 1 / q, mapped without prewarping.
class ResonantFilterBank {
public:
    enum Response : std::int32_t { kLowPass = 0, kBandPass = 1, kHighPass = 2 };

    static constexpr float kMinCutoff = 40.0f;
    static constexpr float kMaxCutoff = 40000.0f;
    static constexpr float kMinQ = 0.3f;
    static constexpr float kMaxQ = 30.0f;

    // Channels (1 or 2) and rate in whole hertz for all three filters.
    void setFormat(std::int32_t channels, std::int32_t sampleRate);
    // Pole count (1, 2 or 4; others are taken as 2) and response.
    void setShape(std::int32_t poles, std::int32_t response);
    void setCutoff(float hertz) noexcept { cutoff_ = hertz; }
    void setQ(float q) noexcept { q_ = q; }
    // Limits cutoff to 40 .. 40000 Hz and q to 0.3 .. 30 (a NaN gives the
    // lower end) and designs the filters the pole count uses.
    void update();
    // Clears the three filters' states.
    void reset();
    // frames interleaved frames from in to out through the sections in use;
    // work holds the cascade's intermediate frames (frames x channels floats).
    void process(float* out, const float* in, std::int32_t frames, float* work);

    std::int32_t getPoles() const noexcept { return poles_; }
    std::int32_t getResponse() const noexcept { return response_; }
    float getCutoff() const noexcept { return cutoff_; }
    float getQ() const noexcept { return q_; }
    const utils::BilinFilter& getFirstOrder() const noexcept { return firstOrder_; }
    const utils::BiquadFilter& getBiquad(int index) const noexcept { return biquads_[index]; }

private:
    utils::BilinFilter firstOrder_;
    utils::BiquadFilter biquads_[2];
    std::int32_t poles_ = 2;
    std::int32_t response_ = kLowPass;
    float cutoff_ = 1000.0f;
    float q_ = 0.707f;
};

} // namespace mixer
