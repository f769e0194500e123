#include "engine/dsp/PitchDetector.h"

#include <algorithm>
#include <cmath>

namespace dsp::Domain::Pitch {
namespace {

// The detector works 30 dB above the input, where a full-scale sine's energy is about 30.
const float kInputGain = dBToGain(30.0f);
// No instrument gets near; it keeps every sum of the transforms finite whatever comes in.
constexpr float kInputLimit = 1000.0f;

constexpr double kHighPassHz = 4.0;
constexpr double kHighPassQ = 0.5;
constexpr double kLowPassHz = 800.0;
constexpr int kLowPassOrder = 6;
constexpr int kMinLag = 5;

} // namespace

float dBToGain(float dB)
{
    return static_cast<float>(std::pow(10.0, double(dB) * 0.05));
}

PitchDetector::PitchDetector()
{
    setup(44100.0f);
}

bool PitchDetector::setup(float sampleRate)
{
    if (!(sampleRate >= 1000.0f && sampleRate <= 1.0e6f))
        return false;
    sampleRate_ = sampleRate;
    highPass_.designHighPass(kHighPassHz, kHighPassQ, sampleRate);
    for (int i = 0; i < 3; ++i)
        lowPass_[i].designButterworthSection(kLowPassOrder, i, kLowPassHz, sampleRate);

    // The longest period searched is rate / 28: pitches down to about 28 Hz, below a five-string
    // bass's low B (30.9 Hz).
    maxPeriod_ = static_cast<int>(sampleRate * 0.035714287f);
    acf_.setup(maxPeriod_, kMinLag);
    const int N = acf_.getSize();
    history_.assign(static_cast<std::size_t>(4 * N), 0.0f);
    historyPosition_ = 0;

    // A and B shape the confidence; they were tuned for N = 4096 and 8192. Smaller frames take the
    // 4096 values, larger ones the 8192 values.
    if (N <= 4096) {
        clarityA_ = 15.0f;
        clarityB_ = 42.0f;
    } else if (N == 8192 && sampleRate == 96000.0f) {
        clarityA_ = 20.0f;
        clarityB_ = 45.0f;
    } else {
        clarityA_ = 18.0f;
        clarityB_ = 40.0f;
    }

    noteOn_ = false;
    sinceNoteOn_ = 0;
    valid_ = false;
    frequency_ = 10.0f;
    confidence_ = 0.0f;
    refiner_.stop();
    return true;
}

float PitchDetector::confidence(float clarity, float frequency, float A, float B)
{
    const float divisor = 1.0f - std::exp((A - frequency) / B);
    return divisor > 0.0f ? clarity / divisor : 0.0f;
}

void PitchDetector::process(const float* samples, int count)
{
    while (count > 0) {
        const int n = std::min(count, kChunk);
        processChunk(samples, n);
        samples += n;
        count -= n;
    }
}

void PitchDetector::processChunk(const float* samples, int count)
{
    float* x = chunk_;
    for (int i = 0; i < count; ++i) {
        float v = samples[i];
        v = std::isfinite(v) ? std::clamp(v, -kInputLimit, kInputLimit) : 0.0f;
        double y = highPass_.step(double(v) * kInputGain);
        for (PitchBiquad& section : lowPass_)
            y = section.step(y);
        x[i] = static_cast<float>(y);
    }

    acf_.process(x, count);
    const float period = acf_.getPeriod();
    const float energy = acf_.getEnergy();
    confidence_ = confidence(acf_.getClarity(), sampleRate_ / period, clarityA_, clarityB_);

    if (noteOn_) {
        if (kNoteOffLevel > energy) {
            noteOn_ = false;
            refiner_.stop();
        }
        sinceNoteOn_ = std::min<std::int64_t>(sinceNoteOn_ + count, kHoldSamples + 1);
    } else if (confidence_ > kNoteOnConfidence && energy > kNoteOnEnergy) {
        noteOn_ = true;
        sinceNoteOn_ = 0;
        refiner_.start(period);
    }

    for (int i = 0; i < count; ++i) {
        history_[historyPosition_] = x[i];
        historyPosition_ = historyPosition_ + 1 == history_.size() ? 0 : historyPosition_ + 1;
    }

    // The refiner follows the note from its onset, so that it has measured the period by the time
    // the hold is over; values are shown from then on, and never before a period was measured (a
    // low note at a high rate may need a period or two beyond the hold).
    valid_ = false;
    if (noteOn_) {
        refiner_.setTarget(period);
        refiner_.process(x, count);
        if (sinceNoteOn_ > kHoldSamples && refiner_.hasMeasured()) {
            frequency_ = sampleRate_ / refiner_.getPeriod();
            valid_ = true;
        }
    }
}

} // namespace dsp::Domain::Pitch
