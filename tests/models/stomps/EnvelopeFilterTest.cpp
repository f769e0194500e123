#include "FilterResponse.h"
#include "StompRig.h"

#include "models/stomps/EnvelopeFilter.h"
#include "models/stomps/StompSet.h"
#include "tests/support/ElementRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <set>

using namespace AudioEngine;
using AudioEngine::BorvanQom::Application::StompElement;
using AudioEngine::CX2::EnvelopeFilter;
using Element = StompElement<EnvelopeFilter>;
using Core = mixer::TResonantCutoff;
using Bank = mixer::ResonantFilterBank;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
const float kBandPassGain = static_cast<float>(std::pow(10.0, 0.6));

// One envelope filter as a stomp element in pieces of `chunk` samples.
struct EnvelopeRig : rig::ElementRig<Element> {
    explicit EnvelopeRig(std::uint32_t chunk = 64) : ElementRig(44100.0f, chunk) {}
    const Core& core() const { return element.getCore(); }
    float control(std::int32_t index) const { return core().getControl(index).current; }
    float target(std::int32_t index) const { return core().getControl(index).value; }

    std::vector<float> run(const std::vector<float>& x)
    {
        std::copy(x.begin(), x.end(), feed.data());
        element.process();
        return rig::samples(element.getOutput("Out"), environment.chunk);
    }
    std::vector<float> run(float level)
    {
        return run(std::vector<float>(environment.chunk, level));
    }
    // A block of a sine at `amplitude`, continuing from the last one.
    std::vector<float> sine(float amplitude, float hertz = 110.0f)
    {
        std::vector<float> x(environment.chunk);
        for (float& v : x)
            v = amplitude * std::sin(2.0f * std::numbers::pi_v<float> * hertz * float(played++) /
                                     environment.rate);
        return x;
    }
    // Long enough for every control to glide across its whole range.
    void settle()
    {
        for (int block = 0; block < 6000 / int(environment.chunk); ++block)
            run(0.0f);
    }

    std::uint32_t played = 0;
};

} // namespace

TEST(EnvelopeFilter, FiveControlsOverAResonantCutoffInEnvelopeMode)
{
    EnvelopeRig rig;
    EXPECT_EQ(rig.element.getInfo().type, "EnvelopeFilter");
    EXPECT_TRUE(rig.core().isEnvelopeMode());
    std::set<std::string> exposed;
    for (const auto& [name, parameter] : rig.element.getParameters())
        exposed.insert(name);
    EXPECT_EQ(exposed,
              (std::set<std::string>{"Depth", "Freq", "Mode", "Poles", "Process", "Reso"}));
    for (const char* knob : {"Freq", "Reso", "Depth"}) {
        ParameterBase& p = rig.element.getParameter(knob);
        EXPECT_EQ(p.getMinimum(), 0.0f) << knob;
        EXPECT_EQ(p.getMaximum(), 127.0f) << knob;
        EXPECT_EQ(p.getValue(), 64.0f) << knob;
    }
    const ParameterBase& poles = rig.element.getParameter("Poles");
    EXPECT_EQ(poles.getStates().find("12"), 0.0f);
    EXPECT_EQ(poles.getStates().find("24"), 1.0f);
    const ParameterBase& mode = rig.element.getParameter("Mode");
    EXPECT_EQ(mode.getStates().find("HP"), 0.0f);
    EXPECT_EQ(mode.getStates().find("BP"), 1.0f);
    EXPECT_EQ(mode.getStates().find("LP"), 2.0f);
    EXPECT_EQ(rig.element.getParameter("Mode").getValue(), 2.0f);
    EXPECT_EQ(rig.element.getShapeWord(), 2) << "two poles, low-pass";
    EXPECT_EQ(rig.element.getModeGain(), 1.0f);
    EXPECT_EQ(rig.target(Core::kFrequency), 0.5f);
    EXPECT_EQ(rig.target(Core::kResonance), 0.5f);
    EXPECT_EQ(rig.target(Core::kDepth), 0.5f);
}

