#include "host/player/BiquadFilter.h"
#include "host/player/HOFilter.h"
#include "host/player/Taperizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

using player::SectionCoefficients;
using cd = std::complex<double>;
constexpr double kPi = std::numbers::pi;

// The response of a cascade at w radians per sample.
cd response(const std::vector<SectionCoefficients>& sections, double w)
{
    const cd z1 = std::polar(1.0, -w);
    cd h = 1.0;
    for (const auto& s : sections)
        h *= (s.b0 + s.b1 * z1 + s.b2 * z1 * z1) / (1.0 + s.a1 * z1 + s.a2 * z1 * z1);
    return h;
}

double db(double gain)
{
    return 20.0 * std::log10(gain);
}

// Both poles of 1 + a1 z^-1 + a2 z^-2 lie inside the unit circle.
bool stable(const SectionCoefficients& s)
{
    return std::fabs(s.a2) < 1.0 && std::fabs(s.a1) < 1.0 + s.a2;
}

TEST(ButterworthLowPass, PassesDcAtUnityAndIsThreeDecibelsDownAtTheCutoff)
{
    for (int order : {4, 12}) {
        for (double x : {0.5, 0.1, 0.9}) {
            SCOPED_TRACE("order " + std::to_string(order) + ", x " + std::to_string(x));
            const auto sections = player::butterworthLowPass(order, x);
            ASSERT_EQ(sections.size(), static_cast<std::size_t>(order / 2));
            EXPECT_NEAR(std::abs(response(sections, 0.0)), 1.0, 1e-9);
            EXPECT_NEAR(db(std::abs(response(sections, kPi * x))), -3.0103, 0.05);
            // Monotonic fall past the cutoff.
            EXPECT_LT(std::abs(response(sections, kPi * (x + (1 - x) / 2))),
                      std::abs(response(sections, kPi * x)));
            for (const auto& s : sections)
                EXPECT_TRUE(stable(s));
        }
    }
}

TEST(ButterworthLowPass, AnOddOrderIsRefused)
{
    for (int order : {1, 3, 5, 11, 0, -2}) {
        SCOPED_TRACE(order);
        EXPECT_EQ(player::CHOFilter::create(order), nullptr);
        EXPECT_EQ(player::CHOFilterASO::create(order), nullptr);
        EXPECT_TRUE(player::butterworthLowPass(order, 0.5).empty());
    }
    EXPECT_NE(player::CHOFilter::create(12), nullptr);
}

// A steady sine through a filter: its output amplitude after the transient.
double measuredGain(const std::function<void(float*, int)>& run, double w)
{
    const int n = 8192;
    std::vector<float> x(n);
    for (int i = 0; i < n; ++i)
        x[i] = static_cast<float>(std::sin(w * i));
    run(x.data(), n);
    double peak = 0.0;
    for (int i = n / 2; i < n; ++i)
        peak = std::max(peak, static_cast<double>(std::fabs(x[i])));
    return peak;
}

TEST(ButterworthLowPass, BothFilterKindsProcessAsDesigned)
{
    auto general = player::CHOFilter::create(12);
    auto lean = player::CHOFilterASO::create(12);
    general->setFormat(1, 48000.0f);
    lean->setFormat(1, 48000.0f);
    general->setLowPassHz(6000.0);
    lean->setLowPass(0.25);
    const double cutoff = kPi * 0.25;
    for (player::IHOFilter* f : {static_cast<player::IHOFilter*>(general.get()),
                                 static_cast<player::IHOFilter*>(lean.get())}) {
        f->reset();
        EXPECT_NEAR(measuredGain([&](float* v, int n) { f->process(v, n); }, cutoff), 0.7071,
                    0.003);
        f->reset();
        EXPECT_NEAR(measuredGain([&](float* v, int n) { f->process(v, n); }, 0.05), 1.0, 0.003);
        f->reset();
        EXPECT_LT(measuredGain([&](float* v, int n) { f->process(v, n); }, kPi * 0.5), 1e-3);
    }
}

