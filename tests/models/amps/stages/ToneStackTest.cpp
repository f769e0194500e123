#include "StageHarness.h"

#include "models/amps/stages/RE500Stages.h"
#include "models/amps/stages/RKM4ProStages.h"
#include "models/amps/stages/RKMClassicStages.h"
#include "models/amps/stages/V9EStages.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <functional>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using stagetest::dB;
using stagetest::Harness;

namespace {

using Complex = std::complex<double>;

// H(jw) = C (jw I - A)^-1 B + D of a four-state model, by Gaussian elimination.
template <class Schematic> Complex continuousResponse(const Schematic& s, double hertz)
{
    const Complex jw(0.0, 2.0 * std::numbers::pi * hertz);
    std::array<std::array<Complex, 5>, 4> m;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c)
            m[r][c] = (r == c ? jw : Complex(0.0)) - s.getA()[r][c];
        m[r][4] = s.getB()[r];
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::abs(m[r][col]) > std::abs(m[pivot][col]))
                pivot = r;
        std::swap(m[col], m[pivot]);
        for (int r = 0; r < 4; ++r) {
            if (r == col)
                continue;
            const Complex f = m[r][col] / m[col][col];
            for (int c = col; c < 5; ++c)
                m[r][c] -= f * m[col][c];
        }
    }
    Complex h = s.getD();
    for (int r = 0; r < 4; ++r)
        h += s.getC()[r] * m[r][4] / m[r][r];
    return h;
}

// One head's tone stack as a module, built and reachable through one type.
struct Stack {
    virtual ~Stack() = default;
    virtual ModuleBasic& module() = 0;
    virtual Complex response(double hertz) const = 0;
    virtual std::array<double, 4> state() const = 0;
};

template <class Schematic> struct StackOf : Stack {
    CX1::ToneEq<Schematic> eq;
    ModuleBasic& module() override { return eq; }
    Complex response(double hertz) const override
    {
        return continuousResponse(eq.getSchematic(), hertz);
    }
    std::array<double, 4> state() const override { return eq.getSchematic().getState(); }
};

struct Head {
    std::string name;
    std::function<std::unique_ptr<Stack>()> make;
};

const std::vector<Head>& heads()
{
    static const std::vector<Head> list = {
        {"RKMClassic",
         [] {
             return std::make_unique<
                 StackOf<BorvanRKMClassicHeadTraitsDetails::BaxandallSchematic>>();
         }},
        {"RE500",
         [] { return std::make_unique<StackOf<BorvanRE500TraitsDetails::BaxandallSchematic>>(); }},
        {"RKM4Pro",
         [] {
             return std::make_unique<StackOf<BorvanRKM4ProTraitsDetails::BaxandallSchematic>>();
         }},
        {"V9E",
         [] { return std::make_unique<StackOf<BorvanV9ETraitsDetails::BaxandallSchematic>>(); }},
    };
    return list;
}

constexpr std::array<double, 8> referenceHz = {50, 100, 200, 500, 1000, 2000, 5000, 10000};

struct Reference {
    int head; // index into heads()
    float bass;
    float treble;
    std::array<double, 8> dB;
};

