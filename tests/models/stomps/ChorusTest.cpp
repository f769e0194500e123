#include "StompRig.h"

#include "models/stomps/ChorusRI1Mono.h"
#include "models/stomps/StompSet.h"
#include "tests/support/ElementRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

using namespace AudioEngine;
using namespace AudioEngine::CX2;
using AudioEngine::BorvanQom::Application::StompElement;
using Model = ChorusRI1Mono<ChorusRI1MonoTraits>;
using Element = StompElement<Model>;
using Traits = ChorusRI1Traits;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// One chorus as a stomp element at 44100 Hz in 64-sample pieces.
struct ChorusRig : rig::ElementRig<Element> {
    ChorusRI1<Traits>& chorus() { return element.getChorus(); }
    ModuleBasic& rescaler() { return chorus().getRescaler(); }
    ParameterBase& rescalerScale() { return rescaler().getParameter("Scale"); }
    ParameterBase& rescalerOffset() { return rescaler().getParameter("Offset"); }
    ParameterBase& lfoRate() { return chorus().getLfo().getParameter("Rate"); }
    std::uint32_t waveform() { return chorus().getLfo().getCurrentIndex(); } // 0 triangle, 1 sine

    // Plays `blocks` pieces of the ramp n x step (n counting every sample played).
    void play(int blocks, float step = 0.0f)
    {
        for (int block = 0; block < blocks; ++block) {
            for (std::uint32_t i = 0; i < 64; ++i)
                feed.data()[i] = step * float(++played);
            element.process();
        }
    }
    std::vector<float> out() { return rig::samples(element.getOutput("Out"), 64); }
    std::vector<float> controlVoltage() { return rig::samples(rescaler().getOutput("Out"), 64); }

    std::uint32_t played = 0;
};

} // namespace

TEST(AnalogChorus, IsAGraphOfGainChorusAndAnEvenMix)
{
    ChorusRig rig;
    std::vector<std::string> names;
    for (const auto& entry : rig.element.getSubModules())
        names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Gain", "Chorus", "Mixer"}));
    names.clear();
    for (const auto& entry : rig.chorus().getSubModules())
        names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Lfo", "Rescaler", "V2T", "DelayLine"}));

    std::set<std::string> exposed;
    for (const auto& [name, parameter] : rig.element.getParameters())
        exposed.insert(name);
    EXPECT_EQ(exposed, (std::set<std::string>{"ChorusInt", "Gain", "Mode", "Process", "VibDepth",
                                              "VibRate"}));
    for (const char* knob : {"ChorusInt", "VibDepth", "VibRate"})
        EXPECT_EQ(rig.element.getParameter(knob).getDefault(), 0.5f) << knob;
    ParameterBase& mode = rig.element.getParameter("Mode");
    EXPECT_EQ(mode.getStates().find("Chorus"), 0.0f);
    EXPECT_EQ(mode.getStates().find("Vibrato"), 1.0f);
    EXPECT_EQ(mode.getValue(), 0.0f);

    // "Gain" spans -15 .. +15 dB.
    rig.element.setParameter("Gain", 40.0f);
    EXPECT_EQ(rig.element.getGain().getParameter("Gain").getValue(), 15.0f);
    rig.element.setParameter("Gain", -40.0f);
    EXPECT_EQ(rig.element.getGain().getParameter("Gain").getValue(), -15.0f);

    EXPECT_EQ(rig.element.getMixer().getParameter("A1").getValue(), 0.5f);
    EXPECT_EQ(rig.element.getMixer().getParameter("A2").getValue(), 0.5f);
    EXPECT_EQ(rig.chorus().getDelayLine().getBufferSize(), 44101u);
    EXPECT_EQ(rig.chorus().getDelayLine().getMaximumMs(), 1000.0f);
}

TEST(AnalogChorus, CircuitValuesFollowFromTheResistors)
{
    const double r13 = double(Traits::r1) * Traits::r3 / (double(Traits::r1) + Traits::r3);
    const double r12 = double(Traits::r1) * Traits::r2 / (double(Traits::r1) + Traits::r2);
    EXPECT_NEAR(Traits::r13, r13, 1e-3);
    EXPECT_NEAR(Traits::r12, r12, 1e-3);
    EXPECT_NEAR(Traits::k1, r13 / (r13 + Traits::r2), 1e-7);
    EXPECT_NEAR(Traits::k2, r12 / (r12 + Traits::r3), 1e-7);
    EXPECT_FLOAT_EQ(Traits::k1, 0.59981859f);
    EXPECT_FLOAT_EQ(Traits::k2, 0.34379846f);
}

