// The widget manager: painting, event routing, focus, capture, deferred
// deletion and closing and reopening the window.
#include "editor/widgets/StaticImage.h"
#include "tests/editor/widgets/WidgetFixture.h"

using namespace test::widgets;

using WidgetManagerTest = WidgetFixture;

namespace {
constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00,
                        kMagenta = 0xFF00FF;
}

TEST_F(WidgetManagerTest, PaintsPlainChildrenFirstEachClippedToItsVisiblePart)
{
    auto red = solid(20, 20, kRed), green = solid(20, 20, kGreen), blue = solid(20, 20, kBlue),
         yellow = solid(10, 10, kYellow);
    // A top-most child first in the list, under a later plain sibling.
    new Widgets::StaticImage(root.get(), {20, 20, 20, 20}, green.get());
    root->getChildren().front()->setTopMost(true);
    new Widgets::StaticImage(root.get(), {10, 10, 20, 20}, red.get());
    // A hidden container hides its child.
    auto* hiddenBox = new GUI::Widget(root.get(), {50, 10, 20, 20});
    new Widgets::StaticImage(hiddenBox, {0, 0, 20, 20}, blue.get());
    hiddenBox->hide();
    // A disabled widget is painted.
    (new Widgets::StaticImage(root.get(), {50, 40, 10, 10}, yellow.get()))->disable();
    // A child of a container that draws 5 pixels past its rectangle, and
    // one reaching past its container's edge.
    auto* box = new GUI::Widget(root.get(), {5, 50, 30, 20});
    (new Probe(box, {5, 5, 10, 10}, "p", log, kMagenta))->overdraw = true;
    new Probe(box, {25, 15, 10, 10}, "q", log, kBlue);
    open();
    repaintAll();

    struct Case {
        Point at;
        std::uint32_t colour;
    };
    for (const Case& c : {
             Case{{25, 25}, kGreen},      // top-most over the later plain sibling
             Case{{15, 15}, kRed},        // the plain sibling outside the overlap
             Case{{39, 39}, kGreen},      //
             Case{{55, 15}, kBackground}, // hidden subtree
             Case{{55, 45}, kYellow},     // disabled, still painted
             Case{{10, 55}, kMagenta},    // the probe's own top-left: its origin
             Case{{19, 64}, kMagenta},    //
             Case{{9, 55}, kBackground},  // its overdraw is clipped away
             Case{{20, 60}, kBackground}, //
             Case{{10, 54}, kBackground}, //
             Case{{34, 69}, kBlue},       // inside the container
             Case{{35, 69}, kBackground}, // past the container's edge
             Case{{34, 70}, kBackground}, //
         })
        EXPECT_EQ(pixel(c.at.x, c.at.y), c.colour) << c.at.x << "," << c.at.y;
}

TEST_F(WidgetManagerTest, PointerEventsFollowHoverAndCapture)
{
    logRoot();
    auto* a = new Probe(root.get(), {10, 10, 20, 20}, "a", log);
    new Probe(root.get(), {50, 10, 20, 20}, "b", log);
    open();

    const auto move = [&](int x, int y) {
        native->mouseMove(x, y, 0);
        window->pump();
        return take();
    };
    const auto button = [&](bool down, int x, int y) {
        if (down)
            native->mouseDown(x, y, 1, 0);
        else
            native->mouseUp(x, y, 1, 1);
        window->pump();
        return take();
    };

    EXPECT_EQ(move(15, 15), "a:enter|a:move 5,5");
    EXPECT_EQ(move(40, 40), "a:leave|root:enter|root:move 40,40");
    EXPECT_EQ(button(true, 12, 13), "a:down 2,3 1");
    EXPECT_EQ(manager->getHover(), root.get()); // a press does not move the hover
    EXPECT_EQ(button(true, 90, 70), "root:down 90,70 1");

    a->captureMouse();
    a->captureMouse();
    EXPECT_EQ(take(), "a:captureGained");
    EXPECT_EQ(move(55, 15), "root:leave|b:enter|a:move 45,5");
    EXPECT_EQ(move(5, 6), "b:leave|root:enter|a:move -5,-4");
    EXPECT_EQ(button(true, 60, 12), "a:down 50,2 1");
    EXPECT_EQ(button(false, 2, 2), "a:up -8,-8 1");
    a->releaseMouse();
    a->releaseMouse();
    EXPECT_EQ(take(), "a:captureLost");
    EXPECT_EQ(move(60, 12), "root:leave|b:enter|b:move 10,2");
}

TEST_F(WidgetManagerTest, KeysGoToTheFocusWidgetWhichTakesTheKeyboard)
{
    auto* a = new Probe(root.get(), {10, 10, 20, 20}, "a", log);
    auto* b = new Probe(root.get(), {50, 10, 20, 20}, "b", log);
    open();

    manager->key(Graphics::Return, 0, 0); // no focus: dropped
    b->setFocusable(false);
    b->setFocus();
    EXPECT_EQ(manager->getFocus(), nullptr);
    a->setFocus();
    a->setFocus();
    EXPECT_EQ(take(), "a:focusGained");
    EXPECT_TRUE(manager->hasKeyboardFocus());
    window->pump();
    EXPECT_TRUE(native->focused());
    native->key(platform::window::Key::Character, 'x');
    window->pump();
    EXPECT_EQ(take(), "a:key 0 120");

    b->setFocusable(true);
    b->setFocus();
    EXPECT_EQ(take(), "a:focusLost|b:focusGained");
    b->setFocusable(false);
    EXPECT_EQ(take(), "b:focusLost");
    EXPECT_EQ(manager->getFocus(), nullptr);
    EXPECT_FALSE(manager->hasKeyboardFocus());
    window->pump();
    EXPECT_FALSE(native->focused());

    // The window losing the keyboard takes the focus away.
    a->setFocus();
    window->pump();
    native->focusOut();
    window->pump();
    EXPECT_EQ(take(), "a:focusGained|a:focusLost");
    EXPECT_EQ(manager->getFocus(), nullptr);
}

