#include "FilterHarness.h"

#include "engine/core/Parameter.h"
#include "engine/math/BiquadFilter.h"
#include "engine/math/FilterVariable.h"
#include "engine/math/FilterZeroPole.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

using namespace AudioEngine;
using mathtest::Harness;

namespace {

// A second-order Butterworth low-pass at "Frequency", as a tone stage designs it.
class LowPassStage : public FilterVariable<BiquadFilter<>> {
public:
    static CoefficientsS prototype(double hertz)
    {
        const auto w = static_cast<float>(2.0 * std::numbers::pi * hertz);
        return CoefficientsS(w * w, 0.0f, 0.0f, w * w, std::numbers::sqrt2_v<float> * w, 1.0f);
    }
    void createParameters() override
    {
        parameters_.addParameter(Parameter("Frequency", "Hz", 20.0f, 20000.0f, 1000.0f, 0),
                                 "Frequency");
    }
    int designs = 0;
    float designedAt = 0.0f;

protected:
    void design() override
    {
        ++designs;
        designedAt = getParameter("Frequency").getValue();
        installDesign(prototype(designedAt));
    }
};

// A first-order low-pass at "Frequency".
class ZeroPoleStage : public FilterVariable<FilterZeroPole<>> {
public:
    static CoefficientsS prototype(double hertz)
    {
        const auto w = static_cast<float>(2.0 * std::numbers::pi * hertz);
        return CoefficientsS(w, 0.0f, w, 1.0f);
    }
    void createParameters() override
    {
        parameters_.addParameter(Parameter("Frequency", "Hz", 20.0f, 20000.0f, 1000.0f, 0),
                                 "Frequency");
    }

protected:
    void design() override { installDesign(prototype(getParameter("Frequency").getValue())); }
};

// One stage under test: how to make it and what its design should do at a
// frequency, for a cutoff and a rate.
struct StageCase {
    std::string name;
    std::function<std::unique_ptr<ModuleBasic>()> make;
    std::function<double(double cutoff, double hertz, double fs)> designedGain;
};

const std::vector<StageCase>& stages()
{
    static const std::vector<StageCase> list = {
        {"BiquadLowPass", [] { return std::make_unique<LowPassStage>(); },
         [](double cutoff, double hertz, double fs) {
             const auto p = LowPassStage::prototype(cutoff);
             return mathtest::analogueMagnitudeAtDigital(p.B0, p.B1, p.B2, p.A0, p.A1, p.A2, hertz,
                                                         fs);
         }},
        {"ZeroPoleLowPass", [] { return std::make_unique<ZeroPoleStage>(); },
         [](double cutoff, double hertz, double fs) {
             const auto p = ZeroPoleStage::prototype(cutoff);
             return mathtest::analogueMagnitudeAtDigital(p.B0, p.B1, 0.0, p.A0, p.A1, 0.0, hertz,
                                                         fs);
         }},
    };
    return list;
}

class FilterStages : public ::testing::TestWithParam<std::size_t> {
protected:
    const StageCase& stage() const { return stages()[GetParam()]; }
};

TEST_P(FilterStages, AttenuateTenKilohertzByTheirDesignedAmount)
{
    auto module = stage().make();
    Harness harness(*module);
    const double want = stage().designedGain(1000.0, 10000.0, 44100.0);
    EXPECT_LT(mathtest::dB(want), -15.0); // a real attenuation, not a pass-through
    EXPECT_NEAR(mathtest::dB(harness.gainAt(10000.0)), mathtest::dB(want), 0.05);
    // And the pass band passes.
    EXPECT_NEAR(mathtest::dB(harness.gainAt(50.0)),
                mathtest::dB(stage().designedGain(1000.0, 50.0, 44100.0)), 0.05);
}

TEST_P(FilterStages, DesignFollowsAParameterChangeAndARateChange)
{
    auto module = stage().make();
    Harness harness(*module);

    module->setParameter("Frequency", 3000.0f);
    EXPECT_NEAR(mathtest::dB(harness.gainAt(10000.0)),
                mathtest::dB(stage().designedGain(3000.0, 10000.0, 44100.0)), 0.05);

    harness.root.rate = 96000.0f;
    module->update();
    EXPECT_NEAR(mathtest::dB(harness.gainAt(10000.0)),
                mathtest::dB(stage().designedGain(3000.0, 10000.0, 96000.0)), 0.05);
}

INSTANTIATE_TEST_SUITE_P(Stage, FilterStages, ::testing::Range<std::size_t>(0, stages().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return stages()[info.param].name;
                         });

TEST(FilterStages, InstallTheirDesignInPrepareAtTheEnvironmentsRate)
{
    mathtest::Root root;
    root.rate = 48000.0f;
    LowPassStage stage;
    stage.build(&root); // build ends with prepare; nothing is bound or processed yet
    const auto want = LowPassStage::Bilinear(LowPassStage::prototype(1000.0)).transform(48000.0f);
    const auto& got = stage.getCoefficients();
    EXPECT_EQ(got.b0, want.b0);
    EXPECT_EQ(got.b1, want.b1);
    EXPECT_EQ(got.b2, want.b2);
    EXPECT_EQ(got.a1, want.a1);
    EXPECT_EQ(got.a2, want.a2);
    EXPECT_NE(got.b0, 1.0f); // no longer the constructor's placeholder
}

TEST(FilterStages, SetParameterStoresTheValueBeforeTheDesignRuns)
{
    LowPassStage stage;
    Harness harness(stage);
    const int before = stage.designs;
    stage.setParameter("Frequency", 2500.0f);
    EXPECT_EQ(stage.designs, before + 1);
    EXPECT_EQ(stage.designedAt, 2500.0f);
}

// The module filters' loop runs as the routine their flags select, and it is
// the documented direct-form step.
template <class Filter>
void checkRoutine(std::uint32_t flags, const typename Filter::Coefficients& k)
{
    Filter filter;
    EXPECT_EQ(filter.getInfo().flags, flags);
    Harness harness(filter);
    EXPECT_EQ(filter.getProcessRoutine(), &ModuleBasic::processBlockAlt);
    filter.setCoefficients(k);
    Filter twin;
    twin.setCoefficients(k);

    float* in = filter.getInput("In").getBuffer();
    for (std::uint32_t i = 0; i < 64; ++i)
        in[i] = std::sin(0.3f * static_cast<float>(i)) + (i == 0 ? 1.0f : 0.0f);
    filter.process();
    const float* out = filter.getOutput("Out").getBuffer();
    bool anyNonZero = false;
    for (std::uint32_t i = 0; i < 64; ++i) {
        EXPECT_FLOAT_EQ(out[i], twin.tick(in[i])) << i;
        anyNonZero = anyNonZero || out[i] != 0.0f;
    }
    EXPECT_TRUE(anyNonZero);
}

TEST(FilterModules, RunTheirLoopAsTheRoutineTheirFlagsSelect)
{
    checkRoutine<BiquadFilter<>>(0x52, {0.2f, 0.3f, 0.1f, -0.5f, 0.2f});
    checkRoutine<FilterZeroPole<>>(0x53, {0.4f, 0.2f, -0.4f});
}

TEST(FilterModules, BiquadStepSumsInTheDocumentedOrder)
{
    BiquadFilter<> filter;
    filter.setCoefficients(0.5f, 0.25f, 0.125f, -0.75f, 0.375f);
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (float x : {1.0f, -0.3f, 0.7f, 0.0f, 0.1f, 2.0f}) {
        const float want = 0.125f * x2 + 0.5f * x + 0.25f * x1 - -0.75f * y1 - 0.375f * y2;
        EXPECT_FLOAT_EQ(filter.tick(x), want);
        x2 = x1, x1 = x, y2 = y1, y1 = want;
    }
    filter.reset();
    EXPECT_EQ(filter.getState().x1, 0.0f);
    EXPECT_EQ(filter.getState().y2, 0.0f);
}

TEST(FilterModules, ACopyIsUnbuiltWithTheSameCoefficientsAndNoState)
{
    BiquadFilter<> filter;
    filter.setCoefficients(0.5f, 0.25f, 0.125f, -0.75f, 0.375f);
    filter.tick(1.0f);
    const BiquadFilter<> copy(filter);
    EXPECT_EQ(copy.getCoefficients().a2, 0.375f);
    EXPECT_EQ(copy.getState().x1, 0.0f);
    EXPECT_EQ(copy.getEnvironment(), nullptr);
}

} // namespace
