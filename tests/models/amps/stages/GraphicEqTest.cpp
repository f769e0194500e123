// The nine-band graphic equaliser of the RE500 and RKM4Pro heads.
#include "DynamicsRunner.h"
#include "StageHarness.h"

#include "models/amps/stages/GraphicEq.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <complex>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;

template <class Traits> struct Eq {
    explicit Eq(float rate = 44100.0f) : runner(eq, rate) {}
    GraphicEq<Traits> eq;
    dyntest::Runner runner;

    auto& band(std::size_t i) { return eq.getBase().getBand(i); }
    // The whole equaliser's response from its band records and "GeqGain".
    std::complex<double> response(double hertz)
    {
        std::complex<double> h = std::pow(10.0, eq.getParameter("GeqGain").getValue() / 20.0);
        for (std::size_t i = 0; i < 9; ++i)
            h *= stagetest::biquadResponse(band(i).getCoefficients(), hertz, runner.root.rate);
        return h;
    }
};

template <class Traits> void checkFlat(const char* variant)
{
    Eq<Traits> e;
    const std::vector<float> in = test::noise(8820, 3);
    const std::vector<float> out = e.runner.run(in);
    for (std::size_t i = 0; i < in.size(); ++i)
        ASSERT_NEAR(out[i], in[i], 1e-5f) << variant << " sample " << i;
}

TEST(GraphicEq, MidSlidersAndZeroGainPassTheInput)
{
    checkFlat<RE500GEQTraits>("RE500");
    checkFlat<RKM4ProGEQTraits>("RKM4Pro");
}

TEST(GraphicEq, DeclaresBandsGainAndBypass)
{
    Eq<RE500GEQTraits> e;
    std::vector<std::string> names;
    for (const auto& [name, parameter] : e.eq.getParameters())
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Band0", "Band1", "Band2", "Band3", "Band4", "Band5",
                                               "Band6", "Band7", "Band8", "GeqBypass", "GeqGain"}));
    EXPECT_EQ(e.eq.getParameter("GeqGain").getMinimum(), -12.0f);
    EXPECT_EQ(e.eq.getParameter("GeqGain").getMaximum(), 12.0f);
    EXPECT_EQ(e.eq.getParameter("Band4").getDefault(), 0.5f);
    e.eq.setParameter("Band4", 1.7f);
    EXPECT_EQ(e.band(4).getParameter("CutBoost").getValue(), 1.0f);
    e.eq.setParameter("GeqGain", -6.0f);
    EXPECT_EQ(e.eq.getSubModule("Gain").getParameter("Gain").getValue(), -6.0f);
    EXPECT_EQ(e.eq.getBase().getSubModules()[8].name, "Filter8");
}

TEST(GraphicEq, ExtremeSlidersGiveTheBandsLargestBoostAndCut)
{
    struct Case {
        const char* what;
        bool re500;
        std::size_t band;
        float slider;
        double hertz;
        double dB;
    };
    const Case cases[] = {
        {"RE500 band 0 full boost", true, 0, 1.0f, 40.04, 14.88},
        {"RE500 band 0 full cut", true, 0, 0.0f, 40.04, -14.88},
        {"RE500 band 8 full boost", true, 8, 1.0f, 8457.80, 17.86},
        {"RKM4Pro band 8 full boost", false, 8, 1.0f, 8161.00, 17.84},
        {"RKM4Pro band 2 full cut", false, 2, 0.0f, 156.84, -13.58},
    };
    for (const Case& c : cases) {
        const std::string name = "Band" + std::to_string(c.band);
        double gain;
        double centre;
        if (c.re500) {
            Eq<RE500GEQTraits> e;
            e.eq.setParameter(name, c.slider);
            gain = std::abs(e.response(c.hertz));
            centre = e.band(c.band).getCentreHz();
        } else {
            Eq<RKM4ProGEQTraits> e;
            e.eq.setParameter(name, c.slider);
            gain = std::abs(e.response(c.hertz));
            centre = e.band(c.band).getCentreHz();
        }
        EXPECT_NEAR(stagetest::dB(gain), c.dB, 0.01) << c.what;
        EXPECT_NEAR(centre, c.hertz, 0.01) << c.what;
    }

    // Through the signal path: a sine at the RKM4Pro top band's centre.
    Eq<RKM4ProGEQTraits> e;
    e.eq.setParameter("Band8", 1.0f);
    const std::vector<float> out = e.runner.run(dyntest::sine(0.1, 8161.0, 44100.0, 4410));
    EXPECT_NEAR(stagetest::dB(dyntest::peak(out, 2205, 4410) / 0.1), 17.84, 0.05);
}

