// The rig's top-level chain built from its description over the real models.
#include "ChainHelpers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace chain;

TEST(ChainStructure, TheSixteenModulesStandInDescriptionOrderAsTheirModels)
{
    Rig r;
    const ModuleSetDescription d = rig::chainDescription();
    const auto& modules = r.set().getSubModules();
    ASSERT_EQ(modules.size(), 16u);
    for (std::size_t k = 0; k < d.modules.size(); ++k)
        EXPECT_EQ(modules[k].name, d.modules[k].instance) << k;
    EXPECT_NE(dynamic_cast<StompChain*>(&r.set().getSubModule("StompModule")), nullptr);
    EXPECT_NE(dynamic_cast<AmpChain*>(&r.set().getSubModule("AmpModule")), nullptr);
    EXPECT_NE(dynamic_cast<Cabinet*>(&r.set().getSubModule("CabModule")), nullptr);
    EXPECT_NE(dynamic_cast<CX2::Tuner*>(&r.set().getSubModule("Tuner")), nullptr);
    EXPECT_NE(dynamic_cast<CX2::ReverbAmbience*>(&r.set().getSubModule("Ambience_CabModule")),
              nullptr);
    EXPECT_NE(dynamic_cast<MixerStereo*>(&r.set().getSubModule("MainMixer")), nullptr);
    EXPECT_EQ(r.host.getInputCount(), 1u);
    EXPECT_EQ(r.host.getOutputCount(), 2u);
}

TEST(ChainStructure, TheHostInputFeedsTheInputMeterAndTheTunerTheSameSamples)
{
    Rig r;
    r.applyDefaults();
    r.run(phrase(4410), {100, 37, 64});
    const float* meter = r.set().getSubModule("Meter_Input").getInput("In").getBuffer();
    const float* tuner = r.set().getSubModule("Tuner").getInput("In").getBuffer();
    double energy = 0.0;
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(meter[i], tuner[i]) << i;
        energy += double(meter[i]) * meter[i];
    }
    EXPECT_GT(energy, 0.0);
    EXPECT_GT(r.value("Level_Meter_Input"), 0.0f);
}

// "Mix" 1 keeps the direct path alone: both sides carry the input as it came,
// four samples late; "Mix" 0 keeps the amplifier path, which is something else.
TEST(ChainStructure, TheDirectPathFeedsBothMixerSidesAndTheAmpPathTheOther)
{
    const std::vector<float> x = phrase(8820);
    Rig direct;
    direct.applyDefaults();
    direct.setNow("Mix_MainMixer", 1.0f);
    const rig::Stereo y = direct.run(x, {129});
    for (std::size_t i = rig::kLatency; i < x.size(); ++i) {
        ASSERT_EQ(y.left[i], x[i - rig::kLatency]) << i;
        ASSERT_EQ(y.right[i], x[i - rig::kLatency]) << i;
    }

    Rig amp;
    amp.applyDefaults();
    amp.setNow("Mix_MainMixer", 0.0f);
    const rig::Stereo z = amp.run(x, {129});
    EXPECT_TRUE(allFinite(z));
    double difference = 0.0;
    for (std::size_t i = rig::kLatency; i < x.size(); ++i)
        difference += std::abs(z.left[i] - x[i - rig::kLatency]);
    EXPECT_GT(difference / double(x.size()), 1e-3);
    EXPECT_GT(rms(z.left), 1e-3);
    EXPECT_GT(rms(z.right), 1e-3);
    EXPECT_GT(amp.value("Level_MeterL_Output"), 0.0f);
    EXPECT_GT(amp.value("Level_MeterR_Output"), 0.0f);
}

