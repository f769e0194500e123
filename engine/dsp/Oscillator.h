#pragma once

#include <cstdint>

namespace mixer {

// The control oscillator of the mixer effects: one value per call, in [-1, 0]
// (or [-1, 1] with the bipolar flag), the phase advancing by a fixed increment
// per call. The increment is sized for calls of a fixed number of samples
// (128 in the resonant cutoff); an owner that calls it per shorter piece runs it
// faster by that ratio.
class Oscillator {
public:
    enum Shape : std::int32_t { kTriangle = 0, kSquare = 1, kSaw = 2, kSine = 3, kRandom = 4 };
    static constexpr std::uint32_t kBipolar = 0x2;

    // The rate in hertz and the samples one call stands for.
    void setFormat(float sampleRate, std::int32_t samplesPerCall);
    // A shape (others act as the triangle), the flags and the frequency in
    // hertz: the increment per call is hertz x samplesPerCall / rate.
    void setFrequency(std::int32_t shape, std::uint32_t flags, float hertz);
    // Phase 0, last value -1.
    void reset();
    // One value:
    //   triangle  2 |phase - 0.5| - 1
    //   square    toggles between -1 and 0 each half period
    //   saw       phase - 1
    //   sine      (sin(6.283 phase) - 1) / 2
    //   random    a new value in [-1, 0) each period
    float step();

    float getSampleRate() const noexcept { return sampleRate_; }
    std::int32_t getSamplesPerCall() const noexcept { return samplesPerCall_; }
    std::int32_t getShape() const noexcept { return shape_; }
    float getIncrement() const noexcept { return increment_; }
    float getPhase() const noexcept { return phase_; }

private:
    float sampleRate_ = 44100.0f;
    float reciprocal_ = 1.0f / 44100.0f;
    std::int32_t samplesPerCall_ = 128;
    std::int32_t shape_ = kTriangle;
    std::uint32_t flags_ = 0;
    float increment_ = 0.0f;
    float phase_ = 0.0f;
    float last_ = -1.0f;
    // The random shape's generator, the recurrence of the noise table's:
    // kept per oscillator, so that the audio thread never takes the table's lock.
    std::uint32_t random_ = 0;
};

} // namespace mixer