TEST(AnalogChorus, IntensityOnlySpeedsTheTriangleAndTheSwingStaysPut)
{
    const struct {
        float intensity, rateHz;
    } cases[] = {{0.0f, 1.0f}, {0.5f, 2.0f}, {1.0f, 3.0f}};
    for (const auto& c : cases) {
        ChorusRig rig;
        rig.element.setParameter("ChorusInt", c.intensity);
        EXPECT_EQ(rig.waveform(), 0u);
        EXPECT_FLOAT_EQ(rig.lfoRate().getValue(), c.rateHz);
        EXPECT_NEAR(rig.rescalerScale().getValue(), 6.598f, 1e-5f); // 11 k1
        EXPECT_FLOAT_EQ(rig.rescalerOffset().getValue(), 4.46938f);

        // Over three seconds: the control voltage swings -2.1286 .. 11.0674 V
        // and rises through its bias once a cycle.
        rig.play(700); // settled
        float low = 100.0f, high = -100.0f;
        int rises = 0;
        float previous = rig.controlVoltage().back();
        for (int block = 0; block < 3 * 44100 / 64; ++block) {
            rig.play(1);
            for (float v : rig.controlVoltage()) {
                low = std::min(low, v);
                high = std::max(high, v);
                rises += previous < 4.46938f && v >= 4.46938f;
                previous = v;
            }
        }
        EXPECT_NEAR(low, -2.1286f, 2e-3f) << c.intensity;
        EXPECT_NEAR(high, 11.0674f, 2e-3f) << c.intensity;
        EXPECT_NEAR(rises, 3.0f * c.rateHz, 1.0f) << c.intensity;
    }
}

