#include "engine/host/ParameterChanges.h"
#include "engine/core/ModuleBasic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace AudioEngine;
using ModuleHostDetails::ParameterChanges;

namespace {

constexpr float kPiece = 64.0f / 44100.0f;

// A module whose parameters cover every rule of the queue and which records
// every set that reaches it.
class Panel : public ModuleBasic {
public:
    Panel() : ModuleBasic(ModuleInfo{0, "Panel", ""})
    {
        parameters_.addParameter(Parameter("ReadOnly", "", 0, 10, 5, 0x01), "ReadOnly");
        parameters_.addParameter(
            Parameter("Switch", "", ParameterBase::States{"A", "B", "C", "D"}, "C", 0), "Switch");
        parameters_.addParameter(Parameter("Now2", "", 0, 10, 0, 0x02), "Now2");
        parameters_.addParameter(Parameter("Now4", "", 0, 100000, 0, 0x04), "Now4");
        parameters_.addParameter(Parameter("Slew", "", 0, 10, 0, 0), "Slew");
        parameters_.addParameter(Parameter("Bipolar", "", -20, 20, 0, 0), "Bipolar");
        sets.reserve(20000);
    }
    void bindPorts() override {}
    void setParameter(std::string_view name, float value) override
    {
        sets.push_back({std::string(name), value});
        ModuleBasic::setParameter(name, value);
    }
    void reset() override { ++resets; }

    float value(std::string_view name) { return getParameter(name).getValue(); }

    std::vector<std::pair<std::string, float>> sets;
    int resets = 0;
};

} // namespace

TEST(ParameterChanges, EachKindOfParameterFollowsItsRule)
{
    Panel panel;
    ParameterChanges queue(&panel, 0.1f);

    queue.push("ReadOnly", 1.0f);
    queue.push("Switch", 2.7f); // same integer as the current 2.0
    queue.push("Now2", 7.0f);
    queue.push("Now4", 9.0f);
    queue.drain(1024, kPiece);
    EXPECT_EQ(panel.value("ReadOnly"), 5.0f);
    EXPECT_EQ(panel.value("Switch"), 2.0f);
    EXPECT_EQ(panel.value("Now2"), 7.0f);
    EXPECT_EQ(panel.value("Now4"), 9.0f);
    EXPECT_EQ(queue.getPendingCount(), 0u);

    queue.push("Switch", 3.0f);
    queue.drain(1024, kPiece);
    EXPECT_EQ(panel.value("Switch"), 3.0f);
}

TEST(ParameterChanges, ASlewedChangeCrossesTheRangeInTheSlewTime)
{
    Panel panel;
    ParameterChanges queue(&panel, 0.1f);
    queue.push("Slew", 10.0f);

    int pieces = 0;
    float previous = 0.0f;
    while (queue.getPendingCount() > 0 && pieces < 1000) {
        queue.drain(1024, kPiece);
        ++pieces;
        const float now = panel.value("Slew");
        if (now < 10.0f) {
            EXPECT_NEAR(now - previous, 0.14512f, 1e-4f) << "piece " << pieces;
        }
        previous = now;
    }
    EXPECT_EQ(pieces, 69);
    EXPECT_EQ(panel.value("Slew"), 10.0f);
}

TEST(ParameterChanges, ChangesBehindASlewArriveInTheSameDrain)
{
    Panel panel;
    ParameterChanges queue(&panel, 0.1f);
    queue.push("Slew", 10.0f);
    queue.push("Now2", 3.0f);
    queue.drain(1024, kPiece);
    EXPECT_EQ(panel.value("Slew"), 10.0f);
    EXPECT_EQ(panel.value("Now2"), 3.0f);
    EXPECT_EQ(queue.getPendingCount(), 0u);
}

TEST(ParameterChanges, OutOfRangeNaNAndUnknownChangesNeverBlockTheQueue)
{
    Panel panel;
    ParameterChanges queue(&panel, 0.1f);
    EXPECT_EQ(queue.push("Bipolar", 25.0f), ParameterChanges::Push::Queued);
    EXPECT_EQ(queue.push("Bipolar", std::numeric_limits<float>::quiet_NaN()),
              ParameterChanges::Push::NotANumber);
    queue.push("NoSuchParameter", 1.0f);
    queue.push("Now2", 4.0f);
    queue.drain(1024, kPiece);

    EXPECT_EQ(panel.value("Bipolar"), 20.0f);
    EXPECT_EQ(panel.value("Now2"), 4.0f);
    EXPECT_EQ(queue.getPendingCount(), 0u);
    EXPECT_EQ(queue.getUnknownCount(), 1u);

    const std::string tooLong(ParameterChanges::kMaxNameLength + 1, 'x');
    const std::string longest(ParameterChanges::kMaxNameLength, 'x');
    EXPECT_EQ(queue.push(tooLong, 1.0f), ParameterChanges::Push::NameTooLong);
    EXPECT_EQ(queue.push(longest, 1.0f), ParameterChanges::Push::Queued);
}

TEST(ParameterChanges, AFullRingLosesItsOldestChange)
{
    Panel panel;
    ParameterChanges queue(&panel, 0.1f);
    for (int i = 0; i <= 16384; ++i)
        queue.push("Now4", static_cast<float>(i));
    EXPECT_EQ(queue.getPendingCount(), 16384u);

    panel.sets.clear();
    queue.drain(20000, kPiece);
    ASSERT_EQ(panel.sets.size(), 16384u);
    EXPECT_EQ(panel.sets.front().second, 1.0f); // change 0 was lost
    EXPECT_EQ(panel.sets.back().second, 16384.0f);
}

TEST(ParameterChanges, BatchesGrowCollectAndApply)
{
    Panel panel;
    ParameterChanges queue(&panel, 0.1f);
    queue.push("Now2", 1.0f); // pending single changes give way to a batch
    ASSERT_TRUE(queue.beginBatch());
    EXPECT_FALSE(queue.beginBatch());
    EXPECT_EQ(queue.getPendingCount(), 0u);

    std::vector<std::uint32_t> capacities;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(queue.push("Slew", static_cast<float>(i + 1)), ParameterChanges::Push::Batched);
        capacities.push_back(queue.getBatchCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<std::uint32_t>{1, 2, 3, 4, 5}));

    queue.drain(1024, kPiece); // single changes wait while a batch is active
    EXPECT_EQ(panel.value("Slew"), 0.0f);
    EXPECT_FALSE(queue.applyBatch(2));
    EXPECT_EQ(panel.value("Slew"), 2.0f); // batch entries are set at once
    EXPECT_TRUE(queue.applyBatch(100));
    EXPECT_EQ(panel.value("Slew"), 5.0f);
    EXPECT_EQ(panel.resets, 1);
    EXPECT_TRUE(queue.resetBatch()); // it had to grow
    EXPECT_EQ(queue.getBatchCount(), 0u);

    queue.setBatchCapacity(0); // never below one slot
    EXPECT_EQ(queue.getBatchCapacity(), 1u);
}
