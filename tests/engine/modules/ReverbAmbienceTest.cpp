#include "tests/support/ElementRig.h"

#include "engine/core/UnknownName.h"
#include "engine/host/ModuleCreators.h"
#include "engine/host/ParameterChanges.h"
#include "engine/modules/ReverbAmbience.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace rig;
using AudioEngine::CX2::ReverbAmbience;

namespace {

struct AmbienceRig {
    AmbienceRig()
    {
        bringUp(ambience, environment);
        ambience.getInput("InL").connect(&left);
        ambience.getInput("InR").connect(&right);
        ambience.resolveConnections();
        outL = &ambience.getOutput("OutL");
        outR = &ambience.getOutput("OutR");
    }
    // One chunk; the feeds keep what the test put in them.
    void chunk(std::uint32_t n = 64)
    {
        environment.chunk = n;
        ambience.process();
    }
    // Chunks of silence; answers whether every output sample was zero.
    bool silentChunks(int count)
    {
        left.fill(0.0f);
        right.fill(0.0f);
        bool zero = true;
        for (int i = 0; i < count; ++i) {
            chunk();
            for (const Port* out : {outL, outR})
                for (float y : samples(*out, 64))
                    zero = zero && y == 0.0f;
        }
        return zero;
    }
    void impulse(Feed& feed)
    {
        left.fill(0.0f);
        right.fill(0.0f);
        feed.data()[0] = 1.0f;
        chunk();
    }

    RootEnvironment environment;
    ReverbAmbience ambience;
    Feed left;
    Feed right;
    Port* outL = nullptr;
    Port* outR = nullptr;
};

} // namespace

TEST(ReverbAmbience, BuildsTheStereoPortsAndParametersAndPreparesItsRoom)
{
    RootEnvironment environment;
    ReverbAmbience fresh;
    fresh.build(&environment);
    EXPECT_EQ(fresh.getInfo().type, "Reverb");
    EXPECT_EQ(fresh.getInfo().flags, 18u);
    EXPECT_NO_THROW(fresh.getInput("InL"));
    EXPECT_NO_THROW(fresh.getInput("InR"));
    EXPECT_NO_THROW(fresh.getOutput("OutL"));
    EXPECT_NO_THROW(fresh.getOutput("OutR"));
    EXPECT_EQ(fresh.getParameter("Time").getValue(), 30.0f) << "set at prepare";
    EXPECT_NEAR(fresh.getEffect().getDecayTime(), 0.1 * std::pow(3.0, 60.0 / 128.0), 1e-6);
    EXPECT_TRUE(fresh.getEffect().isRunning());
    EXPECT_EQ(fresh.getEffect().getInputChannels(), 2);

    struct Default {
        const char* name;
        float value;
    };
    for (const Default d : {Default{"Time", 40}, Default{"Density", 64}, Default{"Level", 64},
                            Default{"Color", 64}, Default{"Size", 16}}) {
        const auto& p = fresh.getParameter(d.name);
        EXPECT_EQ(p.getDefault(), d.value) << d.name;
        EXPECT_EQ(p.getMinimum(), 0.0f);
        EXPECT_EQ(p.getMaximum(), 127.0f);
        EXPECT_EQ(p.getFlags(), 0u);
    }
    EXPECT_THROW(fresh.setParameter("Decay", 3.0f), AudioEngine::UnknownName);

    // The creator table's entry makes one by its name.
    AudioEngine::ModuleSelectorDetails::ModuleCreators creators;
    creators.add<ReverbAmbience>("Ambience");
    EXPECT_NE(dynamic_cast<ReverbAmbience*>(creators.create("Ambience").get()), nullptr);
}

TEST(ReverbAmbience, ParametersReachTheirControllersAsIntegers)
{
    AmbienceRig rig;
    struct Case {
        const char* name;
        std::int32_t control;
    };
    using R = mixer::TRoomReverb;
    for (const Case c :
         {Case{"Time", R::kTime}, Case{"Color", R::kColor}, Case{"Density", R::kDensity},
          Case{"Level", R::kLevel}, Case{"Size", R::kSize}}) {
        rig.ambience.setParameter(c.name, 100.7f);
        EXPECT_EQ(rig.ambience.getEffect().getControl(c.control).value, 100.0f / 128.0f) << c.name;
        rig.ambience.setParameter(c.name, 1000.0f); // limited by the parameter first
        EXPECT_EQ(rig.ambience.getEffect().getControl(c.control).value, 127.0f / 128.0f) << c.name;
    }
}

