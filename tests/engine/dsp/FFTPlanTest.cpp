#include "engine/dsp/FFTPlan.h"
#include "engine/dsp/Convolver.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace {

using dsp::FFTPlan;
using dsp::Domain::OldConvolvers::Convolver;

using test::randomSignal;

// Runs one frame with progress values from nextProgress (clamped to N) until the plan is done;
// returns the data.
std::vector<float> runFrame(FFTPlan& plan, std::vector<float> data,
                            const std::function<int(int)>& nextProgress)
{
    plan.startFrame(data.data());
    int progress = 0;
    while (!plan.advance(progress)) {
        EXPECT_LT(progress, plan.size()) << "not done when the progress reached N";
        if (progress >= plan.size())
            break;
        progress = std::min(nextProgress(progress), plan.size());
    }
    return data;
}

TEST(FFTPlan, ConfigureRefusesSizesBelow16AndNonPowersOfTwo)
{
    FFTPlan plan;
    EXPECT_EQ(plan.size(), 16);
    EXPECT_EQ(plan.direction(), 1);
    ASSERT_TRUE(plan.configure(64, -1));
    for (auto [N, direction] :
         {std::pair{8, 1}, {0, 1}, {-16, 1}, {48, 1}, {4095, -1}, {64, 0}, {64, 2}}) {
        EXPECT_FALSE(plan.configure(N, direction)) << N << ", " << direction;
        EXPECT_EQ(plan.size(), 64);
        EXPECT_EQ(plan.direction(), -1);
    }
}

TEST(FFTPlan, QuotasAndButterflyCountFollowTheSize)
{
    struct Case {
        int N, q1, q2, q3, B;
    };
    for (const Case& c : {Case{16, 1, 1, 14, 12}, Case{4096, 356, 360, 3380, 11264},
                          Case{8192, 712, 720, 6760, 24576}}) {
        FFTPlan plan;
        ASSERT_TRUE(plan.configure(c.N, 1));
        const FFTPlan::Quotas q = plan.quotas();
        EXPECT_EQ(q.bitReversal, c.q1) << "N " << c.N;
        EXPECT_EQ(q.splitStep, c.q2) << "N " << c.N;
        EXPECT_EQ(q.butterflies, c.q3) << "N " << c.N;
        EXPECT_EQ(q.butterflyCount, c.B) << "N " << c.N;
    }
}

TEST(FFTPlan, ZeroProgressDoesNothingAndFullProgressCompletesAtOnce)
{
    for (int direction : {1, -1}) {
        FFTPlan plan;
        ASSERT_TRUE(plan.configure(256, direction));
        std::vector<float> data = randomSignal(256, 1);
        plan.startFrame(data.data());
        const std::vector<float> started = data;
        EXPECT_FALSE(plan.advance(0));
        EXPECT_EQ(data, started);
        EXPECT_TRUE(plan.advance(256));
        EXPECT_NE(data, started);
        EXPECT_TRUE(plan.advance(256)) << "stays done until the next frame";
    }
    FFTPlan unbound;
    EXPECT_FALSE(unbound.advance(16)) << "no frame started";
}

// Stepwise, one call and the one-shot transform of the offset input agree, in both directions.
TEST(FFTPlan, AnySteppingEqualsOneCallEqualsTheOneShotTransform)
{
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> randomStep(0, 200);
    const std::vector<std::pair<const char*, std::function<int(int)>>> steppings = {
        {"steps of 1", [](int p) { return p + 1; }},
        {"steps of 7", [](int p) { return p + 7; }},
        {"steps of 64", [](int p) { return p + 64; }},
        {"random steps", [&](int p) { return p + randomStep(rng); }},
    };
    for (int N : {16, 4096}) {
        for (int direction : {1, -1}) {
            const std::vector<float> input = randomSignal(N, 10u + N + direction);
            FFTPlan plan;
            ASSERT_TRUE(plan.configure(N, direction));
            const std::vector<float> once = runFrame(plan, input, [N](int) { return N; });

            std::vector<float> expected = input;
            for (float& v : expected)
                v += 1e-12f;
            Convolver::realTransform(expected.data(), N, direction);
            const double tol = 1e-6 * std::log2(N) * std::sqrt(N) * (direction == 1 ? 1 : N / 8);
            for (int i = 0; i < N; ++i)
                ASSERT_NEAR(once[i], expected[i], tol) << "N " << N << " element " << i;

            for (const auto& [name, step] : steppings)
                EXPECT_EQ(runFrame(plan, input, step), once)
                    << name << ", N " << N << ", direction " << direction;
        }
    }
}

// Progress, advanced one unit at a time, at which each phase's work is complete and at which the
// whole transform is.
struct Milestones {
    int pointsDone = -1, pairsDone = -1, butterfliesDone = -1, finished = -1;
};

