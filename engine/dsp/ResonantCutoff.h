#pragma once

#include "engine/dsp/LevelDetect.h"
#include "engine/dsp/MixerEffect.h"
#include "engine/dsp/Oscillator.h"
#include "engine/dsp/ResonantFilterBank.h"

#include <cstdint>
#include <memory>

namespace mixer {

// A resonant filter of one, two or four poles whose cutoff is swept in octaves
// either by the level of the input (envelope mode) or by the control
// oscillator. The core of the envelope filter stomp, which runs it in envelope
// mode.
//
// Controls (controller, default), each ramped by at most 0.0002 per frame in
// units of v except "Mode", which jumps:
//   "Frequency" (21, 67)  base cutoff 40 x 2^(9v) Hz
//   "Resonance" (22, 52)  q = 0.3 x 8^(2.4v)
//   "Depth"     (23, 4)   4v octaves
//   "Rate"      (24, 91)  oscillator rate 120 v^2 (at most 120; within 1 of 60 it is 60)
//   "Mode"      (25, 2)   m = trunc(128 v): bits 0-2 the poles (1 one, 4 four,
//                         else two), bits 3-4 the response (8 band-pass,
//                         16 high-pass, else low-pass)
//
// Input and output have the output channel count, interleaved.
class TResonantCutoff : public CAutomatedEffect {
public:
    enum ControlIndex : std::int32_t {
        kFrequency = 0,
        kResonance = 1,
        kDepth = 2,
        kRate = 3,
        kMode = 4
    };

    // Construction flag: the input's level, not the oscillator, sweeps the cutoff.
    static constexpr std::uint32_t kEnvelopeMode = 0x4;
    // The longest piece process works in; the oscillator steps once per piece.
    static constexpr std::int32_t kPieceFrames = 128;

    // flags: kEnvelopeMode or 0. variant 1 gives the faster follower
    // (input 0.14724074, feedback 0.95091975), any other 0.03 and 0.99.
    TResonantCutoff(std::uint32_t flags, std::int32_t variant);
    ~TResonantCutoff() override;

    void applyChangedParameters() override;
    // In pieces of at most 128 frames; per piece the ramps move, changed
    // controls apply, the modulation is measured (peak level through the
    // follower, or one oscillator step), the cutoff becomes
    // base x 2^modulation and the filters are redesigned and run. Runs whether
    // or not the effect was started.
    void process(float* out, const float* in, std::int32_t frames) override;
    // Also readies the oscillator (the rate, 128 samples per step), the
    // filters (the rate in whole hertz, at least 1) and the level detector.
    // The two channel counts must be equal.
    void setFormat(float sampleRate, std::int32_t inputChannels,
                   std::int32_t outputChannels) override;
    void setOutputChannels(std::int32_t outputChannels) override;
    // Oscillator at phase 0 (one step taken), filters cleared, follower 0,
    // running; then every control is applied from its current value.
    void start() override;
    bool stop() override;

    // The tempo in beats per minute (120 until set) that scales the
    // oscillator; a value that is not a positive finite number is ignored.
    void setTempo(float bpm);

    float getBaseCutoff() const noexcept { return baseCutoff_; }
    float getDepth() const noexcept { return depth_; }
    float getRate() const noexcept { return rate_; }
    float getTempo() const noexcept { return tempo_; }
    float getFollower() const noexcept { return follower_; }
    bool isEnvelopeMode() const noexcept { return (flags_ & kEnvelopeMode) != 0; }
    bool isRunning() const noexcept { return running_; }
    const ResonantFilterBank& getBank() const noexcept { return bank_; }
    const Oscillator& getOscillator() const noexcept { return oscillator_; }
    const utils::LevelDetect& getLevelDetector() const noexcept { return *detector_; }

    // 2^m from the float whose bit pattern is round(m x 2^23 + 1064965184):
    // the exponent field takes the integer part and the mantissa the fraction
    // as a straight line, offset so that the error stays within -3.2 % .. +2.8 %.
    // m is held to [-126, 126] (a NaN counts as 0), which keeps the pattern a
    // finite positive float.
    static float fastPow2(float m) noexcept;

    static const EffectDescriptor& descriptor();

protected:
    double displayValue(std::int32_t index, float v) const override;

private:
    void updateOscillator();

    std::uint32_t flags_;
    float inputCoefficient_;
    float feedback_;
    std::unique_ptr<float[]> work_;
    Oscillator oscillator_;
    ResonantFilterBank bank_;
    std::unique_ptr<utils::LevelDetect> detector_;
    float baseCutoff_ = 40.0f;
    float depth_ = 0.0f;
    float rate_ = 0.0f;
    float tempo_ = 120.0f;
    float follower_ = 0.0f;
    bool running_ = false;
};

} // namespace mixer
