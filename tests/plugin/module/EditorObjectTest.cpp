#include "ModuleFixtures.h"

#include "plugin/module/PlugGUI.h"
#include "plugin/module/PlugIn.h"

#include <memory>

namespace {

using Zq::BorvanRAZ::PlugGUI;
using Zq::BorvanRAZ::StandIn::Editor;
using Journal = std::vector<std::string>;

class EditorObjectTest : public test::PlugInTest {
protected:
    void SetUp() override
    {
        test::PlugInTest::SetUp();
        plugIn = std::make_unique<Zq::BorvanRAZ::PlugIn>();
        Zq::DUZ2::PlugInTable* p = plugIn->getTable();
        process = p->createProcess(p, nullptr, 0);
        gui = p->getGUI(p, process);
        object = static_cast<PlugGUI*>(
            static_cast<Zq::DUZ2::GUI*>(test::word(gui, Zq::DUZ2::kGUIEntries)));
        Editor::clearJournal();
    }

    std::unique_ptr<Zq::BorvanRAZ::PlugIn> plugIn;
    Zq::DUZ2::ProcessTable* process = nullptr;
    Zq::DUZ2::GUITable* gui = nullptr;
    PlugGUI* object = nullptr;
    std::uint64_t window = 0x3c00007; // an X11 Window id
};

TEST_F(EditorObjectTest, answersForItsProcessorAndTheEditorsSize)
{
    EXPECT_EQ(gui->getProcess(gui), process);
    std::int32_t width = 0;
    std::int32_t height = 0;
    gui->getSize(gui, &width, &height);
    EXPECT_EQ(width, 851);
    EXPECT_EQ(height, 510);
    gui->getSize(gui, nullptr, nullptr);
}

TEST_F(EditorObjectTest, hostEventFlagsReachTheEditorAsBooleans)
{
    gui->setHostKeyEvents(gui, 5);
    gui->setHostMouseEvents(gui, -1);
    EXPECT_FALSE(object->getEditor().ownsKeys());
    EXPECT_FALSE(object->getEditor().ownsMouse());
    gui->setHostMouseEvents(gui, 0);
    EXPECT_TRUE(object->getEditor().ownsMouse());
    EXPECT_EQ(Editor::journal(),
              (Journal{"setHostKeyEvents 1", "setHostMouseEvents 1", "setHostMouseEvents 0"}));
}

TEST_F(EditorObjectTest, onKeyAnswersExactlyZeroOrOne)
{
    object->getEditor().setKeyAnswer(true);
    EXPECT_EQ(gui->onKey(gui, 65, 'a', 0), 0) << "the editor takes keys itself";
    gui->setHostKeyEvents(gui, 1);
    EXPECT_EQ(gui->onKey(gui, 65, 'a', 0), 1);
    object->getEditor().setKeyAnswer(false);
    EXPECT_EQ(gui->onKey(gui, 65, 'a', 0), 0);
}

TEST_F(EditorObjectTest, windowCallsPassOnlyWhileOpenAndCloseClosesOnce)
{
    gui->close(gui);
    gui->update(gui);
    gui->invalidate(gui, 10, 20, 110, 70);
    gui->idle(gui);
    EXPECT_TRUE(Editor::journal().empty());

    gui->setPosition(gui, 0, 48);
    gui->open(gui, &window);
    gui->update(gui);
    gui->invalidate(gui, 10, 20, 110, 70);
    gui->invalidate(gui, INT32_MIN, 0, INT32_MAX, 0);
    gui->close(gui);
    gui->close(gui);
    EXPECT_EQ(Editor::journal(),
              (Journal{"setPosition 0 48", "open 0 48", "idle", "invalidate 10 20 100 50",
                       "invalidate -2147483648 0 2147483647 0", "close"}));
    EXPECT_FALSE(object->getEditor().isWindowOpen());
}

TEST_F(EditorObjectTest, inputReachesTheEditorWhetherOpenOrNot)
{
    gui->onMouseDown(gui, 1, 2, 1, 0);
    gui->onMouseUp(gui, 1, 2, 1, 0);
    gui->onMouseMove(gui, 3, 4, 8);
    EXPECT_EQ(Editor::journal(),
              (Journal{"onMouseDown 1 2 1 0", "onMouseUp 1 2 1 0", "onMouseMove 3 4 8"}));
}

TEST_F(EditorObjectTest, destroyingTheProcessorClosesAnOpenEditorBeforeDeletingIt)
{
    gui->open(gui, &window);
    Zq::DUZ2::PlugInTable* p = plugIn->getTable();
    p->destroyProcess(p, process);
    EXPECT_EQ(Editor::journal(), (Journal{"open 0 0", "close", "deleted"}));
}

} // namespace
