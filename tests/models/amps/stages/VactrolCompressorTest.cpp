// The VTL5C7 photoresistor, the optical compressor built on it, and the
// gain smoothers' low-pass design.
#include "DynamicsRunner.h"
#include "StageHarness.h"

#include "models/amps/stages/Compressor.h"
#include "models/amps/stages/LP2ToCoeffsZ.h"
#include "models/amps/stages/Vactrol.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using VTL5C7 = Vactrol<VTL5C7VactrolTraits>;
using Comp = Compressor<CompressorTraits>;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A vactrol built and prepared at a rate, stepped directly.
struct Photocell {
    explicit Photocell(float rate) : harness(vactrol, rate) {}
    VTL5C7 vactrol;
    stagetest::Harness harness;
};

TEST(Vactrol, StaticCurveMeetsItsPointsAndClamps)
{
    const VTL5C7 vactrol;
    struct Case {
        const char* what;
        float current;
        float ohms;
        float relative;
    };
    const Case cases[] = {
        {"no current is dark", 0.0f, 1e6f, 0.0f},
        {"5e-5 A is still dark", 5e-5f, 1e6f, 0.0f},
        {"a negative current is dark", -0.01f, 1e6f, 0.0f},
        {"a NaN current is dark", kNaN, 1e6f, 0.0f},
        {"just above 5e-5 A the extrapolated curve meets the clamp", 5.0001e-5f, 1e6f, 2e-4f},
        {"the first measured point", 1e-4f, 1e5f, 1e-5f},
        {"1 mA is 1000 ohms", 1e-3f, 1000.0f, 1e-5f},
        {"10 mA is 200 ohms", 1e-2f, 200.0f, 1e-5f},
        {"40 mA saturates at 100 ohms", 0.04f, 100.0f, 0.0f},
        {"an infinite current saturates", kInf, 100.0f, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(vactrol.transfer(c.current), c.ohms, c.ohms * c.relative) << c.what;

    // Between the clamps the curve falls steadily.
    float previous = vactrol.transfer(5.01e-5f);
    for (float i = 6e-5f; i < 0.04f; i *= 1.1f) {
        const float r = vactrol.transfer(i);
        EXPECT_LT(r, previous) << i;
        previous = r;
    }
}

// From a start resistance, steps a constant current until 90 % of the way to
// the target is covered; the step count is the time law's value in samples.
// The release at 21 mA climbs only from 100 to about 140 ohms, in steps of a
// few ten-thousandths of an ohm that the float resistance rounds: its count is
// good to about half a per cent at 44.1 kHz.
TEST(Vactrol, TimesFollowTheirLawsInBothDirections)
{
    struct Case {
        const char* what;
        float current;
        float start;
        double ms;
        std::vector<float> rates;
        double tolerance;
    };
    const double mid = 0.021 - 0.002;
    const std::vector<float> both{44100.0f, 96000.0f};
    const Case cases[] = {
        {"release to dark from 1000 ohms takes 7560 ms", 0.0f, 1000.0f, 7560.0005, both, 0.003},
        {"a NaN current releases as a dark LED", kNaN, 1000.0f, 7560.0005, both, 0.003},
        {"attack below 2 mA takes 1 ms", 0.001f, 1e6f, 1.0, both, 0.003},
        {"attack at 40 mA takes 0.37 ms", 0.04f, 1e6f, 0.37, both, 0.003},
        {"attack above 40 mA stays at 0.37 ms", 0.1f, 1e6f, 0.37, both, 0.003},
        {"attack at 21 mA takes 0.685 ms", 0.021f, 1e6f, 1.0 - mid * 16.578947, both, 0.003},
        {"release at 21 mA takes 6240 ms",
         0.021f,
         100.0f,
         7560.0005 - mid * 69473.6875,
         {44100.0f},
         0.006},
    };
    for (const Case& c : cases) {
        for (const float rate : c.rates) {
            Photocell cell(rate);
            const float target = cell.vactrol.transfer(c.current);
            float r = c.start;
            std::size_t steps = 0;
            while (std::fabs(r - target) > 0.1f * std::fabs(c.start - target) && steps < 2000000) {
                cell.vactrol.step(c.current, r);
                ASSERT_EQ(cell.vactrol.getResistance(), r) << c.what;
                ++steps;
            }
            const double expected = c.ms * rate / 1000.0;
            EXPECT_NEAR(static_cast<double>(steps), expected, std::max(1.0, c.tolerance * expected))
                << c.what << " at " << rate;
        }
    }
}

TEST(Vactrol, BlockRoutineWritesEachResistanceAndARateChangeRetimesIt)
{
    Photocell cell(44100.0f);
    cell.vactrol.reset();
    const std::vector<float> out = cell.harness.runConstant(0.04f, 64);
    float r = 1e6f;
    Photocell reference(44100.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        reference.vactrol.step(0.04f, r);
        ASSERT_EQ(out[i], r) << i;
    }

    // At twice the rate a step covers half the time.
    cell.harness.setRate(88200.0f);
    EXPECT_EQ(cell.vactrol.getStoredSampleRate(), 88200.0f);
    float fast = 1e6f;
    float slow = 1e6f;
    for (int i = 0; i < 2; ++i)
        cell.vactrol.step(0.04f, fast);
    reference.vactrol.step(0.04f, slow);
    EXPECT_NEAR(fast, slow, 1.0f);
    cell.vactrol.reset();
    EXPECT_EQ(cell.vactrol.getResistance(), 1e6f);
}

TEST(LP2ToCoeffsZ, CornerIsMinusSixDecibelsAtEveryRate)
{
    using LP2 = FilterLP2Details::LP2ToCoeffsZ<FilterLP2Details::LP2ToCoeffsZTraits<float>>;
    const LP2 design(500.0f, 0.5f);
    for (const double fs : {44100.0, 48000.0, 96000.0}) {
        BiquadFilterDetails::CoeffsZ<float> z;
        design.design(z, static_cast<float>(fs));
        EXPECT_NEAR(stagetest::dB(std::abs(stagetest::biquadResponse(z, 500.0, fs))), -6.0206, 0.01)
            << fs;
        EXPECT_NEAR(std::abs(stagetest::biquadResponse(z, 0.0, fs)), 1.0, 1e-4) << fs;
        // Critically damped: never above unity, falling with frequency.
        double previous = 1.0;
        for (double f = 50.0; f < fs / 2.0; f *= 1.5) {
            const double g = std::abs(stagetest::biquadResponse(z, f, fs));
            EXPECT_LT(g, previous) << f;
            previous = g;
        }
    }
    // A corner beyond half the rate leaves the signal as it is instead of ringing.
    BiquadFilterDetails::CoeffsZ<float> z;
    LP2(1000.0f, 0.5f).design(z, 1500.0f);
    EXPECT_EQ(z.b0, 1.0f);
    EXPECT_EQ(z.b1, 0.0f);
    EXPECT_EQ(z.b2, 0.0f);
    EXPECT_EQ(z.a1, 0.0f);
    EXPECT_EQ(z.a2, 0.0f);
}

class CompressorTest : public ::testing::Test {
protected:
    Comp compressor;
    dyntest::Runner runner{compressor, 44100.0f};
};

TEST_F(CompressorTest, DeclaresItsParametersAndChildren)
{
    std::vector<std::string> names;
    for (const auto& [name, parameter] : compressor.getParameters())
        names.push_back(name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"Compression", "Level", "Responsiveness", "Volume"}));
    EXPECT_EQ(compressor.getParameter("Level").getMinimum(), -40.0f);
    EXPECT_EQ(compressor.getParameter("Level").getMaximum(), 1.0f);
    EXPECT_EQ(compressor.getParameter("Level").getFlags(), 4u);
    EXPECT_EQ(compressor.getParameter("Volume").getFlags(), 4u);
    EXPECT_EQ(compressor.getParameter("Compression").getDefault(), 0.5f);
    ASSERT_EQ(compressor.getSubModules().size(), 2u);
    EXPECT_EQ(compressor.getSubModules()[0].name, "Vactrol");
    EXPECT_EQ(compressor.getSubModules()[1].name, "Filter");
    // "Responsiveness" reaches the filter, whose design follows it.
    const auto before = compressor.getFilter().getCoefficients();
    compressor.setParameter("Responsiveness", 50.0f);
    EXPECT_EQ(compressor.getFilter().getParameter("Responsiveness").getValue(), 50.0f);
    EXPECT_NE(compressor.getFilter().getCoefficients().b0, before.b0);
}

