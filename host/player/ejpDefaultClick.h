#pragma once

// The metronome's built-in click: a tone of rate / 18 hertz (20 degrees per
// sample) that decays linearly to silence over length samples. The click
// generator writes the same samples into the host's resource pack.

#include <cmath>

namespace player {

// int(rate x 0.05): 2205 samples at 44100 Hz.
inline int ejpDefaultClickLength(double rate)
{
    return static_cast<int>(rate * 0.05);
}

inline double ejpDefaultClickSample(int i, int length)
{
    return std::sin(0.3490655555555556 * i) * double(length - i) / double(length);
}

} // namespace player
