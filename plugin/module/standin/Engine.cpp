#include "plugin/module/standin/Engine.h"

namespace Zq::BorvanRAZ::StandIn {

void Engine::setTempo(float bpm) noexcept
{
    tempo_.store(bpm, std::memory_order_relaxed);
    tempoCalls_.fetch_add(1, std::memory_order_relaxed);
}

void Engine::process(const float* const* inputs, float* const* outputs,
                     std::int32_t frames) noexcept
{
    const float* input = inputs[0];
    float* left = outputs[0];
    float* right = outputs[1];
    for (std::int32_t i = 0; i < frames; ++i) {
        // Read before writing: the processor may hand the input as an output.
        const float x = input[i];
        left[i] = x;
        right[i] = 0.5f * x;
    }
    frames_.fetch_add(frames, std::memory_order_relaxed);
    if (frames > longestRun_.load(std::memory_order_relaxed))
        longestRun_.store(frames, std::memory_order_relaxed);
}

} // namespace Zq::BorvanRAZ::StandIn
