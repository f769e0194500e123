#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

#include "hostfw/app/epiKeyboard.h"
#include "hostfw/controls/epiUiSystemEditText.h"
#include "hostfw/controls/epiUiSystemPopup.h"
#include "hostfw/controls/epiUiSystemScroll.h"
#include "hostfw/controls/epiUiSystemStaticText.h"
#include "hostfw/controls/epiUiSystemToggles.h"
#include "hostfw/core/epiObjectsList.h"
#include "hostfw/win/epiUiSystemContainer.h"
#include "platform/headless/HeadlessWindowSystem.h"

#include <string>
#include <vector>

namespace pui = platform::ui;
using test::controls::ControlsFixture;

namespace {

struct ControlsTest : ::testing::Test, ControlsFixture {};

// ------------------------------------------------------------------ buttons

TEST_F(ControlsTest, DefaultAndCancelButtonsAnswerTheWindowsKeys)
{
    struct Case {
        const char* defa;
        std::uint32_t key;
        bool enabled;
        int hits;
    };
    const Case cases[] = {
        {"1", 13, true, 1}, {"1", 3, true, 1},  {"1", 27, true, 0}, {"2", 27, true, 1},
        {"2", 13, true, 0}, {"0", 13, true, 0}, {"0", 27, true, 0}, {"1", 13, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("defa ") + c.defa + " key " + std::to_string(c.key));
        auto* button =
            add(new epiUiSystemButton, epiRect(10, 10, 90, 33), "butn", {{"defa", c.defa}});
        button->setEnabled(c.enabled);
        window->commands.clear();
        key(c.key);
        EXPECT_EQ(hits("butn"), c.hits);
        window->deleteChild(epiCode("butn"));
    }
}

TEST_F(ControlsTest, AButtonActivatesOnceForAClickInsideAndTakesSpaceAndReturnWithTheFocus)
{
    auto* button = add(new epiUiSystemButton, epiRect(10, 10, 90, 33), "butn");
    button->setText("OK");
    press(20, 20);
    drag(150, 150); // out and back in
    drag(30, 20);
    release(30, 20);
    EXPECT_EQ(hits("butn"), 1);
    EXPECT_TRUE(button->hasFocus());
    press(20, 20); // released outside: nothing
    release(200, 200);
    EXPECT_EQ(hits("butn"), 1);
    key(' ');
    key(13);
    EXPECT_EQ(hits("butn"), 3);
    button->setEnabled(false);
    click(20, 20);
    EXPECT_EQ(hits("butn"), 3);
}

// ------------------------------------------------------------------ combos

TEST_F(ControlsTest, ComboEntriesComeFromBarsAndLinesAndHideFoldersUnderCnth)
{
    struct Case {
        const char* code;
        const char* list;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"cnth", "a|b/c|d", {"a", "d"}},
        {"cont", "a|b/c|d", {"a", "b/c", "d"}},
        {"cont", "a\nb|c\r\nd", {"a", "b", "c", "d"}},
        {"cont", "", {}},
    };
    for (const Case& c : cases) {
        epiUiSystemPopup popup;
        popup.setAttributeText(test::controls::code(c.code), epiText(c.list));
        EXPECT_EQ(popup.entries(), c.entries) << c.code << " " << c.list;
    }
    epiUiSystemPopup popup;
    epiTextsList list;
    list.appendCString("Clean");
    list.appendCString("Drive");
    popup.setAttributeObject(epiCode("cont"), list);
    EXPECT_EQ(popup.entries(), (std::vector<std::string>{"Clean", "Drive"}));
}

TEST_F(ControlsTest, ComboSelectionFollowsTextsAndValuesAndOpenSelectsTheStoredText)
{
    auto* popup = new epiUiSystemPopup;
    popup->setText("two");
    auto* added = add(popup, epiRect(10, 10, 150, 31), "popu", {{"cont", "one|two|three"}});
    ASSERT_TRUE(added);
    EXPECT_EQ(popup->getValue(), 1);
    popup->setText("nine");
    EXPECT_EQ(popup->getValue(), 1);
    EXPECT_STREQ(popup->getTextCStr(), "two");
    popup->setValue(2);
    EXPECT_STREQ(popup->getTextCStr(), "three");
    popup->setValue(7);
    EXPECT_EQ(popup->getValue(), -1);
    EXPECT_STREQ(popup->getTextCStr(), "");
    EXPECT_EQ(hits("popu"), 0);
}

