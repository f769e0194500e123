#pragma once

#include "engine/dsp/MixerEffect.h"

#include <array>
#include <cstdint>
#include <memory>

namespace mixer {

// Where a mixer effect reports automation of its own controls.
class IEffectHost {
public:
    virtual ~IEffectHost() = default;
    virtual void setController(std::int32_t controller, std::int32_t value) = 0;
};

// A small room: two circular delay lines (left A, right B), each a feedback
// loop of about 0.1 s plus the room size, with a decay gain and five lattice
// all-pass pairs spread along the line. The input is summed to mono before the
// lines, so either input reaches both outputs.
//
// Controls (controller, default): "Time" (89, 40) decay time
// T = 0.1 x 3^(2v) s; "Color" (90, 64) corner 69113 x 2^(-3.2 (1 - v)) Hz,
// stored and shown only; "Density" (102, 64) stored and shown only; "Level"
// (104, 64) wet and dry gains; "Size" (103, 16) size = 0.01 + 0.03 v s, which
// moves the taps and so restarts a running reverb (its tail is cleared).
// Controls jump: the engine's change queue already slews them.
//
// Every value stored in the lines is cut to +0.0 below 2^-100 (about -600 dB)
// and when it is not finite, so a tail ends in exact zeros without passing
// through subnormal arithmetic, and a bad input sample is forgotten.
class TRoomReverb : public CAutomatedEffect {
public:
    enum ControlIndex : std::int32_t { kTime = 0, kColor = 1, kDensity = 2, kLevel = 3, kSize = 4 };

    // One side's taps, as offsets from the line's running position: the loop
    // filter's input fi and output fo, and the five all-pass pairs (a[k], b[k]).
    // b[0] is also the side's output tap.
    struct Taps {
        std::uint32_t fi = 0;
        std::uint32_t fo = 0;
        std::array<std::uint32_t, 5> a{};
        std::array<std::uint32_t, 5> b{};
    };

    // Samples per delay line. The longest tap reaches about 0.142 x the rate,
    // so 32768 holds every tap up to about 230 kHz; tests pass other powers of
    // two. Both lines are allocated (zeroed) here and nowhere else.
    static constexpr std::uint32_t kDefaultRingLength = 32768;

    // Created stopped at 44100 Hz, one channel in and out; the controls are
    // applied at the first setFormat. ringLength must be a power of two of at
    // least 2 (std::invalid_argument otherwise).
    explicit TRoomReverb(std::uint32_t ringLength = kDefaultRingLength);
    ~TRoomReverb() override;

    void applyChangedParameters() override;
    void process(float* out, const float* in, std::int32_t frames) override;
    // Applies every control, places the taps for the current rate and size,
    // clears both lines and runs.
    void start() override;
    bool stop() override;

    // Wet and dry gains from "Level" and the input channel count.
    virtual void updateGains();

    // Automation of the five controls through the host the effect was given;
    // without a host they do nothing.
    void setHost(IEffectHost* host) noexcept { host_ = host; }
    void automateTime(std::int32_t value) { automate(89, value); }
    void automateColor(std::int32_t value) { automate(90, value); }
    void automateDensity(std::int32_t value) { automate(102, value); }
    void automateSize(std::int32_t value) { automate(103, value); }
    void automateLevel(std::int32_t value) { automate(104, value); }

    bool isRunning() const noexcept { return running_; }
    float getDecayTime() const noexcept { return decayTime_; }
    float getColorCorner() const noexcept { return colorCorner_; }
    float getDensity() const noexcept { return density_; }
    float getLevelValue() const noexcept { return level_; }
    float getSize() const noexcept { return size_; }
    float getLoopGain() const noexcept { return loopGain_; }
    float getWetGain() const noexcept { return wet_; }
    float getDryGain() const noexcept { return dry_; }
    const Taps& getTaps(int side) const noexcept { return taps_[side]; }
    std::uint32_t getRingLength() const noexcept { return mask_ + 1; }

    static const EffectDescriptor& descriptor();

protected:
    double displayValue(std::int32_t index, float v) const override;

    float level_ = 0.0f;
    float wet_ = 0.0f;
    float dry_ = 1.0f;

private:
    void automate(std::int32_t controller, std::int32_t value);
    void placeTapsAndClear();
    void computeLoopGain();

    std::uint32_t mask_;
    std::unique_ptr<float[]> lineA_;
    std::unique_ptr<float[]> lineB_;
    std::array<Taps, 2> taps_{};
    std::uint32_t position_ = 0;
    bool running_ = false;
    float decayTime_ = 0.0f;
    float colorCorner_ = 0.0f;
    float density_ = 0.0f;
    float size_ = 0.0f;
    float loopGain_ = 0.0f;
    IEffectHost* host_ = nullptr;
};

// The variant the rig uses: wet = 0.3 level; dry = 1 - wet with two input
// channels, 1 - level with one.
class RoomReverbCX2 : public TRoomReverb {
public:
    using TRoomReverb::TRoomReverb;
    void updateGains() override;
};

} // namespace mixer
