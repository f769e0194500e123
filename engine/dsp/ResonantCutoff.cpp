#include "engine/dsp/ResonantCutoff.h"

#include "engine/math/SampleFlush.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>

namespace mixer {
namespace {

constexpr ControlDescriptor kControls[] = {
    {"Frequency", 21, 67, 0.0002f}, {"Resonance", 22, 52, 0.0002f}, {"Depth", 23, 4, 0.0002f},
    {"Rate", 24, 91, 0.0002f},      {"Mode", 25, 2, -1.0f},
};

constexpr EffectDescriptor kDescriptor{"ResonantCutoff", 2, 2, 5, kControls};

// The cascade's intermediate frames: one piece of two channels.
constexpr std::size_t kWorkFloats = static_cast<std::size_t>(TResonantCutoff::kPieceFrames) * 2;

float baseCutoff(float v)
{
    return static_cast<float>(40.0 * std::exp2(9.0 * v));
}
float resonance(float v)
{
    return static_cast<float>(0.3 * std::pow(8.0, 2.4 * v));
}

float oscillatorRate(float v)
{
    float rate = std::min(120.0f, 120.0f * v * v);
    // Tempo-synchronous at one cycle per beat when set near it.
    if (std::fabs(rate - 60.0f) < 1.0f)
        rate = 60.0f;
    return rate;
}

std::int32_t modeWord(float v)
{
    return static_cast<std::int32_t>(128.0f * v);
}

} // namespace

const EffectDescriptor& TResonantCutoff::descriptor()
{
    return kDescriptor;
}

TResonantCutoff::TResonantCutoff(std::uint32_t flags, std::int32_t variant)
    : CAutomatedEffect(kDescriptor), flags_(flags),
      // The follower keeps 0.99 of itself per piece (a time constant of about
      // 0.29 s in 128-frame pieces at 44.1 kHz, half that in 64-frame calls),
      // or 0.95 in the quicker variant, each with its own input weight.
      inputCoefficient_(variant == 1 ? 0.14724074f : 0.03f),
      feedback_(variant == 1 ? 0.95091975f : 0.99f), work_(std::make_unique<float[]>(kWorkFloats)),
      detector_(utils::createLevelDetector())
{
    bank_.setShape(2, ResonantFilterBank::kLowPass);
}

TResonantCutoff::~TResonantCutoff() = default;

float TResonantCutoff::fastPow2(float m) noexcept
{
    if (m > 126.0f)
        m = 126.0f;
    else if (m < -126.0f)
        m = -126.0f;
    else if (m != m)
        m = 0.0f;
    const auto bits =
        static_cast<std::int32_t>(std::llround(static_cast<double>(m) * 8388608.0 + 1064965184.0));
    return std::bit_cast<float>(bits);
}

double TResonantCutoff::displayValue(std::int32_t index, float v) const
{
    switch (index) {
    case kFrequency:
        return baseCutoff(v);
    case kResonance:
        return resonance(v);
    case kDepth:
        return 4.0 * v;
    case kRate:
        return oscillatorRate(v);
    default:
        return modeWord(v);
    }
}

void TResonantCutoff::applyChangedParameters()
{
    for (std::int32_t i = 0; i < getControlCount(); ++i) {
        if (!takeChanged(i))
            continue;
        const float v = controls_[static_cast<std::size_t>(i)].current;
        switch (i) {
        case kFrequency:
            baseCutoff_ = baseCutoff(v);
            break;
        case kResonance:
            bank_.setQ(resonance(v));
            bank_.update();
            break;
        case kDepth:
            depth_ = 4.0f * v;
            break;
        case kRate:
            rate_ = oscillatorRate(v);
            updateOscillator();
            break;
        case kMode: {
            const std::int32_t m = modeWord(v);
            const std::int32_t poles = (m & 7) == 1 ? 1 : ((m & 7) == 4 ? 4 : 2);
            const std::int32_t response = (m & 24) == 8    ? ResonantFilterBank::kBandPass
                                          : (m & 24) == 16 ? ResonantFilterBank::kHighPass
                                                           : ResonantFilterBank::kLowPass;
            bank_.setShape(poles, response);
            break;
        }
        default:
            break;
        }
    }
}

void TResonantCutoff::updateOscillator()
{
    // Cycles per second: beats per second x cycles per beat (rate / 60).
    oscillator_.setFrequency(Oscillator::kTriangle, 0, tempo_ / 60.0f * (rate_ / 60.0f));
}

void TResonantCutoff::setTempo(float bpm)
{
    if (!(bpm > 0.0f) || !std::isfinite(bpm))
        return;
    tempo_ = bpm;
    updateOscillator();
}

void TResonantCutoff::setFormat(float sampleRate, std::int32_t inputChannels,
                                std::int32_t outputChannels)
{
    checkFormat(sampleRate, inputChannels, outputChannels);
    if (inputChannels != outputChannels)
        throw std::invalid_argument("resonant cutoff: input and output channel counts differ");
    if (!(sampleRate >= 1.0f && sampleRate < 1e9f))
        throw std::invalid_argument("resonant cutoff: the filters need a rate of 1 Hz to 1 GHz");
    oscillator_.setFormat(sampleRate, kPieceFrames);
    CAutomatedEffect::setFormat(sampleRate, inputChannels, outputChannels);
}

void TResonantCutoff::setOutputChannels(std::int32_t outputChannels)
{
    CAutomatedEffect::setOutputChannels(outputChannels);
    bank_.setFormat(outputChannels, static_cast<std::int32_t>(getSampleRate()));
    detector_->setChannels(outputChannels, getSampleRate());
}

void TResonantCutoff::start()
{
    oscillator_.reset();
    oscillator_.step();
    // Out of range on purpose: the next design limits them, and applying
    // every control below replaces q at once.
    bank_.setCutoff(-100000.0f);
    bank_.setQ(-20.0f);
    bank_.reset();
    follower_ = 0.0f;
    running_ = true;
    markAllChanged();
    applyChangedParameters();
}

bool TResonantCutoff::stop()
{
    const bool was = running_;
    running_ = false;
    return was;
}

void TResonantCutoff::process(float* out, const float* in, std::int32_t frames)
{
    if (frames <= 0) {
        applyChangedParameters();
        return;
    }
    const std::int32_t channels = getOutputChannels();
    for (std::int32_t done = 0; done < frames;) {
        const std::int32_t piece = std::min(kPieceFrames, frames - done);
        const float* x = in + static_cast<std::ptrdiff_t>(done) * channels;
        float* y = out + static_cast<std::ptrdiff_t>(done) * channels;
        rampControls(piece);
        applyChangedParameters();

        float modulation;
        if (flags_ & kEnvelopeMode) {
            const float level = detector_->measure(x, piece, nullptr, nullptr);
            // Flushed before the update: a subnormal follower would otherwise
            // decay through slow arithmetic, and an infinite or NaN one (from
            // an infinite input) would never recover.
            const float follower = AudioEngine::AudioMath::flushedSample(follower_);
            follower_ = feedback_ * follower + inputCoefficient_ * level;
            modulation = depth_ * follower_;
        } else {
            modulation = (oscillator_.step() * 0.5f - 0.5f) * depth_;
        }
        bank_.setCutoff(baseCutoff_ * fastPow2(modulation));
        bank_.update();
        bank_.process(y, x, piece, work_.get());
        done += piece;
    }
}

} // namespace mixer
