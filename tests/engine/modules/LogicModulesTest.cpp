#include "tests/support/ElementRig.h"

#include "engine/modules/Comparator.h"
#include "engine/modules/Divider.h"
#include "engine/modules/LatchSR.h"
#include "engine/modules/RingModulator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace rig;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The circuits of the octave divider: comparators 0 / 1, a latch from 0 / 1
// to -1 / +1, a divider of +-1, and a switch between -10 and +1 at 0.
struct Latch : LatchSR {
    Latch() : LatchSR(LogicLevels{0.0f, 1.0f, -1.0f, 1.0f}) {}
};
struct Halver : Divider<2, DividerDetails::EdgePositive> {
    Halver() : Divider(LogicLevels{-1.0f, 1.0f, -1.0f, 1.0f}) {}
};
struct AtZero {
    static constexpr float threshold = 0.0f;
};
struct MinusTenOrOne {
    static constexpr float high = -10.0f;
    static constexpr float low = 1.0f;
};
using Switch = RingModulator<AtZero, MinusTenOrOne>;

// One logic module with its inputs fed from test buffers, run in pieces of a
// chosen length; outputs are gathered sample by sample.
template <class M> struct LogicRig {
    LogicRig(std::vector<std::string> inputs, std::vector<std::string> outputs,
             std::int32_t policy = 0)
        : outputNames(std::move(outputs))
    {
        environment.policy = policy;
        bringUp(module, environment);
        for (std::size_t k = 0; k < inputs.size(); ++k)
            module.getInput(inputs[k]).connect(&feeds[k]);
        module.resolveConnections();
        module.bindPorts();
    }

    // Runs the streams through in pieces of `piece` samples; returns one
    // stream per output.
    std::vector<std::vector<float>> run(const std::vector<std::vector<float>>& streams,
                                        std::uint32_t piece)
    {
        std::vector<std::vector<float>> out(outputNames.size());
        const std::size_t total = streams.front().size();
        for (std::size_t at = 0; at < total; at += piece) {
            const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(piece, total - at));
            environment.chunk = n;
            for (std::size_t k = 0; k < streams.size(); ++k)
                feeds[k].set(
                    std::vector<float>(streams[k].begin() + at, streams[k].begin() + at + n));
            module.process();
            for (std::size_t k = 0; k < outputNames.size(); ++k) {
                const auto y = samples(module.getOutput(outputNames[k]), n);
                out[k].insert(out[k].end(), y.begin(), y.end());
            }
        }
        return out;
    }

    RootEnvironment environment;
    M module;
    Feed feeds[2];
    std::vector<std::string> outputNames;
};

LogicRig<Comparator> comparator(std::int32_t policy = 0)
{
    return {{"In1", "In2"}, {"Out"}, policy};
}
LogicRig<Latch> latch(std::int32_t policy = 0)
{
    return {{"InSet", "InReset"}, {"OutQ", "OutNotQ"}, policy};
}
LogicRig<Halver> halver(std::int32_t policy = 0)
{
    return {{"In"}, {"Out"}, policy};
}
LogicRig<Switch> ringSwitch(std::int32_t policy = 0)
{
    return {{"In", "InCtrl"}, {"Out"}, policy};
}

// The one-sample rules, written out plainly as references.
std::vector<std::vector<float>> comparatorReference(const std::vector<std::vector<float>>& in)
{
    std::vector<float> y;
    for (std::size_t i = 0; i < in[0].size(); ++i)
        y.push_back(in[0][i] > in[1][i] ? 1.0f : 0.0f);
    return {y};
}
std::vector<std::vector<float>> latchReference(const std::vector<std::vector<float>>& in)
{
    float q = -1.0f, notQ = 1.0f;
    std::vector<float> yq, yn;
    for (std::size_t i = 0; i < in[0].size(); ++i) {
        if (in[0][i] == 1.0f) {
            q = 1.0f;
            notQ = -1.0f;
        } else if (in[1][i] == 1.0f) {
            q = -1.0f;
            notQ = 1.0f;
        }
        yq.push_back(q);
        yn.push_back(notQ);
    }
    return {yq, yn};
}
std::vector<std::vector<float>> halverReference(const std::vector<std::vector<float>>& in)
{
    float previous = 0.0f, state = 0.0f;
    std::vector<float> y;
    for (float x : in[0]) {
        if (x > previous)
            state = state == 1.0f ? -1.0f : 1.0f;
        previous = x;
        y.push_back(state);
    }
    return {y};
}
std::vector<std::vector<float>> switchReference(const std::vector<std::vector<float>>& in)
{
    std::vector<float> y;
    for (std::size_t i = 0; i < in[0].size(); ++i)
        y.push_back(in[0][i] * (in[1][i] >= 0.0f ? -10.0f : 1.0f));
    return {y};
}

void expectSame(const std::vector<std::vector<float>>& got,
                const std::vector<std::vector<float>>& want, const std::string& what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t k = 0; k < got.size(); ++k) {
        ASSERT_EQ(got[k].size(), want[k].size()) << what;
        for (std::size_t i = 0; i < got[k].size(); ++i)
            ASSERT_TRUE(sameBits(got[k][i], want[k][i]))
                << what << ", output " << k << ", sample " << i << ": " << got[k][i] << " vs "
                << want[k][i];
    }
}

} // namespace

