#include "StageHarness.h"

#include "models/amps/stages/Function.h"
#include "models/amps/stages/OpAmpClipFunction.h"
#include "models/amps/stages/SolidStateClipFunction.h"
#include "models/amps/stages/UClipper2.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using stagetest::Harness;

namespace {

using OpAmpStage1 = BorvanRE500TraitsDetails::OpAmpClipFunction<14, 21>;
using OpAmpStage2 = BorvanRE500TraitsDetails::OpAmpClipFunction<14, 27>;
using SolidState = SolidStateClipFunction<-2>;
using UClipper2 = BorvanV9ETraitsDetails::ClipperDetails::UClipper2;

constexpr float uOffset = 1.82569f; // UClipper2's bias: u = x + 1.82569
constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float subnormal = std::numeric_limits<float>::denorm_min() * 1000.0f;

struct Case {
    std::string name;
    std::function<float(float)> f;
    float in;
    float expected;
    float tolerance; // 0: exact
};

const std::vector<Case> cases = {
    {"op-amp 1 clips at the positive rail", OpAmpStage1(), 2.0f, 14.0f, 0.0f},
    {"op-amp 1 clips at the negative rail", OpAmpStage1(), -2.0f, -14.0f, 0.0f},
    {"op-amp 1 has 21 dB of gain", OpAmpStage1(), 1.0f, 11.220185f, 2e-6f},
    {"op-amp 2 clips at the rail", OpAmpStage2(), 1.0f, 14.0f, 0.0f},
    {"op-amp 2 has 27 dB of gain", OpAmpStage2(), 0.5f, 11.193606f, 2e-6f},
    {"op-amp far beyond the rail", OpAmpStage1(), 1e30f, 14.0f, 0.0f},
    {"op-amp at an infinite input", OpAmpStage2(), -inf, -14.0f, 0.0f},
    {"solid-state clips at -2 dB", SolidState(), 1.0f, 0.7943282f, 0.0f},
    {"solid-state passes a small signal", SolidState(), -0.5f, -0.5f, 0.0f},
    {"solid-state far beyond", SolidState(), -3e9f, -0.7943282f, 0.0f},
    {"UClipper2 rests at its coupling preset", UClipper2(), 0.0f, 233.30695f, 0.0f},
    {"UClipper2 at u = 0", UClipper2(), -uOffset, 271.4977f, 1e-4f},
    {"UClipper2 cut off at u = -5.75", UClipper2(), -5.75f - uOffset, 354.9645f, 0.0f},
    {"UClipper2 cut off beyond", UClipper2(), -1e9f, 354.9645f, 0.0f},
    {"UClipper2 saturated at u = 11.5", UClipper2(), 11.5f - uOffset, 43.9249f, 2e-5f},
    {"UClipper2 saturated far beyond", UClipper2(), 1e30f, 43.9249f, 2e-5f},
    {"UClipper2 at u = 6.5", UClipper2(), 6.5f - uOffset, 131.6618f, 1e-4f},
};

TEST(MemorylessClips, TableOfCases)
{
    for (const Case& c : cases) {
        const float y = c.f(c.in);
        if (c.tolerance == 0.0f)
            EXPECT_EQ(y, c.expected) << c.name;
        else
            EXPECT_NEAR(y, c.expected, c.tolerance) << c.name;
    }
}

TEST(MemorylessClips, OpAmpStagesTurnSubnormalProductsIntoPositiveZero)
{
    for (float in : {subnormal, -subnormal, -0.0f}) {
        const float y1 = OpAmpStage1()(in);
        const float y2 = OpAmpStage2()(in);
        EXPECT_EQ(y1, 0.0f);
        EXPECT_FALSE(std::signbit(y1)) << in;
        EXPECT_EQ(y2, 0.0f);
        EXPECT_FALSE(std::signbit(y2)) << in;
    }
}

TEST(MemorylessClips, UClipper2IsFlatBeyondItsEndsAndContinuousBetweenItsPieces)
{
    const UClipper2 f;
    for (float u : {-5.75f, -6.0f, -10.0f, -100.0f})
        EXPECT_EQ(f(u - uOffset), f(-5.75f - uOffset)) << u;
    for (float u : {11.5f, 12.0f, 50.0f, 1000.0f})
        EXPECT_EQ(f(u - uOffset), f(11.5f - uOffset)) << u;
    for (float u : {0.0f, 6.5f}) {
        const float x = u - uOffset;
        const float below = f(std::nextafter(x, -inf));
        const float above = f(std::nextafter(x, inf));
        EXPECT_NEAR(below, above, 1e-4f) << u;
    }
    // Falling throughout.
    float previous = f(-8.0f);
    for (float u = -7.9f; u < 13.0f; u += 0.1f) {
        const float y = f(u - uOffset);
        EXPECT_LE(y, previous) << u;
        previous = y;
    }
}

TEST(FunctionModule, ShapesEverySampleAndTakesABadSampleAsSilence)
{
    Function<UClipper2> stage;
    Harness harness(stage);
    EXPECT_EQ(stage.getInfo().type, "Function");
    EXPECT_EQ(stage.getInfo().description, "");
    EXPECT_EQ(stage.getInfo().flags, 19u);
    EXPECT_TRUE(stage.getParameters().empty());

    const UClipper2 f;
    const std::vector<float> in = {0.0f, 1.0f, -3.0f, std::numeric_limits<float>::quiet_NaN(),
                                   inf,  -inf, 8.0f,  subnormal};
    const std::vector<float> out = harness.run(in);
    ASSERT_EQ(out.size(), in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        const float expected = std::isfinite(in[i]) ? f(in[i]) : f(0.0f);
        EXPECT_EQ(out[i], expected) << i;
    }
}

TEST(FunctionModule, WorksInPlaceOverItsInput)
{
    Function<OpAmpStage1> stage;
    Harness harness(stage, 44100.0f, 2);
    ASSERT_EQ(stage.getOutput("Out").getBuffer(), harness.source().getBuffer());
    const std::vector<float> in = {0.1f, -0.2f, 2.0f, -2.0f};
    const std::vector<float> out = harness.run(in);
    for (std::size_t i = 0; i < in.size(); ++i)
        EXPECT_EQ(out[i], OpAmpStage1()(in[i])) << i;
}

} // namespace