TEST_F(CompressorTest, DividerGainsAtDarkAndFullLight)
{
    EXPECT_NEAR(Comp::dividerGain(1e6f), 0.12610f, 0.12610f * 1e-4f);
    EXPECT_NEAR(Comp::dividerGain(100.0f), 0.0006033f, 0.0006033f * 1e-3f);
}

TEST_F(CompressorTest, CompressionZeroIsAnExactCopyAndFreezesTheState)
{
    runner.run(dyntest::sine(5.0, 200.0, 44100.0, 4410));
    const float frozen = compressor.getResistance();
    ASSERT_LT(frozen, 1e5f);
    const auto filterState = compressor.getFilter().getState();

    compressor.setParameter("Compression", 0.0f);
    std::vector<float> input = test::noise(1000, 7, 8.0f);
    input[3] = kNaN;
    input[5] = -kInf;
    input[7] = 1e-42f;
    const std::vector<float> out = runner.run(input, 12);
    ASSERT_EQ(out.size(), input.size());
    EXPECT_EQ(std::memcmp(out.data(), input.data(), input.size() * sizeof(float)), 0);
    EXPECT_EQ(compressor.getResistance(), frozen);
    EXPECT_EQ(compressor.getVactrol().getResistance(), frozen);
    EXPECT_EQ(compressor.getFilter().getState().y1, filterState.y1);

    // A value below the range is stored as 0 and switches off too; any other
    // value switches back on.
    compressor.setParameter("Compression", 0.3f);
    EXPECT_TRUE(compressor.isEnabled());
    compressor.setParameter("Compression", -0.5f);
    EXPECT_FALSE(compressor.isEnabled());
    compressor.setParameter("Compression", kNaN);
    EXPECT_FALSE(compressor.isEnabled());
}