TEST(AnalogChorus, VibratoRateNarrowsTheSwingAndDepthScalesSwingAndBias)
{
    const float k1 = Traits::k1, k2 = Traits::k2;
    const struct {
        float rate, depth, hz, scale, offset;
    } cases[] = {
        {0.0f, 1.0f, 3.4f, 11.0f * k1, 13.0f * k2},
        {1.0f, 1.0f, 12.5f, 2.5f * k1, 13.0f * k2},
        {0.0f, 0.5f, 3.4f, 11.0f * k1 * 0.5f, 13.0f * k2 * 0.5f},
        {1.0f, 0.25f, 12.5f, 2.5f * k1 * 0.25f, 13.0f * k2 * 0.25f},
        {0.5f, 0.0f, 7.95f, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        ChorusRig rig;
        rig.element.setParameter("VibRate", c.rate);
        rig.element.setParameter("VibDepth", c.depth);
        rig.element.setParameter("Mode", 1.0f);
        EXPECT_EQ(rig.waveform(), 1u) << "the sine";
        EXPECT_FLOAT_EQ(rig.lfoRate().getValue(), c.hz);
        EXPECT_NEAR(rig.rescalerScale().getValue(), c.scale, 1e-6f);
        EXPECT_NEAR(rig.rescalerOffset().getValue(), c.offset, 1e-6f);
    }
}

TEST(AnalogChorus, AtZeroDepthTheVibratoIsAnEvenMixWithAFixedShortDelay)
{
    ChorusRig rig;
    rig.element.setParameter("Gain", 6.0f);
    rig.element.setParameter("VibDepth", 0.0f);
    rig.element.setParameter("Mode", 1.0f);
    rig.play(1000, 1e-3f); // the rescaler settles on exactly 0 V
    const std::vector<float> cv = rig.controlVoltage();
    EXPECT_TRUE(std::all_of(cv.begin(), cv.end(), [](float v) { return v == 0.0f; }));
    const std::vector<float> t = rig::samples(rig.chorus().getV2T().getOutput("Out"), 64);
    EXPECT_TRUE(std::all_of(t.begin(), t.end(), [](float ms) { return ms == 1.1377778f; }));

    // y = g x with x the ramp n / 1000; 1.1377778 ms is 50.176 samples, and
    // the linear read of a ramp is exact: Out = 0.5 (y(n) + y(n - 50.176)).
    const double g = std::pow(10.0, 0.3);
    const std::vector<float> out = rig.out();
    for (std::uint32_t i = 0; i < 64; i += 9) {
        const double n = rig.played - 63 + i;
        const double expected = 0.5 * g * 1e-3 * (n + (n - 50.176));
        EXPECT_NEAR(out[i], expected, 1e-5 * expected) << i;
    }
}

TEST(AnalogChorus, EachModeAppliesOnlyItsOwnKnobs)
{
    ChorusRig rig;
    const float k1 = Traits::k1, k2 = Traits::k2;
    // Vibrato knobs in chorus mode: stored, not applied.
    rig.element.setParameter("VibRate", 1.0f);
    rig.element.setParameter("VibDepth", 0.2f);
    EXPECT_EQ(rig.waveform(), 0u);
    EXPECT_FLOAT_EQ(rig.lfoRate().getValue(), 2.0f);
    EXPECT_NEAR(rig.rescalerScale().getValue(), 6.598f, 1e-5f); // 11 k1
    EXPECT_FLOAT_EQ(rig.rescalerOffset().getValue(), 4.46938f);

    // "Vibrato" applies both.
    rig.element.setParameter("Mode", 1.0f);
    EXPECT_EQ(rig.waveform(), 1u);
    EXPECT_FLOAT_EQ(rig.lfoRate().getValue(), 12.5f);
    EXPECT_FLOAT_EQ(rig.rescalerScale().getValue(), 2.5f * k1 * 0.2f);
    EXPECT_FLOAT_EQ(rig.rescalerOffset().getValue(), 13.0f * k2 * 0.2f);

    // The chorus knob in vibrato mode waits likewise.
    rig.element.setParameter("ChorusInt", 1.0f);
    EXPECT_FLOAT_EQ(rig.lfoRate().getValue(), 12.5f);
    rig.element.setParameter("Mode", 0.0f);
    EXPECT_EQ(rig.waveform(), 0u);
    EXPECT_FLOAT_EQ(rig.lfoRate().getValue(), 3.0f);
    EXPECT_NEAR(rig.rescalerScale().getValue(), 6.598f, 1e-5f); // 11 k1

    // Any preparation returns the model to chorus mode.
    rig.element.setParameter("Mode", 1.0f);
    rig.element.prepare();
    EXPECT_EQ(rig.element.getParameter("Mode").getValue(), 0.0f);
    EXPECT_EQ(rig.waveform(), 0u);
    EXPECT_FLOAT_EQ(rig.lfoRate().getValue(), 3.0f);
    EXPECT_EQ(rig.element.getMixer().getParameter("A1").getValue(), 0.5f);
}

TEST(AnalogChorus, VoltageToDelayHitsItsKnotsAndIsNeverClamped)
{
    using V2T = ChorusRI1<Traits>::V2T;
    rig::RootEnvironment environment;
    V2T v2t;
    rig::Feed cv;
    rig::plugIn(v2t, environment, cv);
    EXPECT_EQ(v2t.getInfo().type, "InterpSpline");
    EXPECT_EQ(v2t.getInfo().flags, 18u);
    auto at = [&](float volts) {
        cv.fill(volts);
        v2t.process();
        return v2t.getOutput("Out").getBuffer()[5];
    };

    // The knots: 512000 / (2 x clock) ms.
    const float delays[] = {1.1377778f, 1.1377778f, 1.1377778f, 1.6305733f, 2.0983605f,
                            2.56f,      2.9425287f, 2.9425287f, 2.9425287f};
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(at(-7.5f + 3.75f * k), delays[k]) << "knot " << k;

    // Beyond the ends: straight lines with the spline's own end slopes.
    const auto& spline = V2T::spline();
    for (float step : {0.5f, 10.0f}) {
        EXPECT_NEAR(at(-7.5f - step), 1.1377778 - step * spline.getSlopeFirst(), 1e-6);
        EXPECT_NEAR(at(22.5f + step), 2.9425287 + step * spline.getSlopeLast(), 1e-6);
    }
    const float h = 1e-3f;
    EXPECT_NEAR((at(-7.5f + h) - at(-7.5f)) / h, spline.getSlopeFirst(), 1e-3);
    EXPECT_NEAR((at(22.5f) - at(22.5f - h)) / h, spline.getSlopeLast(), 1e-3);

    // Between the flat knots the natural spline dips and overshoots.
    EXPECT_NEAR(at(-5.0f), 1.1510f, 1e-4f);
    EXPECT_NEAR(at(-1.44f), 1.0948f, 1e-4f);
    EXPECT_NEAR(at(16.5f), 2.9734f, 1e-4f);

    // A NaN voltage gives a NaN time, which the delay line reads as no delay.
    EXPECT_TRUE(std::isnan(at(kNaN)));
}

TEST(AnalogChorus, ANonFiniteInputPassesWithoutPoisoningTheModel)
{
    ChorusRig rig;
    rig.play(100, 1e-4f);
    for (float bad : {kNaN, std::numeric_limits<float>::infinity()}) {
        rig.feed.fill(bad);
        rig.element.process();
        rig.play(4, 1e-4f); // the delay reads at most 3 ms back
        for (float y : rig.out())
            ASSERT_TRUE(std::isfinite(y)) << bad;
    }
}

TEST(AnalogChorus, InASlotItsNamesReachTheModelAndARateChangeResizesTheLine)
{
    stomps::ChainRig rig;
    for (const char* name : {"ChorusInt_1_StompModule", "VibRate_1_StompModule",
                             "VibDepth_1_StompModule", "Mode_1_StompModule", "Gain_1_StompModule"})
        EXPECT_NO_THROW(rig.value(name)) << name;
    rig.set("Stomp_1_StompModule", 2.0f); // "AnalogChorus"
    auto& model = rig.model<Element>(1);
    rig.set("Gain_1_StompModule", -6.0f);
    rig.set("ChorusInt_1_StompModule", 1.0f);
    EXPECT_EQ(model.getGain().getParameter("Gain").getValue(), -6.0f);
    EXPECT_FLOAT_EQ(model.getChorus().getLfo().getParameter("Rate").getValue(), 3.0f);

    // A constant comes out as itself through the even mix, trimmed by -6 dB.
    rig.run(44100, 1.0f);
    EXPECT_NEAR(rig.run(64, 1.0f)[63], std::pow(10.0f, -0.3f), 1e-5f);

    rig.host.setSampleRate(48000.0f);
    EXPECT_EQ(model.getChorus().getDelayLine().getBufferSize(), 48001u);
    auto& idle = dynamic_cast<Element&>(rig.slot(4).getElement(2)); // a chorus not selected
    EXPECT_EQ(idle.getChorus().getDelayLine().getBufferSize(), 48001u);
}
