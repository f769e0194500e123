#include "tests/support/ElementRig.h"

#include "engine/modules/LinearComb1.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace rig;

namespace {

struct Scale15 {
    static constexpr float minimum = 0.0f, maximum = 15.0f, defaultValue = 1.0f;
};
struct Offset20 {
    static constexpr float minimum = 0.0f, maximum = 20.0f, defaultValue = 5.0f;
};
using Combinator = AudioEngine::LinearComb1<Scale15, Offset20>;

// The same module made to run its plain routine.
struct PlainCombinator : Combinator {
    PlainCombinator() { info_.flags &= ~ModuleInfo::kVector; }
};

template <class T = Combinator> struct CombinatorRig {
    explicit CombinatorRig(std::uint32_t chunk = 64, float rate = 44100.0f)
    {
        environment.chunk = chunk;
        environment.rate = rate;
        plugIn(module, environment, feed);
    }
    std::vector<float> run(float input)
    {
        feed.fill(input);
        module.process();
        return samples(module.getOutput("Out"), environment.chunk);
    }

    RootEnvironment environment;
    T module;
    Feed feed;
};

// The block law in double: S_new = a (P + P_last) + b S_old.
struct Law {
    double a, b;
    Law(double rate, double n)
    {
        const double w = std::acos(-1.0) * 22.736420;
        a = w / (w + rate / n);
        b = 1.0 - 2.0 * a;
    }
};

} // namespace

TEST(LinearComb1, FourWideRoutineIsChosenAndTheFlagsAreTheCombinators)
{
    CombinatorRig<> rig;
    EXPECT_EQ(rig.module.getInfo().flags, 0x193u);
    EXPECT_EQ(rig.module.getInfo().type, "LinearCombinator1");
    EXPECT_EQ(rig.module.getInfo().description, "1-coeffs linear combinator");
    EXPECT_EQ(rig.module.getProcessRoutine(), &ModuleBasic::processBlockVector);
    EXPECT_EQ(rig.module.getParameter("Scale").getDefault(), 1.0f);
    EXPECT_EQ(rig.module.getParameter("Offset").getDefault(), 5.0f);
}

TEST(LinearComb1, SmoothsAtTheBlockRateAndEndsEachBlockOnItsTarget)
{
    // At 44100 Hz and 64 samples Fb = 689.0625 and a = 0.093924.
    const struct {
        std::uint32_t chunk;
        float rate;
        double a;
    } cases[] = {{64, 44100.0f, 0.093924}, {32, 44100.0f, 0.049276}, {16, 96000.0f, 0.011765}};
    for (const auto& c : cases) {
        CombinatorRig<> rig(c.chunk, c.rate);
        rig.module.setParameter("Offset", 0.0f);
        const Law law(c.rate, c.chunk);
        EXPECT_NEAR(law.a, c.a, 1e-6);

        // A new combinator fades in from 0: "Scale" 1 with "In" 1.
        double s = 0.0, last = 0.0;
        for (int block = 0; block < 40; ++block) {
            const float target = block < 20 ? 1.0f : 3.0f;
            rig.module.setParameter("Scale", target);
            const double previous = s;
            s = law.a * (target + last) + law.b * s;
            last = target;
            const std::vector<float> y = rig.run(1.0f);
            EXPECT_NEAR(rig.module.getScaleSmoother().a, law.a, 1e-7);
            EXPECT_NEAR(rig.module.getScaleSmoother().b, law.b, 1e-7);
            ASSERT_NEAR(y.back(), s, 1e-6 * std::max(1.0, s)) << c.chunk << " block " << block;
            EXPECT_EQ(y.back(), rig.module.getSmoothedScale())
                << "the last sample uses S_new exactly";
            // A linear ramp from S_old to S_new inside the block.
            const double step = (s - previous) / c.chunk;
            EXPECT_NEAR(y.front(), previous + step, 1e-6 * std::max(1.0, s));
        }
    }
}

