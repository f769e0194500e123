#include "WidgetTestSupport.h"

#include "hostfw/widgets/epiUiBitmapPopup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kImageCodes[] = {"iUns", "iSel", "iUnS", "iSlS", "iTop",
                                   "iBot", "iSUp", "iSUd", "iSDn", "iSDd"};

// A bitmap pop-up at (10, 10) with rows of 140 x 20, borders of 6 and arrows
// of 12 pixels, in a root container 600 pixels high.
struct BitmapPopupTest : ::testing::Test, WidgetFixture {
    BitmapPopupTest()
    {
        root.setRect(epiRect(0, 0, 400, 600));
        for (const char* code : kImageCodes) {
            const bool edge = code == std::string("iTop") || code == std::string("iBot");
            const bool arrow = code[1] == 'S' && (code[2] == 'U' || code[2] == 'D');
            root.images.add(code, 140, edge ? 6 : arrow ? 12 : 20);
        }
    }

    // Every image but the one named.
    epiUiBitmapPopup* makePopup(const std::string& content, bool nested = false,
                                const std::string& missing = "")
    {
        auto* popup = add(new epiUiBitmapPopup, epiRect(10, 10, 150, 30));
        for (const char* code : kImageCodes)
            if (code != missing)
                popup->setAttributeText(epiText(code).toFourCC(), epiText(code));
        popup->setAttributeText(epiCode(nested ? "cnth" : "cont"), epiText(content.c_str()));
        return popup;
    }
    static std::string rows(int count)
    {
        std::string content;
        for (int i = 0; i < count; ++i)
            content += (i ? "|i" : "i") + std::to_string(i);
        return content;
    }
    // A point of an open list's item in the root's coordinates.
    static epiPoint itemPoint(epiUiOpenPopupContainer* list, int index)
    {
        const epiRect items = list->itemsContainer()->getFrame();
        return {list->getFrame().left + 20, list->getFrame().top + items.top + index * 20 + 10 -
                                                list->itemsContainer()->getScroll().y};
    }
    static epiPoint arrowPoint(epiUiOpenPopupContainer* list, epiFourCC id)
    {
        const epiRect arrow = list->findChild(id)->getFrame();
        return {list->getFrame().left + 20, list->getFrame().top + arrow.top + 5};
    }
};

TEST_F(BitmapPopupTest, FortyRowsInA600PixelWindowShow22RowsBetweenArrows)
{
    epiUiBitmapPopup* popup = makePopup(rows(40));
    root.onMouseDown({20, 20});
    epiUiOpenPopupContainer* list = popup->openedList();
    ASSERT_TRUE(list);
    // (600 - 20 - 100) / 20 - 2 rows.
    EXPECT_EQ(list->visibleHeight(), 22 * 20);
    EXPECT_EQ(list->maximumScroll(), 40 * 20 - 22 * 20);
    ASSERT_TRUE(list->findChild(epiCode("scUp")));
    ASSERT_TRUE(list->findChild(epiCode("scDn")));
    EXPECT_EQ(list->getHeight(), 6 + 12 + 440 + 12 + 6);
    EXPECT_EQ(list->itemsContainer()->childCount(), 40);
    EXPECT_EQ(list->getWidth(), 140);

    // A short list shows every row and no arrow.
    epiUiBitmapPopup* small = makePopup(rows(3));
    root.onMouseDown({5, 590}); // outside: the first list closes
    EXPECT_FALSE(popup->isOpen());
    root.onMouseDown({20, 20});
    ASSERT_TRUE(small->openedList());
    EXPECT_EQ(small->openedList()->visibleHeight(), 60);
    EXPECT_FALSE(small->openedList()->findChild(epiCode("scUp")));
}

TEST_F(BitmapPopupTest, HoveringTheDownArrowScrollsFasterAndStopsAtTheEndDisabled)
{
    epiUiBitmapPopup* popup = makePopup(rows(40));
    root.onMouseDown({20, 20});
    epiUiOpenPopupContainer* list = popup->openedList();
    ASSERT_TRUE(list);
    auto* up = static_cast<epiUiBitmapImage*>(list->findChild(epiCode("scUp")));
    auto* down = static_cast<epiUiBitmapImage*>(list->findChild(epiCode("scDn")));
    EXPECT_EQ(up->getCurrentFace(), 1); // at the top: disabled
    EXPECT_EQ(down->getCurrentFace(), 0);

    root.onMouseMove(arrowPoint(list, epiCode("scDn")));
    EXPECT_TRUE(list->isScrolling());
    std::vector<int> steps;
    double clock = 0.0;
    int last = 0;
    for (int tick = 0; tick < 200 && list->isScrolling(); ++tick) {
        clock += 0.06;
        turnAt(clock);
        steps.push_back(list->scrollPosition() - last);
        last = list->scrollPosition();
        EXPECT_EQ(list->itemsContainer()->getScroll().y, last);
    }
    ASSERT_GE(steps.size(), 7u);
    EXPECT_EQ(std::vector<int>(steps.begin(), steps.begin() + 6),
              (std::vector<int>{6, 6, 6, 6, 6, 7}));
    EXPECT_EQ(last, list->maximumScroll());
    EXPECT_FALSE(list->isScrolling());
    EXPECT_EQ(down->getCurrentFace(), 1);
    EXPECT_EQ(up->getCurrentFace(), 0);
    // Nothing moves once stopped.
    turnAt(clock += 1.0);
    EXPECT_EQ(list->scrollPosition(), list->maximumScroll());

    // Back up, then leaving the arrow stops it half way.
    root.onMouseMove(arrowPoint(list, epiCode("scUp")));
    turnAt(clock += 0.06);
    turnAt(clock += 0.06);
    EXPECT_EQ(list->scrollPosition(), list->maximumScroll() - 12);
    root.onMouseMove(itemPoint(list, 30));
    EXPECT_FALSE(list->isScrolling());
    turnAt(clock += 0.5);
    EXPECT_EQ(list->scrollPosition(), list->maximumScroll() - 12);
}

