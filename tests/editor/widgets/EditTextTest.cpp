// The edit field: focus on a click, editing at the caret, limits, and the
// order of the focus and the commit and cancel signals.
#include "editor/widgets/EditText.h"
#include "tests/editor/widgets/WidgetFixture.h"

using namespace test::widgets;
using Graphics::KeyboardButtons;

class EditTextTest : public WidgetFixture {
protected:
    void SetUp() override
    {
        WidgetFixture::SetUp();
        // Cells of 5 pixels: the caret "_" (row 0..2 in this font) shows where
        // the caret is.
        field = new Widgets::EditText(root.get(), {10, 10, 60, 6}, font.get(), 0xFFFFFFFF, 0, 5,
                                      "abcd");
        field->committed.connect([this](Widgets::EditText* f) {
            log.push_back(std::string("committed, focus ") + (f->hasFocus() ? "1" : "0"));
        });
        field->cancelled.connect([this](Widgets::EditText* f) {
            log.push_back(std::string("cancelled, focus ") + (f->hasFocus() ? "1" : "0"));
        });
        field->focusLost.connect([this](GUI::Widget*) { log.push_back("focusLost"); });
        open();
    }
    void click()
    {
        native->mouseDown(12, 12, 1, 1);
        native->mouseUp(12, 12, 1, 0);
        window->pump();
    }
    // A key as the window delivers it, and the area it repainted.
    Rect key(KeyboardButtons k, char c = 0)
    {
        native->key(static_cast<platform::window::Key>(k), c);
        return flush();
    }

    std::unique_ptr<Graphics::Font> font = cellFont();
    Widgets::EditText* field = nullptr;
};

TEST_F(EditTextTest, KeysEditAtTheCaretWithinTheLimits)
{
    EXPECT_EQ(field->getCaret(), 4u); // at the end from the start
    click();
    ASSERT_TRUE(field->hasFocus());
    window->pump();
    ASSERT_TRUE(native->focused());

    const Rect whole{10, 10, 60, 6};
    field->setMaxLength(4);
    key(KeyboardButtons::Left);
    key(KeyboardButtons::Left);
    EXPECT_EQ(key(KeyboardButtons::Character, 'x'), whole); // caret 2 of 4: still inserted
    EXPECT_EQ(field->getText(), "abxcd");
    key(KeyboardButtons::Right);
    EXPECT_EQ(field->getCaret(), 4u);
    EXPECT_EQ(key(KeyboardButtons::Character, 'y'), Rect{}); // at the limit: refused
    EXPECT_EQ(field->getText(), "abxcd");

    field->setMaxLength(0);
    field->setAllowedCharacters("0123456789.");
    EXPECT_EQ(key(KeyboardButtons::Character, 'q'), Rect{});
    key(KeyboardButtons::Character, '7');
    EXPECT_EQ(field->getText(), "abxc7d");

    key(KeyboardButtons::End);
    key(KeyboardButtons::Delete); // at the end: nothing
    key(KeyboardButtons::Right);
    EXPECT_EQ(field->getCaret(), 6u);
    key(KeyboardButtons::Home);
    EXPECT_EQ(key(KeyboardButtons::Backspace), whole); // at the start: only a repaint
    key(KeyboardButtons::Left);
    EXPECT_EQ(field->getCaret(), 0u);
    key(KeyboardButtons::Character, '1');
    EXPECT_EQ(field->getText(), "1abxc7d");
    key(KeyboardButtons::Delete);
    key(KeyboardButtons::Backspace);
    EXPECT_EQ(field->getText(), "bxc7d");
    EXPECT_EQ(key(KeyboardButtons::Tab), whole);
    EXPECT_EQ(field->getText(), "bxc7d");

    field->setText("42");
    EXPECT_EQ(field->getCaret(), 2u);
}

TEST_F(EditTextTest, EscapeCancelsBeforeTheFocusGoesAndReturnCommitsAfter)
{
    click();
    take();
    key(KeyboardButtons::Character, 'e');
    key(KeyboardButtons::Escape);
    EXPECT_EQ(take(), "cancelled, focus 1|focusLost");
    EXPECT_EQ(field->getText(), "abcde"); // restoring is the listener's task
    window->pump();
    EXPECT_FALSE(native->focused());

    click();
    key(KeyboardButtons::Return);
    EXPECT_EQ(take(), "focusLost|committed, focus 0");
    EXPECT_FALSE(field->hasFocus());
}

TEST_F(EditTextTest, TheCaretIsDrawnOnlyWhileFocused)
{
    // Glyphs 3 wide, 1 pixel into 5-pixel cells: "ab" fills columns 1-3 and
    // 6-8; the caret after it starts at x 10 and is proportional.
    field->setText("ab");
    const auto lit = [this] {
        std::vector<int> columns;
        for (int x = 10; x < 70; ++x)
            if (pixel(x, 11) != kBackground)
                columns.push_back(x - 10);
        return columns;
    };
    repaintAll();
    EXPECT_EQ(lit(), (std::vector<int>{1, 2, 3, 6, 7, 8}));
    click();
    repaintAll();
    EXPECT_EQ(lit(), (std::vector<int>{1, 2, 3, 6, 7, 8, 10, 11, 12}));
    // A right-button click or a release outside gives no focus.
    key(KeyboardButtons::Return);
    native->mouseDown(12, 12, 4, 4);
    native->mouseUp(12, 12, 4, 0);
    native->mouseDown(12, 12, 1, 1);
    native->mouseUp(90, 12, 1, 0);
    window->pump();
    EXPECT_FALSE(field->hasFocus());
    repaintAll();
    EXPECT_EQ(lit(), (std::vector<int>{1, 2, 3, 6, 7, 8}));
}
