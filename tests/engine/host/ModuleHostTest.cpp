#include "TestChain.h"

#include "engine/dsp/KernelDispatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <thread>

using namespace test;

namespace {

template <class Shape> Stub<Shape>& stubOf(TestHost& host, const std::string& name)
{
    return dynamic_cast<Stub<Shape>&>(host.getModuleSet().getSubModule(name));
}

// Runs host blocks of `frames` with a constant input and collects both outputs.
struct Runner {
    explicit Runner(TestFacade& facade) : facade(facade) {}

    void run(std::uint32_t frames, float input = 1.0f)
    {
        std::vector<float> in(frames, input), left(frames), right(frames);
        const float* inputs[] = {in.data()};
        float* outputs[] = {left.data(), right.data()};
        facade.process(inputs, outputs, frames);
        outL.insert(outL.end(), left.begin(), left.end());
        outR.insert(outR.end(), right.begin(), right.end());
    }

    TestFacade& facade;
    std::vector<float> outL, outR;
};

} // namespace

TEST(ModuleHost, TheRigChainIsBuiltFromItsDescription)
{
    TestFacade facade;
    TestHost& host = facade.host;
    ModuleSetBase& set = host.getModuleSet();

    ASSERT_EQ(set.getSubModules().size(), 16u);
    EXPECT_EQ(utils::getFeatures() & utils::kFeatureSse, 0u); // the host keeps the plain kernels
    EXPECT_EQ(set.getSubModules()[0].name, "Meter_Input");
    EXPECT_EQ(set.getSubModules()[15].name, "MeterR_Output");
    EXPECT_EQ(host.getInputCount(), 1u); // "In" bound twice, created once
    EXPECT_EQ(host.getOutputCount(), 2u);
    for (const char* name : {"Gain_Master_Output", "Process_AmpModule", "Model_0_AmpModule",
                             "Reference_Tuner", "Mix_MainMixer"})
        EXPECT_EQ(host.findParameter(name), name);
    EXPECT_EQ(host.findInput("In"), "In");
    // Host channels follow name order: input 0 is "In", outputs 0 and 1 are
    // "OutL" and "OutR", and "In" reads host output 0.
    EXPECT_EQ(host.getOutputBuffer(0), set.getOutput("OutL").getBuffer());
    EXPECT_EQ(host.getOutputBuffer(1), set.getOutput("OutR").getBuffer());
    EXPECT_NE(host.getOutputBuffer(0), host.getOutputBuffer(1));
    EXPECT_EQ(host.getOutputBuffer(2), nullptr);
    EXPECT_EQ(host.findOutput("OutR"), "OutR");
    EXPECT_THROW(host.findParameter("Gain_Nowhere"), UnknownName);

    // One host channel feeds both the input meter and the tuner.
    const float samples[64] = {0.25f, -0.5f};
    float left[64], right[64];
    const float* inputs[] = {samples};
    float* outputs[] = {left, right};
    facade.process(inputs, outputs, 64);
    const Module& meter = set.getSubModule("Meter_Input");
    const Module& tuner = set.getSubModule("Tuner");
    EXPECT_EQ(meter.getInput("In").getBuffer(), tuner.getInput("In").getBuffer());
    EXPECT_EQ(stubOf<MeterShape>(host, "Meter_Input").getOutput("Out").getBuffer()[5], -0.5f);
    EXPECT_EQ(stubOf<TunerShape>(host, "Tuner").getOutput("Out").getBuffer()[5], -0.5f);
}

TEST(ModuleHost, PushedChangesReachTheModulesBehindComposedNames)
{
    TestFacade facade;
    Runner runner(facade);
    facade.set("Gain_Master_Output", 20.0f); // slewed, but others wait behind it
    facade.set("Model_0_AmpModule", 2.0f);   // set at once
    facade.set("Process_AmpModule", 1.0f);   // a named-states parameter
    runner.run(64);

    ModuleSetBase& set = facade.host.getModuleSet();
    auto& amps = static_cast<ModuleStructured&>(set.getSubModule("AmpModule"));
    EXPECT_EQ(amps.getSubModule("0").getParameter("Model").getValue(), 2.0f);
    EXPECT_EQ(amps.getParameter("Process").getValue(), 1.0f);
    EXPECT_EQ(facade.get("Gain_Master_Output"), 20.0f); // arrived in one drain
    EXPECT_EQ(set.getSubModule("Master_Output").getParameter("Gain").getValue(), 20.0f);
    EXPECT_EQ(facade.get("NotAParameter"), 0.0f);

    facade.set("Gain_Master_Output", -20.0f);
    runner.run(64);
    EXPECT_LT(facade.get("Gain_Master_Output"), 20.0f);
    EXPECT_GT(facade.get("Gain_Master_Output"), -20.0f); // still on its way

    EXPECT_EQ(facade.host.getParameterStates("Process_AmpModule").at("Bypass"), 1.0f);
    EXPECT_TRUE(facade.host.getParameterStates("Gain_Nowhere").empty());
    EXPECT_FALSE(set.findParameter("Gain_Nowhere"));
}

