#include "PanelFixture.h"

#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>

#include "editor/widgets/StaticText.h"

namespace test::panels {
namespace {

using Zq::BorvanRAZ::GUI::ChainNavigator;
using Zq::BorvanRAZ::GUI::LowerPanel;

std::string skinLayout(const std::string& name)
{
    std::ifstream in(std::string(SKIN_DIR) + "/" + name);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every widget below the root, the root's own hidden fallback text included.
int treeSize(GUI::Widget* widget)
{
    int count = 1;
    for (GUI::Widget* child : widget->getChildren())
        count += treeSize(child);
    return count;
}

class BrokenLayoutTest : public EditorTest {
protected:
    std::string failure(const std::function<void()>& build)
    {
        try {
            build();
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "";
    }
};

TEST_F(BrokenLayoutTest, aNavigatorWithoutItsRadioGroupIsAMissingWidget)
{
    overrides.write("ChainNavigator.xml",
                    std::regex_replace(skinLayout("ChainNavigator.xml"),
                                       std::regex("Group=\"ModuleGroup\""), "Group=\"Other\""));
    build();
    EXPECT_EQ(editor->getUpperPanel(), nullptr);
    ASSERT_NE(editor->getLowerPanel(), nullptr);
    const int before = treeSize(editor->getRoot());
    EXPECT_EQ(failure([&] { ChainNavigator(*editor, editor->getRoot()); }), "Widget not found");
    editor->getRoot()->getManager()->runPendingDeletions();
    EXPECT_EQ(treeSize(editor->getRoot()), before) << "nothing of it stays on screen";
    editor->showModule(1);
    editor->showModule(3); // switches still work without the upper bar
    EXPECT_EQ(editor->getModule(), 3);
}

TEST_F(BrokenLayoutTest, aLowerBarWithoutItsMiniTunerAreaLeavesNoSubPanelAndAFallbackText)
{
    overrides.write("LowerPanel.xml",
                    std::regex_replace(skinLayout("LowerPanel.xml"),
                                       std::regex("Name=\"MiniTunerArea\""), "Name=\"Elsewhere\""));
    build();
    ASSERT_EQ(editor->getLowerPanel(), nullptr);
    ASSERT_NE(editor->getUpperPanel(), nullptr);
    const int before = treeSize(editor->getRoot());
    EXPECT_EQ(failure([&] { LowerPanel(*editor, editor->getRoot()); }), "Widget not found");
    editor->getRoot()->getManager()->runPendingDeletions();
    EXPECT_EQ(treeSize(editor->getRoot()), before)
        << "the sub-panels built before the failing lookup went with it";

    Widgets::StaticText* text = editor->getSelectedValueText();
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(text->isVisible());
    text->setText("1.0dB"); // what a binder writes
    open();
    editor->showModule(1);
    tick(); // the timer refreshes the module panel without a lower bar
    editor->close();
}

} // namespace
} // namespace test::panels
