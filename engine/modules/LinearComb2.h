#pragma once

#include "engine/core/ModuleBasic.h"

namespace AudioEngine {

namespace LinearComb2MixerDetails {
// A weight of a mixer input: 0 .. 1, an even mix by default.
struct ScaleDescriptor {
    static constexpr float minimum = 0.0f;
    static constexpr float maximum = 1.0f;
    static constexpr float defaultValue = 0.5f;
};
} // namespace LinearComb2MixerDetails

namespace LinearComb2Details {
// y = F(F(F(x1) * a1) + F(F(x2) * a2)), F the denormal flush; y may be x1 or x2.
void combine(const float* x1, const float* x2, float* y, std::uint32_t n, float a1,
             float a2) noexcept;
// The same, four samples per step; every sample gets the same result.
void combineFourLane(const float* x1, const float* x2, float* y, std::uint32_t n, float a1,
                     float a2) noexcept;
} // namespace LinearComb2Details

// "Out" = A1 x "In1" + A2 x "In2", with every product and the sum flushed so
// that no denormal leaves the mixer. The descriptors give the ranges of "A1"
// and "A2".
template <class Descriptor1, class Descriptor2> class LinearComb2 : public ModuleBasic {
public:
    LinearComb2() : ModuleBasic(ModuleInfo{0x193, "LinearCombinator2", ""}) {}

    void createInputs() override
    {
        inputs_.addInput(Input("In1", ""), "In1");
        inputs_.addInput(Input("In2", ""), "In2");
    }

    void createParameters() override
    {
        a1_ =
            parameters_.addParameter(Parameter("A1", "", Descriptor1::minimum, Descriptor1::maximum,
                                               Descriptor1::defaultValue, 0),
                                     "A1");
        a2_ =
            parameters_.addParameter(Parameter("A2", "", Descriptor2::minimum, Descriptor2::maximum,
                                               Descriptor2::defaultValue, 0),
                                     "A2");
    }

    void bindPorts() override
    {
        in1_ = &getInput("In1");
        in2_ = &getInput("In2");
        out_ = &getOutput("Out");
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        LinearComb2Details::combine(in1_->getBuffer(), in2_->getBuffer(), out_->getBuffer(), n,
                                    a1_->getValue(), a2_->getValue());
        return n;
    }

    std::uint32_t processBlockVector() override
    {
        const std::uint32_t n = getChunkSize();
        LinearComb2Details::combineFourLane(in1_->getBuffer(), in2_->getBuffer(), out_->getBuffer(),
                                            n, a1_->getValue(), a2_->getValue());
        return n;
    }

protected:
    Port* in1_ = nullptr;
    Port* in2_ = nullptr;
    Port* out_ = nullptr;
    Parameter* a1_ = nullptr;
    Parameter* a2_ = nullptr;
};

} // namespace AudioEngine