Milestones milestones(int N, int direction)
{
    FFTPlan plan;
    plan.configure(N, direction);
    std::vector<float> data = randomSignal(N, 3);
    plan.startFrame(data.data());
    Milestones m;
    const int butterflies = plan.quotas().butterflyCount;
    for (int progress = 0; progress <= N && m.finished < 0; ++progress) {
        const bool done = plan.advance(progress);
        const FFTPlan::Work w = plan.work();
        if (m.pointsDone < 0 && w.points == static_cast<uint32_t>(N / 2))
            m.pointsDone = progress;
        if (m.pairsDone < 0 && w.pairs == static_cast<uint32_t>(N / 4 - 1))
            m.pairsDone = progress;
        if (m.butterfliesDone < 0 && w.butterflies == static_cast<uint32_t>(butterflies))
            m.butterfliesDone = progress;
        if (done)
            m.finished = progress;
    }
    return m;
}

TEST(FFTPlan, PhasesFinishAtTheirShareOfTheProgress)
{
    struct Case {
        int N, direction;
        Milestones expected;
    };
    for (const Case& c : {
             // Forward: bit reversal, butterflies, then the split step with the end step.
             Case{4096, 1, {356, 4096, 3736, 4096}},
             // Inverse: split step first, then bit reversal, then butterflies.
             Case{4096, -1, {716, 360, 4096, 4096}},
             // Twelve butterflies need less than their fourteen units; the split step takes the
             // rest.
             Case{16, 1, {1, 13, 12, 13}},
         }) {
        const Milestones m = milestones(c.N, c.direction);
        SCOPED_TRACE("N " + std::to_string(c.N) + ", direction " + std::to_string(c.direction));
        EXPECT_EQ(m.pointsDone, c.expected.pointsDone);
        EXPECT_EQ(m.pairsDone, c.expected.pairsDone);
        EXPECT_EQ(m.butterfliesDone, c.expected.butterfliesDone);
        EXPECT_EQ(m.finished, c.expected.finished);
    }
}

// With 64 units per call, each phase does in each call the work its units pay for, give or take
// one point, pair or butterfly (and the truncation of the target).
TEST(FFTPlan, WorkPerCallFollowsTheProgressEvenly)
{
    for (int N : {4096, 8192}) {
        for (int direction : {1, -1}) {
            FFTPlan plan;
            ASSERT_TRUE(plan.configure(N, direction));
            const FFTPlan::Quotas q = plan.quotas();
            const double pointsPerUnit = (N / 2.0) / q.bitReversal;
            const double pairsPerUnit = (N / 4.0) / q.splitStep;
            const double butterfliesPerUnit = static_cast<double>(q.butterflyCount) / q.butterflies;

            std::vector<float> data = randomSignal(N, 4);
            plan.startFrame(data.data());
            FFTPlan::Work before = plan.work();
            for (int progress = 64; progress <= N; progress += 64) {
                plan.advance(progress);
                const FFTPlan::Work after = plan.work();
                auto check = [&](const char* phase, uint32_t done, uint32_t doneBefore,
                                 uint32_t units, uint32_t unitsBefore, double perUnit) {
                    const double work = static_cast<double>(done - doneBefore);
                    const double paid = (units - unitsBefore) * perUnit;
                    EXPECT_LE(work, paid + 2.0) << phase << " at progress " << progress;
                    if (units - unitsBefore == 64) {
                        EXPECT_GE(work, paid - 2.0) << phase << " at progress " << progress;
                    }
                };
                check("bit reversal", after.points, before.points, after.bitReversalProgress,
                      before.bitReversalProgress, pointsPerUnit);
                check("split step", after.pairs, before.pairs, after.splitProgress,
                      before.splitProgress, pairsPerUnit);
                check("butterflies", after.butterflies, before.butterflies, after.butterflyProgress,
                      before.butterflyProgress, butterfliesPerUnit);
                EXPECT_LE(after.bitReversalProgress + after.splitProgress + after.butterflyProgress,
                          static_cast<uint32_t>(progress));
                before = after;
            }
        }
    }
}

TEST(FFTPlan, ProgressBeyondTheSizeOrGoingBackIsHarmless)
{
    FFTPlan plan;
    ASSERT_TRUE(plan.configure(64, 1));
    const std::vector<float> input = randomSignal(64, 6);
    const std::vector<float> once = runFrame(plan, input, [](int) { return 64; });
    std::vector<float> data = input;
    plan.startFrame(data.data());
    EXPECT_FALSE(plan.advance(30));
    EXPECT_FALSE(plan.advance(10));
    EXPECT_TRUE(plan.advance(1000));
    EXPECT_EQ(data, once);
}

} // namespace
