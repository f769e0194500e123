#include "engine/dsp/TunerEngine.h"

#include <algorithm>
#include <cmath>

namespace dsp::Domain::Pitch {
namespace {

constexpr double kDeviationCornerHz = 100.0;
constexpr double kDeviationQ = 0.5;
// A full needle at 50 cents.
constexpr float kDeviationPerCent = 0.02f;

// Frequencies are floats, so s is known to about 1e-6 semitone. Rounded to 1e-5 semitone (a
// thousandth of a cent, far below what is shown), a frequency that is a quarter tone within float
// precision converts as one, and tiny log differences vanish.
constexpr double kSemitoneResolution = 1e-5;

// 117 = 9 semitones above C plus 9 octaves keeps n + 117 positive for every reference in the
// control's range and every frequency of 1 Hz and above; the floor division keeps the count right
// below that too.
constexpr std::int64_t kNoteOffset = 117;

} // namespace

NoteReading convertNote(float frequency, float reference)
{
    // Below 1 Hz (and NaN) counts as 1 Hz.
    const double f = frequency > 1.0f ? double(frequency) : 1.0;
    double s = 12.0 * (std::log(f) - std::log(double(reference))) / std::log(2.0);
    s = std::round(s / kSemitoneResolution) * kSemitoneResolution;
    const double n = std::round(s); // half away from zero
    NoteReading reading;
    reading.cents = static_cast<std::int32_t>(std::trunc((s - n) * 100.0));
    const std::int64_t index = static_cast<std::int64_t>(n) + kNoteOffset;
    const std::int64_t octave = index >= 0 ? index / 12 : -((11 - index) / 12);
    reading.noteIndex = static_cast<std::int32_t>(index - 12 * octave);
    reading.octave = static_cast<std::int32_t>(octave - 6);
    return reading;
}

TunerEngine::TunerEngine()
{
    deviationSmoother_.designLowPass(kDeviationCornerHz, kDeviationQ, sampleRate_);
}

void TunerEngine::setSampleRate(float sampleRate)
{
    if (!detector_.setup(sampleRate))
        return;
    sampleRate_ = sampleRate;
    fader_.setSampleRate(sampleRate);
    deviationSmoother_.designLowPass(kDeviationCornerHz, kDeviationQ, sampleRate);
    valid_ = false;
}

void TunerEngine::setReferencePitch(float hertz)
{
    if (std::isfinite(hertz) && hertz > 0.0f)
        reference_ = hertz;
}

void TunerEngine::setBypass(bool bypass)
{
    bypass_ = bypass;
    engageFader();
}

void TunerEngine::setMute(bool mute)
{
    mute_ = mute;
    engageFader();
}

void TunerEngine::engageFader()
{
    const bool engage = mute_ && !bypass_;
    if (engage == faderEngaged_)
        return;
    faderEngaged_ = engage;
    if (engage)
        fader_.mute();
    else
        fader_.unmute();
}

void TunerEngine::process(const float* in, float* out, int frames)
{
    valid_ = false;
    if (!bypass_) {
        detector_.process(in, frames);
        if (detector_.hasNewValue()) {
            valid_ = true;
            const NoteReading reading = convertNote(detector_.getFrequency(), reference_);
            cents_ = reading.cents;
            noteIndex_ = reading.noteIndex;
            octave_ = reading.octave;
            const double smoothed = deviationSmoother_.step(double(cents_) * kDeviationPerCent);
            deviation_ = std::clamp(static_cast<float>(smoothed), -1.0f, 1.0f);
        }
    }
    fader_.process(in, out, frames);
}

} // namespace dsp::Domain::Pitch
