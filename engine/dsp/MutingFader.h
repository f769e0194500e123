#pragma once

#include <cstdint>

namespace dsp::Domain::Pitch {

// Mutes and unmutes a mono signal without a click: 100 ms fades on the square-root law, whose
// power (1 - i/L on the way out, i/L on the way in) moves linearly.
class MutingFader {
public:
    enum State : std::int32_t { Pass = 0, FadingOut = 1, Muted = 2, FadingIn = 3 };

    static constexpr float kFadeTimeMs = 100.0f;

    MutingFader() { setSampleRate(44100.0f); }

    // Fade length trunc(rate x 100 ms), at least one sample. Rates that are not positive and
    // finite are refused.
    void setSampleRate(float sampleRate);

    // Starts a fade out (from Pass, or from FadingIn at the same gain) or a fade in (from Muted, or
    // from FadingOut at the same gain). Calls that change nothing are ignored.
    void mute();
    void unmute();

    // out may equal in.
    void process(const float* in, float* out, int count);

    State getState() const { return state_; }
    std::int32_t getFadeLength() const { return length_; }
    std::int32_t getChannelCount() const { return 1; }

private:
    float sampleRate_ = 44100.0f;
    std::int32_t length_ = 4410;
    State state_ = Pass;
    std::int32_t counter_ = 0;
};

} // namespace dsp::Domain::Pitch
