#pragma once

#include "engine/modules/ModuleLogic.h"

#include <cstdint>

namespace AudioEngine {

// A set/reset latch on logic samples. An input is high only when it equals the
// input-high level exactly (0.999 is not high). Per sample:
//   "InSet" high            Q = high, not-Q = low   (set wins a tie)
//   else "InReset" high     Q = low,  not-Q = high
//   else                    both hold.
// "OutQ" and "OutNotQ" are buffered or, where the environment allows it, share
// "InSet" and "InReset": each sample reads both inputs before it writes.
// prepare puts the latch in its reset state; reset leaves it alone.
class LatchSR : public ModuleLogic {
public:
    explicit LatchSR(LogicLevels levels = {}) : ModuleLogic(ModuleInfo{0x13, "LatchSR", ""}, levels)
    {
    }

    void createInputs() override
    {
        inputs_.addInput(Input("InSet", ""), "InSet");
        inputs_.addInput(Input("InReset", ""), "InReset");
    }

    void createOutputsBuffered() override
    {
        addOutputBuffered(OutputBuffered("OutQ", "", blockCapacity_));
        addOutputBuffered(OutputBuffered("OutNotQ", "", blockCapacity_));
    }

    void createOutputsInPlace() override
    {
        addOutputInPlace(OutputShared("OutQ", "", &getInput("InSet")));
        addOutputInPlace(OutputShared("OutNotQ", "", &getInput("InReset")));
    }

    void bindPorts() override
    {
        set_ = &getInput("InSet");
        reset_ = &getInput("InReset");
        outQ_ = &getOutput("OutQ");
        outNotQ_ = &getOutput("OutNotQ");
    }

    void prepare() override
    {
        ModuleLogic::prepare();
        state_ = levels_.outLow;
        inverse_ = levels_.outHigh;
    }

    // Four samples a turn, then the rest; the state runs through every sample
    // in order, so the result is the one-sample loop's.
    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* s = set_->getBuffer();
        const float* r = reset_->getBuffer();
        float* yq = outQ_->getBuffer();
        float* yn = outNotQ_->getBuffer();
        const LogicLevels v = levels_;
        float state = state_;
        float inverse = inverse_;
        auto step = [&](std::uint32_t i) {
            if (s[i] == v.inHigh) {
                state = v.outHigh;
                inverse = v.outLow;
            } else if (r[i] == v.inHigh) {
                state = v.outLow;
                inverse = v.outHigh;
            }
            yq[i] = state;
            yn[i] = inverse;
        };
        stepInFours(n, step);
        state_ = state;
        inverse_ = inverse;
        return n;
    }

    float getQ() const noexcept { return state_; }
    float getNotQ() const noexcept { return inverse_; }

private:
    Port* set_ = nullptr;
    Port* reset_ = nullptr;
    Port* outQ_ = nullptr;
    Port* outNotQ_ = nullptr;
    float state_ = 0.0f;   // Q
    float inverse_ = 1.0f; // not-Q
};

} // namespace AudioEngine