TEST(ModuleHost, OutputIsTheInputFourSamplesLateForAnyHostBlocks)
{
    TestFacade facade;
    std::mt19937 random(11);
    std::uniform_int_distribution<std::uint32_t> size(1, 8192);
    std::vector<float> sent, left, right;
    float next = 1.0f;
    for (int call = 0; call < 60; ++call) {
        const std::uint32_t frames = call % 3 == 0   ? 1 + call % 3
                                     : call % 3 == 1 ? size(random) % 200 + 1
                                                     : size(random);
        std::vector<float> in(frames), l(frames), r(frames);
        for (float& x : in)
            x = next++;
        const float* inputs[] = {in.data()};
        float* outputs[] = {l.data(), r.data()};
        facade.process(inputs, outputs, frames);
        sent.insert(sent.end(), in.begin(), in.end());
        left.insert(left.end(), l.begin(), l.end());
        right.insert(right.end(), r.begin(), r.end());
        ASSERT_EQ(facade.host.getInputFill() + facade.host.getOutputFill(), 4u);
        ASSERT_GE(facade.host.getInputFill(), 1u);
    }
    for (std::size_t t = 0; t < sent.size(); ++t) {
        const float expected = t < 4 ? 0.0f : sent[t - 4];
        ASSERT_EQ(left[t], expected) << "frame " << t;
        ASSERT_EQ(right[t], expected) << "frame " << t;
    }
}

TEST(ModuleHost, TheRateReachesEveryModuleBeforeTheNextPiece)
{
    TestFacade facade;
    Runner runner(facade);
    auto& phase = stubOf<PhaseAdjustShape>(facade.host, "PhaseAdjust");
    EXPECT_EQ(phase.getSampleRate(), 44100.0f);
    const int updatesBefore = phase.updates;

    EXPECT_TRUE(facade.setRate(96000.0f));
    EXPECT_EQ(phase.updates, updatesBefore + 1);
    EXPECT_EQ(phase.getSampleRate(), 96000.0f);
    EXPECT_FALSE(facade.setRate(0.0f));
    EXPECT_FALSE(facade.setRate(std::nanf("")));
    EXPECT_EQ(phase.getSampleRate(), 96000.0f);

    // Slews follow the new rate: 64 samples at 96 kHz move a 40 dB range by
    // 40 * (64 / 96000) / 0.1.
    facade.set("Gain_Master_Output", 20.0f);
    runner.run(64);
    EXPECT_NEAR(facade.get("Gain_Master_Output"), 40.0f * 64 / 96000 / 0.1f, 1e-4f);
}

TEST(ModuleHost, PiecesOfNoSamplesRunNeitherTheQueueNorTheGraph)
{
    TestFacade facade;
    Runner runner(facade);
    auto& tuner = stubOf<TunerShape>(facade.host, "Tuner");
    runner.run(3); // fill 3
    const int pieces = tuner.pieces;
    facade.set("Model_0_AmpModule", 1.0f);
    runner.run(1); // a 0-sample piece
    EXPECT_EQ(tuner.pieces, pieces);
    EXPECT_EQ(facade.host.getParameterChanges().getPendingCount(), 1u);
    runner.run(4);
    EXPECT_EQ(tuner.pieces, pieces + 1);
    EXPECT_EQ(facade.host.getParameterChanges().getPendingCount(), 0u);
}

TEST(ModuleHost, AChainOfMoreThanFourOutputsIsRefused)
{
    ModuleSetDescription description;
    description.modules = {{"Splitter", "A"}, {"Splitter", "B"}, {"Splitter", "C"}};
    description.hostInputs.insert({"In", {"A", "In"}});
    for (const char* name : {"O1", "O2", "O3", "O4", "O5"})
        description.hostOutputs.insert({name, {std::string(1, "ABC"[name[1] % 3]), "Out1"}});
    EXPECT_THROW(TestHost host(description), std::length_error);
}

