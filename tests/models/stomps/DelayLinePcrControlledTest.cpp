#include "models/stomps/MemoryMan.h"
#include "tests/support/ElementRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace AudioEngine;
using Line = CX2::MemoryManTraitsDetails::DelayLineType;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// One line at a rate, brought up as a host would, fed the ramp 0, 1, 2, ...
// so that an output sample tells how far back it was read: y = n - length.
struct LineRig {
    explicit LineRig(float rate = 44100.0f)
    {
        environment.rate = rate;
        rig::bringUp(line, environment);
    }
    float tick(float ratio = 1.0f) { return line.tick(float(n++), ratio); }
    // Fills the ring so that every read has been written.
    void fill() { run(line.getBufferSize()); }
    void run(std::uint32_t samples)
    {
        for (std::uint32_t i = 0; i < samples; ++i)
            tick();
    }
    // Settles the length on ms at once, then goes back to ramping.
    void settleAt(float ms)
    {
        line.setParameter("Mode", Line::kStep);
        line.setParameter("Delay", ms);
        line.setParameter("Mode", Line::kRamp);
    }

    rig::RootEnvironment environment;
    Line line;
    std::uint32_t n = 0;
};

} // namespace

TEST(AnalogDelayLine, TheRingHoldsHalfASecondAndTheLengthStartsThere)
{
    for (float rate : {22050.0f, 32000.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f}) {
        LineRig rig(rate);
        const auto longest = static_cast<std::uint32_t>(rate / 2);
        EXPECT_EQ(rig.line.getBufferSize(), longest + 1) << rate;
        EXPECT_EQ(rig.line.getCurrentLength(), float(longest)) << rate;
        EXPECT_EQ(rig.line.getSettledLength(), float(longest)) << rate;
        EXPECT_EQ(rig.line.getTargetLength(), float(longest)) << rate;
        EXPECT_EQ(rig.line.getWriteIndex(), 0) << rate;
    }
    LineRig rig;
    EXPECT_EQ(rig.line.getInfo().type, "DelayLinePcrControlled");
    EXPECT_EQ(rig.line.getInfo().description,
              "Delay line with pitch-shift effect on delay time change");
    EXPECT_EQ(rig.line.getInfo().flags, 18u);
    const ParameterBase& delay = rig.line.getParameter("Delay");
    EXPECT_EQ(delay.getMinimum(), 25.0f);
    EXPECT_EQ(delay.getMaximum(), 500.0f);
    EXPECT_EQ(delay.getDefault(), 500.0f);
    EXPECT_EQ(delay.getFlags(), 4u);
    const ParameterBase& mode = rig.line.getParameter("Mode");
    EXPECT_EQ(mode.getStates().find("Ramp"), 0.0f);
    EXPECT_EQ(mode.getStates().find("Step"), 1.0f);
    EXPECT_EQ(mode.getFlags(), 4u);
    EXPECT_NO_THROW(rig.line.getInput("InPcr"));
}

TEST(AnalogDelayLine, ARampGlidesAtTheSpeedOfOldOverNewLengthForTheNewLength)
{
    const struct {
        float fromMs, toMs, length, step;
        std::uint32_t samples;
        float speed; // output change per sample while gliding
    } cases[] = {
        {500.0f, 250.0f, 11025.0f, -1.0f, 11025, 2.0f},
        {250.0f, 500.0f, 22050.0f, 0.5f, 22050, 0.5f},
        {500.0f, 25.0f, 1102.5f, -19.0f, 1103, 20.0f},
        {100.0f, 400.0f, 17640.0f, 0.75f, 17640, 0.25f},
    };
    for (const auto& c : cases) {
        LineRig rig;
        rig.settleAt(c.fromMs);
        rig.fill();
        const float from = rig.line.getCurrentLength();
        rig.line.setParameter("Delay", c.toMs);
        EXPECT_EQ(rig.line.getStep(), c.step) << c.fromMs << " -> " << c.toMs;
        EXPECT_EQ(rig.line.getTargetLength(), c.length) << c.toMs;
        float previous = rig.tick();
        EXPECT_EQ(rig.line.getCurrentLength(), from + c.step);
        for (std::uint32_t i = 1; i + 1 < c.samples; ++i) {
            const float y = rig.tick();
            ASSERT_NEAR(y - previous, c.speed, 1e-3f)
                << c.fromMs << " -> " << c.toMs << " at " << i;
            previous = y;
        }
        EXPECT_NE(rig.line.getSettledLength(), rig.line.getTargetLength()) << "not yet";
        rig.tick();
        EXPECT_EQ(rig.line.getCurrentLength(), c.length) << "arrived after the new length";
        EXPECT_EQ(rig.line.getSettledLength(), c.length);
        const float arrived = rig.tick();
        EXPECT_EQ(rig.tick() - arrived, 1.0f) << "then plays at normal speed";
    }
}

