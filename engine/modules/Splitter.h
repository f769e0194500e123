#pragma once

#include "engine/core/ModuleBasic.h"

namespace AudioEngine {

// Copies "In" to the two buffered outputs "Out1" and "Out2".
class Splitter : public ModuleBasic {
public:
    Splitter() : ModuleBasic(ModuleInfo{0x12, "Splitter", ""}) {}

    void bindPorts() override;
    void createOutputsBuffered() override;
    std::uint32_t processBlock() override;

private:
    Port* in_ = nullptr;
    Port* out1_ = nullptr;
    Port* out2_ = nullptr;
};

} // namespace AudioEngine
