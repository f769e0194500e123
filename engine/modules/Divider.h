#pragma once

#include "engine/modules/ModuleLogic.h"

#include <cstdint>

namespace AudioEngine {

namespace DividerDetails {
// A rising step: the sample is strictly above the one before it. A constant
// input never counts, and NaN on either side does not either.
struct EdgePositive {
    static bool edge(float previous, float x) noexcept { return x > previous; }
};
} // namespace DividerDetails

// A flip-flop divider on logic samples: every edge that Edge recognises
// toggles the output between the output-low and output-high levels, so a square
// wave comes out at 1/N of the input's frequency. Only halving (N = 2) exists.
// After prepare the previous input and the state are 0: the first edge gives
// high, and a first sample of +1 already counts as rising. reset leaves the
// state alone.
template <unsigned N, class Edge> class Divider : public ModuleLogic {
    static_assert(N == 2, "the divider halves: one toggle per edge");

public:
    explicit Divider(LogicLevels levels = {}) : ModuleLogic(ModuleInfo{0x13, "Divider", ""}, levels)
    {
    }

    // Always a buffer of its own.
    void createOutputs() override { createOutputsBuffered(); }

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    void prepare() override
    {
        ModuleLogic::prepare();
        previous_ = 0.0f;
        state_ = 0.0f;
    }

    // Four samples a turn, then the rest, in sample order.
    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        const float low = levels_.outLow;
        const float high = levels_.outHigh;
        float last = previous_;
        float s = state_;
        auto step = [&](std::uint32_t i) {
            const float v = x[i];
            if (Edge::edge(last, v))
                s = s == high ? low : high;
            last = v;
            y[i] = s;
        };
        stepInFours(n, step);
        previous_ = last;
        state_ = s;
        return n;
    }

    float getPrevious() const noexcept { return previous_; }
    float getOutputState() const noexcept { return state_; }

private:
    Port* in_ = nullptr;
    Port* out_ = nullptr;
    float previous_ = 0.0f;
    float state_ = 0.0f;
};

} // namespace AudioEngine
