// The pop-up menu: layout and placement, scrolling, the sub-menu chain, the
// selection, and its fixed look.
#include "editor/widgets/Menu.h"
#include "plugin/docview/AdapterMenu.h"
#include "tests/editor/widgets/WidgetFixture.h"

using namespace test::widgets;

class MenuTest : public WidgetFixture {
protected:
    // Glyphs 3 wide and 5 high: an item is 8 high, a menu 30 + 5 wider than
    // its widest text.
    Widgets::Menu* makeMenu(const Point& at, const std::vector<std::string>& texts)
    {
        auto* menu = new Widgets::Menu(root.get(), at, font.get(), 0xFF000000);
        for (std::size_t i = 0; i < texts.size(); ++i)
            menu->addItem(texts[i], 10 + static_cast<int>(i));
        return menu;
    }
    void listen(Widgets::Menu* menu, const std::string& name)
    {
        menu->selected.connect([this, name, menu](DocView::SelectionMenu* from, int index) {
            log.push_back(name + ":selected " + std::to_string(index) +
                          (from == menu ? "" : " from another menu"));
        });
    }
    void move(int x, int y)
    {
        native->mouseMove(x, y, 0);
        window->pump();
    }
    void up(int x, int y)
    {
        native->mouseUp(x, y, 1, 0);
        window->pump();
    }
    void down(int x, int y)
    {
        native->mouseDown(x, y, 1, 1);
        window->pump();
    }

    std::unique_ptr<Graphics::Font> font = cellFont();
};

TEST_F(MenuTest, LayoutAndPlacementInsideTheRoot)
{
    auto* menu = makeMenu({10, 10}, {"abc", "a"});
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(menu->getRect(), (Rect{10, 10, 0, 0})); // not laid out while hidden
    open();
    menu->show();
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->hasCapture());
    EXPECT_TRUE(menu->isTopMost());
    EXPECT_EQ(menu->getRect(), (Rect{10, 10, 44, 21}));
    EXPECT_EQ(menu->getItem(1).rect, (Rect{0, 8, 39, 8}));
    menu->addItem("abcdef", 3); // shown: laid out at once
    EXPECT_EQ(menu->getRect(), (Rect{10, 10, 53, 29}));

    struct Case {
        Point at;
        Rect placed;
    };
    for (const Case& c : {Case{{70, 10}, {48, 10, 53, 29}}, // ends one past the right edge
                          Case{{-5, -7}, {0, 0, 53, 29}}, Case{{20, 60}, {20, 52, 53, 29}}}) {
        menu->hide();
        menu->setPosition(c.at);
        menu->show();
        EXPECT_EQ(menu->getRect(), c.placed) << c.at.x << "," << c.at.y;
        EXPECT_FALSE(menu->isScrolling());
    }

    // No font: measures 0 and draws nothing.
    auto* bare = new Widgets::Menu(root.get(), {0, 0}, nullptr, 0xFF000000);
    bare->addItem("abc", 1);
    bare->show();
    EXPECT_EQ(bare->getSize().x, 35);
    EXPECT_EQ(bare->getSize().y, 8);
    repaintAll();
    EXPECT_EQ(pixel(1, 1), kBackground);

    float value = 0;
    EXPECT_TRUE(menu->getItemValue(2, value));
    EXPECT_EQ(value, 3.0f);
    EXPECT_FALSE(menu->getItemValue(3, value));
    EXPECT_FALSE(menu->getItemValue(-1, value));
}

TEST_F(MenuTest, AMenuTallerThanTheRootScrollsByItsBands)
{
    std::vector<std::string> texts(12, "a");
    auto* menu = makeMenu({0, 30}, texts);
    open();
    menu->show();
    // 12 x 8 + 5 = 101 rows: pulled up to 0 and cut to the root's height + 1.
    EXPECT_EQ(menu->getRect(), (Rect{0, 0, 38, 81}));
    ASSERT_TRUE(menu->isScrolling());

    move(5, 9);
    EXPECT_EQ(menu->getHovered(), Widgets::Menu::upBand);
    up(5, 9);
    EXPECT_EQ(menu->getScrollOffset(), 0); // nothing above
    move(5, 71);
    EXPECT_EQ(menu->getHovered(), Widgets::Menu::downBand);
    move(5, 70);
    EXPECT_NE(menu->getHovered(), Widgets::Menu::downBand);
    move(5, 71);
    for (int i = 0; i < 13; ++i)
        up(5, 71);
    EXPECT_EQ(menu->getScrollOffset(), 11); // stays at the last item
    up(5, 5);                               // still the down band hovered
    EXPECT_EQ(menu->getScrollOffset(), 11);
    move(5, 9);
    up(5, 9);
    EXPECT_EQ(menu->getScrollOffset(), 10);

    // The first shown item starts below the up band.
    listen(menu, "menu");
    move(5, 12);
    EXPECT_EQ(menu->getHovered(), 10);
    up(5, 12);
    EXPECT_EQ(take(), "menu:selected 10");
}

