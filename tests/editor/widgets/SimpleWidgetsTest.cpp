// The root, the draggable window and icon, the static image and text.
#include "editor/widgets/DragIcon.h"
#include "editor/widgets/StaticImage.h"
#include "editor/widgets/StaticText.h"
#include "editor/widgets/Window.h"
#include "tests/editor/widgets/WidgetFixture.h"

using namespace test::widgets;

using SimpleWidgets = WidgetFixture;

namespace {

// The columns of row y in [x0, x1) that differ from the background.
std::vector<int> litColumns(const std::function<std::uint32_t(int, int)>& pixel, int y, int x0,
                            int x1)
{
    std::vector<int> columns;
    for (int x = x0; x < x1; ++x)
        if (pixel(x, y) != kBackground)
            columns.push_back(x - x0);
    return columns;
}

} // namespace

TEST_F(SimpleWidgets, ADraggedWindowStaysWholeInsideItsParent)
{
    auto* other = new GUI::Widget(root.get(), {0, 0, 5, 5});
    auto* w = new Widgets::Window(root.get(), {10, 10}, {20, 10});
    w->sendToBack();
    open();

    native->mouseDown(15, 15, 1, 1);
    window->pump();
    EXPECT_TRUE(w->hasCapture());
    EXPECT_EQ(root->getChildren().back(), w); // brought to the front

    // Pointer positions in the window and where the window ends up; the press
    // fell at (5, 5) inside it.
    struct Step {
        Point pointer;
        Point position;
    };
    for (const Step& s :
         {Step{{18, 17}, {13, 12}}, Step{{-100, -100}, {0, 0}}, Step{{200, 200}, {80, 70}},
          Step{{85, 75}, {80, 70}}, Step{{84, 75}, {79, 70}}, Step{{30, 8}, {25, 3}}}) {
        native->mouseMove(s.pointer.x, s.pointer.y, 1);
        window->pump();
        EXPECT_EQ(w->getPosition().x, s.position.x) << s.pointer.x << "," << s.pointer.y;
        EXPECT_EQ(w->getPosition().y, s.position.y) << s.pointer.x << "," << s.pointer.y;
    }
    native->mouseUp(30, 8, 1, 0);
    window->pump();
    EXPECT_FALSE(w->hasCapture());
    native->mouseMove(50, 50, 0);
    window->pump();
    EXPECT_EQ(w->getPosition().x, 25);

    // A press outside the drag area neither captures nor raises.
    w->setDragArea({0, 0, 4, 100});
    EXPECT_EQ(w->getDragArea().height, 10); // narrowed to the window
    w->sendToBack();
    native->mouseDown(30, 5, 1, 1); // (5, 2) in the window
    window->pump();
    EXPECT_FALSE(w->hasCapture());
    EXPECT_EQ(root->getChildren().back(), other);
    native->mouseDown(27, 5, 4, 4); // any button inside the area
    window->pump();
    EXPECT_TRUE(w->hasCapture());
}

TEST_F(SimpleWidgets, ADragIconDrawsItsImageAndWithoutOneIsEmpty)
{
    auto image = solid(6, 4, 0x00FF00);
    auto* icon = new Widgets::DragIcon(root.get(), {10, 10}, image.get());
    EXPECT_EQ(icon->getSize().x, 6);
    EXPECT_EQ(icon->getSize().y, 4);
    auto* tinted = new Widgets::DragIcon(root.get(), {30, 10}, image.get());
    tinted->setColor(0xFF808080);
    auto* none = new Widgets::DragIcon(root.get(), {50, 10}, nullptr);
    EXPECT_EQ(none->getSize().x, 0);
    EXPECT_EQ(none->getSize().y, 0);
    EXPECT_TRUE(none->getDragArea().empty());
    none->setDragArea({0, 0, 10, 10});
    EXPECT_TRUE(none->getDragArea().empty());
    none->setSize({10, 10});
    open();
    repaintAll();
    EXPECT_EQ(pixel(10, 10), 0x00FF00u);
    EXPECT_EQ(pixel(15, 13), 0x00FF00u);
    EXPECT_EQ(pixel(16, 13), kBackground);
    EXPECT_NE(pixel(30, 10), 0x00FF00u); // modulated
    EXPECT_NE(pixel(30, 10), kBackground);
    EXPECT_EQ(pixel(52, 12), kBackground);

    // A press on the sized icon without image is outside its empty area.
    native->mouseDown(52, 12, 1, 1);
    window->pump();
    EXPECT_FALSE(none->hasCapture());
    native->mouseDown(12, 12, 1, 1);
    native->mouseMove(14, 12, 1);
    window->pump();
    EXPECT_EQ(icon->getPosition().x, 12);
}