TEST(LogicModules, CasesFollowTheOneSampleRules)
{
    using Streams = std::vector<std::vector<float>>;
    const struct {
        const char* name;
        char kind; // 'c' comparator, 'l' latch, 'd' divider, 'r' switch
        Streams in;
        Streams out;
    } cases[] = {
        {"equal comparator inputs give 0",
         'c',
         {{0.5f, -2.0f, 0.0f, 1.0f}, {0.5f, -2.0f, -0.0f, 0.0f}},
         {{0.0f, 0.0f, 0.0f, 1.0f}}},
        {"NaN on either comparator input gives 0",
         'c',
         {{kNaN, 1.0f, kNaN, 2.0f}, {0.0f, kNaN, kNaN, 1.0f}},
         {{0.0f, 0.0f, 0.0f, 1.0f}}},
        {"a latch starts reset", 'l', {{0.0f, 0.0f}, {0.0f, 0.0f}}, {{-1.0f, -1.0f}, {1.0f, 1.0f}}},
        {"a latch with both inputs 1.0 sets",
         'l',
         {{1.0f, 0.0f}, {1.0f, 0.0f}},
         {{1.0f, 1.0f}, {-1.0f, -1.0f}}},
        {"0.999 is not high on either latch input",
         'l',
         {{0.999f, 1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.999f, 1.0f}},
         {{-1.0f, 1.0f, 1.0f, -1.0f}, {1.0f, -1.0f, -1.0f, 1.0f}}},
        {"a NaN latch input holds",
         'l',
         {{1.0f, kNaN, 0.0f}, {0.0f, kNaN, kNaN}},
         {{1.0f, 1.0f, 1.0f}, {-1.0f, -1.0f, -1.0f}}},
        {"a first divider input of +1 counts as rising",
         'd',
         {{1.0f, 1.0f, 1.0f}},
         {{1.0f, 1.0f, 1.0f}}},
        {"a constant divider input never toggles",
         'd',
         {{-1.0f, -1.0f, -1.0f, -1.0f}},
         {{0.0f, 0.0f, 0.0f, 0.0f}}},
        {"a ramp that rises every sample toggles every sample",
         'd',
         {{0.5f, 1.0f, 1.5f, 2.0f, 2.5f}},
         {{1.0f, -1.0f, 1.0f, -1.0f, 1.0f}}},
        {"each rising step of a square wave toggles",
         'd',
         {{-1.0f, 1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f}},
         {{0.0f, 1.0f, 1.0f, 1.0f, -1.0f, -1.0f, 1.0f}}},
        {"a NaN divider input is no edge, nor the sample after it",
         'd',
         {{kNaN, kNaN, 1.0f, -1.0f, 1.0f}},
         {{0.0f, 0.0f, 0.0f, 0.0f, 1.0f}}},
        {"InCtrl 0.0 gives -10, below 0 unity",
         'r',
         {{1.0f, 1.0f, 1.0f, 2.0f, -0.5f}, {0.0f, -0.0f, -1e-30f, 1.0f, -1.0f}},
         {{-10.0f, -10.0f, 1.0f, -20.0f, -0.5f}}},
    };
    for (const auto& c : cases) {
        std::vector<std::vector<float>> got;
        switch (c.kind) {
        case 'c':
            got = comparator().run(c.in, 64);
            break;
        case 'l':
            got = latch().run(c.in, 64);
            break;
        case 'd':
            got = halver().run(c.in, 64);
            break;
        default:
            got = ringSwitch().run(c.in, 64);
            break;
        }
        expectSame(got, c.out, c.name);
    }
}

TEST(LogicModules, FourWideLoopsAgreeWithThePlainLoopForEveryPieceLength)
{
    // Logic-like streams with the awkward values mixed in: exact levels, near
    // misses, ties, ramps, NaN and infinities.
    std::mt19937 random(19);
    const float palette[] = {0.0f, 1.0f,  0.999f, -1.0f,
                             0.5f, -0.0f, kNaN,   std::numeric_limits<float>::infinity(),
                             2.0f, -3.0f};
    auto stream = [&](std::size_t n) {
        std::vector<float> s(n);
        for (float& x : s)
            x = palette[random() % std::size(palette)];
        return s;
    };
    const std::size_t total = 64 * 9 + 3;
    const std::vector<std::vector<float>> two = {stream(total), stream(total)};
    const std::vector<std::vector<float>> one = {stream(total)};

    for (std::uint32_t piece = 1; piece <= 64; ++piece) {
        // Under the in-place policy as well: outputs may share the inputs' samples.
        for (std::int32_t policy : {0, 2}) {
            const std::string where =
                "pieces of " + std::to_string(piece) + ", policy " + std::to_string(policy);
            expectSame(comparator(policy).run(two, piece), comparatorReference(two),
                       "comparator, " + where);
            expectSame(latch(policy).run(two, piece), latchReference(two), "latch, " + where);
            expectSame(halver(policy).run(one, piece), halverReference(one), "divider, " + where);
            expectSame(ringSwitch(policy).run(two, piece), switchReference(two),
                       "switch, " + where);
        }
    }
}

TEST(LogicModules, PrepareRestsTheLatchAndDividerAndResetKeepsThem)
{
    auto l = latch();
    l.run({{1.0f}, {0.0f}}, 64);
    auto d = halver();
    d.run({{1.0f}}, 64);
    l.module.reset();
    d.module.reset();
    EXPECT_EQ(l.module.getQ(), 1.0f);
    EXPECT_EQ(d.module.getOutputState(), 1.0f);
    EXPECT_EQ(d.module.getPrevious(), 1.0f);

    l.module.prepare();
    d.module.prepare();
    EXPECT_EQ(l.module.getQ(), -1.0f);
    EXPECT_EQ(l.module.getNotQ(), 1.0f);
    EXPECT_EQ(d.module.getOutputState(), 0.0f);
    EXPECT_EQ(d.module.getPrevious(), 0.0f);
    EXPECT_EQ(l.module.getInfo().type, "LatchSR");
    EXPECT_EQ(d.module.getInfo().type, "Divider");
}
