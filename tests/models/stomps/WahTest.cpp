#include "FilterResponse.h"
#include "StompRig.h"

#include "models/stomps/StompSet.h"
#include "models/stomps/Wah.h"
#include "tests/support/ElementRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <set>

using namespace AudioEngine;
using AudioEngine::BorvanQom::WahTraits;
using AudioEngine::BorvanQom::Application::StompElement;
using Model = CX1::Wah<WahTraits>;
using Element = StompElement<Model>;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Uniform noise in [-1, 1), cheap enough for an hour of samples.
struct Noise {
    float next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(static_cast<std::int32_t>(state)) * (1.0f / 2147483648.0f);
    }
    std::uint32_t state = 2463534242u;
};

// One wah as a stomp element in pieces of `chunk` samples.
struct WahRig : rig::ElementRig<Element> {
    using ElementRig::ElementRig;

    // Plays blocks of a sine; returns the last block's output.
    std::vector<float> sine(int blocks, float amplitude, float hertz)
    {
        for (int block = 0; block < blocks; ++block) {
            for (std::uint32_t i = 0; i < environment.chunk; ++i)
                feed.data()[i] =
                    amplitude * std::sin(2.0f * std::numbers::pi_v<float> * hertz *
                                         static_cast<float>(played++) / environment.rate);
            element.process();
        }
        return rig::samples(element.getOutput("Out"), environment.chunk);
    }
    float depth() { return element.getFilterWah().getParameter("Depth").getValue(); }

    std::uint32_t played = 0;
};

// The wah filter's prototype G (w0 / Q) s / (s^2 + (w0 / Q) s + w0^2) through the
// bilinear map in double precision.
struct Expected {
    double b0, b1, b2, a1, a2;
};
Expected wahDesign(double d, double fs)
{
    const double w0 = 300.0 * std::numbers::pi * std::exp2(2.3 * d);
    const double q = 4.0 + 2.5 * d, g = 8.5 + 6.0 * d;
    const double k = 2.0 * fs, bw = w0 / q;
    const double n = w0 * w0 + bw * k + k * k;
    return {g * bw * k / n, 0.0, -g * bw * k / n, 2.0 * (w0 * w0 - k * k) / n,
            (w0 * w0 - bw * k + k * k) / n};
}

// Checks the wah filter against its design at pedal position d: the
// coefficients match the prototype's map (so centre, Q and gain are the
// design's), the design peaks at peakHz with exactly peakGain, and the float
// filter reaches that gain there (its poles, close to the unit circle, place
// the peak itself only to a few hundredths of a hertz).
void expectWahAt(const Model::FilterWah& filter, double d, double fs, double peakGain,
                 double peakHz)
{
    const auto& k = filter.getCoefficients();
    const Expected e = wahDesign(d, fs);
    EXPECT_NEAR(k.b0, e.b0, 1e-6 * e.b0);
    EXPECT_EQ(k.b1, 0.0f);
    EXPECT_NEAR(k.b2, e.b2, 1e-6 * e.b0);
    EXPECT_NEAR(k.a1, e.a1, 2e-7);
    EXPECT_NEAR(k.a2, e.a2, 2e-7);
    auto designed = [&](double f) {
        return stomps::biquadGain(e.b0, e.b1, e.b2, e.a1, e.a2, f, fs);
    };
    const double peak = stomps::peakFrequency(designed, 0.5 * peakHz, 2.0 * peakHz);
    EXPECT_NEAR(peak, peakHz, 5e-4) << "d = " << d;
    EXPECT_NEAR(designed(peak), peakGain, 1e-9) << "d = " << d;
    auto gain = [&](double f) { return stomps::biquadGain(k, f, fs); };
    EXPECT_NEAR(gain(peakHz), peakGain, 2e-4 * peakGain) << "d = " << d;
    EXPECT_NEAR(stomps::peakFrequency(gain, 0.5 * peakHz, 2.0 * peakHz), peakHz, 0.05)
        << "d = " << d;
}

} // namespace

