#include "PanelFixture.h"

#include <sstream>
#include <thread>
#include <vector>

#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/StaticText.h"

namespace test::panels {
namespace {

using Zq::BorvanRAZ::GUI::TunerModule;

class MainTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        changes = std::make_unique<boost::signals2::scoped_connection>();
    }
    void record()
    {
        *changes = editor->moduleChanged.connect([this](int id) { fired.push_back(id); });
    }

    std::vector<int> fired;
    std::unique_ptr<boost::signals2::scoped_connection> changes;
};

TEST_F(MainTest, startsOnTheAmplifierAndShowingTheCurrentModuleAgainDoesNothing)
{
    build();
    EXPECT_EQ(editor->getModule(), 3);
    ASSERT_NE(editor->getUpperPanel(), nullptr);
    ASSERT_NE(editor->getLowerPanel(), nullptr);
    record();
    editor->showModule(1);
    Panel* tuner = editor->getModulePanel();
    ASSERT_NE(dynamic_cast<TunerModule*>(tuner), nullptr);
    editor->showModule(1);
    EXPECT_EQ(editor->getModulePanel(), tuner) << "not rebuilt";
    EXPECT_EQ(fired, std::vector<int>{1}) << "fired once";
}

TEST_F(MainTest, aSwitchInsideAHandlerOfTheShownPanelDeletesItOnlyAfterTheEvent)
{
    build();
    open();
    editor->showModule(1);
    Panel* tuner = editor->getModulePanel();
    auto* bypass = widget<Widgets::CheckBox>(tuner, "BypassSwitch");
    auto* face = widget<GUI::Widget>(tuner, "TunerPanel");
    bool faceGone = false;
    boost::signals2::scoped_connection watch =
        face->destroyed.connect([&](GUI::Widget*) { faceGone = true; });
    bool sawPending = false;
    boost::signals2::scoped_connection handler = bypass->toggled.connect([&](auto*, bool) {
        editor->showModule(4);
        // The old panel is still there, inert, while its own widget's event runs.
        sawPending = editor->pendingCount() == 1 && !faceGone && tuner->isInert();
    });
    click(bypass);
    EXPECT_TRUE(sawPending);
    EXPECT_TRUE(faceGone);
    EXPECT_EQ(editor->pendingCount(), 0u);
    EXPECT_EQ(editor->getModule(), 4);
}

TEST_F(MainTest, withNoModuleTheTimerRefreshesTheLowerPanelOnly)
{
    build();
    open();
    editor->showModule(0);
    EXPECT_EQ(editor->getModulePanel(), nullptr);
    rig.getInput().inputLevelMeter.setValue(1.0f, true);
    tick();
    EXPECT_FLOAT_EQ(widget<Widgets::Knob>(lower().getInput(), "InMeter")->getValue(), 0.0f);
}

TEST_F(MainTest, aFailingTunerLayoutStillFiresTheSwitchAndTheArrowsFollow)
{
    overrides.write("Tuner.xml", "<Layout><Group Name=\"TunerPanel\" /></Layout>");
    build();
    record();
    editor->showModule(1);
    EXPECT_EQ(editor->getModulePanel(), nullptr);
    EXPECT_EQ(fired, std::vector<int>{1});
    EXPECT_TRUE(widget<GUI::Widget>(&lower(), "ToCabLeftButton")->isVisible());
    EXPECT_TRUE(widget<GUI::Widget>(&lower(), "ToStompRightButton")->isVisible());
    EXPECT_FALSE(widget<GUI::Widget>(&lower(), "ToStompLeftButton")->isVisible());
}