TEST(ButterworthLowPass, ANonFiniteInputLeavesTheLeanFilterAtTheEndOfItsBlock)
{
    auto lean = player::CHOFilterASO::create(12);
    lean->setLowPass(0.5);
    std::vector<float> block(64, 0.5f);
    block[3] = NAN;
    lean->process(block.data(), 64);
    std::fill(block.begin(), block.end(), 0.5f);
    lean->process(block.data(), 64);
    lean->process(block.data(), 64);
    for (float v : block)
        EXPECT_TRUE(std::isfinite(v));
}

TEST(BiquadFilter, TwoChannelsKeepTheirHistoriesApart)
{
    player::BiquadFilter mono, stereo;
    mono.setFormat(1, 44100.0f);
    stereo.setFormat(2, 44100.0f);
    mono.designLowPass(2.0 * kPi * 1000.0, 1.0);
    stereo.designLowPass(2.0 * kPi * 1000.0, 1.0);
    const int n = 256;
    std::vector<float> in(n, 0.0f), interleaved(2 * n, 0.0f);
    in[0] = 1.0f;
    interleaved[0] = 1.0f; // an impulse on the left, silence on the right
    std::vector<float> expected(n), out(2 * n);
    mono.process(expected.data(), in.data(), n);
    stereo.process(out.data(), interleaved.data(), n);
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(out[2 * i], expected[i]) << i;
        EXPECT_EQ(out[2 * i + 1], 0.0f) << i;
    }
}

