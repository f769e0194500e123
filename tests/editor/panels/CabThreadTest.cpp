// ctest-label: tsan
#include "PanelFixture.h"

#include <atomic>
#include <thread>

#include "editor/panels/CabModule.h"

namespace test::panels {
namespace {

namespace GUIp = Zq::BorvanRAZ::GUI;

class CabThreadTest : public EditorTest {};

// Host automation of the cabinet and the microphone, under the document lock
// as the automation worker applies it, while the cabinet panel is shown and
// the UI thread pumps: every cabinet change rebuilds the panel on the
// worker's thread, and the next pump shows the panel of the cabinet last set.
TEST_F(CabThreadTest, automatedCabinetAndMicrophoneWhileTheUiPumps)
{
    rig.getCabModule().highLevel.setValue(0.5f, true);
    build();
    open();
    editor->showModule(GUIp::CabId);
    ASSERT_NE(editor->getModulePanel(), nullptr);

    constexpr int kRounds = 24;
    std::atomic<int> applied{0};
    std::thread automation([&] {
        auto& cab = rig.getCabModule();
        for (int round = 0; round < kRounds; ++round) {
            {
                platform::ScopedEnter guard(*rig.getLock());
                cab.cabinetModel.setNormalized(static_cast<float>(round % 6) / 5.0f, true);
                cab.micModel.setNormalized(static_cast<float>(round % 5) / 5.0f, true);
                cab.micAxis.setNormalized(static_cast<float>(round % 2), true);
                cab.micDist.setNormalized(static_cast<float>(round / 2 % 2), true);
            }
            applied.store(round + 1);
            // Lets the UI thread's pumps in between.
            std::this_thread::yield();
        }
    });
    for (int pump = 0; pump < 8 || applied.load() < kRounds; ++pump)
        tick();
    automation.join();
    tick();

    // The last round set the RKM-810E: its panel, holding the tweeter at full.
    platform::ScopedEnter guard(*rig.getLock());
    auto* panel = dynamic_cast<GUIp::CabModule*>(editor->getModulePanel());
    ASSERT_NE(panel, nullptr);
    GUI::Widget* group = nullptr;
    panel->find("CabRKM810EPanel", group);
    EXPECT_TRUE(group->isVisible());
    EXPECT_FALSE(panel->isInert());
    EXPECT_EQ(editor->pendingCount(), 0u);
    EXPECT_EQ(rig.getCabModule().highLevel.getValue(), 1.0f);
    EXPECT_EQ(rig.getCabModule().keptHighLevel, 0.5f);
}

} // namespace
} // namespace test::panels