TEST_F(MainTest, aLoadRebuildsTheShownPanelAndRunsNoneOfTheOldPanelsHandlers)
{
    build();
    editor->showModule(1);
    const std::string chunk = rig.saveChunk();
    record();

    // Outside any event, closed editor: the old panel goes at once, every time.
    for (int i = 0; i < 5; ++i) {
        bool gone = false;
        boost::signals2::scoped_connection watch =
            widget<GUI::Widget>(editor->getModulePanel(), "TunerPanel")
                ->destroyed.connect([&](GUI::Widget*) { gone = true; });
        load(chunk);
        EXPECT_TRUE(gone);
        EXPECT_EQ(editor->pendingCount(), 0u);
        EXPECT_NE(dynamic_cast<TunerModule*>(editor->getModulePanel()), nullptr);
    }
    EXPECT_EQ(fired.size(), 10u) << "hidden and shown again per load";

    // Inside an event: the old panel waits, inert, and stays blind to changes.
    open();
    Panel* old = editor->getModulePanel();
    auto* oldBypass = widget<Widgets::CheckBox>(old, "BypassSwitch");
    const bool shown = oldBypass->isChecked();
    auto* manager = editor->getRoot()->getManager();
    {
        platform::ScopedEnter guard(*rig.getLock());
        manager->beginEvent();
        rig.loadChunk(chunk.data(), static_cast<std::int32_t>(chunk.size()));
        EXPECT_EQ(editor->pendingCount(), 1u);
        EXPECT_TRUE(old->isInert());
        EXPECT_FALSE(widget<GUI::Widget>(old, "TunerPanel")->isVisible());
        rig.getTuner().bypass.setValue(shown ? 0.0f : 1.0f, true);
        EXPECT_EQ(oldBypass->isChecked(), shown) << "its adapter passes nothing";
        manager->endEvent();
    }
    EXPECT_EQ(editor->pendingCount(), 0u);
    EXPECT_NE(dynamic_cast<TunerModule*>(editor->getModulePanel()), nullptr);
}

TEST_F(MainTest, modelChangesRebuildWithoutASwitchAndOnlyForTheirOwnModule)
{
    build();
    record();
    for (int module : {3, 4, 1}) {
        editor->showModule(module);
        fired.clear();
        rig.getAmpModule().ampModel.setValue(module == 3 ? 0.0f : 1.0f, true);
        rig.getCabModule().cabinetModel.setValue(module == 4 ? 2.0f : 3.0f, true);
        EXPECT_TRUE(fired.empty()) << module;
        EXPECT_EQ(editor->getModule(), module);
        EXPECT_EQ(editor->pendingCount(), 0u);
    }
    EXPECT_NE(dynamic_cast<TunerModule*>(editor->getModulePanel()), nullptr);
}

TEST_F(MainTest, theSelectedValueIsClearedOnLoadBeforeARebuiltPanelWritesItsValue)
{
    build();
    editor->showModule(1);
    Widgets::StaticText* text = editor->getSelectedValueText();
    EXPECT_EQ(text, lower().getSelectedValueText());
    text->setText("3.0dB");
    load(rig.saveChunk());
    EXPECT_EQ(text->getText(), "");
    text->setText("3.0dB");
    editor->showModule(0);
    std::istringstream preset("<Preset/>");
    rig.getAmpModule().load(preset);
    EXPECT_EQ(text->getText(), "") << "one unit's settings loaded";
}

TEST_F(MainTest, hostMouseEventsReachTheWidgetsUnderTheDocumentLock)
{
    build();
    editor->setHostMouseEvents(true);
    auto* button = widget<Widgets::PushButton>(lower().getOutput(), "ClipButton");
    bool lockedDuringClick = false;
    boost::signals2::scoped_connection handler = button->clicked.connect([&](auto*, const auto&) {
        bool otherGotIt = true;
        std::thread([&] {
            otherGotIt = rig.getLock()->tryEnter();
            if (otherGotIt)
                rig.getLock()->leave();
        }).join();
        lockedDuringClick = !otherGotIt;
    });
    const auto at = button->absolutePosition();
    editor->onMouseDown(at.x + 3, at.y + 3, 1, 0);
    editor->onMouseUp(at.x + 3, at.y + 3, 1, 0);
    EXPECT_TRUE(lockedDuringClick);
}

TEST_F(MainTest, openingWhileOpenReplacesTheWindow)
{
    build();
    open();
    const unsigned long first =
        *static_cast<unsigned long*>(editor->getWindow()->getWindowHandle());
    editor->open(&parent);
    EXPECT_EQ(pw::HeadlessWindow::find(first), nullptr);
    EXPECT_TRUE(editor->isOpen());
    window().destroy();
    editor->idle();
    editor->idle();
    EXPECT_FALSE(editor->isOpen()) << "a window the system destroyed is let go";
}

} // namespace
} // namespace test::panels
