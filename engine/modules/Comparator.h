#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/modules/FourLane.h"

#include <bit>
#include <cstdint>

namespace AudioEngine {

// A logic signal from two analogue ones: "Out" = the true value while
// "In1" > "In2", the false value otherwise. Ties and NaN on either side compare
// false, so a comparator fed silence or garbage rests at its false value.
// "Out" is buffered or, where the environment allows it, shares "In1".
class Comparator : public ModuleBasic {
public:
    explicit Comparator(float falseValue = 0.0f, float trueValue = 1.0f)
        : ModuleBasic(ModuleInfo{0x13, "Comparator", ""}), falseValue_(falseValue),
          trueValue_(trueValue)
    {
    }

    void createInputs() override
    {
        inputs_.addInput(Input("In1", ""), "In1");
        inputs_.addInput(Input("In2", ""), "In2");
    }

    void bindPorts() override
    {
        in1_ = &getInput("In1");
        in2_ = &getInput("In2");
        out_ = &getOutput("Out");
    }

    // Four samples a turn through lane masks, then the rest one by one; every
    // sample gets what the one-sample rule gives it.
    std::uint32_t processBlock() override
    {
        using namespace FourLane;
        const std::uint32_t n = getChunkSize();
        const float* a = in1_->getBuffer();
        const float* b = in2_->getBuffer();
        float* y = out_->getBuffer();
        const Ints high = std::bit_cast<Ints>(splat(trueValue_));
        const Ints low = std::bit_cast<Ints>(splat(falseValue_));
        std::uint32_t i = 0;
        for (; i + 4 <= n; i += 4) {
            const Ints above = load(a + i) > load(b + i); // all ones where true, NaN gives 0
            store(y + i, std::bit_cast<Floats>((high & above) | (low & ~above)));
        }
        for (; i < n; ++i)
            y[i] = compare(a[i], b[i]);
        return n;
    }

    float compare(float a, float b) const noexcept { return a > b ? trueValue_ : falseValue_; }

private:
    float falseValue_;
    float trueValue_;
    Port* in1_ = nullptr;
    Port* in2_ = nullptr;
    Port* out_ = nullptr;
};

} // namespace AudioEngine