// Each bilinear design against its analogue prototype: the digital response
// at f equals the analogue one at the prewarped 2 fs tan(pi f / fs).
TEST(BiquadFilter, EachBilinearDesignMatchesItsAnaloguePrototype)
{
    const double fs = 48000.0;
    const double w = 2.0 * kPi * 1500.0, k = 0.6;
    const double z1 = 2.0 * kPi * 200.0, z2 = 2.0 * kPi * 900.0;
    const double p1 = 2.0 * kPi * 400.0, p2 = 2.0 * kPi * 3000.0;
    struct Case {
        const char* name;
        std::function<void(player::BiquadFilter&)> design;
        std::function<cd(cd)> analogue;
    };
    const std::vector<Case> cases = {
        {"low-pass", [&](auto& f) { f.designLowPass(w, k); },
         [&](cd s) { return w * w / (s * s + k * w * s + w * w); }},
        {"high-pass", [&](auto& f) { f.designHighPass(w, k); },
         [&](cd s) { return s * s / (s * s + k * w * s + w * w); }},
        {"band-pass", [&](auto& f) { f.designBandPass(w, k); },
         [&](cd s) { return k * w * s / (s * s + k * w * s + w * w); }},
        {"shelf", [&](auto& f) { f.designShelf(z1, z2, p1, p2); },
         [&](cd s) { return p1 * p2 / (z1 * z2) * (s + z1) * (s + z2) / ((s + p1) * (s + p2)); }},
        {"general", [&](auto& f) { f.designBilinear(0.3, 2000.0, 4e7, 1.0, 9000.0, 9e7); },
         [&](cd s) { return (0.3 * s * s + 2000.0 * s + 4e7) / (s * s + 9000.0 * s + 9e7); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        player::BiquadFilter f;
        f.setFormat(1, static_cast<float>(fs));
        c.design(f);
        const std::vector<SectionCoefficients> section = {{f.b0(), f.b1(), f.b2(), f.a1(), f.a2()}};
        for (double hz : {100.0, 1500.0, 9000.0}) {
            const double omega = 2.0 * fs * std::tan(kPi * hz / fs);
            EXPECT_NEAR(std::abs(response(section, 2.0 * kPi * hz / fs)),
                        std::abs(c.analogue(cd(0.0, omega))), 1e-4)
                << hz << " Hz";
        }
    }
}

TEST(ButterworthBandPass, UnityAtTheCentreZerosAtTheEndsThreeDecibelsAtTheEdges)
{
    const double fs = 44100.0;
    struct Case {
        int order;
        double f1, f2;
    };
    for (const Case& c : {Case{4, 200.0, 2000.0}, Case{6, 1000.0, 1500.0}, Case{8, 50.0, 15000.0},
                          Case{12, 5000.0, 9000.0}}) {
        SCOPED_TRACE(std::to_string(c.order) + ": " + std::to_string(c.f1) + " - " +
                     std::to_string(c.f2));
        const auto sections = player::butterworthBandPass(c.order, c.f1, c.f2, fs);
        ASSERT_EQ(sections.size(), static_cast<std::size_t>(c.order / 2));
        for (const auto& s : sections)
            EXPECT_TRUE(stable(s));
        const double w1 = 2 * kPi * c.f1 / fs, w2 = 2 * kPi * c.f2 / fs;
        EXPECT_NEAR(std::abs(response(sections, (w1 + w2) / 2.0)), 1.0, 1e-9);
        EXPECT_LT(std::abs(response(sections, 0.0)), 1e-9);
        EXPECT_LT(std::abs(response(sections, kPi)), 1e-9);
        // The Butterworth peak sits at the band's prewarped centre; the edges
        // are 3 dB below it.
        const double peak = std::abs(
            response(sections, std::acos(std::cos((w2 + w1) / 2) / std::cos((w2 - w1) / 2))));
        EXPECT_NEAR(db(std::abs(response(sections, w1)) / peak), -3.0103, 0.01);
        EXPECT_NEAR(db(std::abs(response(sections, w2)) / peak), -3.0103, 0.01);
    }
    auto filter = player::CHOFilter::create(4);
    filter->setFormat(1, static_cast<float>(fs));
    filter->setBandPass(500.0, 1500.0);
    EXPECT_NEAR(
        measuredGain([&](float* v, int n) { filter->process(v, n); }, 2 * kPi * 1000.0 / fs), 1.0,
        0.01);
}

TEST(Taperizer, TheHannTableRisesFromZeroToOneAndBackSymmetrically)
{
    const player::CTaperizer& t = player::globalTaperizer();
    ASSERT_EQ(t.size(), 8192);
    EXPECT_EQ(&t, &player::globalTaperizer());
    const float* table = t.table();
    EXPECT_EQ(table[0], 0.0f);
    EXPECT_LT(table[1], 1e-6f);
    for (int i = 1; i <= 8192; ++i)
        ASSERT_EQ(table[i], table[8193 - i]) << i;
    EXPECT_NEAR(table[4096], 1.0f, 1e-6f);
    // Applied to a grain, halves overlapped by half add up to one.
    std::vector<float> a(1000, 1.0f);
    t.apply(a.data(), 1000);
    for (int i = 0; i < 500; ++i)
        EXPECT_NEAR(a[i] + a[i + 500], 1.0f, 0.01f) << i;
}

TEST(Taperizer, TheFixedWindowsAtTheirEndsAndCentres)
{
    const int n = 101;
    struct Case {
        const char* name;
        std::function<void(float*)> apply;
        float first, centre, last;
        float tolerance;
    };
    const std::vector<Case> cases = {
        {"Hamming", [](float* v) { player::CTaperizer::hamming(v, n); }, 0.0802f, 1.0f, 0.0802f,
         1e-3f},
        {"three-term", [](float* v) { player::CTaperizer::threeTerm(v, n); }, 0.0f, 1.0f, 0.0f,
         2e-3f},
        {"fade-out from 50", [](float* v) { player::CTaperizer::fadeOut(v, n, 50); }, 1.0f, 1.0f,
         0.0f, 2e-3f},
        {"centred band", [](float* v) { player::CTaperizer::centredBand(v, n, 0.5f); }, 0.0f, 1.0f,
         0.0f, 1e-6f},
        {"edge fades", [](float* v) { player::CTaperizer::edgeFades(v, n, 20, 30); }, 0.0f, 1.0f,
         0.0f, 0.03f},
        {"rising half", [](float* v) { player::CTaperizer::risingHalf(v, n); }, 0.0f, 0.5f, 1.0f,
         0.03f},
        {"falling half", [](float* v) { player::CTaperizer::fallingHalf(v, n); }, 1.0f, 0.5f, 0.0f,
         0.03f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> v(n, 1.0f);
        c.apply(v.data());
        EXPECT_NEAR(v[0], c.first, c.tolerance);
        EXPECT_NEAR(v[n / 2], c.centre, c.tolerance);
        EXPECT_NEAR(v[n - 1], c.last, c.tolerance);
        for (float x : v)
            EXPECT_TRUE(x >= 0.0f && x <= 1.0f);
    }
}

} // namespace
