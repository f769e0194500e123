#include "PanelFixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "editor/widgets/PushButton.h"
#include "platform/window/Png.h"

namespace test::panels {
namespace {

// The editor's screens as a user sees them, written as PNG files (into
// RIG_SCREENSHOT_DIR when set, else the build's screenshots folder) for people
// to look at; every pixel painted.
class ScreenshotTest : public EditorTest {
protected:
    void shoot(const std::string& name)
    {
        editor->invalidate(0, 0, Main::kWidth, Main::kHeight);
        editor->idle();
        const auto& screen = window().screen();
        EXPECT_EQ(std::count(screen.begin(), screen.end(), 0u), 0) << name;
        const char* dir = std::getenv("RIG_SCREENSHOT_DIR");
        const std::string folder = dir ? dir : RIG_SCREENSHOTS;
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        const std::string path = folder + "/" + name;
        EXPECT_TRUE(pw::writePng(path, screen.data(), Main::kWidth, Main::kHeight)) << path;
    }
};

TEST_F(ScreenshotTest, theBarsTheTunerAndTheDialogs)
{
    build();
    open();
    rig.getOutput().outputLevelMeterL.setValue(0.5f, true);
    rig.getOutput().outputLevelMeterR.setValue(1.2f, true);
    rig.getInput().inputLevelMeter.setValue(0.3f, true);
    rig.getOutput().mix.setValue(60.0f, true);
    rig.getTuner().bypass.setValue(0.0f, true);
    rig.getTuner().displayOff.setValue(0.0f, true);
    rig.getTuner().note.setValue(4.0f, true);
    rig.getTuner().cents.setValue(-7.0f, true);
    rig.getTuner().deviation.setValue(-0.14f, true);
    seconds += 1.0;
    tick();
    shoot("editor-amp.png");

    click(widget<GUI::Widget>(&lower(), "ToStompLeftButton"));
    click(widget<GUI::Widget>(&lower(), "ToTunerLeftButton"));
    seconds += 1.0;
    tick();
    shoot("editor-tuner.png");

    click(widget<GUI::Widget>(lower().getMiscButtons(), "IButton"));
    shoot("editor-info.png");
    click(widget<GUI::Widget>(lower().getMiscButtons()->getInfo(), "Button"));
    click(widget<GUI::Widget>(lower().getMiscButtons()->getInfo(), "Button"));
    click(widget<GUI::Widget>(lower().getMiscButtons()->getInfo(), "Button"));
    click(widget<GUI::Widget>(lower().getMiscButtons(), "PrefButton"));
    shoot("editor-preferences.png");
}

TEST_F(ScreenshotTest, theAmpHeads)
{
    build();
    open();
    const std::pair<int, const char*> heads[] = {{0, "editor-amp-gn500.png"},
                                                 {1, "editor-amp-q9r.png"},
                                                 {2, "editor-amp-rkmcl.png"},
                                                 {3, "editor-amp-rkm4pro.png"}};
    for (const auto& [model, name] : heads) {
        rig.getAmpModule().ampModel.setValue(static_cast<float>(model), true);
        ASSERT_NE(editor->getModulePanel(), nullptr) << name;
        shoot(name);
    }
}

TEST_F(ScreenshotTest, theStompChain)
{
    for (int slot = 0; slot < 6; ++slot)
        rig.getStompModule().stomps[slot].setValue(static_cast<float>(slot + 3), true);
    build();
    open();
    editor->showModule(2);
    ASSERT_NE(editor->getModulePanel(), nullptr);
    shoot("editor-stomps.png");
    rig.getStompModule().stomps[0].setValue(1.0f, true);
    rig.getStompModule().stomps[1].setValue(2.0f, true);
    shoot("editor-stomps-2.png");
}

TEST_F(ScreenshotTest, theCabinetsAndTheirBacks)
{
    build();
    open();
    editor->showModule(4);
    auto& cab = rig.getCabModule();
    const char* names[] = {"gn500", "q9r", "jmr410h", "wf212h", "rkm410h", "rkm810e"};
    for (int cabinet = 0; cabinet < 6; ++cabinet) {
        cab.cabinetModel.setValue(static_cast<float>(cabinet), true);
        // The microphones in turn, near and far, on and off axis.
        cab.micModel.setValue(static_cast<float>(cabinet), true);
        cab.micDist.setValue(static_cast<float>(cabinet % 2), true);
        cab.micAxis.setValue(static_cast<float>(cabinet / 3), true);
        ASSERT_NE(editor->getModulePanel(), nullptr) << cabinet;
        shoot(std::string("editor-cab-") + names[cabinet] + ".png");
    }
    for (int cabinet : {0, 1, 2}) {
        cab.cabinetModel.setValue(static_cast<float>(cabinet), true);
        click(widget<GUI::Widget>(editor->getModulePanel(), "HighLevelSwitch"));
        shoot(std::string("editor-cab-back-") + names[cabinet] + ".png");
    }
}

} // namespace
} // namespace test::panels
