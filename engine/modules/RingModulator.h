#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/modules/FourLane.h"

#include <bit>
#include <cstdint>

namespace AudioEngine {

// A switched-gain stage: "Out" = "In" x one of two gains, chosen per sample by
// "InCtrl". SwitchFunction::threshold splits the control: at or above it
// SwitchGain::high applies, below it SwitchGain::low (a NaN control is not
// above anything and takes the low gain). "Out" is buffered or, where the
// environment allows it, shares "In".
template <class SwitchFunction, class SwitchGain> class RingModulator : public ModuleBasic {
public:
    RingModulator() : ModuleBasic(ModuleInfo{0x13, "RingModulator", ""}) {}

    void createInputs() override
    {
        inputs_.addInput(Input("In", ""), "In");
        inputs_.addInput(Input("InCtrl", ""), "InCtrl");
    }

    void bindPorts() override
    {
        in_ = &getInput("In");
        ctrl_ = &getInput("InCtrl");
        out_ = &getOutput("Out");
    }

    // The block routine is the process operation itself.
    void process() override { modulate(); }
    std::uint32_t processBlock() override { return modulate(); }

    static float gain(float control) noexcept
    {
        return control >= SwitchFunction::threshold ? SwitchGain::high : SwitchGain::low;
    }

private:
    // Four samples a turn through lane masks, then the rest one by one.
    std::uint32_t modulate()
    {
        using namespace FourLane;
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        const float* c = ctrl_->getBuffer();
        float* y = out_->getBuffer();
        const Ints high = std::bit_cast<Ints>(splat(SwitchGain::high));
        const Ints low = std::bit_cast<Ints>(splat(SwitchGain::low));
        const Floats threshold = splat(SwitchFunction::threshold);
        std::uint32_t i = 0;
        for (; i + 4 <= n; i += 4) {
            const Ints on = load(c + i) >= threshold;
            store(y + i, load(x + i) * std::bit_cast<Floats>((high & on) | (low & ~on)));
        }
        for (; i < n; ++i)
            y[i] = x[i] * gain(c[i]);
        return n;
    }

    Port* in_ = nullptr;
    Port* ctrl_ = nullptr;
    Port* out_ = nullptr;
};

} // namespace AudioEngine