// With a small input the LED stays dark and the gain follows the smoother's
// step response from 0 to 0.9584 x "Level" x the "Volume" factor: sample by
// sample that of the filter's record, and close to the analogue critically
// damped response 1 - (1 + w t) e^(-w t) once the first samples are past.
TEST_F(CompressorTest, DarkGainRisesAlongTheSmoothersStepResponse)
{
    struct Case {
        float level;
        float volumeDb;
    };
    const Case cases[] = {{1.0f, 0.0f}, {0.5f, 6.0f}, {-1.0f, 0.0f}, {1.0f, -20.0f}};
    const double w = 2.0 * 44100.0 * std::tan(std::numbers::pi * 500.0 / 44100.0);
    const auto z = compressor.getFilter().getCoefficients();
    std::vector<double> step(2205);
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    for (double& y : step) {
        y = z.b0 + z.b1 * x1 + z.b2 * x2 - z.a1 * y1 - z.a2 * y2;
        x2 = x1;
        x1 = 1.0;
        y2 = y1;
        y1 = y;
    }
    for (const Case& c : cases) {
        compressor.reset();
        compressor.setParameter("Level", c.level);
        compressor.setParameter("Volume", c.volumeDb);
        const float in = 1e-3f;
        const std::vector<float> out = runner.runConstant(in, step.size());
        const double final = 0.9584 * c.level * std::pow(10.0, c.volumeDb / 20.0) * in;
        EXPECT_NEAR(out.back(), final, std::fabs(final) * 2e-4) << c.level << " " << c.volumeDb;
        EXPECT_LT(std::fabs(out[0]), std::fabs(final) * 0.01);
        for (std::size_t i = 0; i < out.size(); ++i) {
            ASSERT_NEAR(out[i], final * step[i], std::fabs(final) * 2e-4) << i;
            const double t = static_cast<double>(i) / 44100.0;
            if (t > 0.0005) {
                ASSERT_NEAR(out[i], final * (1.0 - (1.0 + w * t) * std::exp(-w * t)),
                            std::fabs(final) * 0.02)
                    << i;
            }
        }
        EXPECT_EQ(compressor.getResistance(), 1e6f);
    }
}