// Magnitudes of the continuous network, one row per head and knob setting.
const std::vector<Reference> references = {
    {0, 0.5f, 0.5f, {-22.6, -22.5, -22.4, -22.7, -23.2, -23.6, -23.8, -23.8}},
    {0, 0.0f, 0.0f, {-32.4, -28.3, -25.0, -25.0, -28.6, -33.8, -41.5, -47.5}},
    {0, 1.0f, 1.0f, {-8.1, -10.9, -15.7, -20.7, -15.1, -10.2, -7.1, -6.5}},
    {0, 1.0f, 0.0f, {-7.8, -11.6, -17.0, -23.7, -28.3, -33.7, -41.5, -47.5}},
    {0, 0.0f, 1.0f, {-33.2, -28.9, -23.6, -17.0, -12.9, -9.6, -7.0, -6.4}},
    {1, 0.5f, 0.5f, {-20.4, -20.7, -20.8, -20.6, -20.4, -20.4, -20.4, -20.4}},
    {1, 0.0f, 0.0f, {-30.8, -26.7, -23.4, -23.3, -26.5, -31.3, -38.8, -44.8}},
    {1, 1.0f, 1.0f, {-4.6, -7.4, -12.3, -17.2, -11.4, -5.8, -1.6, -0.4}},
    {1, 1.0f, 0.0f, {-4.4, -8.4, -13.9, -20.7, -25.5, -31.0, -38.8, -44.8}},
    {1, 0.0f, 1.0f, {-31.7, -27.2, -21.7, -14.4, -9.4, -5.1, -1.4, -0.4}},
    {2, 0.5f, 0.5f, {-22.8, -22.6, -22.5, -22.8, -23.4, -23.9, -24.1, -24.1}},
    {2, 0.0f, 0.0f, {-31.9, -27.8, -24.7, -25.2, -29.2, -34.5, -42.3, -48.3}},
    {2, 1.0f, 1.0f, {-8.5, -11.4, -16.4, -20.5, -14.4, -9.8, -7.1, -6.5}},
    {2, 1.0f, 0.0f, {-8.1, -12.0, -17.7, -24.4, -29.1, -34.5, -42.3, -48.3}},
    {2, 0.0f, 1.0f, {-32.9, -28.3, -23.0, -16.3, -12.4, -9.2, -7.0, -6.5}},
    {3, 0.5f, 0.5f, {-21.2, -21.5, -21.7, -22.2, -22.7, -23.1, -23.3, -23.4}},
    {3, 0.0f, 0.0f, {-31.3, -27.4, -24.3, -24.7, -28.5, -33.8, -41.5, -47.5}},
    {3, 1.0f, 1.0f, {-6.5, -9.6, -14.7, -19.8, -14.3, -9.5, -6.7, -6.1}},
    {3, 1.0f, 0.0f, {-6.3, -10.7, -16.5, -23.5, -28.3, -33.7, -41.5, -47.5}},
    {3, 0.0f, 1.0f, {-32.3, -28.0, -22.7, -16.1, -12.1, -8.9, -6.6, -6.0}},
};

std::string caseName(const Reference& r)
{
    return heads()[static_cast<std::size_t>(r.head)].name + " bass " + std::to_string(r.bass) +
           " treble " + std::to_string(r.treble);
}

TEST(BaxandallToneStack, ContinuousNetworkMatchesTheReferenceMagnitudes)
{
    for (const Reference& r : references) {
        auto stack = heads()[static_cast<std::size_t>(r.head)].make();
        Harness harness(stack->module());
        stack->module().setParameter("Bass", r.bass);
        stack->module().setParameter("Treble", r.treble);
        for (std::size_t i = 0; i < referenceHz.size(); ++i)
            EXPECT_NEAR(dB(std::abs(stack->response(referenceHz[i]))), r.dB[i], 0.1)
                << caseName(r) << " at " << referenceHz[i] << " Hz";
    }
}

TEST(BaxandallToneStack, DiscreteFilterFollowsTheNetworkAt44100)
{
    for (const Reference& r : references) {
        auto stack = heads()[static_cast<std::size_t>(r.head)].make();
        Harness harness(stack->module());
        stack->module().setParameter("Bass", r.bass);
        stack->module().setParameter("Treble", r.treble);
        for (std::size_t i = 0; i < 7; ++i) { // up to 5 kHz
            const double tolerance = referenceHz[i] <= 2000.0 ? 0.2 : 0.6;
            EXPECT_NEAR(dB(harness.gainAt(referenceHz[i])), r.dB[i], tolerance)
                << caseName(r) << " at " << referenceHz[i] << " Hz";
        }
    }
}

TEST(BaxandallToneStack, MidPlaysNoPart)
{
    CX1::ToneEq<BorvanRKM4ProTraitsDetails::BaxandallSchematic> eq;
    Harness harness(eq);
    const auto a = eq.getSchematic().getA();
    const auto c = eq.getSchematic().getC();
    eq.setParameter("Mid", 0.0f);
    EXPECT_EQ(eq.getSchematic().getA(), a);
    EXPECT_EQ(eq.getSchematic().getC(), c);
}

TEST(BaxandallToneStack, KnobsMapToPotPositionsWithTheirLimits)
{
    BorvanRKMClassicHeadTraitsDetails::BaxandallSchematic schematic;
    struct Case {
        double bass, treble, mappedBass, mappedTreble;
    };
    const Case cases[] = {
        {0.0, 0.0, 1.0 - 0.0001, 1.0},
        {1.0, 1.0, 1.0 - 0.9999, 0.0},
        {0.5, 0.5, 1.0 - std::pow(0.5, 3.321928), 1.0 - std::pow(0.5, 3.321928)},
    };
    for (const Case& c : cases) {
        double bass = c.bass, mid = 0.3, treble = c.treble;
        schematic.mapControls(bass, mid, treble);
        EXPECT_EQ(bass, c.mappedBass) << c.bass;
        EXPECT_EQ(treble, c.mappedTreble) << c.treble;
        EXPECT_EQ(mid, 0.3);
    }
}