TEST(EnvelopeFilter, KnobsReachTheCoreTruncated)
{
    EnvelopeRig rig;
    const struct {
        const char* name;
        float value;
        std::int32_t control;
        int sent;
    } cases[] = {
        {"Freq", 63.9f, Core::kFrequency, 63}, // truncation, not rounding
        {"Freq", 127.0f, Core::kFrequency, 127}, {"Freq", 400.0f, Core::kFrequency, 127},
        {"Freq", kNaN, Core::kFrequency, 127},   {"Reso", 0.99f, Core::kResonance, 0},
        {"Reso", -5.0f, Core::kResonance, 0},    {"Reso", 100.7f, Core::kResonance, 100},
        {"Depth", 31.5f, Core::kDepth, 31},      {"Depth", kInf, Core::kDepth, 127},
    };
    for (const auto& c : cases) {
        rig.element.setParameter(c.name, c.value);
        EXPECT_EQ(rig.target(c.control), float(c.sent) / 128.0f) << c.name << " " << c.value;
    }
}

TEST(EnvelopeFilter, PolesAndModeSendOneOfNineShapeWordsAndOnlyModeSetsTheGain)
{
    const struct {
        float poles, mode;
        std::int32_t word, bankPoles, response;
        float gain;
    } cases[] = {
        {0, 0, 18, 2, Bank::kHighPass, 1.0f},
        {0, 1, 10, 2, Bank::kBandPass, kBandPassGain},
        {0, 2, 2, 2, Bank::kLowPass, 1.0f},
        {1, 0, 20, 4, Bank::kHighPass, 1.0f},
        {1, 1, 12, 4, Bank::kBandPass, kBandPassGain},
        {1, 2, 4, 4, Bank::kLowPass, 1.0f},
    };
    for (const auto& c : cases) {
        EnvelopeRig rig;
        rig.element.setParameter("Poles", c.poles);
        rig.element.setParameter("Mode", c.mode);
        EXPECT_EQ(rig.element.getShapeWord(), c.word);
        EXPECT_EQ(rig.target(Core::kMode), float(c.word) / 128.0f);
        rig.run(0.0f);
        EXPECT_EQ(rig.core().getBank().getPoles(), c.bankPoles) << c.word;
        EXPECT_EQ(rig.core().getBank().getResponse(), c.response) << c.word;
        EXPECT_EQ(rig.element.getModeGain(), c.gain) << c.word;
        for (const char* knob : {"Freq", "Reso", "Depth"}) {
            rig.element.setParameter(knob, 3.0f);
            EXPECT_EQ(rig.element.getModeGain(), c.gain) << knob;
        }
    }
    // Whatever the two switches are sent, only these words go out.
    const std::set<std::int32_t> allowed = {0, 2, 4, 8, 10, 12, 16, 18, 20};
    EnvelopeRig rig;
    for (float poles : {0.0f, 0.6f, 1.0f, 1.9f, -1.0f, 7.0f, kNaN})
        for (float mode : {0.0f, 1.0f, 1.5f, 2.0f, 2.99f, -3.0f, 9.0f, kNaN}) {
            rig.element.setParameter("Poles", poles);
            rig.element.setParameter("Mode", mode);
            EXPECT_TRUE(allowed.contains(rig.element.getShapeWord())) << poles << " " << mode;
        }
    // The band-pass gain is exactly 10^0.6; back to "LP" or "HP" it is 1 again.
    rig.element.setParameter("Mode", 1.0f);
    EXPECT_EQ(rig.element.getModeGain(), kBandPassGain);
    EXPECT_NEAR(rig.element.getModeGain(), 3.98107, 1e-5);
    rig.element.setParameter("Mode", 0.0f);
    EXPECT_EQ(rig.element.getModeGain(), 1.0f);
}

