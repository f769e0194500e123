#include "engine/dsp/PitchDetector.h"
#include "engine/dsp/ACFRealTime4.h"
#include "engine/dsp/PeriodRefiner.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

using namespace dsp::Domain::Pitch;
using dsp::Domain::ACF::ACFRealTime4;

namespace {

using test::Sine;

float fromDb(float dB)
{
    return std::pow(10.0f, dB / 20.0f);
}

} // namespace

TEST(PitchDetector, SetUpFollowsTheRate)
{
    struct Case {
        float rate;
        int N, maxPeriod;
        float A, B;
    };
    const Case cases[] = {
        {22050.0f, 2048, 787, 15.0f, 42.0f}, // smaller frames take the 4096 constants
        {44100.0f, 4096, 1575, 15.0f, 42.0f},   {48000.0f, 4096, 1714, 15.0f, 42.0f},
        {88200.0f, 8192, 3150, 18.0f, 40.0f},   {96000.0f, 8192, 3428, 20.0f, 45.0f},
        {192000.0f, 16384, 6857, 18.0f, 40.0f}, // larger frames take the 8192 constants
    };
    for (const Case& c : cases) {
        PitchDetector detector;
        ASSERT_TRUE(detector.setup(c.rate));
        EXPECT_EQ(detector.getACF().getSize(), c.N) << c.rate;
        EXPECT_EQ(detector.getMaxPeriod(), c.maxPeriod) << c.rate;
        EXPECT_EQ(detector.getACF().getMaxLag(), c.maxPeriod - 2) << c.rate;
        EXPECT_EQ(detector.getACF().getMinLag(), 5) << c.rate;
        EXPECT_EQ(detector.getClarityA(), c.A) << c.rate;
        EXPECT_EQ(detector.getClarityB(), c.B) << c.rate;
    }

    PitchDetector detector;
    for (float bad : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity(), 1.0e7f})
        EXPECT_FALSE(detector.setup(bad)) << bad;
    EXPECT_EQ(detector.getSampleRate(), 44100.0f) << "a refused rate keeps the set-up";
    EXPECT_EQ(detector.getACF().getSize(), 4096);
}

TEST(PitchDetector, ConfidenceFavoursLowNotes)
{
    EXPECT_NEAR(PitchDetector::confidence(1.0f, 100.0f, 15.0f, 42.0f), 1.152f, 0.005f);
    EXPECT_NEAR(PitchDetector::confidence(1.0f, 30.0f, 15.0f, 42.0f), 3.33f, 0.01f);
    EXPECT_NEAR(PitchDetector::confidence(0.5f, 30.0f, 15.0f, 42.0f), 1.665f, 0.01f);
    EXPECT_EQ(PitchDetector::confidence(1.0f, 15.0f, 15.0f, 42.0f), 0.0f)
        << "no pitch at or below A";
}

// Energy is about the sine's amplitude after the 30 dB input gain (1.03 .. 1.06 of it off the
// bins' centres), which puts the note-on threshold near -51 dBFS and the note-off near -52 dBFS.
TEST(PitchDetector, LagFunctionGivesPeriodClarityAndEnergyOfASine)
{
    const double cases[][2] = {{44100.0, 55.0}, {44100.0, 392.0}, {96000.0, 41.2034}};
    for (const auto& c : cases) {
        const double rate = c[0], hertz = c[1];
        ACFRealTime4 acf;
        acf.setup(static_cast<int>(rate / 28.0), 5);
        const int N = acf.getSize();
        Sine sine(hertz, rate);
        std::vector<float> x(static_cast<std::size_t>(2 * N));
        const float amplitude = 3.0f;
        sine.fill(x.data(), 2 * N, amplitude);
        int published = 0;
        for (int i = 0; i < 2 * N; i += 64)
            published += acf.process(x.data() + i, 64) ? 1 : 0;
        ASSERT_EQ(published, 1) << "a frame's result comes when the next frame is full";
        EXPECT_NEAR(acf.getPeriod(), rate / hertz, 0.02 * rate / hertz) << hertz;
        EXPECT_GT(acf.getClarity(), 0.7f) << hertz; // a low note in a frame gives less
        EXPECT_GT(acf.getEnergy(), 1.0f * amplitude) << hertz;
        EXPECT_LT(acf.getEnergy(), 1.07f * amplitude) << hertz;
        EXPECT_NEAR(acf.getProcessor().getPeakPosition(), hertz * N / rate, 0.1) << hertz;
    }
}

