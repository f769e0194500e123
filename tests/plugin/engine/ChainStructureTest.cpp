#include "plugin/engine/ChainStructure.h"
#include "engine/host/TestChain.h"
#include "plugin/engine/Main.h"
#include "plugin/rig/Rig.h"
#include "tests/support/ChainDescription.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

using Zq::BorvanRAZ::Engine::ChainStructure;

namespace {

std::vector<std::pair<std::string, std::string>>
hostPorts(const std::multimap<std::string, AudioEngine::ModuleSetDescription::HostPort>& map)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& [channel, port] : map)
        out.emplace_back(channel, port.module + "." + port.port);
    return out;
}

} // namespace

static void expectSameChain(const AudioEngine::ModuleSetDescription& built,
                            const AudioEngine::ModuleSetDescription& expected)
{
    ASSERT_EQ(built.modules.size(), expected.modules.size());
    for (std::size_t i = 0; i < expected.modules.size(); ++i) {
        EXPECT_EQ(built.modules[i].type, expected.modules[i].type) << i;
        EXPECT_EQ(built.modules[i].instance, expected.modules[i].instance) << i;
    }
    ASSERT_EQ(built.connections.size(), expected.connections.size());
    for (std::size_t i = 0; i < expected.connections.size(); ++i) {
        const auto& b = built.connections[i];
        const auto& e = expected.connections[i];
        EXPECT_EQ(std::tie(b.sourceModule, b.sourceOutput, b.destinationModule, b.destinationInput),
                  std::tie(e.sourceModule, e.sourceOutput, e.destinationModule, e.destinationInput))
            << i;
    }
    EXPECT_EQ(hostPorts(built.hostInputs), hostPorts(expected.hostInputs));
    EXPECT_EQ(hostPorts(built.hostOutputs), hostPorts(expected.hostOutputs));
}

TEST(ChainStructure, BuildsTheSixteenModulesHostBindingsAndTwentyConnectionsInOrder)
{
    const AudioEngine::ModuleSetDescription built = ChainStructure().build();
    EXPECT_EQ(built.modules.size(), 16u);
    EXPECT_EQ(built.connections.size(), 20u);
    using Ports = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(hostPorts(built.hostInputs), (Ports{{"In", "Meter_Input.In"}, {"In", "Tuner.In"}}));
    EXPECT_EQ(hostPorts(built.hostOutputs),
              (Ports{{"OutL", "Master_Output.OutL"}, {"OutR", "Master_Output.OutR"}}));

    // The same chain as the module host's and the rig chain's own fixtures,
    // each written from the rig's tables.
    expectSameChain(built, test::rigDescription());
    expectSameChain(built, rig::chainDescription());
}

TEST(ChainStructure, ComposesNamesInnerFirst)
{
    EXPECT_EQ(ChainStructure::compose("Volume", ChainStructure::compose("PanVolume", "Tuner")),
              "Volume_PanVolume_Tuner");
    EXPECT_EQ(ChainStructure::compose("Gain", "Master_Output"), "Gain_Master_Output");
}

// The real rig, built from the description through the engine: a bass note
// comes out on both channels once the fixed latency has passed.
TEST(ChainStructure, TheRealRigPlaysASineThroughTheEngine)
{
    Zq::BorvanRAZ::Document::Rig document;
    Zq::BorvanRAZ::Engine::Main engine(document);
    ASSERT_NE(engine.getFacade(), nullptr);

    constexpr int kFrames = 256;
    constexpr int kBlocks = 40;
    std::vector<float> in(kFrames), left(kFrames), right(kFrames);
    const float* inputs[] = {in.data()};
    float* outputs[] = {left.data(), right.data()};
    double phase = 0.0;
    double energyL = 0.0, energyR = 0.0;
    bool finite = true;
    for (int block = 0; block < kBlocks; ++block) {
        for (float& x : in) {
            x = 0.5f * static_cast<float>(std::sin(phase));
            phase += 2.0 * M_PI * 110.0 / 44100.0;
        }
        engine.setTempo(120.0f);
        engine.process(inputs, outputs, kFrames);
        for (int i = 0; i < kFrames; ++i) {
            finite = finite && std::isfinite(left[i]) && std::isfinite(right[i]);
            // Past the host's fixed latency of four samples.
            if (block > 0 || i >= 4) {
                energyL += double(left[i]) * left[i];
                energyR += double(right[i]) * right[i];
            }
        }
    }
    EXPECT_TRUE(finite);
    EXPECT_GT(energyL / (kBlocks * kFrames), 1e-6);
    EXPECT_GT(energyR / (kBlocks * kFrames), 1e-6);
}
