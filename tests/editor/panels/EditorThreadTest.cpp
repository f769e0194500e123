// ctest-label: tsan
#include "PanelFixture.h"

#include <atomic>
#include <thread>

namespace test::panels {
namespace {

class EditorThreadTest : public EditorTest {};

// Host automation writes what the bars show, under the document lock as the
// automation worker does, while the UI thread opens, pumps and closes the
// editor: the window comes and goes under the same lock the writes take.
TEST_F(EditorThreadTest, automationWritesWhileTheEditorOpensPumpsAndCloses)
{
    build();
    std::atomic<bool> done{false};
    std::thread automation([&] {
        auto& output = rig.getOutput();
        Zq::Application::DocView::Parameter* targets[] = {&output.master,
                                                          &output.phase,
                                                          &output.mix,
                                                          &rig.getAmpModule().outputVolume,
                                                          &rig.getTuner().outputVolume,
                                                          &rig.getCabModule().outputVolume};
        int round = 0;
        while (!done.load()) {
            for (auto* parameter : targets) {
                platform::ScopedEnter guard(*rig.getLock());
                parameter->setNormalized(static_cast<float>(round % 17) / 16.0f, true);
            }
            ++round;
        }
    });
    for (int cycle = 0; cycle < 12; ++cycle) {
        open();
        editor->showModule(cycle % 2 ? 1 : 4);
        for (int pump = 0; pump < 5; ++pump)
            tick();
        editor->close();
    }
    done.store(true);
    automation.join();
    EXPECT_FALSE(editor->isOpen());
}

} // namespace
} // namespace test::panels
