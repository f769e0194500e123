// The tube power amps' supply solvers: the discretisation, the rest they settle
// to, their independence of the rate, the unloaded and the branch behaviour of
// the circuits, the diode curve they solve and the denormal guard.
#include "models/amps/power/PowerAmpSupplies.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace AudioEngine::BorvanQom;
using V9E = PowerAmpBorvanV9EDetails::KMethod;
using RKM = PowerAmpBorvanRKMClassicHeadTraitsDetails::KMethod;

// Runs the solver for the given seconds with u held.
template <class Solver>
typename Solver::State hold(Solver& solver, const typename Solver::Input& u, double seconds)
{
    const auto steps = static_cast<long>(seconds * solver.getSampleRate());
    for (long n = 0; n < steps; ++n)
        solver.step(u);
    return solver.getXPrev();
}

template <std::size_t N>
AudioEngine::AudioMath::Vector<float, 3> input(float mains, float plate, float screen)
{
    return {{mains, plate, screen}};
}

} // namespace

TEST(KMethod, DiscretisationOfTheV9ESupplyAt44k1)
{
    const V9E solver(44100.0f);
    // K = -Cd0 + Fc with Cd0 close to 1 / (2 fs C1): the series resistance
    // plus the first capacitor's impedance over one step.
    EXPECT_NEAR(solver.getK(), -50.23f, 0.005f);
    EXPECT_NEAR(solver.getK(), -50.126f - 1.0f / (2.0f * 44100.0f * 110e-6f), 0.001f);
    // Ad = H (t I + Ac) keeps the circuit's decay: its entries sit just inside
    // the unit circle, the coupling through 150 ohm showing off the diagonal.
    EXPECT_LT(solver.getAd()(0, 0), 1.0f);
    EXPECT_GT(solver.getAd()(0, 0), 0.8f);
    EXPECT_GT(solver.getAd()(0, 1), 0.0f);
    const RKM rkm(44100.0f);
    EXPECT_NEAR(rkm.getK(), -50.0f - 1.0f / (2.0f * 44100.0f * 50e-6f), 0.001f);
}

TEST(KMethod, TheIdleInputSettlesAtTheCircuitsRest)
{
    {
        V9E solver(44100.0f);
        const auto x = hold(solver, solver.getUPrev(), 2.0);
        EXPECT_NEAR(x[0], 485.7f, 0.3f);
        EXPECT_NEAR(x[1], 483.7f, 0.3f);
    }
    {
        // Its slowest node takes tens of seconds; the rest is the same at
        // every rate, so a low one keeps the run short.
        RKM solver(8000.0f);
        const auto x = hold(solver, solver.getUPrev(), 40.0);
        EXPECT_NEAR(x[0], 660.1f, 0.3f);
        EXPECT_NEAR(x[1], 569.5f, 0.3f);
        EXPECT_NEAR(x[2], 569.5f, 0.3f);
        EXPECT_NEAR(x[3], 346.2f, 0.3f);
        // x2 carries no load and follows x1; x3 sits the screen current times
        // 47 kohm below it.
        EXPECT_NEAR(x[2], x[1], 0.01f);
        EXPECT_NEAR(x[1] - x[3], 0.00475f * 47000.0f, 0.05f);
    }
}

// settle puts the solver where holding the input for a long time takes it,
// and stepping on with that input leaves it there, at every rate.
TEST(KMethod, SettleGoesStraightToTheRestTheStepKeeps)
{
    struct Case {
        const char* name;
        float rate;
        float mains, plate, screen;
    };
    for (const Case& c : {Case{"idle", 8000.0f, 665.0f, 0.058f, 0.00475f},
                          Case{"idle", 96000.0f, 665.0f, 0.058f, 0.00475f},
                          Case{"loaded", 44100.0f, 600.0f, 0.2f, 0.02f},
                          Case{"unloaded", 48000.0f, 665.0f, 0.0f, 0.0f}}) {
        SCOPED_TRACE(testing::Message() << c.name << " at " << c.rate << " Hz");
        const auto u = input<4>(c.mains, c.plate, c.screen);
        RKM settled(c.rate);
        settled.settle(u);
        const RKM::State rest = settled.getXPrev();
        EXPECT_EQ(settled.getUPrev(), u);
        const RKM::State after = hold(settled, u, 1.0);
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(after[k], rest[k], 1e-4f) << "node " << k << " stays";
        if (c.rate == 8000.0f) {
            // The slowest node takes tens of seconds to get there by itself.
            RKM held(c.rate);
            const RKM::State x = hold(held, u, 60.0);
            for (std::size_t k = 0; k < 4; ++k)
                EXPECT_NEAR(x[k], rest[k], 0.01f) << "node " << k;
        }
    }
    V9E v9e(44100.0f);
    const auto idle = input<2>(494.5f, 0.11f, 0.009f);
    v9e.settle(idle);
    EXPECT_NEAR(v9e.getXPrev()[0], 485.7f, 0.3f);
    EXPECT_NEAR(v9e.getXPrev()[1], 483.7f, 0.3f);
    const auto rest = v9e.getXPrev();
    const auto after = hold(v9e, idle, 1.0);
    EXPECT_NEAR(after[0], rest[0], 1e-4f);
    EXPECT_NEAR(after[1], rest[1], 1e-4f);
}

