#pragma once

#include "engine/core/ModuleBasic.h"

#include <cstdint>

namespace AudioEngine {

// No amplifier: "Out" is a copy of "In". No parameters, no state.
class Bypass : public ModuleBasic {
public:
    Bypass() : ModuleBasic(ModuleInfo{0x13, "Bypass", ""}) {}

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        for (std::uint32_t i = 0; i < n; ++i)
            y[i] = x[i];
        return n;
    }

private:
    Port* in_ = nullptr;
    Port* out_ = nullptr;
};

} // namespace AudioEngine
