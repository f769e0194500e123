#include "tests/editor/panels/PanelFixture.h"

#include "editor/panels/EditorMessageBox.h"
#include "editor/panels/Preset.h"
#include "editor/panels/PresetSave.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/StaticText.h"

namespace test::panels {
namespace {

using Zq::BorvanRAZ::GUI::EditorMessageBox;
using Zq::BorvanRAZ::GUI::Preset;

// The preset panel in the upper bar's preset area of the whole editor, its
// preset folder from the lookup the editor object hands over.
class PresetInEditorTest : public EditorTest {
protected:
    void buildWithPresets()
    {
        presets.write("Presets/A.qomp", rig.saveChunk());
        provider.addLocation(SKIN_DIR);
        Main::Services services{[] { return 0.0; }, "Jun 24 2009"};
        Main::PresetServices lookup{[this] { return presets.path("Presets"); }, "BorvanQom"};
        editor = std::make_unique<Main>(provider, rig, services, lookup);
    }
    template <class T> T* get(Zq::Application::DocView::UnitGUI& view, const std::string& name)
    {
        T* found = nullptr;
        view.find(name, found);
        return found;
    }

    testsupport::TempFolder presets;
};

TEST_F(PresetInEditorTest, ThePresetBarSitsInThePresetAreaAndItsDialogCoversTheEditor)
{
    buildWithPresets();
    open();
    Preset* preset = editor->getUpperPanel()->getPreset();
    ASSERT_NE(preset, nullptr);
    auto* text = get<Widgets::StaticText>(*preset, "PresetText");
    EXPECT_EQ(text->getText(), "Click to load a preset");
    click(get<Widgets::PushButton>(*preset, "DownButton"));
    EXPECT_EQ(text->getText(), "A");

    click(get<Widgets::PushButton>(*preset, "SaveAsButton"));
    Zq::BorvanRAZ::GUI::PresetSave* dialog = preset->getSaveDialog();
    ASSERT_NE(dialog, nullptr);
    const auto cover = get<GUI::Widget>(*dialog, "PanelRoot")->getRect();
    EXPECT_EQ(cover.width, Main::kWidth);
    EXPECT_EQ(cover.height, Main::kHeight);
    click(get<Widgets::PushButton>(*dialog, "CancelButton"));
    EXPECT_EQ(preset->getSaveDialog(), nullptr);
}

TEST_F(PresetInEditorTest, TheX11BoxIsTheSinkWhileTheWindowIsOpen)
{
    buildWithPresets();
    EXPECT_EQ(EditorMessageBox::count(), 0);
    open();
    EXPECT_EQ(EditorMessageBox::count(), 1);
    editor->close();
    EXPECT_EQ(EditorMessageBox::count(), 0);
}

} // namespace
} // namespace test::panels
