// The bridge as a host meets it when it renders faster than real time, and
// when it creates the effect: an offline render applies every parameter write
// before the next block, so renders repeat bit for bit; a real-time host never
// waits; nothing is reported to the host before it has the effect.

#include "VstTestHost.h"

#include <cmath>
#include <optional>

namespace {

using namespace test;

using OfflineTest = BridgeTest;

constexpr int kFrames = 256;
constexpr float kRate = 44100.0f;

std::int32_t parameterIndex(const Effect& effect, const std::string& prefix)
{
    for (std::int32_t i = 0; i < effect->numParams; ++i)
        if (effect.text(effGetParamName, i).rfind(prefix, 0) == 0)
            return i;
    return -1;
}

struct Render {
    std::vector<float> left;
    std::vector<float> right;
    // The "Master" display before the write and right after the block that
    // follows it.
    std::string displayBefore;
    std::string displayAfter;
};

// Ten seconds of a 110 Hz tone in blocks of kFrames; before block writeBlock
// (when there is one) the host moves "Master" to value.
Render render(const Effect& effect, std::optional<int> writeBlock, float value)
{
    constexpr int kBlocks = static_cast<int>(10 * kRate) / kFrames;
    effect(effSetSampleRate, 0, 0, nullptr, kRate);
    effect(effSetBlockSize, 0, kFrames);
    effect(effMainsChanged, 0, 1);
    const std::int32_t master = parameterIndex(effect, "Master");
    EXPECT_GE(master, 0);

    Render out;
    out.left.resize(static_cast<std::size_t>(kBlocks * kFrames));
    out.right.resize(out.left.size());
    std::vector<float> inLeft(kFrames), inRight(kFrames);
    out.displayBefore = effect.text(effGetParamDisplay, master);
    for (int block = 0; block < kBlocks; ++block) {
        for (int i = 0; i < kFrames; ++i) {
            const double t = static_cast<double>(block * kFrames + i) / kRate;
            inLeft[static_cast<std::size_t>(i)] = inRight[static_cast<std::size_t>(i)] =
                static_cast<float>(0.25 * std::sin(2.0 * M_PI * 110.0 * t));
        }
        if (writeBlock && block == *writeBlock)
            effect->setParameter(effect.get(), master, value);
        float* inputs[2] = {inLeft.data(), inRight.data()};
        float* outputs[2] = {out.left.data() + block * kFrames, out.right.data() + block * kFrames};
        effect->processReplacing(effect.get(), inputs, outputs, kFrames);
        if (writeBlock && block == *writeBlock)
            out.displayAfter = effect.text(effGetParamDisplay, master);
    }
    effect(effMainsChanged, 0, 0);
    return out;
}

// The first frame where two renders differ; -1 when they are the same.
long firstDifference(const Render& a, const Render& b)
{
    for (std::size_t i = 0; i < a.left.size(); ++i)
        if (a.left[i] != b.left[i] || a.right[i] != b.right[i])
            return static_cast<long>(i);
    return -1;
}

TEST_F(OfflineTest, offlineRendersWithTheSameAutomationAreBitIdentical)
{
    host.processLevel = kVstProcessLevelOffline;
    constexpr int kWriteBlock = 700; // about 4 s in
    Render untouched;
    {
        Effect effect(open());
        ASSERT_TRUE(effect);
        untouched = render(effect, std::nullopt, 0.0f);
    }
    std::optional<Render> first;
    for (int run = 0; run < 4; ++run) {
        SCOPED_TRACE(run);
        Effect effect(open());
        ASSERT_TRUE(effect);
        Render rendered = render(effect, kWriteBlock, 0.2f);
        // Audible from the block after the write: not earlier, not later.
        const long changed = firstDifference(rendered, untouched);
        EXPECT_GE(changed, long{kWriteBlock} * kFrames);
        EXPECT_LT(changed, long{kWriteBlock + 1} * kFrames);
        // The host reads the new value right after that block.
        EXPECT_NE(rendered.displayAfter, rendered.displayBefore);
        if (!first) {
            first = std::move(rendered);
            continue;
        }
        EXPECT_EQ(firstDifference(rendered, *first), -1) << "renders differ";
        EXPECT_EQ(rendered.displayAfter, first->displayAfter);
    }
}

TEST_F(OfflineTest, onlyAnOfflineHostHasTheProcessorWaitForItsWrites)
{
    RecordingStub& stub = useStub();
    Effect effect(open());
    ASSERT_TRUE(effect);
    std::vector<float> in(kFrames, 0.0f), out(kFrames, 0.0f);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {out.data(), out.data()};
    // 0: the host does not answer; 1 and 2: real time; 4: offline.
    const struct {
        std::intptr_t level;
        bool waits;
    } cases[] = {{0, false}, {1, false}, {2, false}, {4, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        host.processLevel = c.level;
        for (bool replacing : {true, false}) {
            stub.clearJournal();
            if (replacing)
                effect->processReplacing(effect.get(), inputs, outputs, kFrames);
            else
                effect->process(effect.get(), inputs, outputs, kFrames);
            std::vector<std::string> expected;
            if (c.waits)
                expected.push_back("waitForHostWrites");
            expected.push_back("process 256 flags 0");
            EXPECT_EQ(stub.journal(), expected);
        }
    }
}

TEST_F(OfflineTest, creationReportsNothingToTheHostAndLaterChangesStillReachIt)
{
    // A state whose master level differs from a fresh processor's.
    std::string moved;
    {
        Effect effect(open());
        ASSERT_TRUE(effect);
        effect->setParameter(effect.get(), parameterIndex(effect, "Master"), 0.2f);
        moved = effect.chunk(true);
        ASSERT_FALSE(moved.empty());
    }

    host.clear();
    host.effectHandedOver = false;
    Effect effect(open());
    host.effectHandedOver = true;
    ASSERT_TRUE(effect);
    EXPECT_EQ(host.automationsBeforeHandOver.load(), 0);
    EXPECT_TRUE(host.automations().empty());

    // A program the host loads now is reported, the master level with it.
    effect.setChunk(moved, true);
    const std::int32_t master = parameterIndex(effect, "Master");
    bool reported = false;
    for (const auto& automation : host.automations())
        reported = reported || automation.index == master;
    EXPECT_TRUE(reported);
}

} // namespace