TEST(BassWah, IsASideFilterAndAWahFilterBehindTwoControls)
{
    WahRig rig;
    std::vector<std::string> names;
    for (const auto& entry : rig.element.getSubModules())
        names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{"FilterSide", "FilterWah"}));
    std::set<std::string> exposed;
    for (const auto& [name, parameter] : rig.element.getParameters())
        exposed.insert(name);
    EXPECT_EQ(exposed, (std::set<std::string>{"Auto", "Process", "Wah"}));

    ParameterBase& mode = rig.element.getParameter("Auto");
    EXPECT_EQ(mode.getStates().find("On"), 0.0f);
    EXPECT_EQ(mode.getStates().find("Auto"), 1.0f);
    EXPECT_EQ(mode.getValue(), 0.0f);
    EXPECT_EQ(rig.element.getParameter("Wah").getValue(), 0.0f);
    EXPECT_EQ(rig.element.getParameter("Wah").getMaximum(), 1.0f);
    EXPECT_EQ(rig.depth(), 0.0f);
    // The model's output is the wah filter's own.
    EXPECT_EQ(rig.element.getOutput("Out").getBuffer(),
              rig.element.getFilterWah().getOutput("Out").getBuffer());
}

TEST(BassWah, InModeOnThePedalAloneSetsCentreQAndPeakGain)
{
    const struct {
        float wah;
        double peakGain, peakHz;
    } cases[] = {
        {0.0f, 8.5, 149.994}, // 150 Hz analogue, Q 4
        {0.5f, 11.5, stomps::bilinearImage(150.0 * std::exp2(1.15), 44100.0)},
        {1.0f, 14.5, 738.006}, // 738.687 Hz analogue, Q 6.5
    };
    for (const auto& c : cases) {
        WahRig rig;
        rig.element.setParameter("Wah", c.wah);
        rig.sine(200, 1.0f, 300.0f); // loud: the envelope is busy but not heard
        EXPECT_GT(rig.element.getEnvelope(), 0.1f);
        EXPECT_EQ(rig.depth(), c.wah);
        expectWahAt(rig.element.getFilterWah(), c.wah, 44100.0, c.peakGain, c.peakHz);
    }
    EXPECT_NEAR(stomps::bilinearImage(150.0, 44100.0), 149.994, 5e-4) << "no prewarping";
    EXPECT_NEAR(150.0 * std::exp2(2.3), 738.687, 5e-4);
    EXPECT_NEAR(stomps::bilinearImage(150.0 * std::exp2(2.3), 44100.0), 738.006, 5e-4);
}

TEST(BassWah, InModeAutoALoudInputOpensTheWahFullyAndNoFurther)
{
    for (float wah : {0.0f, 0.6f}) {
        WahRig rig;
        rig.element.setParameter("Auto", 1.0f);
        rig.element.setParameter("Wah", wah);
        rig.sine(1, 0.001f, 300.0f);
        EXPECT_LT(rig.depth(), wah + 0.01f) << "a faint input barely moves it";
        rig.sine(400, 1.0f, 300.0f);
        EXPECT_GT(rig.element.getEnvelope() * 6.0f + wah, 1.5f) << "well past the top";
        EXPECT_EQ(rig.depth(), 1.0f);
        expectWahAt(rig.element.getFilterWah(), 1.0, 44100.0, 14.5, 738.006);
        const std::vector<float> y = rig.sine(1, 1.0f, 300.0f);
        EXPECT_TRUE(std::all_of(y.begin(), y.end(),
                                [](float v) { return std::isfinite(v) && std::fabs(v) < 20.0f; }));
    }
}