TEST(EnvelopeFilter, TheOutputIsTheCoresTimesTheModeGain)
{
    for (float mode : {0.0f, 1.0f, 2.0f}) {
        EnvelopeRig rig;
        rig.element.setParameter("Poles", 1.0f);
        rig.element.setParameter("Mode", mode);
        // A bare core given the same controls from its start.
        CX2::EnvelopeFilterDetails::Filter core;
        core.setFormat(44100.0f, 1, 1);
        core.start();
        core.setController(21, 64);
        core.setController(22, 64);
        core.setController(23, 64);
        core.setController(25, rig.element.getShapeWord());
        core.applyChangedParameters();
        std::vector<float> y(64);
        for (int block = 0; block < 100; ++block) {
            const std::vector<float> x = rig.sine(0.4f, 300.0f);
            const std::vector<float> out = rig.run(x);
            core.process(y.data(), x.data(), 64);
            for (int i = 0; i < 64; ++i)
                ASSERT_EQ(out[i], y[i] * rig.element.getModeGain()) << mode << " " << block;
        }
    }
}

TEST(EnvelopeFilter, CoreValuesFollowTheKnobs)
{
    EnvelopeRig rig;
    rig.settle();
    EXPECT_NEAR(rig.core().getBaseCutoff(), 905.097f, 1e-3f);
    EXPECT_NEAR(rig.core().getBank().getQ(), 3.6377f, 1e-4f);
    EXPECT_EQ(rig.core().getDepth(), 2.0f) << "four octaves times 64/128";

    rig.element.setParameter("Freq", 127.0f);
    rig.element.setParameter("Reso", 127.0f);
    rig.element.setParameter("Depth", 127.0f);
    rig.settle();
    EXPECT_NEAR(rig.core().getBaseCutoff(), 19505.8f, 0.05f);
    EXPECT_NEAR(0.3 * std::pow(8.0, 2.4 * 127.0 / 128.0), 42.42, 5e-3) << "asked";
    EXPECT_EQ(rig.core().getBank().getQ(), 30.0f) << "got";
    EXPECT_EQ(rig.core().getDepth(), 3.96875f);
    // A loud note drives the cutoff far past the top; the sections hold 40 kHz.
    for (int block = 0; block < 50; ++block)
        rig.run(rig.sine(1.0f));
    EXPECT_GT(rig.core().getBaseCutoff() *
                  std::exp2(rig.core().getDepth() * rig.core().getFollower()),
              80000.0f);
    EXPECT_EQ(rig.core().getBank().getCutoff(), 40000.0f);

    // The fast power of two, by its bit pattern: 1064965184 at 0.
    EXPECT_NEAR(Core::fastPow2(0.0f), 0.976871f, 1e-6f);
    EXPECT_NEAR(Core::fastPow2(1.0f), 1.953743f, 1e-6f);
}

TEST(EnvelopeFilter, UpdateAndPrepareStartTheCoreAfreshWithTheKnobsAsTheyStand)
{
    EnvelopeRig rig;
    rig.element.setParameter("Freq", 100.0f);
    rig.element.setParameter("Reso", 127.0f);
    rig.element.setParameter("Depth", 20.0f);
    rig.settle();
    for (int block = 0; block < 20; ++block)
        rig.run(rig.sine(0.5f));
    ASSERT_GT(rig.core().getFollower(), 0.1f);
    ASSERT_NE(rig.core().getBank().getBiquad(0).getState(0).y1, 0.0f);

    const auto expectFresh = [&](const char* after) {
        EXPECT_EQ(rig.core().getFollower(), 0.0f) << after;
        const auto& s = rig.core().getBank().getBiquad(0).getState(0);
        EXPECT_EQ(s.x1, 0.0f) << after;
        EXPECT_EQ(s.y1, 0.0f) << after;
        EXPECT_EQ(s.y2, 0.0f) << after;
        // Not the q of 0.3 that a start leaves until "Reso" moves again.
        EXPECT_EQ(rig.core().getBank().getQ(), 30.0f) << after;
        EXPECT_NEAR(rig.core().getBaseCutoff(), 40.0 * std::exp2(9.0 * 100.0 / 128.0), 0.01)
            << after;
        EXPECT_EQ(rig.core().getDepth(), 4.0f * 20.0f / 128.0f) << after;
    };
    rig.element.prepare();
    expectFresh("prepare");
    for (int block = 0; block < 20; ++block)
        rig.run(rig.sine(0.5f));
    rig.environment.rate = 48000.7f;
    rig.element.update();
    expectFresh("update");
    EXPECT_EQ(rig.core().getSampleRate(), 48000.0f) << "the rate in whole hertz";
    EXPECT_EQ(rig.core().getBank().getBiquad(0).getSampleRate(), 48000.0f);
    for (int block = 0; block < 20; ++block)
        rig.run(rig.sine(0.5f));
    rig.element.setParameter("Process", 1.0f); // "Bypass" resets the model too
    expectFresh("reset");
}

