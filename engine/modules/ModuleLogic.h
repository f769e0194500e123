#pragma once

#include "engine/core/ModuleBasic.h"

#include <cstdint>

namespace AudioEngine {

// The signal levels of a logic module, in the order they are given: what an
// input counts as low and high, and what an output writes for low and high.
// Logic signals are plain float samples, so each circuit states its own.
struct LogicLevels {
    float inLow = 0.0f;
    float inHigh = 1.0f;
    float outLow = 0.0f;
    float outHigh = 1.0f;
};

// Runs step(i) for i = 0 .. n - 1, four samples a turn and then the rest: the
// stateful logic modules run sample by sample, unrolled by four.
template <class Step> inline void stepInFours(std::uint32_t n, Step step)
{
    std::uint32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        step(i);
        step(i + 1);
        step(i + 2);
        step(i + 3);
    }
    for (; i < n; ++i)
        step(i);
}

// The base of the latches and dividers: a leaf module that knows its levels.
class ModuleLogic : public ModuleBasic {
public:
    ModuleLogic(ModuleInfo info, LogicLevels levels) : ModuleBasic(std::move(info)), levels_(levels)
    {
    }

    const LogicLevels& getLevels() const noexcept { return levels_; }

protected:
    LogicLevels levels_;
};

} // namespace AudioEngine
