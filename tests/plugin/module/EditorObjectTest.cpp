#include "ModuleFixtures.h"

#include "editor/panels/LowerPanel.h"
#include "editor/panels/Main.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/EditText.h"
#include "editor/widgets/Root.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Native.h"
#include "plugin/module/PlugGUI.h"
#include "plugin/module/PlugIn.h"

#include <algorithm>
#include <memory>

namespace {

using Zq::BorvanRAZ::PlugGUI;
namespace pw = platform::window;

// The module's editor object over the real editor, drawn from the built skin
// in a headless window; the window's clock stands still, so no timer tick
// repaints behind a test's back.
class EditorObjectTest : public test::PlugInTest {
protected:
    static std::int64_t frozenClock() { return 1000; }

    void SetUp() override
    {
        test::PlugInTest::SetUp();
        platform::writeRegistryString("BorvanQom", "ResPath", SKIN_PAK);
        pw::setBackend(pw::Backend::Headless);
        pw::setClock(&frozenClock);
        plugIn = std::make_unique<Zq::BorvanRAZ::PlugIn>();
        Zq::DUZ2::PlugInTable* p = plugIn->getTable();
        process = p->createProcess(p, nullptr, 0);
        gui = p->getGUI(p, process);
        object = static_cast<PlugGUI*>(
            static_cast<Zq::DUZ2::GUI*>(test::word(gui, Zq::DUZ2::kGUIEntries)));
    }
    void TearDown() override
    {
        plugIn.reset();
        pw::setClock(nullptr);
        pw::setBackend(pw::Backend::Default);
        test::PlugInTest::TearDown();
    }

    Zq::BorvanRAZ::GUI::Main& editor() { return object->getEditor(); }
    pw::HeadlessWindow* headless()
    {
        auto* window = editor().getWindow();
        return window ? pw::HeadlessWindow::find(
                            *static_cast<unsigned long*>(window->getWindowHandle()))
                      : nullptr;
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
    EXPECT_FALSE(editor().ownsKeys());
    EXPECT_FALSE(editor().ownsMouse());
    gui->setHostMouseEvents(gui, 0);
    EXPECT_TRUE(editor().ownsMouse());
}

TEST_F(EditorObjectTest, onKeyAnswersOneOnlyWhileAWidgetHasTheFocus)
{
    gui->open(gui, &window);
    editor().showModule(1);
    Zq::Application::Widgets::EditText* field = nullptr;
    editor().getModulePanel()->find("TuneReference", field);
    auto* manager = editor().getRoot()->getManager();

    manager->setFocus(field);
    EXPECT_EQ(gui->onKey(gui, 65, 'a', 0), 0) << "the editor takes keys itself";
    gui->setHostKeyEvents(gui, 1);
    EXPECT_EQ(gui->onKey(gui, Zq::Application::Graphics::End, 0, 0), 1);
    EXPECT_EQ(gui->onKey(gui, Zq::Application::Graphics::Backspace, 0, 0), 1);
    EXPECT_EQ(field->getText(), "440.0") << "the key reached the focused field";
    manager->setFocus(nullptr);
    EXPECT_EQ(gui->onKey(gui, 65, 'a', 0), 0);
}

TEST_F(EditorObjectTest, windowCallsPassOnlyWhileOpenAndCloseClosesOnce)
{
    gui->close(gui);
    gui->update(gui);
    gui->invalidate(gui, 10, 20, 110, 70);
    gui->idle(gui);
    EXPECT_FALSE(editor().isOpen());

    gui->setPosition(gui, 0, 48);
    gui->open(gui, &window);
    ASSERT_NE(headless(), nullptr);
    EXPECT_EQ(headless()->rect(), (pw::Rect{0, 48, 851, 510}));
    EXPECT_TRUE(headless()->hasParent());
    gui->idle(gui);
    EXPECT_EQ(headless()->lastPresented(), (pw::Rect{0, 0, 851, 510})) << "the first paint";
    gui->invalidate(gui, 10, 20, 110, 70);
    gui->update(gui);
    EXPECT_EQ(headless()->lastPresented(), (pw::Rect{10, 20, 100, 50}));
    gui->invalidate(gui, INT32_MIN, 0, INT32_MAX, 0);
    gui->idle(gui);
    gui->close(gui);
    gui->close(gui);
    EXPECT_FALSE(editor().isOpen());
}

TEST_F(EditorObjectTest, inputReachesTheEditorWhetherOpenOrNot)
{
    // The clip lamp lit, then its reset button clicked through the host.
    auto* output = editor().getLowerPanel()->getOutput();
    Zq::Application::Widgets::CheckBox* led = nullptr;
    output->find("ClipLed", led);
    led->setChecked(true);
    const int x = 280 + 274 + 5;
    const int y = 420 + 4 + 44 + 5;
    gui->onMouseDown(gui, x, y, 1, 0);
    gui->onMouseUp(gui, x, y, 1, 0);
    EXPECT_TRUE(led->isChecked()) << "the editor's own mouse: host input is ignored";

    gui->setHostMouseEvents(gui, 1);
    gui->onMouseMove(gui, x, y, 0);
    gui->onMouseDown(gui, x, y, 1, 0);
    gui->onMouseUp(gui, x, y, 1, 0);
    EXPECT_FALSE(led->isChecked());
}

TEST_F(EditorObjectTest, destroyingTheProcessorClosesAnOpenEditorBeforeDeletingIt)
{
    gui->open(gui, &window);
    const unsigned long id = *static_cast<unsigned long*>(editor().getWindow()->getWindowHandle());
    ASSERT_NE(pw::HeadlessWindow::find(id), nullptr);
    Zq::DUZ2::PlugInTable* p = plugIn->getTable();
    p->destroyProcess(p, process);
    EXPECT_EQ(pw::HeadlessWindow::find(id), nullptr);
}

TEST_F(EditorObjectTest, afterOpenAndOneIdleEveryPixelIsPainted)
{
    gui->open(gui, &window);
    gui->idle(gui);
    const auto& screen = headless()->screen();
    const auto unpainted = std::count(screen.begin(), screen.end(), 0u);
    EXPECT_EQ(unpainted, 0);
}

TEST_F(EditorObjectTest, aHostStateLoadRebuildsTheShownTunerAndLeavesNoOldPanel)
{
    gui->open(gui, &window);
    editor().showModule(1);
    void* data = nullptr;
    const std::int32_t size = process->getChunk(process, &data);
    const std::string chunk(static_cast<const char*>(data), static_cast<std::size_t>(size));
    for (int load = 0; load < 3; ++load) {
        Zq::Application::GUI::Widget* face = nullptr;
        editor().getModulePanel()->find("TunerPanel", face);
        bool gone = false;
        boost::signals2::scoped_connection watch =
            face->destroyed.connect([&](Zq::Application::GUI::Widget*) { gone = true; });
        process->setChunk(process, chunk.data(), size);
        EXPECT_TRUE(gone) << "the old panel went with the load";
        EXPECT_EQ(editor().pendingCount(), 0u);
        EXPECT_EQ(editor().getModule(), 1);
        ASSERT_NE(editor().getModulePanel(), nullptr);
    }
    gui->idle(gui);
}

TEST_F(EditorObjectTest, tenOpenCloseCyclesLeaveOneWindowAtMost)
{
    for (int i = 0; i < 10; ++i) {
        gui->open(gui, &window);
        gui->open(gui, &window); // open while open: the first window goes
        gui->idle(gui);
        gui->close(gui);
    }
    EXPECT_FALSE(editor().isOpen());
}

} // namespace
