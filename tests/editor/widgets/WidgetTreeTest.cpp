// The widget tree: repaint requests, change signals and hit testing.
#include "tests/editor/widgets/WidgetFixture.h"
#include "tests/support/CountingAllocator.h"

using namespace test::widgets;

namespace {

// Writes a widget's change signals into a log as "name:signal".
void watch(GUI::Widget* w, const std::string& name, std::vector<std::string>& log)
{
    auto note = [&log, name](const char* what) {
        return [&log, name, what](GUI::Widget*) { log.push_back(name + ":" + what); };
    };
    w->broughtToFront.connect(note("front"));
    w->sentToBack.connect(note("back"));
    w->shown.connect(note("shown"));
    w->hidden.connect(note("hidden"));
    w->enabled.connect(note("enabled"));
    w->disabled.connect(note("disabled"));
    w->topMostChanged.connect([&log, name](GUI::Widget*, bool on) {
        log.push_back(name + ":topMost " + (on ? "1" : "0"));
    });
}

} // namespace

using WidgetTree = WidgetFixture;

TEST_F(WidgetTree, ChangesRepaintTheirRectangleInWindowCoordinates)
{
    open();
    auto* box = new GUI::Widget(root.get(), {10, 20, 50, 40});
    EXPECT_EQ(flush(), (Rect{10, 20, 50, 40}));
    auto* child = new GUI::Widget(box, {3, 4, 5, 6});
    EXPECT_EQ(flush(), (Rect{13, 24, 5, 6}));

    // The same place still repaints; a move repaints the old and new places.
    child->setPosition({3, 4});
    EXPECT_EQ(flush(), (Rect{13, 24, 5, 6}));
    child->setPosition({5, 4});
    EXPECT_EQ(flush(), (Rect{13, 24, 7, 6}));
    child->setSize({2, 2});
    EXPECT_EQ(flush(), (Rect{15, 24, 5, 6}));

    // The current colour repaints nothing; another one the whole widget.
    child->setColor(0xFFFFFFFF);
    EXPECT_EQ(flush(), Rect{});
    child->setColor(0x80FFFFFF);
    EXPECT_EQ(flush(), (Rect{15, 24, 2, 2}));

    // A part, narrowed to the widget.
    box->invalidateRect({45, 35, 20, 20});
    EXPECT_EQ(flush(), (Rect{55, 55, 5, 5}));
    box->hide();
    EXPECT_EQ(flush(), (Rect{10, 20, 50, 40}));
}

TEST_F(WidgetTree, SignalsFireOnlyOnAChangeAndStackingMovesTheChild)
{
    auto* a = new GUI::Widget(root.get(), {0, 0, 10, 10});
    auto* b = new GUI::Widget(root.get(), {0, 0, 10, 10});
    watch(root.get(), "root", log);
    watch(a, "a", log);
    watch(b, "b", log);

    root->bringToFront();
    root->sendToBack();
    EXPECT_EQ(take(), "");
    b->bringToFront(); // already last
    EXPECT_EQ(take(), "b:front");
    a->bringToFront();
    EXPECT_EQ(root->getChildren(), (std::vector<GUI::Widget*>{b, a}));
    a->sendToBack();
    EXPECT_EQ(root->getChildren(), (std::vector<GUI::Widget*>{a, b}));
    EXPECT_EQ(take(), "a:front|a:back");

    a->hide();
    a->hide();
    a->show();
    a->show();
    a->disable();
    a->disable();
    a->enable();
    a->enable();
    a->setTopMost(false);
    a->setTopMost(true);
    a->setTopMost(true);
    EXPECT_EQ(take(), "a:hidden|a:shown|a:disabled|a:enabled|a:topMost 1");
}

TEST_F(WidgetTree, AMaskNarrowsTheHitsToItsOpaqueEnoughPixels)
{
    // A widget of 8 x 8 with a 4 x 4 mask, opaque but for (1, 1) at 254.
    auto mask = solid(4, 4, 0);
    mask->pixels[1 * 4 + 1] = 0xFE000000u;
    auto* w = new GUI::Widget(root.get(), {10, 10, 8, 8});
    w->setActiveAreaImage(mask.get());
    GUI::ManagerPickingFunctor functor;

    struct Case {
        Point at; // relative to the widget
        int threshold;
        bool hit;
    };
    for (const Case& c :
         {Case{{0, 0}, 255, true}, Case{{3, 3}, 255, true}, Case{{4, 0}, 255, false},
          Case{{0, 5}, 255, false}, Case{{7, 7}, 0, false}, Case{{1, 1}, 255, false},
          Case{{1, 1}, 254, true}, Case{{1, 1}, 200, true}}) {
        w->setActiveThreshold(static_cast<std::uint8_t>(c.threshold));
        EXPECT_EQ(root->pick({10 + c.at.x, 10 + c.at.y}, &functor), c.hit ? w : nullptr)
            << c.at.x << "," << c.at.y << " at threshold " << c.threshold;
    }
}

TEST_F(WidgetTree, PickTakesTopMostFirstAndSkipsWhatCannotBeReached)
{
    GUI::ManagerPickingFunctor functor;
    // A top-most child under a later plain sibling still wins.
    auto* top = new GUI::Widget(root.get(), {0, 0, 40, 40});
    top->setTopMost(true);
    auto* plain = new GUI::Widget(root.get(), {0, 0, 40, 40});
    EXPECT_EQ(root->pick({5, 5}, &functor), top);
    top->setTopMost(false);
    EXPECT_EQ(root->pick({5, 5}, &functor), plain);

    // A stack at (50, 0): reachable bottom with a grandchild, then a hidden
    // container (with a child under the point) and a disabled widget on top.
    auto* bottom = new GUI::Widget(root.get(), {50, 0, 30, 30});
    auto* grandchild = new GUI::Widget(bottom, {10, 10, 5, 5});
    auto* hiddenBox = new GUI::Widget(root.get(), {50, 0, 30, 30});
    new GUI::Widget(hiddenBox, {0, 0, 30, 30});
    hiddenBox->hide();
    auto* off = new GUI::Widget(root.get(), {50, 0, 30, 30});
    off->disable();
    EXPECT_EQ(root->pick({52, 2}, &functor), bottom);
    EXPECT_EQ(root->pick({61, 11}, &functor), grandchild);

    // Never the widget itself; nothing without a functor.
    EXPECT_EQ(bottom->pick({1, 1}, &functor), nullptr);
    EXPECT_EQ(root->pick({90, 70}, &functor), nullptr);
    EXPECT_EQ(root->pick({5, 5}, nullptr), nullptr);
    // Rectangles are half open.
    EXPECT_EQ(root->pick({80, 5}, &functor), nullptr);
}

// An adapter writing a value from the automation worker or the audio thread
// ends in these repaint requests: none of them may allocate.
TEST_F(WidgetTree, RepaintRequestsAllocateNothing)
{
    auto* box = new GUI::Widget(root.get(), {10, 20, 50, 40});
    auto* child = new GUI::Widget(box, {3, 4, 5, 6});
    open();
    test::allocations::take();
    {
        test::allocations::Counting counting;
        child->invalidate();
        child->invalidateRect({1, 1, 2, 2});
        child->setColor(0xFF102030);
        child->setPosition({4, 4});
        child->hide();
        child->show();
        box->bringToFront();
        child->setTopMost(true);
    }
    EXPECT_EQ(test::allocations::take(), 0);
    EXPECT_EQ(flush(), (Rect{10, 20, 50, 40}));
}