TEST(PitchDetector, LevelsTurnNotesOnAndOff)
{
    struct Case {
        const char* name;
        float onDb;   // level while the note starts (-inf: silence)
        float thenDb; // level after it
        bool on, stillOn;
    };
    const float silence = -std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {"silence never turns a note on", silence, silence, false, false},
        {"-60 dBFS is too quiet", -60.0f, -60.0f, false, false},
        {"-45 dBFS turns a note on", -45.0f, -45.0f, true, true},
        {"a note falling to -49 dBFS stays on", -20.0f, -49.0f, true, true},
        {"a note falling to -56 dBFS turns off", -20.0f, -56.0f, true, false},
        {"a note falling to silence turns off", -20.0f, silence, true, false},
    };
    const int N = 4096;
    for (const Case& c : cases) {
        PitchDetector detector;
        Sine sine(55.0, 44100.0);
        float x[64];
        bool everOn = false;
        for (int t = 0; t < 3 * N + 64; t += 64) {
            sine.fill(x, 64, fromDb(c.onDb));
            detector.process(x, 64);
            everOn = everOn || detector.isNoteOn();
        }
        EXPECT_EQ(everOn, c.on) << c.name;
        for (int t = 0; t < 3 * N; t += 64) {
            sine.fill(x, 64, fromDb(c.thenDb));
            detector.process(x, 64);
        }
        EXPECT_EQ(detector.isNoteOn(), c.stillOn) << c.name;
        if (!c.stillOn) {
            EXPECT_FALSE(detector.hasNewValue()) << c.name;
        }
    }
}

// A steady tone after some silence: no value in the 5000 samples after its note-on, values from
// at most 3N + 5000 samples after its start (one chunk's grain), then on every chunk.
TEST(PitchDetector, ValuesFollowTheHoldAfterNoteOn)
{
    const int N = 4096;
    for (int silence : {0, 1000, 2500, 4000}) {
        PitchDetector detector;
        Sine sine(73.4162, 44100.0);
        float x[64];
        long t = 0, noteOn = -1, firstValid = -1;
        bool gap = false;
        while (t < 3 * N + 5000 + 1024 + silence) {
            sine.fill(x, 64, t < silence ? 0.0f : 0.1f);
            detector.process(x, 64);
            t += 64;
            if (noteOn < 0 && detector.isNoteOn())
                noteOn = t;
            if (detector.hasNewValue() && firstValid < 0)
                firstValid = t;
            if (firstValid >= 0 && !detector.hasNewValue())
                gap = true;
        }
        ASSERT_GE(noteOn, 0) << silence;
        ASSERT_GE(firstValid, 0) << silence;
        EXPECT_GT(firstValid - noteOn, 5000) << silence;
        EXPECT_LE(firstValid - silence, 3 * N + 5000 + 64) << silence;
        EXPECT_FALSE(gap) << silence;
        EXPECT_NEAR(detector.getFrequency(), 73.4162, 73.4162 * 0.0006) << silence;
    }
}

TEST(PeriodRefiner, CrossingFractionIsTheCubicsRoot)
{
    struct Case {
        const char* name;
        double s0, s1, s2, s3, t;
    };
    // The segment between s1 and s2 is the Catmull-Rom cubic a t^3 + b t^2 + c t + d, so samples
    // for given coefficients are s1 = d, s2 = a + b + c + d, s0 = s2 - 2c, s3 = s0 + 2a - 3(s1 -
    // s2).
    auto segment = [](const char* name, double a, double b, double c, double d, double t) {
        const double s1 = d, s2 = a + b + c + d, s0 = s2 - 2.0 * c;
        return Case{name, s0, s1, s2, s0 + 2.0 * a - 3.0 * (s1 - s2), t};
    };
    const Case cases[] = {
        // (t - 0.25)(t - 3)(t + 2)
        segment("three real roots, one in range", 1.0, -1.25, -5.75, 1.5, 0.25),
        // (t - 0.6)(t^2 + 4)
        segment("one real root", 1.0, -0.6, 4.0, -2.4, 0.6),
        // Quadratic and straight data are reproduced exactly by the segment.
        {"quadratic (t - 0.4)(t + 3)", -2.8, -1.2, 2.4, 8.0, 0.4},
        {"straight line", -1.5, -0.5, 0.5, 1.5, 0.5},
        {"zero on the second sample", -2.0, -1.0, 0.0, 1.0, 1.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(crossingFraction(c.s0, c.s1, c.s2, c.s3), c.t, 1e-9) << c.name;

    // A sine sampled coarsely (20 samples a period): the segment finds its crossing to 1e-3 sample.
    const double w = 2.0 * std::numbers::pi / 20.0, offset = 0.37;
    auto s = [&](double n) { return std::sin(w * (n - offset)); };
    EXPECT_NEAR(crossingFraction(s(-1), s(0), s(1), s(2)), offset, 1e-3);
}