TEST(ModuleHost, BatchesFadeOutApplyFlushAndFadeIn)
{
    TestFacade facade;
    TestHost& host = facade.host;
    Runner runner(facade);
    runner.run(256);

    // An empty batch leaves the host running.
    ASSERT_TRUE(host.beginChangeBatch());
    EXPECT_TRUE(host.startApplyingChanges());
    EXPECT_FALSE(host.isBusy());

    ASSERT_TRUE(host.beginChangeBatch());
    EXPECT_FALSE(host.beginChangeBatch());
    facade.set("Model_0_AmpModule", 2.0f);
    facade.set("Gain_Master_Output", -6.0f);
    facade.set("Delay_PhaseAdjust", 10.0f);
    ASSERT_TRUE(host.startApplyingChanges());

    runner.outL.clear();
    std::vector<bool> busy;
    for (int call = 0; call < 60; ++call) {
        busy.push_back(host.isBusy());
        runner.run(64);
    }
    const std::vector<float>& out = runner.outL;
    const float step = 50.0f / 44100.0f;
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_NEAR(out[441], 1.0f - 441 * step, 1e-4f);
    EXPECT_NEAR(out[881], 1.0f - 881 * step, 1e-4f);

    // Silent from the end of the fade-out until the fade-in begins, 20 ms later.
    const auto firstSilent = std::find(out.begin(), out.end(), 0.0f) - out.begin();
    EXPECT_GE(firstSilent, 881);
    EXPECT_LE(firstSilent, 883);
    const auto sound =
        std::find_if(out.begin() + firstSilent, out.end(), [](float x) { return x != 0.0f; });
    const auto silentFrames = sound - (out.begin() + firstSilent);
    EXPECT_NEAR(static_cast<double>(silentFrames), 896.0, 64.0); // whole pieces of ~20 ms

    // The batch was applied while silent; the fade-in ends back at full level.
    EXPECT_EQ(host.getModuleSet().getSubModule("PhaseAdjust").getParameter("Delay").getValue(),
              10.0f);
    EXPECT_EQ(host.getModuleSet().getSubModule("Master_Output").getParameter("Gain").getValue(),
              -6.0f);
    const auto fullAgain = std::find(sound, out.end(), 1.0f) - sound;
    EXPECT_NEAR(static_cast<double>(fullAgain), 882.0, 70.0);
    EXPECT_FALSE(host.isBusy());
    EXPECT_EQ(host.getState(), 0);
    const auto busyCalls = std::count(busy.begin(), busy.end(), true);
    EXPECT_GE(busyCalls, (882 + 882 + 882) / 64);
}

TEST(ModuleHost, WithoutFadesOnePieceAppliesTheWholeBatch)
{
    TestFacade facade;
    TestHost& host = facade.host;
    host.setFadeOnChanges(false);
    Runner runner(facade);
    ASSERT_TRUE(host.beginChangeBatch());
    facade.set("Delay_PhaseAdjust", 10.0f);
    facade.set("Reference_Tuner", 432.0f);
    ASSERT_TRUE(host.startApplyingChanges());
    EXPECT_EQ(host.getState(), ModuleHostBase::Applying);
    runner.run(64);
    EXPECT_EQ(host.getState(), ModuleHostBase::Running);
    EXPECT_EQ(facade.get("Reference_Tuner"), 432.0f);
    EXPECT_EQ(runner.outL[10], 1.0f); // processed normally
}

TEST(ModuleHost, ABatchFedTinyHostBlocksAlwaysFinishes)
{
    TestFacade facade;
    TestHost& host = facade.host;
    Runner runner(facade);
    ASSERT_TRUE(host.beginChangeBatch());
    for (int i = 0; i < 40; ++i)
        facade.set("Delay_PhaseAdjust", static_cast<float>(i % 20));
    ASSERT_TRUE(host.startApplyingChanges());
    int calls = 0;
    for (; host.isBusy() && calls < 20000; ++calls)
        runner.run(1 + calls % 3);
    EXPECT_FALSE(host.isBusy());
    EXPECT_FALSE(host.getParameterChanges().isBatchActive());
    facade.set("Model_0_AmpModule", 1.0f); // single changes flow again
    runner.run(64);
    EXPECT_EQ(facade.get("Model_0_AmpModule"), 1.0f);
}

TEST(ModuleHost, ValuesAreReadWithoutTheLockWhileAudioRuns)
{
    TestFacade facade;
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop)
            (void)facade.get("Gain_Master_Output");
    });
    Runner runner(facade);
    for (int i = 0; i < 200; ++i) {
        facade.set("Gain_Master_Output", (i % 2) ? 10.0f : -10.0f);
        runner.run(128);
    }
    stop = true;
    reader.join();
    SUCCEED();
}
