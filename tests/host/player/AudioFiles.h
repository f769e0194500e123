#pragma once

// Audio files made at test time with libsndfile, and a player loaded from one.

#include "host/player/ejpPlayer.h"
#include "tests/support/TempFolder.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace test::audiofiles {

// Writes frames frames of channels channels; sample (i, ch) = signal(i, ch).
template <class Signal>
void write(const std::string& path, int format, int channels, int rate, int frames, Signal signal)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    std::vector<float> samples(std::size_t(frames) * std::size_t(channels));
    for (int i = 0; i < frames; ++i)
        for (int ch = 0; ch < channels; ++ch)
            samples[std::size_t(i) * std::size_t(channels) + std::size_t(ch)] = signal(i, ch);
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
}

// A 1 kHz tone at 0.1 x (channel + 1), so every channel is told apart by its level.
inline void writeTone(const std::string& path, int format, int channels, int rate, int frames)
{
    write(path, format, channels, rate, frames, [rate](int i, int ch) {
        return 0.1f * float(ch + 1) *
               float(std::sin(2.0 * std::numbers::pi * 1000.0 * i / double(rate)));
    });
}

// A stereo 16-bit WAV at 44100 Hz whose every sample is value.
inline void writeConstant(const std::string& path, int frames, float value)
{
    write(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, frames,
          [value](int, int) { return value; });
}

// frames frames of the player mixed into silence in blocks; the left channel
// (the right must equal it).
inline std::vector<float> mixed(player::ejpPlayer& player, int frames, int block = 64)
{
    std::vector<float> left(std::size_t(frames), 0.0f), right(left.size(), 0.0f);
    for (int done = 0; done < frames; done += block) {
        const int n = std::min(block, frames - done);
        player.mix(left.data() + done, right.data() + done, n);
    }
    if (left != right)
        throw std::runtime_error("the player's channels differ");
    return left;
}

// Loads path into player and waits for the loader thread to finish.
inline bool loadWhole(player::ejpPlayer& player, const std::string& path)
{
    if (!player.load(path.c_str()))
        return false;
    while (player.progress() < 1.0f && !player.loadFailed())
        std::this_thread::yield();
    return player.isLoaded();
}

} // namespace test::audiofiles
