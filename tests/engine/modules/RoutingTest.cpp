#include "tests/support/ElementRig.h"

#include "engine/modules/AddAndSplit.h"
#include "engine/modules/AddAndSplitStereo.h"
#include "engine/modules/Adder.h"
#include "engine/modules/AdderStereo.h"
#include "engine/modules/LinearComb2.h"
#include "engine/modules/MixerStereo.h"
#include "engine/modules/SplitterStereo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>

using namespace rig;
using AudioEngine::BorvanQom::Application::MixerStereo;
namespace App = AudioEngine::CX2::Application;

namespace {

using Comb = MixerStereo::Combinator;
constexpr float kDenormal = std::numeric_limits<float>::denorm_min() * 1000.0f;

struct MixerRig {
    MixerRig()
    {
        mixer.setInstanceName("MainMixer");
        bringUp(mixer, environment);
        const char* names[] = {"In1L", "In2L", "In1R", "In2R"};
        for (int k = 0; k < 4; ++k) {
            mixer.getInput(names[k]).connect(&feeds[k]);
            feeds[k].fill(float(k + 1)); // In1L 1, In2L 2, In1R 3, In2R 4
        }
        mixer.resolveConnections();
    }
    float out(const char* name)
    {
        mixer.process();
        return mixer.getOutput(name).getBuffer()[7];
    }
    float weight(const char* side, const char* name)
    {
        return mixer.getSubModule(std::string("LinearComb2") + side).getParameter(name).getValue();
    }

    RootEnvironment environment;
    MixerStereo mixer;
    Feed feeds[4];
};

} // namespace

TEST(MixerStereo, MixCrossfadesBothSidesAndDrivesTheWeightsItHides)
{
    MixerRig rig;
    EXPECT_EQ(rig.mixer.getParameterCount(), 1u); // only "Mix"; "A1"/"A2" are reached through it
    EXPECT_EQ(rig.out("OutL"), 1.5f);             // the default 0.5 is an even mix

    struct Case {
        float mix, outL, outR, a1, a2, stored;
    } cases[] = {
        {1.0f, 1.0f, 3.0f, 1.0f, 0.0f, 1.0f}, // passes In1
        {0.0f, 2.0f, 4.0f, 0.0f, 1.0f, 0.0f}, // passes In2
        {1.5f, 1.0f, 3.0f, 1.0f, 0.0f, 1.0f}, // 1 - 1.5 = -0.5 limited to 0 by "A2"
        {0.25f, 1.75f, 3.75f, 0.25f, 0.75f, 0.25f},
    };
    for (const Case& c : cases) {
        rig.mixer.setParameter("Mix", c.mix);
        EXPECT_EQ(rig.mixer.getParameter("Mix").getValue(), c.stored) << c.mix;
        for (const char* side : {"L", "R"}) {
            EXPECT_EQ(rig.weight(side, "A1"), c.a1) << c.mix;
            EXPECT_EQ(rig.weight(side, "A2"), c.a2) << c.mix;
        }
        EXPECT_EQ(rig.out("OutL"), c.outL) << c.mix;
        EXPECT_EQ(rig.out("OutR"), c.outR) << c.mix;
    }
}

TEST(LinearComb2, ADenormalProductComesOutAsPositiveZeroInBothRoutines)
{
    for (std::uint32_t flags : {0x193u, 0x13u}) {
        RootEnvironment environment;
        struct Probe : Comb {
            explicit Probe(std::uint32_t f) { info_.flags = f; }
        } comb(flags);
        bringUp(comb, environment);
        Feed in1, in2;
        comb.getInput("In1").connect(&in1);
        comb.getInput("In2").connect(&in2);
        comb.resolveConnections();
        comb.setParameter("A1", 1.0f);
        in1.set({kDenormal, -kDenormal, 0.5f, -0.0f});
        comb.process();
        const float* y = comb.getOutput("Out").getBuffer();
        for (int i : {0, 1, 3}) {
            EXPECT_EQ(y[i], 0.0f) << flags << " " << i;
            EXPECT_FALSE(std::signbit(y[i])) << flags << " " << i;
        }
        EXPECT_EQ(y[2], 0.5f);
    }
}