TEST(BassWah, TheEnvelopeStepsOncePerBlockOnTheSideFiltersMeanLevel)
{
    for (std::uint32_t chunk : {4u, 36u, 64u}) {
        WahRig rig(44100.0f, chunk);
        rig.element.setParameter("Auto", 1.0f);
        rig.element.setParameter("Wah", 0.25f);
        Noise noise;
        for (int block = 0; block < 50; ++block) {
            for (std::uint32_t i = 0; i < chunk; ++i)
                rig.feed.data()[i] = 0.05f * noise.next();
            const float before = rig.element.getEnvelope();
            rig.element.process();
            const std::vector<float> side =
                rig::samples(rig.element.getFilterSide().getOutput("Out"), chunk);
            double mean = 0.0;
            for (float y : side)
                mean += std::fabs(y);
            mean /= chunk;
            const double expected = 0.99 * before + 0.03 * mean;
            ASSERT_NEAR(rig.element.getEnvelope(), expected, 1e-6 * expected)
                << chunk << " " << block;
            ASSERT_FLOAT_EQ(rig.depth(), std::min(1.0f, 6.0f * rig.element.getEnvelope() + 0.25f));
        }
    }
}

TEST(BassWah, ResetStartsTheEnvelopeAndBothFiltersFromRest)
{
    WahRig rig, twin;
    rig.element.setParameter("Auto", 1.0f);
    twin.element.setParameter("Auto", 1.0f);
    rig.sine(300, 1.0f, 200.0f);
    twin.sine(300, 0.0f, 200.0f);
    rig.element.setParameter("Process", 1.0f); // "Bypass" resets the model
    rig.element.setParameter("Process", 0.0f);
    EXPECT_EQ(rig.element.getEnvelope(), 0.0f);
    for (const auto* filter : {static_cast<const BiquadFilter<>*>(&rig.element.getFilterSide()),
                               static_cast<const BiquadFilter<>*>(&rig.element.getFilterWah())}) {
        const auto& s = filter->getState();
        EXPECT_EQ(s.x1, 0.0f);
        EXPECT_EQ(s.x2, 0.0f);
        EXPECT_EQ(s.y1, 0.0f);
        EXPECT_EQ(s.y2, 0.0f);
    }
    rig.played = twin.played = 0;
    for (int block = 0; block < 20; ++block)
        ASSERT_EQ(rig.sine(1, 0.3f, 440.0f), twin.sine(1, 0.3f, 440.0f)) << block;
}

TEST(BassWah, ANonFiniteBlockCountsAsSilenceAndAHugeOneLeavesEverythingFinite)
{
    for (float bad : {kNaN, kInf, -kInf}) {
        WahRig rig, twin;
        for (WahRig* r : {&rig, &twin}) {
            r->element.setParameter("Auto", 1.0f);
            r->sine(20, 0.1f, 200.0f);
        }
        rig.feed.fill(bad);
        rig.element.process();
        twin.feed.fill(0.0f);
        twin.element.process();
        EXPECT_EQ(rig.element.getEnvelope(), twin.element.getEnvelope()) << bad;
        for (int block = 0; block < 4; ++block)
            ASSERT_EQ(rig.sine(1, 0.1f, 200.0f), twin.sine(1, 0.1f, 200.0f)) << bad;
    }
    WahRig rig;
    rig.element.setParameter("Auto", 1.0f);
    for (float huge : {3e38f, -3e38f}) {
        rig.feed.fill(huge);
        rig.element.process();
        EXPECT_TRUE(std::isfinite(rig.element.getEnvelope())) << huge;
        for (int block = 0; block < 4; ++block)
            for (float y : rig.sine(1, 0.1f, 200.0f))
                ASSERT_TRUE(std::isfinite(y)) << huge;
    }
}