TEST_F(CompressorTest, LoudBurstCompressesAndSilenceRecoversAlongTheReleaseLaw)
{
    const std::vector<float> burst = dyntest::sine(5.0, 200.0, 44100.0, 8820);
    const std::vector<float> out = runner.run(burst, 36);
    const float r = compressor.getResistance();
    EXPECT_LT(r, 1e5f);
    EXPECT_EQ(compressor.getVactrol().getResistance(), r);
    const float dark = 0.9584f * 5.0f;
    EXPECT_GT(dyntest::peak(out, 0, 110), 0.5f * dark);
    EXPECT_LT(dyntest::peak(out, 8600, 8820), 0.5f * dark);

    // After the release time, 90 % of the way back to dark.
    const auto release = static_cast<std::size_t>(7.5600005 * 44100.0);
    runner.runConstant(0.0f, release);
    const float recovered = compressor.getResistance();
    EXPECT_NEAR(recovered, r + 0.9f * (1e6f - r), 0.01f * 1e6f);
    EXPECT_EQ(compressor.getVactrol().getResistance(), recovered);
}

TEST_F(CompressorTest, ResetRestoresTheDarkStateInCompressorAndVactrol)
{
    runner.run(dyntest::sine(5.0, 200.0, 44100.0, 4410));
    ASSERT_LT(compressor.getResistance(), 1e5f);
    compressor.reset();
    EXPECT_EQ(compressor.getResistance(), 1e6f);
    EXPECT_EQ(compressor.getVactrol().getResistance(), 1e6f);
    EXPECT_EQ(compressor.getFilter().getState().y1, 0.0f);
    runner.runConstant(0.0f, 64);
    EXPECT_EQ(compressor.getResistance(), 1e6f);
}

TEST_F(CompressorTest, BadSamplesNeverPoisonTheState)
{
    std::vector<float> input = dyntest::sine(5.0, 200.0, 44100.0, 512);
    for (std::size_t i = 0; i < input.size(); i += 7)
        input[i] = i % 2 ? kNaN : -kInf;
    const std::vector<float> out = runner.run(input);
    for (const float y : out)
        ASSERT_TRUE(std::isfinite(y));
    EXPECT_TRUE(std::isfinite(compressor.getResistance()));
    const std::vector<float> after = runner.run(dyntest::sine(0.01, 200.0, 44100.0, 4410));
    for (const float y : after)
        ASSERT_TRUE(std::isfinite(y));
    EXPECT_GT(dyntest::peak(after, 4000, 4410), 0.0f);
}

TEST_F(CompressorTest, RateChangeRetimesVactrolAndFilter)
{
    const auto at44 = compressor.getFilter().getCoefficients();
    runner.setRate(96000.0f);
    EXPECT_EQ(compressor.getVactrol().getStoredSampleRate(), 96000.0f);
    const auto at96 = compressor.getFilter().getCoefficients();
    EXPECT_NE(at96.b0, at44.b0);
    EXPECT_NEAR(stagetest::dB(std::abs(stagetest::biquadResponse(at96, 500.0, 96000.0))), -6.0206,
                0.01);
}

} // namespace
