#include "WidgetTestSupport.h"

#include "hostfw/widgets/epiUiTextWidgets.h"
#include "hostfw/widgets/epiWidgetKinds.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TextWidgetsTest : ::testing::Test, WidgetFixture {
    template <typename W> W* make(const epiRect& frame = epiRect(0, 0, 80, 20))
    {
        return add(new W, frame);
    }
    // The caption's colour as "r,g,b" after a fresh draw.
    std::string captionOf(epiUbo* widget)
    {
        root.drawOf(widget);
        if (root.texts.empty())
            return "none";
        return root.texts.back().colour.getText().getCStr();
    }
};

TEST_F(TextWidgetsTest, NestedContentGroupsItemsUnderTheirParents)
{
    epiUiPopupMenuList list;
    list.setContent("a|b/c|b/d", true);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.items()[0].text, "a");
    EXPECT_EQ(list.items()[0].subList, nullptr);
    EXPECT_EQ(list.items()[1].text, "b");
    ASSERT_NE(list.items()[1].subList, nullptr);
    ASSERT_EQ(list.items()[1].subList->size(), 2u);
    EXPECT_EQ(list.items()[1].subList->items()[0].text, "c");
    EXPECT_EQ(list.items()[1].subList->items()[1].text, "d");

    // Line breaks separate too; flat content keeps the slashes; deeper
    // nesting follows the same rule.
    list.setContent("x\r\ny/z/w|y/v", true);
    ASSERT_EQ(list.size(), 2u);
    const epiUiPopupMenuList& y = *list.items()[1].subList;
    ASSERT_EQ(y.size(), 2u);
    EXPECT_EQ(y.items()[0].text, "z");
    EXPECT_EQ(y.items()[0].subList->items()[0].text, "w");
    list.setContent("a|b/c", false);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.items()[1].text, "b/c");
}

TEST_F(TextWidgetsTest, RollingTextAdvancesALineForEveryTwoPixelsUp)
{
    auto* rolling = make<epiUiBitmapTextRolling>();
    EXPECT_EQ(rolling->lineCount(), -1);
    rolling->setAttributeText(epiCode("cont"), "l0\nl1\nl2\nl3\nl4\nl5\nl6\nl7");
    EXPECT_EQ(rolling->lineCount(), 8);
    EXPECT_STREQ(rolling->getTextCStr(), "l0");
    rolling->onMouseDown(epiPoint(5, 50));
    rolling->onMouseDrag(epiPoint(5, 40));
    EXPECT_EQ(rolling->getValue(), 5);
    EXPECT_STREQ(rolling->getTextCStr(), "l5");
    rolling->onMouseDrag(epiPoint(5, 39)); // half a line: nothing yet
    EXPECT_EQ(rolling->getValue(), 5);
    rolling->onMouseDrag(epiPoint(5, 0));
    EXPECT_EQ(rolling->getValue(), 7);
    rolling->onMouseDrag(epiPoint(5, 300));
    EXPECT_EQ(rolling->getValue(), 0);
    rolling->onMouseUp(epiPoint(5, 300));
    rolling->setValue(8);
    rolling->setValue(-1);
    EXPECT_EQ(rolling->getValue(), 0);
}

TEST_F(TextWidgetsTest, BitmapTextDrawsInItsFontAndColour)
{
    auto* text = make<epiUiBitmapText>();
    text->setAttributeText(epiCode("teCl"), "1,2,3");
    text->setAttributeText(epiCode("teFo"), "AB10");
    text->setAttributeText(epiCode("txAl"), "2");
    EXPECT_TRUE(root.drawOf(text).empty());
    EXPECT_TRUE(root.texts.empty()); // no text, nothing drawn
    text->setTextCStr("Tempo");
    root.drawOf(text);
    ASSERT_EQ(root.texts.size(), 1u);
    EXPECT_EQ(root.texts[0].font, epiCode("AB10"));
    EXPECT_EQ(root.texts[0].alignment, 2);
    EXPECT_EQ(root.texts[0].text, "Tempo");
    EXPECT_EQ(std::string(root.texts[0].colour.getText().getCStr()), "1,2,3");
}

TEST_F(TextWidgetsTest, CaptionColoursFollowEachKindsRule)
{
    root.images.add("face", 80, 20);
    root.images.add("held", 80, 20);
    auto setUp = [](epiUbo* w) {
        w->setAttributeText(epiCode("irOf"), "face");
        w->setAttributeText(epiCode("ipOf"), "held");
        w->setAttributeText(epiCode("irOn"), "face");
        w->setAttributeText(epiCode("tCon"), "1,1,1");
        w->setAttributeText(epiCode("tCof"), "2,2,2");
        w->setAttributeText(epiCode("tCdi"), "3,3,3");
        w->setTextCStr("Go");
    };
    // 'iBwt': on while it shows itself on (pressed), else off.
    auto* button = make<epiUiBitmapButtonWithText>();
    setUp(button);
    EXPECT_EQ(captionOf(button), "2,2,2");
    button->onMouseDown(epiPoint(2, 2));
    EXPECT_EQ(captionOf(button), "1,1,1");
    button->onMouseUp(epiPoint(2, 2));
    button->setEnabled(false);
    EXPECT_EQ(captionOf(button), "3,3,3");

    // 'iBct': off while pressed, on otherwise.
    auto* box = make<epiUiBitmapCheckBoxWithText>();
    setUp(box);
    EXPECT_EQ(captionOf(box), "1,1,1");
    box->onMouseDown(epiPoint(2, 2));
    EXPECT_EQ(captionOf(box), "2,2,2");
    box->onMouseUp(epiPoint(2, 2));
    EXPECT_EQ(captionOf(box), "1,1,1");

    // 'iBrs': on when selected; it has no disabled colour.
    auto* radio = make<epiUiBitmapRadioWithText>();
    setUp(radio);
    radio->setGroup(3, 0);
    EXPECT_EQ(captionOf(radio), "2,2,2");
    radio->onMouseDown(epiPoint(2, 2));
    radio->onMouseUp(epiPoint(2, 2));
    EXPECT_EQ(radio->getValue(), 1);
    EXPECT_EQ(captionOf(radio), "1,1,1");
    radio->setEnabled(false);
    EXPECT_EQ(captionOf(radio), "1,1,1");
    EXPECT_EQ(root.texts.back().font, epiCode("AB10"));
}

TEST_F(TextWidgetsTest, AClickableTextReportsAPress)
{
    struct Hits : epiUbo {
        int count = 0;
        void onMessage(epiFourCC, epiUbo*, void*) override { ++count; }
    } hits;
    auto* text = make<epiUiBitmapText>();
    text->registerListener(epiCode("iHit"), &hits, 0);
    text->onMouseDown(epiPoint(1, 1));
    EXPECT_EQ(hits.count, 0);
    text->setAttributeText(epiCode("Clik"), "1");
    text->onMouseDown(epiPoint(1, 1));
    EXPECT_EQ(hits.count, 1);
    text->unregisterListener(epiCode("iHit"), &hits);

    epiRegisterWidgetKinds();
    for (const char* kind : {"iBst", "iBtr", "iBwt", "iBrs"}) {
        const epiFourCC code = epiCode(*reinterpret_cast<const char(*)[5]>(kind));
        epiUbo* made = root.addNewChild(code, epiCode("wdgt"), 0, 0, 10, 10, 0, 0, "", true);
        EXPECT_EQ(made->getKind(), code) << kind;
        made->exit();
    }
}

} // namespace
