#pragma once

// Small models for exercising the chain wrappers.

#include "engine/core/ModuleBasic.h"
#include "engine/modules/PhaseAdjust.h"

namespace rig {

using namespace AudioEngine;

// "Out" = 2 x "In" + "InDry" (when the module has a dry input), with a count
// of resets and pieces.
class Doubler : public ModuleBasic {
public:
    Doubler() : ModuleBasic(ModuleInfo{0, "Doubler", ""}) {}

    void createParameters() override
    {
        parameters_.addParameter(Parameter("Gain", "", 0.0f, 4.0f, 2.0f, 0), "Gain");
    }
    void bindPorts() override
    {
        in_ = &getInput("In");
        dry_ = getInputs().find("InDry");
        out_ = &getOutput("Out");
        gain_ = &getParameter("Gain");
    }
    void reset() override { ++resets; }
    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float g = gain_->getValue();
        const float* x = in_->getBuffer();
        const float* d = dry_ ? dry_->getBuffer() : nullptr;
        float* y = out_->getBuffer();
        for (std::uint32_t i = 0; i < n; ++i)
            y[i] = g * x[i] + (d ? d[i] : 0.0f);
        ++pieces;
        return n;
    }

    int resets = 0;
    int pieces = 0;

private:
    Port* in_ = nullptr;
    Port* dry_ = nullptr;
    Port* out_ = nullptr;
    ParameterBase* gain_ = nullptr;
};

// The phase adjuster with a count of resets.
class CountingDelay : public BorvanQom::PhaseAdjust<20> {
public:
    void reset() override
    {
        ++resets;
        PhaseAdjust::reset();
    }
    int resets = 0;
};

} // namespace rig