TEST(KMethod, DoublingTheRateLeavesTheSteadyStateAlone)
{
    V9E slow(44100.0f), fast(88200.0f);
    EXPECT_NE(slow.getK(), fast.getK());
    EXPECT_NE(slow.getAd(), fast.getAd());
    const auto load = input<2>(494.5f, 0.3f, 0.02f);
    const auto a = hold(slow, load, 2.0);
    const auto b = hold(fast, load, 2.0);
    EXPECT_NEAR(a[0], b[0], 0.05f);
    EXPECT_NEAR(a[1], b[1], 0.05f);
    EXPECT_LT(a[0], 480.0f) << "a heavier load sags";

    // The four-node supply has nodes that move by microvolts per sample; they
    // follow the same course at both rates.
    RKM rkmSlow(8000.0f), rkmFast(16000.0f);
    const auto idle = rkmSlow.getUPrev();
    const auto c = hold(rkmSlow, idle, 20.0);
    const auto d = hold(rkmFast, idle, 20.0);
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_NEAR(c[k], d[k], 0.02f) << k;
}

TEST(KMethod, WithoutLoadTheStatesRiseTowardsTheMainsLessTheDiodeDrop)
{
    V9E v9e(44100.0f);
    const auto x = hold(v9e, input<2>(494.5f, 0.0f, 0.0f), 3.0);
    // Only the bleeders draw (about 9 mA): three diodes drop some 2 V.
    EXPECT_GT(x[0], 485.7f);
    EXPECT_LT(x[0], 494.5f - 1.0f);
    EXPECT_GT(x[0], 494.5f - 4.0f);
    EXPECT_LT(x[1], x[0]);
    EXPECT_GT(x[1], x[0] - 1.0f);

    RKM rkm(8000.0f);
    const auto y = hold(rkm, input<4>(665.0f, 0.0f, 0.0f), 40.0);
    EXPECT_GT(y[0], 660.1f);
    EXPECT_LT(y[0], 665.0f);
    // Only the bleeders load the second node, through 15 kohm.
    EXPECT_NEAR(y[1], y[0] / (1.0f + 15000.0f / 440000.0f), 2.0f);
    // Without a screen current the branches climb to the second node.
    EXPECT_NEAR(y[2], y[1], 0.5f);
    EXPECT_NEAR(y[3], y[1], 1.0f);
}

TEST(KMethod, TheShearedDiodeCurveGivesTheLoopsCurrent)
{
    V9E solver(44100.0f);
    const auto& g = solver.getNonLinearity();
    const float k = solver.getK();
    // i = g(p) solves i = d(p + K i) for the string of three diodes.
    for (float i : {0.01f, 0.05f, 0.13f, 0.5f}) {
        const double perDiode = std::log(i / 2.55e-9 + 1.0) * 1.75 * 0.026;
        const float p = static_cast<float>(3.0 * perDiode) - k * i;
        EXPECT_NEAR(evaluateLimited(g, p), i, 0.05f * i + 0.004f) << i;
    }
    // Reverse biased: next to no current (the resampled knee ripples by about
    // a milliampere); beyond the curve the end samples hold.
    EXPECT_NEAR(evaluateLimited(g, -2.0f), 0.0f, 2e-3f);
    EXPECT_EQ(evaluateLimited(g, 1e6f), g.getYLast());
    EXPECT_EQ(evaluateLimited(g, -1e6f), g.getYFirst());
    EXPECT_EQ(evaluateLimited(g, std::numeric_limits<float>::quiet_NaN()), g.getYFirst());
}

TEST(KMethod, TheGuardKeepsOrdinaryValuesAndDropsTinyOnes)
{
    const V9E solver(44100.0f);
    EXPECT_EQ(solver.getXGuard(), V9E::State::filled(1e-18f));
    const float guard = solver.getXGuard()[0];
    const double tiny = std::ldexp(1.0, -85);
    struct Case {
        double x;
        double expected;
    } cases[] = {
        {485.0, 485.0}, {-485.0, -485.0}, {485.00000001, 485.00000001}, {1e-12, 1e-12},
        {tiny, 0.0},    {-tiny, 0.0},     {std::ldexp(1.0, -90), 0.0},  {0.0, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(V9E::guarded(c.x, guard), c.expected) << c.x;
    // The step's one-comparison form swallows exactly what the float sum
    // does, on both sides of its bound and at the cases above.
    const double limit = V9E::swallowLimit(guard);
    ASSERT_GT(limit, 0.0);
    std::vector<double> xs = {limit, std::nextafter(limit, 0.0), std::nextafter(limit, 1.0),
                              std::nextafter(std::nextafter(limit, 1.0), 1.0)};
    for (const Case& c : cases)
        xs.push_back(c.x);
    for (double x : xs)
        for (double signed_ : {x, -x})
            EXPECT_EQ(V9E::guardedBelow(signed_, limit), V9E::guarded(signed_, guard)) << signed_;
}

TEST(KMethod, ResetReturnsToTheOperatingPoint)
{
    RKM solver(44100.0f);
    hold(solver, input<4>(400.0f, 1.0f, 0.1f), 0.2);
    solver.reset();
    EXPECT_EQ(solver.getXPrev(), (RKM::State{{660.0f, 574.0f, 574.0f, 345.0f}}));
    EXPECT_EQ(solver.getUPrev(), (RKM::Input{{665.0f, 0.058f, 0.00475f}}));
    EXPECT_EQ(solver.getIPrev(), 0.0f);
    EXPECT_TRUE(solver.isFinite());
}