TEST_F(MenuTest, SubMenusChainAndTheHoldingMenuSelects)
{
    // Items at (2, 2 + 8 i, 33, 8) in the menu, which stands at (10, 10).
    auto* menu = makeMenu({10, 10}, {"a"});
    auto* sub = menu->createSubMenu();
    sub->addItem("x", 20);
    sub->addItem("y", 21);
    menu->addItem("b", 11, sub);
    menu->addItem("c", 12, menu->createSubMenu()); // an empty sub-menu
    listen(menu, "menu");
    listen(sub, "sub");
    open();

    // Hovering "b" opens the sub-menu beside it, which takes the mouse; a
    // release there selects nothing and leaves both open.
    menu->show();
    move(15, 22);
    ASSERT_TRUE(sub->isVisible());
    EXPECT_EQ(sub->getPosition().x, 10 + 35);
    EXPECT_EQ(sub->getPosition().y, 10 + 10);
    EXPECT_TRUE(sub->hasCapture());
    up(15, 22);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(sub->isVisible());

    // Back over the menu off "b": the menu takes the mouse and closes the
    // sub-menu; then "a" is hovered.
    move(15, 14);
    EXPECT_FALSE(sub->isVisible());
    EXPECT_TRUE(menu->hasCapture());
    move(16, 14);
    EXPECT_EQ(menu->getHovered(), 0);

    // The empty sub-menu does not open, and a release on its item selects
    // nothing.
    move(15, 30);
    EXPECT_EQ(menu->getHovered(), 2);
    EXPECT_FALSE(menu->getItem(2).subMenu->isVisible());
    up(15, 30);
    EXPECT_TRUE(menu->isVisible());

    // A selection in the sub-menu comes from the sub-menu and closes the chain.
    move(15, 22);
    move(48, 31);
    EXPECT_EQ(sub->getHovered(), 1);
    up(48, 31);
    EXPECT_EQ(take(), "sub:selected 1");
    EXPECT_FALSE(sub->isVisible());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(manager->getCapture(), nullptr);

    // A press outside closes everything without a selection.
    menu->show();
    move(15, 22);
    down(90, 70);
    up(90, 70);
    EXPECT_FALSE(sub->isVisible());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(take(), "");
    EXPECT_EQ(manager->getCapture(), nullptr);

    // A press inside does nothing; a release of a plain item selects it.
    menu->show();
    move(15, 14);
    down(15, 14);
    EXPECT_TRUE(menu->isVisible());
    up(15, 14);
    EXPECT_EQ(take(), "menu:selected 0");

    // Closing the menu takes its sub-menus along at the end of the event.
    menu->close();
    manager->runPendingDeletions();
    EXPECT_TRUE(root->getChildren().empty());
}

TEST_F(MenuTest, TheBevelHighlightAndGlyphsHaveTheFixedColours)
{
    auto* menu = makeMenu({10, 10}, {});
    auto* sub = menu->createSubMenu();
    sub->addItem("x", 1);
    menu->addItem("a", 1, nullptr, true);
    menu->addItem("b", 2, sub);
    open();
    menu->show();
    move(15, 14); // hover "a"
    repaintAll();
    // 38 x 21 at (10, 10).
    const int w = 38, h = 21;
    const auto on = [](std::uint32_t under, std::uint32_t colour) {
        return Graphics::Painter::blend(under, colour & 0xFFFFFF, 255);
    };
    const std::uint32_t face = on(kBackground, 0xD4D0C8);
    const std::uint32_t lit = on(face, 0x0A246A);
    struct Case {
        const char* what;
        Point at; // in the menu
        std::uint32_t colour;
    };
    for (const Case& c : {
             Case{"outer light corner", {0, 0}, face},
             Case{"outer light left", {0, h - 2}, face},
             Case{"outer dark bottom", {0, h - 1}, on(kBackground, 0x404040)},
             Case{"outer dark corner", {w - 1, h - 1}, on(kBackground, 0x404040)},
             Case{"outer dark top right", {w - 1, 0}, on(kBackground, 0x404040)},
             Case{"inner light", {1, 1}, on(kBackground, 0xFFFFFF)},
             Case{"inner light left", {1, h - 3}, on(kBackground, 0xFFFFFF)},
             Case{"inner shadow bottom", {1, h - 2}, on(kBackground, 0x808080)},
             Case{"inner shadow corner", {w - 2, h - 2}, on(kBackground, 0x808080)},
             Case{"inner shadow right", {w - 2, 1}, on(kBackground, 0x808080)},
             Case{"face", {w - 3, h - 3}, face},
             Case{"highlight", {3, 3}, lit},
             Case{"highlighted text", {17, 4}, on(lit, 0xFFFFFF)},
             Case{"beside the text", {20, 4}, lit},
             Case{"white dot", {9, 7}, on(lit, 0xFFFFFF)},
             Case{"dot's edge", {6, 5}, lit},
             Case{"black text", {17, 12}, on(face, 0)},
             Case{"black arrow", {27, 15}, on(face, 0)},
             Case{"arrow's tip", {30, 15}, on(face, 0)},
             Case{"past the tip", {31, 15}, face},
         })
        EXPECT_EQ(pixel(10 + c.at.x, 10 + c.at.y), c.colour) << c.what;
}