// The pre-warped design puts each band's largest boost exactly at its centre,
// whatever the rate, up to the float records' resolution (a few hundredths of
// a per cent for the lowest bands at 96 kHz).
template <class Traits> void checkCentres(const char* variant)
{
    for (const float rate : {44100.0f, 48000.0f, 96000.0f}) {
        Eq<Traits> e(rate);
        for (std::size_t i = 0; i < 9; ++i) {
            auto& band = e.band(i);
            band.setParameter("CutBoost", 1.0f);
            const double f0 = band.getCentreHz();
            const auto gainAt = [&](double f) {
                return std::abs(stagetest::biquadResponse(band.getCoefficients(), f, rate));
            };
            EXPECT_NEAR(stagetest::dB(gainAt(f0) / band.centreGain(1.0f)), 0.0, 0.005)
                << variant << i << " at " << rate;
            EXPECT_LT(gainAt(f0 * 1.02), gainAt(f0)) << variant << i << " at " << rate;
            EXPECT_LT(gainAt(f0 / 1.02), gainAt(f0)) << variant << i << " at " << rate;
        }
    }
}

TEST(GraphicEq, EveryCentreIsExactAtEveryRate)
{
    checkCentres<RE500GEQTraits>("RE500 band ");
    checkCentres<RKM4ProGEQTraits>("RKM4Pro band ");
}

TEST(GraphicEq, BypassIsAnExactCopyAndTheBandsKeepTheirState)
{
    Eq<RE500GEQTraits> e;
    for (int i = 0; i < 9; ++i)
        e.eq.setParameter("Band" + std::to_string(i), i % 2 ? 0.0f : 1.0f);
    e.eq.setParameter("GeqGain", 9.0f);
    e.runner.run(test::noise(1000, 5));
    const auto before = e.band(0).getState();

    e.eq.setParameter("GeqBypass", 1.0f);
    EXPECT_TRUE(e.eq.isBypassed());
    std::vector<float> in = test::noise(1000, 6);
    in[4] = 1e-42f;
    const std::vector<float> out = e.runner.run(in, 28);
    EXPECT_EQ(std::memcmp(out.data(), in.data(), in.size() * sizeof(float)), 0);
    const auto after = e.band(0).getState();
    EXPECT_EQ(after.x1, before.x1);
    EXPECT_EQ(after.y1, before.y1);
    EXPECT_EQ(after.y2, before.y2);

    // Off again: the bands go on from the state they kept.
    e.eq.setParameter("GeqBypass", 0.0f);
    EXPECT_FALSE(e.eq.isBypassed());
    e.runner.run(std::vector<float>(4, 0.0f));
    EXPECT_NE(e.band(0).getState().y1, 0.0f);
}

// At 11025 Hz the top bands' centres lie above half the rate. Such a band is
// flat; every other band keeps its design, so the equaliser stays stable and
// rings down to silence.
template <class Traits> void checkLowRates(const char* variant)
{
    Eq<Traits> e(44100.0f);
    e.runner.setRate(11025.0f);
    for (const float slider : {0.0f, 0.5f, 1.0f}) {
        for (int i = 0; i < 9; ++i)
            e.eq.setParameter("Band" + std::to_string(i), slider);
        for (std::size_t i = 0; i < 9; ++i) {
            const auto& z = e.band(i).getCoefficients();
            EXPECT_LT(stagetest::largestPoleRadius(z.a1, z.a2), 1.0)
                << variant << " band " << i << " at " << slider;
            if (e.band(i).getCentreHz() >= 11025.0f / 2.0f) {
                EXPECT_EQ(z.b0, 1.0f);
                EXPECT_EQ(z.b1, 0.0f);
                EXPECT_EQ(z.b2, 0.0f);
                EXPECT_EQ(z.a1, 0.0f);
                EXPECT_EQ(z.a2, 0.0f);
            }
        }
        e.eq.reset();
        e.runner.run(test::noise(2000, 3));
        const std::vector<float> tail = e.runner.runConstant(0.0f, 88200);
        EXPECT_EQ(dyntest::peak(tail, 88000, 88200), 0.0f) << variant << " at " << slider;
    }

    // From 22050 Hz on every centre lies below half the rate and keeps its boost.
    for (const float rate : {22050.0f, 44100.0f}) {
        e.runner.setRate(rate);
        for (std::size_t i = 0; i < 9; ++i) {
            auto& band = e.band(i);
            const double gain = std::abs(
                stagetest::biquadResponse(band.getCoefficients(), band.getCentreHz(), rate));
            EXPECT_NEAR(stagetest::dB(gain / band.centreGain(1.0f)), 0.0, 0.005)
                << variant << " band " << i << " at " << rate;
        }
    }
}

TEST(GraphicEq, BandsAboveHalfTheRateAreFlatAndTheRestUnchanged)
{
    checkLowRates<RE500GEQTraits>("RE500");
    checkLowRates<RKM4ProGEQTraits>("RKM4Pro");
}

} // namespace