TEST_F(ControlsTest, ComboChoicesByMouseAndArrowsActivateOnceEach)
{
    auto* popup =
        add(new epiUiSystemPopup, epiRect(10, 10, 150, 31), "popu", {{"cont", "one|two|three"}});
    popup->setValue(0);
    click(50, 20);
    ASSERT_TRUE(popup->popupList().isOpen());
    // The list lies below the box, a row of 20 pixels after a 2-pixel edge.
    epiUiEventsBase* list = popup->popupList().window(0);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->getFrame().top, 100 + 31);
    auto& listNative = *list->hostWindow();
    app.headless.press(listNative, 30, 2 + 20 * 2 + 10);
    app.settle();
    EXPECT_FALSE(popup->popupList().isOpen());
    EXPECT_STREQ(popup->getTextCStr(), "three");
    EXPECT_EQ(hits("popu"), 1);
    app.headless.release(native(), 50, 20);
    app.settle();
    EXPECT_TRUE(popup->hasFocus());
    key(0, platform::kKeyUp);
    EXPECT_STREQ(popup->getTextCStr(), "two");
    key(0, platform::kKeyDown);
    key(0, platform::kKeyDown); // already last: no change
    EXPECT_STREQ(popup->getTextCStr(), "three");
    EXPECT_EQ(hits("popu"), 3);
}

// ------------------------------------------------------------ static texts