namespace {

// The side filter's pole next to z = -1 is cancelled by its zero, so the
// signal never reaches it; rounding does. Over an hour of loud noise the output
// stays at the filter's own level, and once the input falls silent it dies out
// completely. One test per rate, so that the two hours can run side by side.
void sideFilterHour(float rate)
{
    test::RootEnvironment environment;
    environment.rate = rate;
    WahTraits::FilterSide side;
    rig::Feed feed;
    rig::plugIn(side, environment, feed);
    const float* y = side.getOutput("Out").getBuffer();

    // Both poles strictly inside the unit circle.
    const auto& k = side.getCoefficients();
    const double discriminant = double(k.a1) * k.a1 - 4.0 * k.a2;
    ASSERT_GT(discriminant, 0.0);
    EXPECT_LT((std::fabs(k.a1) + std::sqrt(discriminant)) / 2.0, 1.0 - 1e-5);

    // 1024 blocks of noise, played in a scrambled order (the sanitizer build
    // pays dearly for every per-sample step the test adds to the filter's own).
    constexpr long kNoiseBlocks = 1024;
    std::vector<float> noise(kNoiseBlocks * 64);
    Noise source;
    for (float& v : noise)
        v = source.next();
    const float silence[64] = {};

    const long blocks = static_cast<long>(3600.0f * rate / 64.0f);
    const long silentFrom =
        blocks - static_cast<long>(300.0f * rate / 64.0f); // the last five minutes
    const long lastMinute = blocks - static_cast<long>(60.0f * rate / 64.0f);
    float loud = 0.0f;
    bool quiet = true;
    for (long block = 0; block < blocks; ++block) {
        if (block < silentFrom)
            std::memcpy(feed.data(), noise.data() + (block * 397 % kNoiseBlocks) * 64,
                        sizeof silence);
        else if (block == silentFrom)
            feed.fill(0.0f);
        side.process();
        if (block < silentFrom)
            loud = std::max({loud, std::fabs(y[0]), std::fabs(y[31]), std::fabs(y[63])});
        else if (block >= lastMinute)
            quiet = quiet && std::memcmp(y, silence, sizeof silence) == 0;
    }
    EXPECT_LT(loud, 1.5f) << "a high-pass of unit noise";
    EXPECT_GT(loud, 0.9f);
    EXPECT_TRUE(quiet) << "the last minute is all zeros";
}

} // namespace

TEST(BassWah, TheSideFilterStaysBoundedForAnHourAndDiesOutInSilenceAt44100Hz)
{
    sideFilterHour(44100.0f);
}
TEST(BassWah, TheSideFilterStaysBoundedForAnHourAndDiesOutInSilenceAt96000Hz)
{
    sideFilterHour(96000.0f);
}

TEST(BassWah, InASlotItsControlsReachTheModelAndARateChangeRedesignsBothFilters)
{
    stomps::ChainRig rig;
    rig.set("Stomp_3_StompModule", 4.0f); // "BassWah"
    auto& model = rig.model<Element>(3);
    rig.set("Auto_3_StompModule", 1.0f);
    rig.set("Wah_3_StompModule", 0.4f);
    EXPECT_EQ(model.getParameter("Auto").getValue(), 1.0f);
    EXPECT_EQ(model.getParameter("Wah").getValue(), 0.4f);
    rig.run(64, 0.0f);
    EXPECT_FLOAT_EQ(model.getFilterWah().getParameter("Depth").getValue(), 0.4f);

    rig.host.setSampleRate(96000.0f);
    rig.run(64, 0.0f);
    expectWahAt(model.getFilterWah(), 0.4, 96000.0, 8.5 + 6.0 * 0.4,
                stomps::bilinearImage(150.0 * std::exp2(2.3 * 0.4), 96000.0));
    const auto& side = model.getFilterSide().getCoefficients();
    EXPECT_NEAR(side.b0, 192000.0 / (200.0 * std::numbers::pi + 192000.0), 1e-6);
    EXPECT_NEAR(stomps::biquadGain(side, 100.0, 96000.0), std::sqrt(0.5), 1e-3)
        << "3 dB down at 100 Hz";
    EXPECT_NEAR(stomps::biquadGain(side, 10000.0, 96000.0), 1.0, 1e-3);
}
