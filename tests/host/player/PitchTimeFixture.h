#pragma once

// A source over test signals for the pitch and time effects, and an effect
// made through the library's entry points.

#include "host/player/zqEfx.h"
#include "tests/support/Tones.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace test::pitchtime {

// Answers zeros outside its signal, as the player's source does, and
// remembers the earliest frame it was asked for.
struct Source {
    explicit Source(std::vector<float> l, std::vector<float> r = {})
        : left(std::move(l)), right(std::move(r))
    {
    }

    std::vector<float> left, right; // right empty: one channel
    std::int64_t earliest = std::numeric_limits<std::int64_t>::max();

    static int read(void* user, float** buffers, std::int64_t position, int frames)
    {
        auto& self = *static_cast<Source*>(user);
        self.earliest = std::min(self.earliest, position);
        for (int ch = 0; ch < 2; ++ch) {
            const auto& signal = ch == 0 ? self.left : self.right;
            if (buffers[ch] == nullptr || signal.empty())
                continue;
            for (int i = 0; i < frames; ++i) {
                const std::int64_t at = position + i;
                buffers[ch][i] = at >= 0 && at < std::int64_t(signal.size())
                                     ? signal[static_cast<std::size_t>(at)]
                                     : 0.0f;
            }
        }
        return frames;
    }
};

class Effect {
public:
    Effect(int id, Source& source, int rate = 44100, int outputChannels = 1)
        : effect_(zqEfxCreate(id)), channels_(outputChannels)
    {
        zqEfxSetSource(effect_, &source, &Source::read);
        zqEfxSetParam(effect_, 10000, source.right.empty() ? 1.0f : 2.0f);
        zqEfxSetParam(effect_, 10001, static_cast<float>(outputChannels));
        zqEfxSetParam(effect_, 10002, static_cast<float>(rate));
        zqEfxPrepare(effect_);
    }
    ~Effect() { zqEfxDestroy(effect_); }
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    void set(double p, double s)
    {
        zqEfxSetParam(effect_, 10005, static_cast<float>(p));
        zqEfxSetParam(effect_, 10004, static_cast<float>(s));
    }
    player::zqEfxBase* get() { return effect_; }

    // frames output frames from position on, in blocks; one vector a channel.
    std::vector<std::vector<float>> run(std::int64_t position, int frames, int block = 512)
    {
        std::vector<std::vector<float>> out(static_cast<std::size_t>(channels_),
                                            std::vector<float>(static_cast<std::size_t>(frames)));
        for (int done = 0; done < frames;) {
            const int n = std::min(block, frames - done);
            float* buffers[2] = {out[0].data() + done,
                                 channels_ == 2 ? out[1].data() + done : nullptr};
            zqEfxProcess(effect_, nullptr, buffers, position + done, n);
            done += n;
        }
        return out;
    }

private:
    player::zqEfxBase* effect_;
    int channels_;
};

} // namespace test::pitchtime
