#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/modules/FourLane.h"

#include <array>
#include <cstring>
#include <string>

namespace AudioEngine {

// Sums the inputs "In1" .. "InN" into "Out", which is buffered or, where the
// environment allows it, shares the samples of "In1".
template <unsigned N = 2> class Adder : public ModuleBasic {
    static_assert(N >= 2, "an adder needs two inputs at least");

public:
    Adder() : ModuleBasic(ModuleInfo{0x13, "Adder", ""}) {}

    void createInputs() override
    {
        for (unsigned k = 1; k <= N; ++k) {
            const std::string name = "In" + std::to_string(k);
            inputs_.addInput(Input(name, ""), name);
        }
    }

    void bindPorts() override
    {
        for (unsigned k = 0; k < N; ++k)
            in_[k] = &getInput("In" + std::to_string(k + 1));
        out_ = &getOutput("Out");
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        float* y = out_->getBuffer();
        std::memmove(y, in_[0]->getBuffer(), std::size_t(n) * sizeof(float)); // a no-op in place
        for (unsigned k = 1; k < N; ++k) {
            const float* x = in_[k]->getBuffer();
            std::uint32_t i = 0;
            for (; i + 4 <= n; i += 4)
                FourLane::store(y + i, FourLane::load(y + i) + FourLane::load(x + i));
            for (; i < n; ++i)
                y[i] += x[i];
        }
        return n;
    }

private:
    std::array<Port*, N> in_{};
    Port* out_ = nullptr;
};

} // namespace AudioEngine