TEST(ReverbAmbience, AnImpulseOnEitherInputReachesBothOutputs)
{
    for (int side = 0; side < 2; ++side) {
        AmbienceRig rig;
        rig.impulse(side == 0 ? rig.left : rig.right);
        double energy[2] = {0.0, 0.0};
        rig.left.fill(0.0f);
        rig.right.fill(0.0f);
        for (int i = 0; i < 200; ++i) {
            rig.chunk();
            for (int o = 0; o < 2; ++o)
                for (float y : samples(o == 0 ? *rig.outL : *rig.outR, 64))
                    energy[o] += static_cast<double>(y) * y;
        }
        EXPECT_GT(energy[0], 1e-4) << "input " << side;
        EXPECT_GT(energy[1], 1e-4) << "input " << side;
    }
}

TEST(ReverbAmbience, LevelZeroCopiesTheInputsExactly)
{
    AmbienceRig rig;
    rig.ambience.setParameter("Level", 0.0f);
    EXPECT_TRUE(rig.ambience.isBypassed());
    EXPECT_FALSE(rig.ambience.getEffect().isRunning());
    std::vector<float> l(64), r(64);
    for (int i = 0; i < 64; ++i) {
        l[static_cast<std::size_t>(i)] = std::sin(0.1f * static_cast<float>(i)) * 3.0f;
        r[static_cast<std::size_t>(i)] = 1e-39f * static_cast<float>(i); // subnormals too
    }
    rig.left.set(l);
    rig.right.set(r);
    for (std::uint32_t n : {64u, 4u, 32u}) {
        rig.chunk(n);
        EXPECT_EQ(samples(*rig.outL, n), std::vector<float>(l.begin(), l.begin() + n));
        EXPECT_EQ(samples(*rig.outR, n), std::vector<float>(r.begin(), r.begin() + n));
    }
}

TEST(ReverbAmbience, ALevelSweepThroughTheQueueKeepsTheTailOnlyAWayBackFromZeroRestarts)
{
    AmbienceRig rig;
    AudioEngine::ModuleHostDetails::ParameterChanges queue(&rig.ambience, 0.1f);
    const float seconds = 64.0f / rig.environment.rate;
    rig.impulse(rig.left);
    rig.silentChunks(40); // the first echo leaves the line after some 2200 samples
    ASSERT_FALSE(rig.silentChunks(1));

    // 64 to 100 slews over some 20 chunks; the tail must sound through all of them.
    queue.push("Level", 100.0f);
    int steps = 0;
    while (queue.getPendingCount() > 0) {
        queue.drain(1024, seconds);
        ++steps;
        ASSERT_FALSE(rig.silentChunks(1)) << "tail wiped at step " << steps;
    }
    EXPECT_GT(steps, 10);
    EXPECT_EQ(rig.ambience.getParameter("Level").getValue(), 100.0f);
    EXPECT_NEAR(rig.ambience.getEffect().getWetGain(), 0.3f * 100.0f / 128.0f, 1e-6f);
    EXPECT_FALSE(rig.silentChunks(5));

    // Down to 0 and back: the reverb starts anew, with empty lines.
    rig.ambience.setParameter("Level", 0.0f);
    rig.silentChunks(1);
    rig.ambience.setParameter("Level", 64.0f);
    EXPECT_FALSE(rig.ambience.isBypassed());
    EXPECT_TRUE(rig.ambience.getEffect().isRunning());
    EXPECT_TRUE(rig.silentChunks(100));
}

TEST(ReverbAmbience, ARateChangePlacesTheTapsForTheNewRate)
{
    AmbienceRig rig;
    EXPECT_EQ(rig.ambience.getEffect().getTaps(0).b[0], 2910u);
    rig.impulse(rig.left);
    rig.environment.rate = 96000.0f;
    rig.ambience.update();
    EXPECT_EQ(rig.ambience.getEffect().getSampleRate(), 96000.0f);
    EXPECT_EQ(rig.ambience.getEffect().getTaps(0).b[0], 6336u);
    EXPECT_EQ(rig.ambience.getEffect().getTaps(1).b[0], 6144u);
    EXPECT_TRUE(rig.silentChunks(100)) << "restarted with empty lines";

    rig.impulse(rig.right);
    rig.ambience.reset();
    EXPECT_TRUE(rig.silentChunks(100)) << "reset restarts too";
}