TEST(LinearComb2, FourLaneAndPerSampleRoutinesAgreeForEveryChunkLength)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    float x1[64], x2[64];
    for (int i = 0; i < 64; ++i) {
        x1[i] = sample(random);
        x2[i] = i % 5 == 0 ? kDenormal : sample(random) * 1e-36f; // tiny products flush
    }
    for (std::uint32_t n : {0u, 4u, 60u, 64u}) {
        float scalar[64], vector[64];
        std::fill_n(scalar, 64, 9.0f);
        std::fill_n(vector, 64, 9.0f);
        AudioEngine::LinearComb2Details::combine(x1, x2, scalar, n, 0.3f, 0.9f);
        AudioEngine::LinearComb2Details::combineFourLane(x1, x2, vector, n, 0.3f, 0.9f);
        EXPECT_EQ(std::memcmp(scalar, vector, sizeof scalar), 0) << n;
        if (n < 64) {
            EXPECT_EQ(vector[n], 9.0f) << "wrote past the chunk of " << n;
        }
    }
}

TEST(Adder, AddsEveryInputSampleOfAnOddChunkBufferedAndInPlace)
{
    for (std::int32_t policy : {0, 2}) {
        RootEnvironment environment;
        environment.policy = policy;
        environment.chunk = 5;
        AudioEngine::Adder<2> adder;
        bringUp(adder, environment);
        Feed in1, in2;
        adder.getInput("In1").connect(&in1);
        adder.getInput("In2").connect(&in2);
        adder.resolveConnections();
        in1.set({1, 2, 3, 4, 5, 6});
        in2.set({10, 20, 30, 40, 50, 60});
        adder.process();
        EXPECT_EQ(samples(adder.getOutput("Out"), 6),
                  (std::vector<float>{11, 22, 33, 44, 55, policy ? 6.0f : 0.0f}))
            << "policy " << policy;
        EXPECT_EQ(adder.getOutput("Out").getBuffer() == in1.data(), policy == 2);
    }
}

TEST(RoutingComposites, EveryOutputCarriesItsSideAndNoParameterIsExposed)
{
    struct Case {
        const char* name;
        AudioEngine::Module* module;
        std::vector<std::pair<const char*, float>> inputs;
        std::vector<std::pair<const char*, float>> outputs;
    };
    App::SplitterStereo splitter;
    App::AdderStereo adder;
    App::AddAndSplit addAndSplit;
    App::AddAndSplitStereo addAndSplitStereo;
    const Case cases[] = {
        {"SplitterStereo",
         &splitter,
         {{"InL", 1}, {"InR", 2}},
         {{"Out1L", 1}, {"Out2L", 1}, {"Out1R", 2}, {"Out2R", 2}}},
        {"AdderStereo",
         &adder,
         {{"In1L", 1}, {"In2L", 2}, {"In1R", 4}, {"In2R", 8}},
         {{"OutL", 3}, {"OutR", 12}}},
        {"AddAndSplit", &addAndSplit, {{"In1", 1}, {"In2", 2}}, {{"Out1", 3}, {"Out2", 3}}},
        {"AddAndSplitStereo",
         &addAndSplitStereo,
         {{"In1L", 1}, {"In2L", 2}, {"In1R", 4}, {"In2R", 8}},
         {{"Out1L", 3}, {"Out2L", 3}, {"Out1R", 12}, {"Out2R", 12}}},
    };
    for (const Case& c : cases) {
        RootEnvironment environment;
        bringUp(*c.module, environment);
        EXPECT_EQ(c.module->getInfo().type, c.name);
        EXPECT_EQ(c.module->getParameterCount(), 0u) << c.name;
        EXPECT_EQ(c.module->getInputs().size(), c.inputs.size()) << c.name;
        EXPECT_EQ(c.module->getOutputs().size(), c.outputs.size()) << c.name;
        std::vector<Feed> feeds(c.inputs.size());
        for (std::size_t k = 0; k < c.inputs.size(); ++k) {
            c.module->getInput(c.inputs[k].first).connect(&feeds[k]);
            feeds[k].fill(c.inputs[k].second);
        }
        c.module->resolveConnections();
        c.module->process();
        for (const auto& [name, expected] : c.outputs)
            EXPECT_EQ(samples(c.module->getOutput(name), 64), std::vector<float>(64, expected))
                << c.name << " " << name;
    }
}