// The names the engine units reach the chain by resolve at set level and act
// when sent through the change queue.
TEST(ChainStructure, TheEngineUnitsNamesResolveAndAct)
{
    struct Case {
        const char* name;
        std::function<void(Rig&)> before; // at once, ahead of the change
        std::function<float(Rig&)> value; // what is sent
        std::function<void(Rig&, const rig::Stereo&, const rig::Stereo&)>
            check; // rig, reference output, output
    };
    auto cabinet = [](Rig& r) -> Cabinet& { return r.module<Cabinet>("CabModule"); };
    const float* defaultResponse = nullptr;
    const std::vector<Case> cases = {
        {"Gain_Master_Output", nullptr, [](Rig&) { return -6.0f; },
         [](Rig&, const rig::Stereo& ref, const rig::Stereo& y) {
             const std::size_t tail = y.left.size() / 2;
             EXPECT_NEAR(rms(y.left, tail) / rms(ref.left, tail), std::pow(10.0, -0.3), 1e-4);
             EXPECT_NEAR(rms(y.right, tail) / rms(ref.right, tail), std::pow(10.0, -0.3), 1e-4);
         }},
        {"Process_AmpModule", nullptr, [](Rig& r) { return r.state("Process_AmpModule", "Mute"); },
         [](Rig& r, const rig::Stereo&, const rig::Stereo&) {
             const float* out = r.set().getSubModule("AmpModule").getOutput("Out").getBuffer();
             for (int i = 0; i < 64; ++i)
                 ASSERT_EQ(out[i], 0.0f) << i;
         }},
        {"Model_0_AmpModule", nullptr, [](Rig&) { return static_cast<float>(amps::Model::RE500); },
         [](Rig& r, const rig::Stereo& ref, const rig::Stereo& y) {
             EXPECT_EQ(ampSelector(r).getCurrentIndex(), 2u);
             EXPECT_NE(rms(y.left), rms(ref.left));
         }},
        {"CabModel_CabModule", nullptr,
         [](Rig& r) { return r.state("CabModel_CabModule", "Cabinet_V9E_FarOff"); },
         [&](Rig& r, const rig::Stereo& ref, const rig::Stereo& y) {
             EXPECT_NE(cabinet(r).getWooferResponse(), defaultResponse);
             EXPECT_NE(rms(y.left), rms(ref.left));
         }},
        {"ImpedOn_CabModule", nullptr, [](Rig&) { return 1.0f; },
         [&](Rig& r, const rig::Stereo& ref, const rig::Stereo& y) {
             EXPECT_TRUE(cabinet(r).isImpedanceOn());
             EXPECT_NE(cabinet(r).getWooferResponse(), defaultResponse);
             EXPECT_NE(rms(y.left), rms(ref.left));
         }},
        {"Stomp_3_StompModule", nullptr,
         [](Rig& r) { return r.state("Stomp_3_StompModule", "Overdrive"); },
         [](Rig& r, const rig::Stereo& ref, const rig::Stereo& y) {
             EXPECT_EQ(slot(r, 3).getCurrentIndex(), 6u);
             EXPECT_NE(rms(y.left), rms(ref.left));
         }},
        {"Texture_3_StompModule", [](Rig& r) { chooseStomp(r, 3, "Overdrive"); },
         [](Rig&) { return 0.8f; },
         [](Rig& r, const rig::Stereo&, const rig::Stereo&) {
             EXPECT_EQ(slot(r, 3).getCurrentElement()->getParameter("Texture").getValue(), 0.8f);
         }},
        {"Sensitivity_Compressor_3_StompModule", [](Rig& r) { chooseStomp(r, 3, "Compressor"); },
         [](Rig&) { return 0.9f; },
         [](Rig& r, const rig::Stereo&, const rig::Stereo&) {
             EXPECT_EQ(
                 slot(r, 3).getCurrentElement()->getParameter("Sensitivity_Compressor").getValue(),
                 0.9f);
         }},
    };
    const std::vector<float> x = phrase(8820);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig reference, r;
        for (Rig* each : {&reference, &r}) {
            each->applyDefaults();
            if (c.before)
                c.before(*each);
        }
        defaultResponse = cabinet(r).getWooferResponse();
        ASSERT_NO_THROW(r.host.findParameter(c.name));
        r.push(c.name, c.value(r));
        // The slew of an ordinary control ends within 0.1 s, so within the first half.
        const rig::Stereo ref = reference.run(x);
        const rig::Stereo y = r.run(x);
        EXPECT_EQ(r.host.getParameterChanges().getUnknownCount(), 0u);
        EXPECT_TRUE(allFinite(y));
        c.check(r, ref, y);
    }
}

} // namespace