TEST(AnalogDelayLine, StepModeAppliesTheNewLengthAtTheNextSample)
{
    LineRig rig;
    rig.fill();
    rig.line.setParameter("Mode", Line::kStep);
    rig.line.setParameter("Delay", 100.0f);
    EXPECT_EQ(rig.line.getCurrentLength(), 4410.0f);
    const float now = float(rig.n);
    EXPECT_EQ(rig.tick(), now - 4410.0f);
}

TEST(AnalogDelayLine, ARateChangeByUpdateOrByPrepareResizesAndRampsToDelay)
{
    for (const bool byUpdate : {true, false}) {
        LineRig rig;
        rig.settleAt(250.0f);
        rig.fill();
        rig.environment.rate = 48000.0f;
        if (byUpdate)
            rig.line.update();
        else
            rig.line.prepare();
        const std::string path = byUpdate ? "update" : "prepare";
        EXPECT_EQ(rig.line.getBufferSize(), 24001u) << path;
        EXPECT_EQ(rig.line.getWriteIndex(), 0) << path;
        EXPECT_EQ(rig.line.getCurrentLength(), 24000.0f) << path;
        EXPECT_EQ(rig.line.getTargetLength(), 12000.0f) << path << ": \"Delay\" kept";
        EXPECT_EQ(rig.line.getStep(), -1.0f) << path;
        rig.run(12000);
        EXPECT_EQ(rig.line.getCurrentLength(), 12000.0f) << path;
        EXPECT_EQ(rig.line.getParameter("Delay").getValue(), 250.0f) << path;
        rig.run(12000);
        const float now = float(rig.n);
        EXPECT_EQ(rig.tick(), now - 12000.0f) << path;
    }
}

TEST(AnalogDelayLine, NoDelayValueOrRatioReadsOutsideTheRing)
{
    // "Delay" sent straight to the line, beyond its range: the length goes to
    // the range's end, never further (the sanitizer build checks every read).
    const struct {
        float ms, length;
    } delays[] = {{1000.0f, 22050.0f}, {-5.0f, 1102.5f}, {kInf, 22050.0f}, {-kInf, 1102.5f}};
    for (const auto& d : delays) {
        LineRig rig;
        rig.settleAt(250.0f);
        rig.line.setParameter("Delay", d.ms);
        EXPECT_EQ(rig.line.getTargetLength(), d.length) << d.ms;
        rig.run(30000);
        EXPECT_EQ(rig.line.getCurrentLength(), d.length) << d.ms;
        const float now = float(rig.n);
        EXPECT_EQ(rig.tick(), now - d.length) << d.ms;
    }
    // NaN is ignored: the line stays on its way.
    LineRig rig;
    rig.settleAt(250.0f);
    rig.line.setParameter("Delay", kNaN);
    EXPECT_EQ(rig.line.getTargetLength(), 11025.0f);

    // A ratio past the ring reads its oldest sample; none, a negative one or
    // NaN the sample just written.
    rig.fill();
    const float ratios[] = {2.0f, 1e6f, kInf, 0.0f, -3.0f, -kInf, kNaN};
    for (float ratio : ratios) {
        const float now = float(rig.n);
        const float y = rig.tick(ratio);
        if (ratio > 1.0f)
            EXPECT_EQ(y, now - 22050.0f) << ratio;
        else
            EXPECT_EQ(y, now) << ratio;
    }
}

TEST(AnalogDelayLine, AsAGraphModuleItReadsTheRatioFromInPcr)
{
    rig::RootEnvironment environment;
    Line line;
    line.build(&environment);
    rig::Feed in, ratio;
    line.getInput("In").connect(&in);
    line.getInput("InPcr").connect(&ratio);
    line.resolveConnections();
    line.bindPorts();
    line.resetParametersToDefaults();
    ratio.fill(0.5f); // half of 22050 samples
    float n = 0.0f;
    for (int block = 0; block < 400; ++block) {
        for (std::uint32_t i = 0; i < 64; ++i)
            in.data()[i] = n++;
        line.process();
    }
    const std::vector<float> y = rig::samples(line.getOutput("Out"), 64);
    for (std::uint32_t i = 0; i < 64; ++i)
        EXPECT_EQ(y[i], n - 64.0f + float(i) - 11025.0f) << i;

    // A NaN or infinite input sample is stored as silence.
    in.fill(kNaN);
    line.process();
    ratio.fill(0.0f);
    in.fill(kInf);
    line.process();
    for (float v : rig::samples(line.getOutput("Out"), 64))
        EXPECT_EQ(v, 0.0f);

    // reset clears the ring and keeps the length.
    line.reset();
    ratio.fill(0.5f);
    in.fill(1.0f);
    line.process();
    EXPECT_EQ(rig::samples(line.getOutput("Out"), 64).back(), 0.0f);
    EXPECT_EQ(line.getCurrentLength(), 22050.0f);
}
