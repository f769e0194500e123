#pragma once

#include "engine/dsp/MutingFader.h"
#include "engine/dsp/PitchDetector.h"
#include "engine/dsp/PitchFilters.h"

#include <cstdint>

namespace dsp::Domain::Pitch {

// A frequency as a note of the equal-tempered scale around a reference pitch (the A, note index 9
// of octave 3 in this count; C is index 0).
struct NoteReading {
    std::int32_t noteIndex = 0; // 0 .. 11
    std::int32_t octave = 0;
    std::int32_t cents = 0; // -50 .. 50, truncated toward zero
};

// s = 12 log2(max(f, 1) / reference) semitones, n = s rounded half away from zero, cents =
// trunc(100 (s - n)), note index = (n + 117) mod 12, octave = floor((n + 117) / 12) - 6. The
// reference must be finite and positive (the engine sees to it).
NoteReading convertNote(float frequency, float reference);

// The tuner's audio path: detects the pitch of each chunk, converts it into note, octave, cents and
// a needle deviation, and passes the signal through a muting fader. Setters run off the audio
// thread or between chunks on it; the results are read on the audio thread after process.
class TunerEngine {
public:
    TunerEngine();

    // Off the audio thread (re-creates the detector's buffers). Rates the detector refuses are
    // ignored.
    void setSampleRate(float sampleRate);
    // A finite pitch above 0 is taken as it is, even outside the control's range; anything else
    // keeps the previous reference, so the conversion never takes the log of a non-positive value.
    void setReferencePitch(float hertz);
    // Bypassed, the detector rests and the fader never mutes.
    void setBypass(bool bypass);
    void setMute(bool mute);

    // Audio thread. out may equal in.
    void process(const float* in, float* out, int frames);

    bool isValid() const { return valid_; }
    std::int32_t getCents() const { return cents_; }
    std::int32_t getNoteIndex() const { return noteIndex_; }
    std::int32_t getOctave() const { return octave_; }
    float getDeviation() const { return deviation_; }

    float getReferencePitch() const { return reference_; }
    float getSampleRate() const { return sampleRate_; }
    bool isBypassed() const { return bypass_; }
    const PitchDetector& getDetector() const { return detector_; }
    const MutingFader& getFader() const { return fader_; }

private:
    void engageFader();

    bool bypass_ = false;
    MutingFader fader_;
    bool mute_ = false;
    bool faderEngaged_ = false;
    PitchDetector detector_;
    bool valid_ = false;
    std::int32_t cents_ = 0;
    std::int32_t noteIndex_ = 0;
    std::int32_t octave_ = 1;
    float deviation_ = 0.0f;
    float reference_ = 440.0f;
    float sampleRate_ = 44100.0f;
    // Steadies the needle: corner 100 Hz, q = 0.5 at the engine's rate, stepped once per reading.
    PitchBiquad deviationSmoother_;
};

} // namespace dsp::Domain::Pitch
