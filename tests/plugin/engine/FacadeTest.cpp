#include "EngineFixtures.h"

#include <gtest/gtest.h>

#include <set>

using namespace test;

namespace {

// The document and its engine over the real facade and graph.
struct RealRig {
    Doc::Rig document;
    Eng::Main engine{document};

    Eng::EngineFacade& facade() { return *engine.getFacade(); }
    AudioEngine::ModuleHostBase& host() { return facade().getModuleHost(); }

    // Enough blocks for queued changes, model switches included, to apply.
    void run(int blocks = 3)
    {
        float in[256] = {}, left[256], right[256];
        const float* inputs[] = {in};
        float* outputs[] = {left, right};
        for (int i = 0; i < blocks; ++i)
            engine.process(inputs, outputs, 256);
    }
};

// One engine for the tests below: building the graph is the expensive part.
RealRig& sharedRig()
{
    static RealRig rig;
    return rig;
}

} // namespace

TEST(EngineFacade, UnknownPathsAndNamesAnswerZeroAndCreateNothing)
{
    RealRig& rig = sharedRig();
    Eng::EngineFacade& facade = rig.facade();
    const auto parameters = rig.host().getModuleSet().getParameterCount();
    const auto states = rig.host().getParameterStates("Process_AmpModule");

    EXPECT_EQ(facade.getParameter("Gain_Nowhere"), 0.0f);
    EXPECT_EQ(facade.lookupNamedValue("Gain_Nowhere", "Bypass"), 0.0f);
    EXPECT_EQ(facade.lookupNamedValue("Process_AmpModule", "Sideways"), 0.0f);
    EXPECT_EQ(facade.lookupNamedValue("Gain_Master_Output", "Bypass"), 0.0f);
    EXPECT_EQ(facade.lookupNamedValue("Process_AmpModule", "Bypass"), 1.0f);

    EXPECT_EQ(rig.host().getModuleSet().getParameterCount(), parameters);
    EXPECT_EQ(rig.host().getParameterStates("Process_AmpModule"), states);
    EXPECT_TRUE(rig.host().getParameterStates("Gain_Nowhere").empty());

    // A change to a path the graph does not know is dropped where it is applied.
    const auto unknown = rig.host().getParameterChanges().getUnknownCount();
    facade.setParameterByName("Process_Nowhere", "Bypass");
    facade.setParameter("Gain_Nowhere", 1.0f);
    rig.run(1);
    EXPECT_EQ(rig.host().getParameterChanges().getUnknownCount(), unknown + 2);
}

TEST(EngineFacade, ImpedanceSwitchOnlyForExactlyV9E)
{
    Eng::EngineFacade& facade = sharedRig().facade();
    EXPECT_EQ(facade.getImpedanceSwitch("AmpModule", "V9E"), 1.0f);
    for (const char* name :
         {"RE500", "RKMClassic", "RKM4Pro", "", "v9e", "V9E ", " V9E", "xV9E", "V9Ex"})
        EXPECT_EQ(facade.getImpedanceSwitch("AmpModule", name), 0.0f) << '"' << name << '"';
}

TEST(EngineFacade, SampleRateReachesTheGraphAndNonsenseIsRefused)
{
    RealRig& rig = sharedRig();
    EXPECT_TRUE(rig.engine.setSampleRate(48000.0f));
    EXPECT_EQ(rig.host().getSampleRate(), 48000.0f);
    EXPECT_FALSE(rig.engine.setSampleRate(0.0f));
    EXPECT_FALSE(rig.engine.setSampleRate(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(rig.host().getSampleRate(), 48000.0f);
    EXPECT_TRUE(rig.engine.setSampleRate(44100.0f));
}

// The document's model numbers, the engine's names and the DSP's state values
// are three numberings: only the names connect them.
TEST(EngineFacade, ModelsReachTheGraphByName)
{
    RealRig& rig = sharedRig();
    Doc::Rig& document = rig.document;

    const float ampExpected[] = {2.0f, 4.0f, 1.0f, 3.0f};
    for (int model = 0; model < 4; ++model) {
        document.getAmpModule().ampModel.setValue(static_cast<float>(model), true);
        rig.run();
        EXPECT_EQ(rig.facade().getParameter("Model_0_AmpModule"), ampExpected[model]) << model;
    }

    const float stompExpected[] = {6.0f, 7.0f, 2.0f, 8.0f, 4.0f, 1.0f, 3.0f, 5.0f};
    for (int model = 1; model <= 8; ++model) {
        document.getStompModule().stomps[2].setValue(static_cast<float>(model), true);
        rig.run();
        EXPECT_EQ(rig.facade().getParameter("Stomp_2_StompModule"), stompExpected[model - 1])
            << model;
    }
    document.getStompModule().stomps[2].setValue(0.0f, true);
    document.getAmpModule().ampModel.setValue(2.0f, true);
    rig.run();
}

// Every path a unit sends to or reads from names a parameter of the graph,
// for every amp head and every stomp model: a wrong path is a dead knob.
TEST(EngineFacade, EveryBoundPathExistsInTheGraph)
{
    Doc::Rig document;
    Eng::EngineFacade facade(document);
    ForwardingMAF dsp(facade);
    Eng::Main engine(document, dsp);
    auto run = [&] {
        float in[256] = {}, left[256], right[256];
        const float* inputs[] = {in};
        float* outputs[] = {left, right};
        for (int i = 0; i < 3; ++i)
            facade.process(inputs, outputs, 256);
        engine.syncParameters();
    };
    std::set<std::string> missing;
    auto check = [&](const char* what) {
        run();
        for (const std::string& path : dsp.paths)
            if (!facade.getModuleHost().getModuleSet().findParameter(path))
                missing.insert(std::string(what) + ": " + path);
        dsp.paths.clear();
    };

    check("fresh");
    for (float model : {0.0f, 1.0f, 3.0f, 2.0f}) {
        document.getAmpModule().ampModel.setValue(model, true);
        check("amp");
    }
    auto& stomps = document.getStompModule();
    for (int model = 1; model <= 8; ++model) {
        // Each model in a slot of its own, so all of them run side by side.
        stomps.stomps[static_cast<std::size_t>((model - 1) % 6)].setValue(static_cast<float>(model),
                                                                          true);
        check("stomp");
    }
    document.getCabModule().mute.setValue(1.0f, true);
    document.getTuner().bypass.setValue(0.0f, true);
    check("switches");

    EXPECT_TRUE(missing.empty()) << ::testing::PrintToString(missing);
    EXPECT_EQ(facade.getModuleHost().getParameterChanges().getUnknownCount(), 0u);
}