// The columns of the window where the text left dark pixels.
std::pair<int, int> inkColumns(pui::HeadlessWindow& native, const epiRect& area)
{
    const std::vector<std::uint32_t>& screen = native.screen();
    const int width = native.frame().width;
    int first = -1;
    int last = -1;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if ((screen[y * width + x] & 0xFF) < 0x80) {
                first = first < 0 ? x : std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return {first, last};
}

TEST_F(ControlsTest, StaticTextAlignmentsPlaceTheTextLeftCentredAndRight)
{
    const epiRect frame(20, 40, 220, 56);
    for (int alignment : {0, 1, 2}) {
        SCOPED_TRACE(alignment);
        auto* text = add(new epiUiSystemStaticText, frame, "text",
                         {{"txAl", std::to_string(alignment).c_str()}});
        text->setText("Tempo");
        app.settle();
        const auto [left, right] = inkColumns(static_cast<pui::HeadlessWindow&>(native()), frame);
        ASSERT_GE(left, 0);
        const int before = left - frame.left;
        const int after = frame.right - 1 - right;
        if (alignment == 0)
            EXPECT_LE(before, 2);
        else if (alignment == 2)
            EXPECT_LE(after, 2);
        else
            EXPECT_LE(std::abs(before - after), 2);
        window->deleteChild(epiCode("text"));
        app.settle();
    }
}

TEST_F(ControlsTest, RollingTextAdvancesALineForTwoPixelsAndStopsAtTheLast)
{
    auto* roll = add(new epiUiSystemRollingText, epiRect(10, 10, 110, 26), "roll",
                     {{"cont", "Verse\nChorus\nBridge\nOutro"}});
    roll->setValue(0);
    press(20, 20);
    drag(20, 15);
    EXPECT_EQ(roll->getValue(), 2);
    EXPECT_STREQ(roll->getTextCStr(), "Bridge");
    drag(20, -40);
    EXPECT_EQ(roll->getValue(), 3);
    drag(20, 200);
    EXPECT_EQ(roll->getValue(), 0);
    release(20, 200);
    EXPECT_EQ(hits("roll"), 3);
    roll->setValue(9);
    roll->setValue(-1);
    EXPECT_STREQ(roll->getTextCStr(), "Verse");
    // Without lines a drag has nowhere to go.
    auto* empty = add(new epiUiSystemRollingText, epiRect(10, 40, 110, 56), "empt");
    press(20, 50);
    drag(20, 30);
    release(20, 30);
    EXPECT_EQ(empty->getValue(), 0);
    EXPECT_EQ(hits("empt"), 0);
}

// -------------------------------------------------------------- scroll bars

TEST_F(ControlsTest, ScrollRequestsMoveByLinesPagesAndNotchesWithinTheRange)
{
    auto* bar = add(new epiUiSystemScroll, epiRect(300, 10, 316, 210), "scrl",
                    {{"min_", "0"}, {"max_", "100"}});
    EXPECT_EQ(bar->getValue(), 1);
    bar->setValue(50);
    using R = epiUiSystemScroll::Request;
    struct Step {
        R request;
        int thumb;
        int expected;
    };
    const Step steps[] = {{R::pageDown, 0, 60},     {R::pageUp, 0, 50},      {R::lineDown, 0, 51},
                          {R::lineUp, 0, 50},       {R::thumbTrack, 80, 80}, {R::bottom, 0, 100},
                          {R::pageDown, 0, 100},    {R::top, 0, 0},          {R::lineUp, 0, 0},
                          {R::thumbPosition, -5, 0}};
    int changes = 0;
    int previous = bar->getValue();
    for (const Step& step : steps) {
        bar->scroll(step.request, step.thumb);
        EXPECT_EQ(bar->getValue(), step.expected);
        changes += step.expected != previous ? 1 : 0;
        previous = step.expected;
    }
    EXPECT_EQ(hits("scrl"), changes);
    bar->setValue(50);
    app.headless.wheel(native(), 308, 100, 3 * 120);
    app.settle();
    EXPECT_EQ(bar->getValue(), 20);
    app.headless.wheel(native(), 308, 100, -30 * 120);
    app.settle();
    EXPECT_EQ(bar->getValue(), 100);
}

TEST_F(ControlsTest, ScrollThumbFollowsADragAndArrowsAndTrackStep)
{
    auto* bar = add(new epiUiSystemScroll, epiRect(300, 10, 316, 210), "scrl",
                    {{"min_", "0"}, {"max_", "100"}});
    bar->setValue(0);
    const epiRect thumb = bar->thumbRect();
    press(308, 10 + thumb.centreY());
    drag(308, 10 + thumb.centreY() + 38); // 152 pixels of track for 100
    EXPECT_EQ(bar->getValue(), 25);
    EXPECT_EQ(bar->thumbRect().top, thumb.top + 38);
    drag(308, 400);
    EXPECT_EQ(bar->getValue(), 100);
    release(308, 400);
    bar->setValue(50);
    click(308, 12); // the up arrow
    EXPECT_EQ(bar->getValue(), 49);
    click(308, 205); // the down arrow
    EXPECT_EQ(bar->getValue(), 50);
    click(308, 30); // the track above the thumb
    EXPECT_EQ(bar->getValue(), 40);
}

// --------------------------------------------- radios, check boxes, progress

TEST_F(ControlsTest, RadiosSelectInTheirGroupAndCheckBoxesToggle)
{
    std::vector<epiUiSystemRadio*> radios;
    for (int i = 0; i < 3; ++i) {
        const std::string index = std::to_string(i);
        const char ids[3][5] = {"rad0", "rad1", "rad2"};
        radios.push_back(add(new epiUiSystemRadio, epiRect(10, 10 + 20 * i, 110, 26 + 20 * i),
                             ids[i], {{"fagr", "1"}, {"fain", index.c_str()}}));
    }
    radios[0]->setValue(1);
    click(15, 10 + 20 * 2 + 8);
    EXPECT_EQ(radios[0]->getValue(), 0);
    EXPECT_EQ(radios[1]->getValue(), 0);
    EXPECT_EQ(radios[2]->getValue(), 1);
    auto* check = add(new epiUiSystemCheckBox, epiRect(10, 100, 110, 116), "chek");
    click(15, 108);
    EXPECT_EQ(check->getValue(), 1);
    click(15, 108);
    EXPECT_EQ(check->getValue(), 0);
    EXPECT_EQ(hits("chek"), 2);
    check->setEnabled(false);
    click(15, 108);
    EXPECT_EQ(check->getValue(), 0);
    // Inside a group box the control lives in the box's coordinates.
    auto* group = add(new epiUiSystemContainer, epiRect(150, 100, 350, 200), "grup");
    auto* inner = add(new epiUiSystemCheckBox, epiRect(10, 20, 110, 36), "innr", {}, group);
    click(165, 128);
    EXPECT_EQ(inner->getValue(), 1);
}

TEST_F(ControlsTest, ProgressBarRunsFromOneToAHundred)
{
    auto* bar = add(new epiUiSystemProgressBar, epiRect(10, 10, 210, 26), "prog");
    EXPECT_EQ(bar->getValue(), 1);
    for (const auto [value, expected] :
         {std::pair{50, 50}, {0, 1}, {-7, 1}, {100, 100}, {250, 100}}) {
        bar->setValue(value);
        EXPECT_EQ(bar->getValue(), expected) << value;
    }
}

// -------------------------------------------------------------- edit fields

TEST_F(ControlsTest, EditFilterAndMaximumRefuseKeysAndEachTypedChangeActivatesOnce)
{
    auto* edit = add(new epiUiSystemEditText, epiRect(10, 10, 110, 31), "edit",
                     {{"filC", "0123456789"}, {"maxC", "3"}});
    click(20, 20);
    ASSERT_TRUE(edit->hasFocus());
    type("1a2b34");
    EXPECT_STREQ(edit->getTextCStr(), "123");
    EXPECT_EQ(hits("edit"), 3);
    edit->setText("77");
    edit->setValue(5);
    EXPECT_EQ(hits("edit"), 3);
    EXPECT_EQ(edit->getValue(), 5);
}

TEST_F(ControlsTest, EditNormalisingTurnsToUpperCaseAndAutoTabsAfterTheLastDigit)
{
    auto* first = add(new epiUiSystemEditText, epiRect(10, 10, 110, 31), "edi1",
                      {{"filC", "0123456789"}, {"maxC", "3"}, {"autT", "1"}});
    auto* second = add(new epiUiSystemEditText, epiRect(10, 40, 110, 61), "edi2", {{"uprC", "1"}});
    click(20, 20);
    type("12");
    first->notify(epiCode("Flpa"), nullptr, nullptr);
    EXPECT_TRUE(first->hasFocus());
    type("3");
    first->notify(epiCode("Flpa"), nullptr, nullptr);
    EXPECT_TRUE(second->hasFocus());
    type("ab-c");
    second->notify(epiCode("Flpa"), nullptr, nullptr);
    EXPECT_STREQ(second->getTextCStr(), "AB-C");
    // Normalised text set by the program is no edit.
    EXPECT_EQ(hits("edi2"), 4);
}

TEST_F(ControlsTest, TabAndShiftTabMoveAmongEditFieldsAndWrap)
{
    std::vector<epiUiSystemEditText*> edits;
    const char ids[3][5] = {"ed_0", "ed_1", "ed_2"};
    add(new epiUiSystemButton, epiRect(200, 10, 280, 33), "butn");
    for (int i = 0; i < 3; ++i)
        edits.push_back(
            add(new epiUiSystemEditText, epiRect(10, 10 + 30 * i, 110, 31 + 30 * i), ids[i]));
    edits[2]->setText("abc");
    click(20, 70);
    ASSERT_TRUE(edits[2]->hasFocus());
    key(9);
    EXPECT_TRUE(edits[0]->hasFocus());
    key(9, 0xfe20, platform::kModShift);
    EXPECT_TRUE(edits[2]->hasFocus());
    EXPECT_EQ(edits[2]->selectionStart(), 0u);
    EXPECT_EQ(edits[2]->selectionEnd(), 3u);
    // From a button, Tab goes on to the fields too.
    click(210, 20);
    key(9);
    EXPECT_TRUE(edits[0]->hasFocus());
    // A hidden field lets the focus go and is skipped.
    edits[0]->setVisible(false, true);
    EXPECT_FALSE(edits[0]->hasFocus());
    click(20, 70);
    key(9);
    EXPECT_TRUE(edits[1]->hasFocus());
}

TEST_F(ControlsTest, EditKeysMoveTheCaretSelectAndDelete)
{
    auto* edit = add(new epiUiSystemEditText, epiRect(10, 10, 210, 31), "edit");
    edit->setText("hello");
    click(200, 20);
    EXPECT_EQ(edit->caret(), 5u);
    key(0, platform::kKeyHome);
    key(0, platform::kKeyRight, platform::kModShift);
    key(0, platform::kKeyRight, platform::kModShift);
    type("J");
    EXPECT_STREQ(edit->getTextCStr(), "Jllo");
    key(0, platform::kKeyEnd);
    key(8, 0xff08); // Backspace
    EXPECT_STREQ(edit->getTextCStr(), "Jll");
    key(0, platform::kKeyHome);
    key(0, platform::kKeyDelete);
    EXPECT_STREQ(edit->getTextCStr(), "ll");
    // A Latin-1 key is stored as UTF-8 and erased whole.
    key(0xE4);
    EXPECT_STREQ(edit->getTextCStr(), "\xC3\xA4ll");
    key(8, 0xff08);
    EXPECT_STREQ(edit->getTextCStr(), "ll");
    // A drag selects what it passes over.
    edit->setText("abcdef");
    press(14, 20);
    drag(300, 20);
    release(300, 20);
    EXPECT_EQ(edit->selectionStart(), 0u);
    EXPECT_EQ(edit->selectionEnd(), 6u);
    key(0, platform::kKeyLeft);
    EXPECT_EQ(edit->caret(), 0u);
    EXPECT_EQ(edit->selectionEnd(), 0u);
}

TEST_F(ControlsTest, ReturnInAnEditFieldReachesTheDefaultButton)
{
    add(new epiUiSystemButton, epiRect(200, 10, 280, 33), "okay", {{"defa", "1"}});
    add(new epiUiSystemEditText, epiRect(10, 10, 110, 31), "edit");
    click(20, 20);
    type("x");
    key(13);
    EXPECT_EQ(hits("okay"), 1);
}

} // namespace