TEST_F(WidgetManagerTest, AWidgetClosedInItsOwnEventIsDeletedAfterTheEventEnds)
{
    auto* a = new Probe(root.get(), {10, 10, 20, 20}, "a", log);
    int destroyedCount = 0;
    a->destroyed.connect([&](GUI::Widget*) { ++destroyedCount; });
    a->onUpDo = [a] { a->close(); };
    manager->eventEnded.connect([this] { log.push_back("ended"); });
    open();
    take();

    native->mouseDown(15, 15, 1, 0);
    native->mouseUp(15, 15, 1, 1);
    window->pump();
    EXPECT_EQ(take(), "a:down 5,5 1|ended|a:up 5,5 1|ended|a:deleted|ended");
    EXPECT_EQ(destroyedCount, 2); // by the close and by the destructor
    EXPECT_TRUE(root->getChildren().empty());

    // A deletion that closes another widget: finished within the same end.
    auto* x = new Probe(root.get(), {10, 10, 5, 5}, "x", log);
    auto* y = new Probe(root.get(), {20, 10, 5, 5}, "y", log);
    x->onDeleteDo = [y] { y->close(); };
    x->onUpDo = [x] { x->close(); };
    native->mouseUp(11, 11, 1, 0);
    window->pump();
    EXPECT_EQ(take(), "x:up 1,1 1|ended|x:deleted|y:deleted|ended");
    EXPECT_TRUE(root->getChildren().empty());
}

TEST_F(WidgetManagerTest, DestroyingTheFocusWidgetReleasesTheKeyboardWithoutFocusLost)
{
    auto* a = new Probe(root.get(), {10, 10, 20, 20}, "a", log);
    open();
    a->setFocus();
    a->captureMouse();
    native->mouseMove(15, 15, 0);
    window->pump();
    EXPECT_TRUE(native->focused());
    take();

    delete a;
    EXPECT_EQ(take(), "a:deleted");
    EXPECT_EQ(manager->getFocus(), nullptr);
    EXPECT_EQ(manager->getCapture(), nullptr);
    EXPECT_EQ(manager->getHover(), nullptr);
    EXPECT_FALSE(manager->hasKeyboardFocus());
    window->pump();
    EXPECT_FALSE(native->focused());
}

// Closing the editor while a field has the focus and a widget the capture,
// then opening it again: the field takes the keyboard on its next click and
// the former capture widget hears no moves.
TEST_F(WidgetManagerTest, ClosingTheWindowEndsFocusCaptureAndHover)
{
    auto* field = new Probe(root.get(), {10, 10, 20, 20}, "field", log);
    auto* knob = new Probe(root.get(), {50, 10, 20, 20}, "knob", log);
    // A click on the field focuses it, as an edit field does.
    field->callbacks().mouseDown.connect(
        [field](GUI::Widget*, const Point&, int, int) { field->setFocus(); });
    open();
    field->setFocus();
    native->mouseMove(55, 15, 0);
    native->mouseDown(55, 15, 1, 0);
    window->pump();
    knob->captureMouse();
    EXPECT_TRUE(native->focused());
    take();

    close();
    EXPECT_EQ(take(), "field:focusLost|knob:captureLost|knob:leave");
    EXPECT_EQ(manager->getFocus(), nullptr);
    EXPECT_EQ(manager->getCapture(), nullptr);
    EXPECT_EQ(manager->getHover(), nullptr);
    EXPECT_FALSE(manager->hasKeyboardFocus());

    open();
    native->mouseMove(15, 15, 0);
    native->mouseDown(15, 15, 1, 0);
    window->pump();
    EXPECT_EQ(take(), "field:enter|field:move 5,5|field:down 5,5 1|field:focusGained");
    window->pump();
    EXPECT_TRUE(native->focused());
    native->key(platform::window::Key::Character, 'a');
    window->pump();
    EXPECT_EQ(take(), "field:key 0 97");
}

TEST_F(WidgetManagerTest, RequestsWithoutAWindowAreDroppedAndPaintStartsAtTheArea)
{
    auto* a = new Probe(root.get(), {10, 10, 20, 20}, "a", log, kRed);
    a->setColor(0x12345678); // no window: nothing to ask
    a->setFocus();
    EXPECT_EQ(take(), "a:focusGained");
    open();
    // The window asks for one part: the root gets exactly it.
    window->invalidate({12, 14, 3, 2});
    window->pump();
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted.front(), (Rect{12, 14, 3, 2}));
    EXPECT_EQ(pixel(12, 14), kRed);
}