TEST_F(SimpleWidgets, AStaticImageWithoutImageDrawsNothingAndKeepsItsSize)
{
    auto image = solid(3, 2, 0x0000FF);
    auto* sized = new Widgets::StaticImage(root.get(), {10, 10, 8, 8}, nullptr);
    auto* placed = new Widgets::StaticImage(root.get(), Point{40, 10}, image.get());
    auto* atOrigin = new Widgets::StaticImage(root.get(), nullptr);
    EXPECT_EQ(sized->getSize().x, 8);
    EXPECT_EQ(placed->getSize().x, 3);
    EXPECT_EQ(placed->getSize().y, 2);
    EXPECT_EQ(atOrigin->getSize().x, 0);
    open();
    repaintAll();
    EXPECT_EQ(pixel(12, 12), kBackground);
    EXPECT_EQ(pixel(42, 11), 0x0000FFu);
    EXPECT_EQ(pixel(43, 11), kBackground);
}

TEST_F(SimpleWidgets, TheDecimalPointLandsInTheCellOfTheCharacterAfterIt)
{
    // Cells of 5 pixels, digits 3 wide (1 pixel into their cell) on rows 0..2,
    // the point 1 wide (2 pixels into its cell) on row 4 only.
    auto font = cellFont();
    struct Case {
        const char* text;
        int dotOffset;
        std::vector<int> digitColumns;
        std::vector<int> pointColumns;
    };
    for (const Case& c : {
             Case{"12.5", 3, {1, 2, 3, 6, 7, 8, 11, 12, 13}, {9}}, Case{".5", 1, {1, 2, 3}, {1}},
             Case{"5.", 1, {1, 2, 3}, {6}},
             Case{"1.2", 0, {1, 2, 3, 11, 12, 13}, {7}}, // no offset: as it stands
         }) {
        auto* text = new Widgets::StaticText(root.get(), {10, 10, 40, 6}, font.get(), 0xFFFFFFFF, 0,
                                             5, c.text);
        text->setDotOffset(c.dotOffset);
        if (!window)
            open();
        repaintAll();
        const auto at = [this](int x, int y) { return pixel(x, y); };
        EXPECT_EQ(litColumns(at, 10, 10, 50), c.digitColumns) << c.text;
        EXPECT_EQ(litColumns(at, 14, 10, 50), c.pointColumns) << c.text;
        delete text;
    }
}

TEST_F(SimpleWidgets, StaticTextRepaintsOnlyOnAChange)
{
    auto font = cellFont();
    auto* text =
        new Widgets::StaticText(root.get(), {10, 10, 40, 6}, font.get(), 0xFFFFFFFF, 0, 0, "1");
    auto* fontless =
        new Widgets::StaticText(root.get(), {10, 30, 40, 6}, nullptr, 0xFFFFFFFF, 0, 0, "1");
    open();
    text->setText("1");
    text->setText(0, "1");
    EXPECT_EQ(flush(), Rect{});
    text->setText("2");
    EXPECT_EQ(flush(), (Rect{10, 10, 40, 6}));
    text->setText(2, "2");
    EXPECT_EQ(flush(), (Rect{10, 10, 40, 6}));
    EXPECT_EQ(text->getText(), "2");
    text->setDotOffset(2);
    EXPECT_EQ(flush(), Rect{});
    repaintAll();
    EXPECT_EQ(litColumns([this](int x, int y) { return pixel(x, y); }, 10, 10, 50),
              (std::vector<int>{37, 38, 39})); // right-aligned
    EXPECT_TRUE(litColumns([this](int x, int y) { return pixel(x, y); }, 30, 10, 50).empty());
    EXPECT_EQ(fontless->getText(), "1");
}
