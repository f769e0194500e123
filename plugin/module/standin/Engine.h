#pragma once

#include "plugin/module/standin/Document.h"

#include <atomic>
#include <cstdint>

namespace Zq::BorvanRAZ::StandIn {

// Stands in for the rig's engine until it exists. It renders left = its mono
// input and right = half of it, and records what the processor hands it, so
// the processor's fold-down, pieces and tempo traffic can be seen.
class Engine {
public:
    explicit Engine(Document& document) : document_(document) {}

    // Audio thread, once per host block.
    void setTempo(float bpm) noexcept;
    float currentTempo() const noexcept { return tempo_.load(std::memory_order_relaxed); }
    std::int64_t getTempoCalls() const noexcept
    {
        return tempoCalls_.load(std::memory_order_relaxed);
    }

    void setSampleRate(float hertz) noexcept
    {
        sampleRate_.store(hertz, std::memory_order_relaxed);
    }
    float getSampleRate() const noexcept { return sampleRate_.load(std::memory_order_relaxed); }

    // One mono input channel, two output channels; the output may be the input.
    void process(const float* const* inputs, float* const* outputs, std::int32_t frames) noexcept;
    std::int64_t getFramesProcessed() const noexcept
    {
        return frames_.load(std::memory_order_relaxed);
    }
    // The longest run the processor handed over in one call.
    std::int32_t getLongestRun() const noexcept
    {
        return longestRun_.load(std::memory_order_relaxed);
    }

    Document& getDocument() noexcept { return document_; }

private:
    Document& document_;
    std::atomic<float> tempo_{0.0f};
    std::atomic<std::int64_t> tempoCalls_{0};
    std::atomic<float> sampleRate_{44100.0f};
    std::atomic<std::int64_t> frames_{0};
    std::atomic<std::int32_t> longestRun_{0};
};

} // namespace Zq::BorvanRAZ::StandIn
