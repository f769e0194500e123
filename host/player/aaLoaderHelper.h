#pragma once

// Where a decoder collects a file: one growable float array per channel, the
// count of frames held, and the 10000-point overview the waveform view draws.
//
// One thread (the decoding one) writes; any thread may read. Reads see only
// the frames held, which are published after their samples are written. The
// arrays may move when they grow, so reads that can run while decoding goes
// on are the decoding thread's own; the player reads only once decoding has
// completed.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace player {

// One channel's samples.
class aaLoaderBuffer {
public:
    // Makes room for n floats: above the capacity it allocates n, or 2n when
    // the array already held some, keeps the old contents and zero-fills the
    // rest. False when the allocation fails; the array is then left as it was.
    bool reserve(std::int64_t n);
    float* data() { return samples_.get(); }
    const float* data() const { return samples_.get(); }
    std::int64_t capacity() const { return capacity_; }
    void clear();

private:
    std::unique_ptr<float[]> samples_;
    std::int64_t capacity_ = 0;
};

class aaLoaderHelper {
public:
    static constexpr int kOverviewSize = 10000;

    // Starts over for a file of channels channels and an estimated length of
    // lengthFrames, sizing the arrays for it. False when an allocation fails.
    bool prepare(int channels, std::int64_t lengthFrames);
    void clear();

    // Appends frames frames given as one array per channel. False when the
    // arrays cannot grow: nothing is written then.
    bool append(const float* const* planes, int frames);

    int channels() const { return static_cast<int>(buffers_.size()); }
    std::int64_t framesHeld() const { return held_.load(std::memory_order_acquire); }

    // Copies frames first .. first + frames into one destination per channel.
    // Frames outside 0 .. frames held read as zeros and the rest are copied
    // (a grain that starts before the first frame, or one that straddles the
    // end, keeps the frames that exist); false when any frame was outside.
    bool readPlanar(float* const* destinations, std::int64_t first, int frames) const;
    // The same into one interleaved destination (channels() floats a frame).
    bool readInterleaved(float* destination, std::int64_t first, int frames) const;

    // Copies the overview (kOverviewSize points) and the range of points
    // changed since the last call, and clears that range.
    void overview(std::vector<float>& points, int& changedFirst, int& changedCount);
    // Marks every point from the furthest written to the end as changed: the
    // file turned out shorter than its estimate, and those points stay zero.
    void finishOverview();

private:
    void updateOverview(const float* channel0, std::int64_t first, int frames);
    void markChanged(int first, int end);

    std::vector<aaLoaderBuffer> buffers_;
    std::atomic<std::int64_t> held_{0};
    std::int64_t estimate_ = 0; // the length the overview spans

    std::mutex overviewLock_; // the decoding and the UI thread, never audio
    std::vector<float> overview_ = std::vector<float>(kOverviewSize, 0.0f);
    int changedFirst_ = 0, changedEnd_ = 0;
    int overviewEnd_ = 0; // one past the furthest point written
};

} // namespace player