std::vector<float> noiseBurst(std::size_t count, float amplitude, unsigned seed = 7)
{
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> uniform(-amplitude, amplitude);
    std::vector<float> x(count);
    for (float& v : x)
        v = uniform(generator);
    return x;
}

bool allFinite(const std::vector<float>& x)
{
    return std::all_of(x.begin(), x.end(), [](float v) { return std::isfinite(v); });
}

using test::peak;

TEST(BaxandallToneStack, EveryKnobCornerOfEveryHeadStaysFiniteAndDecays)
{
    for (const Head& head : heads()) {
        for (float bass : {0.0f, 1.0f})
            for (float mid : {0.0f, 1.0f})
                for (float treble : {0.0f, 1.0f}) {
                    auto stack = head.make();
                    Harness harness(stack->module());
                    stack->module().setParameter("Bass", bass);
                    stack->module().setParameter("Mid", mid);
                    stack->module().setParameter("Treble", treble);
                    std::vector<float> input = noiseBurst(4410, 100.0f);
                    input.resize(44100, 0.0f);
                    const std::vector<float> out = harness.run(input);
                    const std::string where = head.name + " bass " + std::to_string(bass) +
                                              " mid " + std::to_string(mid) + " treble " +
                                              std::to_string(treble);
                    EXPECT_TRUE(allFinite(out)) << where;
                    EXPECT_GT(peak(out), 0.1f) << where;
                    EXPECT_LT(peak(out, out.size() - 64), 1e-6f) << where;
                }
    }
}

TEST(BaxandallToneStack, TenSecondsOfSilenceAfterABurstLeaveNoSubnormalState)
{
    for (const Head& head : heads()) {
        auto stack = head.make();
        Harness harness(stack->module());
        harness.run(noiseBurst(2048, 1000.0f));
        const std::vector<float> out = harness.runConstant(0.0f, 441000);
        for (double v : stack->state())
            EXPECT_NE(std::fpclassify(v), FP_SUBNORMAL) << head.name;
        EXPECT_TRUE(std::none_of(out.begin(), out.end(), [](float v) {
            return std::fpclassify(v) == FP_SUBNORMAL;
        })) << head.name;
        // What remains is the dither's own trace, far below any audible level.
        EXPECT_LT(peak(out, out.size() - 4410), 1e-15f) << head.name;
    }
}

TEST(BaxandallToneStack, ANaNOrInfiniteInputIsForgotten)
{
    for (const Head& head : heads()) {
        auto stack = head.make();
        Harness harness(stack->module());
        std::vector<float> input = noiseBurst(256, 1.0f);
        input[10] = std::numeric_limits<float>::quiet_NaN();
        input[20] = std::numeric_limits<float>::infinity();
        input[30] = -std::numeric_limits<float>::infinity();
        input.resize(44100, 0.0f);
        const std::vector<float> out = harness.run(input);
        EXPECT_TRUE(allFinite(out)) << head.name;
        EXPECT_LT(peak(out, out.size() - 64), 1e-6f) << head.name;
    }
}

TEST(BaxandallToneStack, ResetClearsTheCapacitors)
{
    auto stack = heads()[0].make();
    Harness harness(stack->module());
    harness.run(noiseBurst(512, 10.0f));
    stack->module().reset();
    for (double v : stack->state())
        EXPECT_EQ(v, 0.0);
}

// Silence makes the dither visible at the output: a stack that shared its
// generator with another would see a different sequence when both run.
TEST(BaxandallToneStack, EachInstanceKeepsItsOwnDither)
{
    using Eq = CX1::ToneEq<BorvanV9ETraitsDetails::BaxandallSchematic>;
    const std::vector<float> silence(64, 0.0f);

    Eq alone;
    Harness aloneHarness(alone);
    std::vector<float> expected;
    for (int chunk = 0; chunk < 32; ++chunk) {
        const auto out = aloneHarness.run(silence);
        expected.insert(expected.end(), out.begin(), out.end());
    }
    ASSERT_GT(peak(expected), 0.0f);

    Eq first, second;
    Harness firstHarness(first), secondHarness(second);
    std::vector<float> a, b;
    for (int chunk = 0; chunk < 32; ++chunk) {
        const auto x = firstHarness.run(silence);
        const auto y = secondHarness.run(silence);
        a.insert(a.end(), x.begin(), x.end());
        b.insert(b.end(), y.begin(), y.end());
    }
    EXPECT_EQ(a, expected);
    EXPECT_EQ(b, expected);
}