TEST(EnvelopeFilter, EachPieceRampsTheKnobsAndFollowsThePeakLevel)
{
    for (std::uint32_t chunk : {16u, 64u}) {
        EnvelopeRig rig(chunk);
        rig.settle();
        // A jump glides by 0.0002 of the range (in units of v) per frame.
        rig.element.setParameter("Freq", 0.0f);
        rig.run(0.0f);
        EXPECT_NEAR(rig.control(Core::kFrequency), 0.5f - 0.0002f * float(chunk), 1e-6f) << chunk;
        rig.element.setParameter("Depth", 127.0f);
        rig.run(0.0f);
        EXPECT_NEAR(rig.control(Core::kDepth), 0.5f + 0.0002f * float(chunk), 1e-6f) << chunk;
        rig.settle();
        EXPECT_EQ(rig.control(Core::kFrequency), 0.0f);
        EXPECT_EQ(rig.core().getBaseCutoff(), 40.0f);

        // The follower takes 0.03 of each piece's peak, and the cutoff is the
        // resting one times the fast 2^(depth x follower), within 40 .. 40000 Hz.
        for (int block = 0; block < 40; ++block) {
            const std::vector<float> x = rig.sine(0.3f, 200.0f);
            float peak = 0.0f;
            for (float v : x)
                peak = std::max(peak, std::fabs(v));
            const float before = rig.core().getFollower();
            rig.run(x);
            ASSERT_FLOAT_EQ(rig.core().getFollower(), 0.99f * before + 0.03f * peak);
            const float cutoff = rig.core().getBaseCutoff() *
                                 Core::fastPow2(rig.core().getDepth() * rig.core().getFollower());
            ASSERT_FLOAT_EQ(rig.core().getBank().getCutoff(), std::clamp(cutoff, 40.0f, 40000.0f));
        }
        // On silence it decays by exactly 0.99 per piece.
        for (int block = 0; block < 40; ++block) {
            const float before = rig.core().getFollower();
            rig.run(0.0f);
            ASSERT_EQ(rig.core().getFollower(), 0.99f * before);
        }
    }
}

TEST(EnvelopeFilter, TwentyFourDecibelsCascadesASecondSectionDampedMore)
{
    const struct {
        float mode;
        std::int32_t response;
        float cutoffScale;
    } cases[] = {
        {2.0f, Bank::kLowPass, 0.9f}, {1.0f, Bank::kBandPass, 1.0f}, {0.0f, Bank::kHighPass, 1.0f}};
    for (const auto& c : cases) {
        EnvelopeRig rig;
        rig.element.setParameter("Poles", 1.0f);
        rig.element.setParameter("Mode", c.mode);
        rig.element.setParameter("Depth", 0.0f);
        rig.settle();
        const Bank& bank = rig.core().getBank();
        const float f = bank.getCutoff(), q = bank.getQ();
        utils::BiquadFilter first, second;
        first.setup(1, 44100);
        second.setup(1, 44100);
        const float w = 6.283f * f, d = 1.0f / q;
        if (c.response == Bank::kLowPass) {
            first.designLowPass(w, d);
            second.designLowPass(c.cutoffScale * w, 1.35f * d);
        } else if (c.response == Bank::kBandPass) {
            first.designBandPass(w, d);
            second.designBandPass(w, 1.35f * d);
        } else {
            first.designHighPass(w, d);
            second.designHighPass(w, 1.35f * d);
        }
        for (const auto& [section, expected] :
             {std::pair{&bank.getBiquad(0), &first}, std::pair{&bank.getBiquad(1), &second}}) {
            const auto& k = section->getCoefficients();
            const auto& e = expected->getCoefficients();
            EXPECT_EQ(k.b0, e.b0) << c.mode;
            EXPECT_EQ(k.b1, e.b1) << c.mode;
            EXPECT_EQ(k.b2, e.b2) << c.mode;
            EXPECT_EQ(k.a1, e.a1) << c.mode;
            EXPECT_EQ(k.a2, e.a2) << c.mode;
        }
        // Depth 0 leaves the cutoff at the resting value times the fast 2^0.
        EXPECT_FLOAT_EQ(f, rig.core().getBaseCutoff() * Core::fastPow2(0.0f));
    }
}

