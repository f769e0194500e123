#pragma once

#include "engine/dsp/ACFRealTime4.h"
#include "engine/dsp/PeriodRefiner.h"
#include "engine/dsp/PitchFilters.h"

#include <cstdint>
#include <vector>

namespace dsp::Domain::Pitch {

// 10^(dB / 20).
float dBToGain(float dB);

// Finds the pitch of a monophonic signal: a rough period from the lag function of ACFRealTime4,
// accepted as a note when its peak is clear and the level high enough, then refined by timing
// zero crossings. A note gives valid frequencies from 5000 samples after its onset on, so that
// the refiner has settled before anything is shown.
class PitchDetector {
public:
    // A note turns on above this energy (about -51 dBFS for a sine) and off below kNoteOffLevel
    // (-22 dB, about -52 dBFS): the small gap keeps a decaying note from flickering.
    static constexpr float kNoteOnEnergy = 0.09f;
    static constexpr float kNoteOffLevel = 0.07943282f; // 10^(-22 / 20)
    static constexpr float kNoteOnConfidence = 0.8f;
    static constexpr std::int64_t kHoldSamples = 5000;
    static constexpr int kChunk = 64;

    // Set up for 44100 Hz.
    PitchDetector();

    // Off the audio thread (allocates). A rate that is not finite or lies outside 1 kHz .. 1 MHz
    // is refused (false) and the previous set-up kept.
    bool setup(float sampleRate);

    // Audio thread: analyses count samples (any count; non-finite samples count as silence).
    void process(const float* samples, int count);

    bool hasNewValue() const { return valid_; }
    float getFrequency() const { return frequency_; }
    bool isNoteOn() const { return noteOn_; }

    // c = clarity / (1 - e^((A - f) / B)): the lower the pitch, the fewer periods fit in a frame
    // and the weaker its lag peak, so a low note needs less clarity. 0 where f <= A.
    static float confidence(float clarity, float frequency, float A, float B);

    float getSampleRate() const { return sampleRate_; }
    int getMaxPeriod() const { return maxPeriod_; }
    float getClarityA() const { return clarityA_; }
    float getClarityB() const { return clarityB_; }
    float getConfidence() const { return confidence_; }
    const ACF::ACFRealTime4& getACF() const { return acf_; }

private:
    void processChunk(const float* samples, int count);

    float sampleRate_ = 44100.0f;
    int maxPeriod_ = 0;
    bool valid_ = false;
    float frequency_ = 10.0f;
    PitchBiquad highPass_;
    PitchBiquad lowPass_[3];
    ACF::ACFRealTime4 acf_;
    // The last 4N samples of the filtered signal, kept beside the frames; detection does not read
    // them.
    std::vector<float> history_;
    std::size_t historyPosition_ = 0;
    PeriodRefiner refiner_;
    bool noteOn_ = false;
    // Samples since the note-on, one count per detector: instances never disturb each other.
    std::int64_t sinceNoteOn_ = 0;
    float clarityA_ = 15.0f;
    float clarityB_ = 42.0f;
    float confidence_ = 0.0f;
    float chunk_[kChunk] = {};
};

} // namespace dsp::Domain::Pitch
