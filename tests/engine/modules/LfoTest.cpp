#include "tests/support/ElementRig.h"

#include "engine/modules/Lfo.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace rig;
using AudioEngine::Lfo;
using AudioEngine::LfoFunctions::Sine;
using AudioEngine::LfoFunctions::Triangle;

namespace {

template <class F> struct LfoRig {
    LfoRig() { bringUp(lfo, environment); }
    std::vector<float> run(std::uint32_t samples)
    {
        std::vector<float> out;
        while (out.size() < samples) {
            lfo.process();
            const float* y = lfo.getOutput("Out").getBuffer();
            out.insert(out.end(), y, y + 64);
        }
        out.resize(samples);
        return out;
    }

    RootEnvironment environment;
    Lfo<F> lfo;
};

} // namespace

TEST(Lfo, TheTriangleRisesFromMinusOneToPlusOneInHalfACycle)
{
    LfoRig<Triangle<float, float>> rig;
    EXPECT_EQ(rig.lfo.getParameter("Rate").getMaximum(), 44100.0f);
    const std::vector<float> out = rig.run(44100 + 1);
    EXPECT_EQ(out[0], -1.0f);
    // The single-precision phase drifts by a few samples over a cycle.
    EXPECT_NEAR(out[22050], 1.0f, 1e-3f);
    EXPECT_NEAR(std::max_element(out.begin(), out.end()) - out.begin(), 22050, 4);
    EXPECT_NEAR(out[44100], -1.0f, 5e-3f) << "one cycle every 44100 samples";
}

TEST(Lfo, RateZeroHoldsAndPhaseRestartsTheCycle)
{
    LfoRig<Sine<float, float>> rig;
    rig.lfo.setParameter("Phase", 0.25f);
    EXPECT_EQ(rig.run(1)[0], 1.0f) << "the sine restarts at its maximum";

    rig.run(1000);
    rig.lfo.setParameter("Rate", 0.0f);
    const std::vector<float> held = rig.run(256);
    EXPECT_TRUE(std::all_of(held.begin(), held.end(), [&](float x) { return x == held.front(); }));
}

TEST(Lfo, ARateAboveTheSampleRateAfterARateDropKeepsThePhaseInOneCycle)
{
    LfoRig<Triangle<float, float>> rig;
    rig.lfo.setParameter("Rate", 44100.0f); // the maximum, fixed when built
    rig.environment.rate = 10000.0f;        // the increment becomes 4.41
    rig.lfo.update();
    rig.lfo.setParameter("Phase", 0.3f);
    for (float x : rig.run(4096))
        ASSERT_TRUE(x >= -1.0f && x <= 1.0f) << x;
}