// Peaks above about 10.8 at full depth used to push the fast power of two
// past the float range into integer overflow; non-finite inputs did the same.
TEST(EnvelopeFilter, LoudAndNonFiniteBurstsRunCleanAndAResetForgetsThem)
{
    for (float peak : {20.0f, 1e6f, kInf, -kInf, kNaN}) {
        EnvelopeRig rig, twin;
        for (EnvelopeRig* r : {&rig, &twin}) {
            r->element.setParameter("Depth", 127.0f);
            r->element.setParameter("Freq", 90.0f);
            r->element.setParameter("Reso", 110.0f);
            r->element.setParameter("Mode", 1.0f);
            for (int block = 0; block < 100; ++block)
                r->run(r->sine(0.3f));
        }
        for (int block = 0; block < 10; ++block) {
            std::vector<float> burst = rig.sine(std::isfinite(peak) ? peak : 1.0f);
            if (!std::isfinite(peak))
                burst[5] = burst[40] = peak;
            const std::vector<float> y = rig.run(burst);
            twin.run(0.0f);
            twin.played = rig.played;
            if (std::isfinite(peak)) {
                for (float v : y)
                    ASSERT_TRUE(std::isfinite(v)) << peak;
            }
            EXPECT_TRUE(std::isfinite(rig.core().getBank().getCutoff())) << peak;
        }
        rig.element.reset();
        twin.element.reset();
        for (int block = 0; block < 30; ++block) {
            const std::vector<float> x = rig.sine(0.3f);
            ASSERT_EQ(rig.run(x), twin.run(x)) << peak << " block " << block;
        }
    }
}

TEST(EnvelopeFilter, InASlotItsKnobsReachItWhileItIsCurrent)
{
    stomps::ChainRig rig;
    rig.set("Stomp_4_StompModule", 3.0f); // "EnvelopeFilter"
    auto& model = rig.model<Element>(4);
    rig.set("Freq_4_StompModule", 100.0f);
    rig.set("Depth_4_StompModule", 10.0f);
    rig.set("Mode_4_StompModule", 1.0f); // "BP"; the chorus's "Mode" stays its own
    EXPECT_EQ(model.getParameter("Freq").getValue(), 100.0f);
    EXPECT_EQ(model.getParameter("Depth").getValue(), 10.0f);
    EXPECT_EQ(model.getParameter("Mode").getValue(), 1.0f);
    EXPECT_EQ(model.getModeGain(), kBandPassGain);
    EXPECT_EQ(model.getCore().getControl(Core::kFrequency).value, 100.0f / 128.0f);
    EXPECT_EQ(rig.slot(4).getElement(2).getParameter("Mode").getValue(), 0.0f);
    for (float y : rig.run(4096, 0.1f))
        ASSERT_TRUE(std::isfinite(y));

    rig.host.setSampleRate(96000.0f);
    EXPECT_EQ(model.getCore().getSampleRate(), 96000.0f);
}
