// ctest-label: tsan
#include "AutomationFixtures.h"

namespace {

namespace D = Zq::BorvanRAZ::Document;
using Change = test::RecordingHost::Change;

using ModelSwitchTest = test::AutomationTest;

constexpr int kCompressor = 6; // the document's stomp model number
constexpr int kSensitivity = 30;

TEST_F(ModelSwitchTest, theLowestSlotHoldingAModelIsTheOneAutomated)
{
    EXPECT_STREQ(t->getParameterDisplay(t, kSensitivity), "N/A");
    setSlot(3, kCompressor);
    auto& lower = dynamic_cast<D::StompDynaComp&>(*rig.getStompModule().getStomp(3));
    change(lower.sensitivity, 2.0f);
    setSlot(1, kCompressor);
    auto& upper = dynamic_cast<D::StompDynaComp&>(*rig.getStompModule().getStomp(1));
    change(upper.sensitivity, 8.0f);
    EXPECT_EQ(adapter(kSensitivity)->getParameter(), &upper.sensitivity);
    EXPECT_STREQ(t->getParameterDisplay(t, kSensitivity), "8.0 ");
    host.take();

    // Emptying slot 1 hands the index to slot 3, and the host hears slot 3's
    // values: the unbind first (0, 0), then the bind.
    setSlot(1, 0);
    EXPECT_EQ(adapter(kSensitivity)->getParameter(), &lower.sensitivity);
    EXPECT_STREQ(t->getParameterDisplay(t, kSensitivity), "2.0 ");
    const std::vector<Change> changes = host.take();
    const std::vector<Change> expected = {
        {28, 0.0f, 0.0f},
        {29, 0.0f, 0.0f},
        {30, 0.0f, 0.0f},
        {28, 0.0f, 0.0f}, // "Bypass" off
        {29, lower.output.getValue(), lower.output.getNormalized()},
        {30, 2.0f, 0.2f},
    };
    EXPECT_EQ(changes, expected);

    // Host writes now reach slot 3 only.
    t->setParameterValue(t, kSensitivity, 5.0f);
    manager.waitUntilApplied();
    EXPECT_EQ(lower.sensitivity.getValue(), 5.0f);
    setSlot(3, 0);
    EXPECT_STREQ(t->getParameterDisplay(t, kSensitivity), "N/A");
    EXPECT_EQ(t->getParameterValue(t, kSensitivity), 0.0f);
}

TEST_F(ModelSwitchTest, changingAModelMovesTheHostIndicesToTheNewOne)
{
    setSlot(2, 3); // the chorus
    setSlot(4, 3);
    auto& chorus = dynamic_cast<D::StompRI1&>(*rig.getStompModule().getStomp(2));
    EXPECT_EQ(adapter(7)->getParameter(), &chorus.chorus);
    setSlot(2, 5); // the wah; slot 4's chorus takes over
    auto& wah = dynamic_cast<D::StompWah&>(*rig.getStompModule().getStomp(2));
    auto& other = dynamic_cast<D::StompRI1&>(*rig.getStompModule().getStomp(4));
    EXPECT_EQ(adapter(7)->getParameter(), &other.chorus);
    EXPECT_EQ(adapter(27)->getParameter(), &wah.wah);
    t->setParameterValue(t, 27, 50.0f);
    manager.waitUntilApplied();
    EXPECT_EQ(wah.wah.getValue(), 50.0f);
}

TEST_F(ModelSwitchTest, switchingTheAmpRebindsItsIndicesAndReportsEveryOne)
{
    setAmp(3); // RKM-4 PRO
    host.take();
    setAmp(0); // GN-500
    for (int i = 76; i <= 98; ++i) {
        EXPECT_STREQ(t->getParameterDisplay(t, i), "N/A") << i;
        EXPECT_EQ(t->getParameterNormalized(t, i), 0.0f) << i;
    }
    auto& gn500 = dynamic_cast<D::AmpRE500&>(*rig.getAmpModule().getAmpModel());
    EXPECT_EQ(adapter(43)->getParameter(), &gn500.gain);
    EXPECT_STREQ(t->getParameterDisplay(t, 43), "6.4 ");
    EXPECT_STREQ(t->getParameterDisplay(t, 50), "0 dB");

    std::vector<Change> unbinds;
    std::vector<Change> binds;
    for (const Change& c : host.take())
        (c.index >= 76 ? unbinds : binds).push_back(c);
    ASSERT_EQ(unbinds.size(), 23u);
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(unbinds[i], (Change{76 + i, 0.0f, 0.0f}));
    ASSERT_EQ(binds.size(), 17u);
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(binds[i].index, 42 + i);
        EXPECT_EQ(binds[i].plain, adapter(42 + i)->getValue());
        EXPECT_EQ(binds[i].normalized, adapter(42 + i)->getNormalized());
    }
}

TEST_F(ModelSwitchTest, writingAnAbsentAmpModelChangesNothing)
{
    const std::string before = rig.saveChunk();
    t->setParameterNormalized(t, 64, 1.0f); // Q-9R Frequency while RKM-CL plays
    t->setParameterValue(t, 64, 4.0f);
    manager.waitUntilApplied();
    EXPECT_EQ(rig.saveChunk(), before);
    EXPECT_STREQ(t->getParameterDisplay(t, 64), "N/A");
    EXPECT_EQ(t->getParameterValue(t, 64), 0.0f);
    EXPECT_EQ(t->getParameterNormalized(t, 64), 0.0f);
}

} // namespace