// Two processors' tone stacks on two audio threads: nothing is shared, so the
// run is free of data races (checked under ThreadSanitizer) and each thread's
// output is the one it gives alone.
TEST(BaxandallToneStack, TwoInstancesRunOnTwoThreads)
{
    using EqA = CX1::ToneEq<BorvanRKMClassicHeadTraitsDetails::BaxandallSchematic>;
    using EqB = CX1::ToneEq<BorvanRE500TraitsDetails::BaxandallSchematic>;
    const std::vector<float> input = noiseBurst(8192, 1.0f);
    const auto alone = [&](auto eq) {
        Harness harness(*eq);
        return harness.run(input);
    };
    const std::vector<float> expectedA = alone(std::make_unique<EqA>());
    const std::vector<float> expectedB = alone(std::make_unique<EqB>());

    EqA a;
    EqB b;
    Harness harnessA(a), harnessB(b);
    std::vector<float> outA, outB;
    std::thread threadA([&] { outA = harnessA.run(input); });
    std::thread threadB([&] { outB = harnessB.run(input); });
    threadA.join();
    threadB.join();
    EXPECT_EQ(outA, expectedA);
    EXPECT_EQ(outB, expectedB);
}

TEST(UltraMid, FullMidTakesTheBoostTapAlone)
{
    CX1::ToneEq<BorvanRE500TraitsDetails::UltraMidSchematic> eq;
    Harness harness(eq);
    eq.setParameter("Mid", 1.0f);
    const auto& s = eq.getSchematic();
    EXPECT_EQ(s.getD(), 0.0);
    EXPECT_EQ(s.getC()[1], 0.0);
    EXPECT_EQ(s.getC()[3], 1.0);
}

TEST(UltraMid, MagnitudesFollowTheMidKnob)
{
    struct Row {
        float mid;
        std::array<double, 5> dB;
    };
    const std::array<double, 5> hertz = {1, 500, 1000, 2000, 10000};
    const Row rows[] = {
        {0.0f, {-10.72, -22.35, -19.91, -16.47, -8.80}},
        {0.5f, {-11.39, -13.02, -9.35, -7.48, -8.64}},
        {1.0f, {-12.12, -8.17, -4.73, -2.99, -5.03}},
    };
    CX1::ToneEq<BorvanRE500TraitsDetails::UltraMidSchematic> eq;
    Harness harness(eq);
    for (const Row& row : rows) {
        eq.setParameter("Mid", row.mid);
        for (std::size_t i = 0; i < hertz.size(); ++i)
            EXPECT_NEAR(dB(std::abs(continuousResponse(eq.getSchematic(), hertz[i]))), row.dB[i],
                        0.05)
                << "mid " << row.mid << " at " << hertz[i] << " Hz";
    }
}

TEST(UltraMid, DiscreteFilterFollowsTheNetwork)
{
    CX1::ToneEq<BorvanRE500TraitsDetails::UltraMidSchematic> eq;
    Harness harness(eq);
    eq.setParameter("Mid", 1.0f);
    for (double hertz : {500.0, 1000.0, 2000.0})
        EXPECT_NEAR(dB(harness.gainAt(hertz)),
                    dB(std::abs(continuousResponse(eq.getSchematic(), hertz))), 0.2)
            << hertz << " Hz";
}

TEST(ToneEq, ModuleInformationAndParameters)
{
    CX1::ToneEq<BorvanV9ETraitsDetails::BaxandallSchematic> eq;
    Harness harness(eq);
    EXPECT_EQ(eq.getInfo().type, "ToneEq");
    EXPECT_EQ(eq.getInfo().description, "CX1 tone EQ");
    EXPECT_EQ(eq.getInfo().flags, 18u);
    for (const char* name : {"Bass", "Mid", "Treble"}) {
        ParameterBase& p = eq.getParameter(name);
        EXPECT_EQ(p.getMinimum(), 0.0f) << name;
        EXPECT_EQ(p.getMaximum(), 1.0f) << name;
        EXPECT_EQ(p.getDefault(), 0.5f) << name;
        EXPECT_EQ(p.getFlags(), 0u) << name;
    }
    EXPECT_THROW(eq.setParameter("Middle", 0.5f), UnknownName);
}

TEST(ToneEq, ARateChangeRediscretisesTheModel)
{
    CX1::ToneEq<BorvanRKM4ProTraitsDetails::BaxandallSchematic> eq;
    Harness harness(eq, 48000.0f);
    const auto at48 = eq.getSchematic().getAd();
    harness.setRate(96000.0f);
    EXPECT_NE(eq.getSchematic().getAd(), at48);
    const double continuous = dB(std::abs(continuousResponse(eq.getSchematic(), 1000.0)));
    EXPECT_NEAR(dB(harness.gainAt(1000.0)), continuous, 0.05);
}

} // namespace