TEST_F(BitmapPopupTest, AnyOneMissingImageKeepsThePopupClosed)
{
    for (const char* missing : kImageCodes) {
        SCOPED_TRACE(missing);
        epiUiBitmapPopup* popup = makePopup(rows(3), false, missing);
        EXPECT_FALSE(popup->isReady());
        popup->onMouseDown({5, 5});
        EXPECT_FALSE(popup->isOpen());
    }
    epiUiBitmapPopup* complete = makePopup(rows(3));
    EXPECT_TRUE(complete->isReady());
    complete->onMouseDown({5, 5});
    EXPECT_TRUE(complete->isOpen());
}

TEST_F(BitmapPopupTest, ASubListOpensBesideItsItemAfterTheDelay)
{
    epiUiBitmapPopup* popup = makePopup("a|b/c|b/d", true);
    root.onMouseDown({20, 20});
    epiUiOpenPopupContainer* list = popup->openedList();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->itemsContainer()->childCount(), 2);

    app.clock = 1.0;
    root.onMouseMove(itemPoint(list, 1));
    auto* b = static_cast<epiUiBitmapSubPopup*>(list->itemsContainer()->childAt(1));
    EXPECT_TRUE(b->isHovered());
    turnAt(1.15);
    EXPECT_FALSE(list->subList());
    turnAt(1.21);
    epiUiOpenPopupContainer* sub = list->subList();
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->itemsContainer()->childCount(), 2);
    EXPECT_STREQ(sub->itemsContainer()->childAt(1)->getTextCStr(), "d");
    // Beside its item: right by the item's width less 10, down by 5.
    const epiPoint item = itemPoint(list, 1);
    EXPECT_EQ(sub->getFrame().left, list->getFrame().left + 130);
    EXPECT_EQ(sub->getFrame().top, item.y - 10 + 5);

    // Moving to a without a sub-list marks a; choosing d in the sub-list.
    root.onMouseMove(itemPoint(sub, 1));
    root.onMouseDown(itemPoint(sub, 1));
    EXPECT_FALSE(popup->isOpen());
    EXPECT_EQ(popup->getValue(), 1);
    EXPECT_STREQ(popup->getTextCStr(), "d");
}

TEST_F(BitmapPopupTest, PressDragAndReleaseChooseInOneGesture)
{
    epiUiBitmapPopup* popup = makePopup(rows(5));
    root.onMouseDown({20, 20});
    epiUiOpenPopupContainer* list = popup->openedList();
    ASSERT_TRUE(list);
    root.onMouseDrag(itemPoint(list, 2));
    EXPECT_TRUE(static_cast<epiUiBitmapSubPopup*>(list->itemsContainer()->childAt(2))->isHovered());
    root.onMouseUp(itemPoint(list, 2));
    EXPECT_FALSE(popup->isOpen());
    EXPECT_EQ(popup->getValue(), 2);
    EXPECT_STREQ(popup->getTextCStr(), "i2");
    EXPECT_EQ(root.getCapturedChild(), nullptr);

    // A press and a release in place leave the list open; a press on an item
    // then chooses it, a press outside closes without a choice.
    root.onMouseDown({20, 20});
    root.onMouseUp({20, 20});
    ASSERT_TRUE(popup->isOpen());
    root.onMouseDown(itemPoint(popup->openedList(), 4));
    EXPECT_EQ(popup->getValue(), 4);
    EXPECT_FALSE(popup->isOpen());
    root.onMouseDown({20, 20});
    root.onMouseDown({390, 590});
    EXPECT_FALSE(popup->isOpen());
    EXPECT_EQ(popup->getValue(), 4);

    // The host losing the capture (its window's focus went elsewhere)
    // closes the list without a choice.
    root.onMouseDown({20, 20});
    ASSERT_TRUE(popup->isOpen());
    root.releaseCapture();
    EXPECT_FALSE(popup->isOpen());
    EXPECT_EQ(popup->getValue(), 4);
}

} // namespace