TEST(LinearComb1, NoSampleStepsFurtherThanTheBlocksPerSampleStep)
{
    CombinatorRig<> rig;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> knob(0.0f, 15.0f);
    float previous = 0.0f; // the combinator starts silent
    for (int block = 0; block < 200; ++block) {
        if (block % 7 == 0)
            rig.module.setParameter("Scale", knob(random));
        const float before = rig.module.getSmoothedScale() + rig.module.getSmoothedOffset();
        const std::vector<float> y = rig.run(1.0f);
        const float after = rig.module.getSmoothedScale() + rig.module.getSmoothedOffset();
        const float step = std::fabs(after - before) / 64.0f;
        // A few units in the last place for the ramp's own rounding.
        const float slack =
            4.0f * std::numeric_limits<float>::epsilon() * std::max(1.0f, std::fabs(after));
        EXPECT_EQ(before, previous) << "blocks join without a jump";
        for (std::size_t i = 0; i < y.size(); ++i) {
            ASSERT_LE(std::fabs(y[i] - previous), step + slack)
                << "block " << block << ", sample " << i;
            previous = y[i];
        }
    }
}

TEST(LinearComb1, PlainAndFourWideRoutinesAgreeBitForBit)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> signal(-1.0f, 1.0f);
    std::uniform_real_distribution<float> knob(-1.0f, 21.0f);
    for (std::uint32_t chunk = 4; chunk <= 64; chunk += 4) {
        CombinatorRig<> wide(chunk);
        CombinatorRig<PlainCombinator> plain(chunk);
        ASSERT_EQ(plain.module.getProcessRoutine(), &ModuleBasic::processBlock);
        for (int block = 0; block < 30; ++block) {
            const float s = knob(random), o = knob(random);
            for (auto* module :
                 {static_cast<Module*>(&wide.module), static_cast<Module*>(&plain.module)}) {
                module->setParameter("Scale", s);
                module->setParameter("Offset", o);
            }
            for (std::uint32_t i = 0; i < chunk; ++i)
                wide.feed.data()[i] = plain.feed.data()[i] = signal(random);
            // A denormal input is flushed the same way by both.
            wide.feed.data()[1] = plain.feed.data()[1] = std::numeric_limits<float>::denorm_min();
            wide.module.process();
            plain.module.process();
            const auto a = samples(wide.module.getOutput("Out"), chunk);
            const auto b = samples(plain.module.getOutput("Out"), chunk);
            for (std::uint32_t i = 0; i < chunk; ++i)
                ASSERT_TRUE(sameBits(a[i], b[i]))
                    << "chunk " << chunk << ", block " << block << ", " << i;
        }
    }
}

TEST(LinearComb1, ResetLeavesTheSmoothedStatesAndDecayToZeroEndsExactly)
{
    CombinatorRig<> rig;
    rig.module.setParameter("Scale", 2.0f);
    for (int block = 0; block < 5; ++block)
        rig.run(1.0f);
    const float s = rig.module.getSmoothedScale(), o = rig.module.getSmoothedOffset();
    rig.module.reset();
    EXPECT_EQ(rig.module.getSmoothedScale(), s);
    EXPECT_EQ(rig.module.getSmoothedOffset(), o);

    // Targets of 0: the geometric decay is flushed to an exact 0, never a denormal.
    rig.module.setParameter("Scale", 0.0f);
    rig.module.setParameter("Offset", 0.0f);
    for (int block = 0; block < 1000; ++block)
        rig.run(1.0f);
    EXPECT_EQ(rig.module.getSmoothedScale(), 0.0f);
    EXPECT_EQ(rig.module.getSmoothedOffset(), 0.0f);
    EXPECT_EQ(rig.run(1.0f)[10], 0.0f);
}

TEST(LinearComb1, NonFiniteValuesNeverReachTheStates)
{
    CombinatorRig<> rig;
    const float inf = std::numeric_limits<float>::infinity();
    rig.module.setParameter("Scale", std::numeric_limits<float>::quiet_NaN()); // ignored
    rig.module.setParameter("Offset", -inf);                                   // the minimum, 0
    rig.run(std::numeric_limits<float>::quiet_NaN());
    rig.environment.chunk = 0; // an empty piece moves nothing
    rig.module.process();
    rig.environment.chunk = 64;
    EXPECT_TRUE(std::isfinite(rig.module.getSmoothedScale()));
    EXPECT_EQ(rig.module.getSmoothedOffset(), 0.0f);
    for (int block = 0; block < 200; ++block)
        rig.run(0.5f);
    EXPECT_FLOAT_EQ(rig.run(0.5f)[63], 0.5f);
}
