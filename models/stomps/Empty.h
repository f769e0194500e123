#pragma once

#include "engine/core/ModuleBasic.h"

namespace AudioEngine {

// The "Empty" stomp: a wire. Its "Out" shares the buffer of "In" whatever the
// environment's output policy, and its block routine does nothing.
class Empty : public ModuleBasic {
public:
    Empty() : ModuleBasic(ModuleInfo{0x13, "Empty", ""}) {}

    void createOutputsBuffered() override { createOutputsInPlace(); }
    // (Re)connects "Out" to "In": the in-place output reads what "In" reads.
    void connect() override { getOutput("Out").connect(&getInput("In")); }
    void bindPorts() override {}
};

} // namespace AudioEngine
