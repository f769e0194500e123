#pragma once

#include "engine/core/ModuleBasic.h"

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
