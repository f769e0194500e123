#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/math/SampleFlush.h"

#include <cstdint>

namespace AudioEngine {

// A memoryless waveshaper as a leaf module: out[i] = F(in[i]). The function
// object holds the stage's curve and its input transform (a drive factor or a
// bias point), so F(in) is the whole stage.
//
// Flags 0x13 allow "Out" in place over "In"; the loop reads each sample before
// it writes it. An input sample that is NaN or infinite is taken as silence, as
// the filters of the rig take it: the stage then sits at its rest output and the
// coupling filter after it sees no step. Subnormal inputs become +0 the same way.
template <class F> class Function : public ModuleBasic {
public:
    static ModuleInfo moduleInfo() { return ModuleInfo{0x13, "Function", ""}; }

    Function() : ModuleBasic(moduleInfo()) {}

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
            y[i] = function_(AudioMath::flushedSample(x[i]));
        return n;
    }

    const F& getFunction() const noexcept { return function_; }

private:
    F function_;
    Port* in_ = nullptr;
    Port* out_ = nullptr;
};

} // namespace AudioEngine
