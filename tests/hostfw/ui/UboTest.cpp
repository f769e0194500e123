#include <gtest/gtest.h>

#include "UiTestSupport.h"

#include <string>

namespace {

TEST(Ubo, TheNullChildIsOneInertObjectWhoseCountStaysPut)
{
    TestContainer root;
    epiUbo* placeholder = root.getChild(epiCode("none"));
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(placeholder->getReferenceCount(), 1);
    // A refresh asking for a missing id 20 times a second, for an hour.
    for (int i = 0; i < 72000; ++i) {
        ASSERT_EQ(root.getChild(epiCode("none")), placeholder);
        root.setChildValue(epiCode("none"), i);
        root.setChildText(epiCode("gone"), "text");
    }
    EXPECT_EQ(root.getChildAt(7), placeholder);
    EXPECT_EQ(placeholder->getReferenceCount(), 1);
    EXPECT_EQ(placeholder->getParent(), nullptr);
    EXPECT_EQ(root.childCount(), 0);
    EXPECT_EQ(root.getChildValue(epiCode("none")), 0);
    root.exit(); // takes the placeholder with it
}

TEST(Ubo, SettingVisibilityTwiceDoesNothingTheSecondTime)
{
    TestContainer root;
    root.setRect(epiRect(0, 0, 100, 100));
    TestWidget child;
    ASSERT_TRUE(root.addChild(&child));
    child.setRect(epiRect(10, 10, 20, 20));
    root.invalidated.clear();

    child.setVisible(true, false); // stored, nothing shown or redrawn
    EXPECT_TRUE(child.isVisible());
    EXPECT_EQ(child.visibilityChanges, 0);
    EXPECT_TRUE(root.invalidated.empty());
    child.setVisible(true, true); // unchanged: nothing
    EXPECT_EQ(child.visibilityChanges, 0);
    EXPECT_TRUE(root.invalidated.empty());
    child.setVisible(false, true);
    EXPECT_EQ(child.visibilityChanges, 1);
    ASSERT_EQ(root.invalidated.size(), 1u);
    EXPECT_TRUE(frameIs(root.invalidated[0], 10, 10, 20, 20));
}

TEST(Ubo, AnchorAttributesSelectCodesAndAnchoredChildrenFollowAResize)
{
    TestContainer root;
    root.setRect(epiRect(0, 0, 100, 100));
    TestWidget child;
    root.addChild(&child);
    child.setRect(epiRect(10, 10, 90, 90));
    for (int value = 0; value <= 9; ++value) {
        child.setAttribute(epiCode("mgTL"), value);
        EXPECT_EQ(child.getTopLeftAnchor(), value - 1);
        child.setAttribute(epiCode("mgBR"), value);
        EXPECT_EQ(child.getBottomRightAnchor(), value - 1);
    }
    child.setAttribute(epiCode("mgTL"), 1); // top-left
    child.setAttribute(epiCode("mgBR"), 3); // bottom-right
    TestWidget centred;
    root.addChild(&centred);
    centred.setRect(epiRect(40, 45, 60, 55));
    centred.setAttribute(epiCode("mgTL"), 9); // centre, top-left corner only

    root.setRect(epiRect(0, 0, 200, 150));
    root.applyAnchors();
    EXPECT_TRUE(frameIs(child.getFrame(), 10, 10, 190, 140));
    EXPECT_TRUE(frameIs(child.getBounds(), 0, 0, 180, 130));
    // Only the top-left corner follows; the bottom-right one stays.
    EXPECT_TRUE(frameIs(centred.getFrame(), 90, 70, 60, 55));
}

TEST(Ubo, APressWhereChildrenOverlapReachesTheTopmostOrAllWithHitAll)
{
    const struct {
        bool hitAll;
        bool laterCaptures;
        int earlierPresses;
        int laterPresses;
    } cases[] = {
        {false, false, 0, 1},
        {true, false, 1, 1},
        {true, true, 0, 1},
    };
    for (const auto& c : cases) {
        TestContainer root;
        root.setRect(epiRect(0, 0, 100, 100));
        TestWidget earlier, later, elsewhere;
        for (TestWidget* widget : {&earlier, &later, &elsewhere}) {
            root.addChild(widget);
            widget->setVisible(true, false);
        }
        earlier.setRect(epiRect(0, 0, 50, 50));
        later.setRect(epiRect(20, 20, 70, 70));
        elsewhere.setRect(epiRect(80, 80, 90, 90));
        later.capturesOnPress = c.laterCaptures;
        root.setAttribute(epiCode("exhm"), c.hitAll ? 1 : 0);
        root.onMouseDown({30, 30});
        EXPECT_EQ(static_cast<int>(earlier.presses.size()), c.earlierPresses) << c.hitAll;
        ASSERT_EQ(static_cast<int>(later.presses.size()), c.laterPresses) << c.hitAll;
        EXPECT_TRUE(later.presses[0].equals({10, 10})); // in its own coordinates
        EXPECT_TRUE(elsewhere.presses.empty());
        if (c.laterCaptures) {
            EXPECT_EQ(root.getCapturedChild(), &later);
            // While captured, every press goes to the capturing child.
            root.onMouseDown({85, 85});
            EXPECT_EQ(later.presses.size(), 2u);
            EXPECT_TRUE(elsewhere.presses.empty());
        }
    }
}

TEST(Ubo, ARadioGroupReportsThroughItsLowestMember)
{
    TestContainer root;
    TestWidget members[3];
    const epiFourCC ids[3] = {epiCode("rad0"), epiCode("rad1"), epiCode("rad2")};
    for (int i = 0; i < 3; ++i) {
        root.addChild(&members[i]);
        members[i].setId(ids[i]);
        members[i].setAttribute(epiCode("fagr"), 7);
        members[i].setAttribute(epiCode("fain"), i);
    }
    TestWidget outsider;
    root.addChild(&outsider);
    outsider.setValue(5);

    root.selectInGroup(7, 2, 1, true);
    EXPECT_EQ(members[0].value, 0);
    EXPECT_EQ(members[1].value, 0);
    EXPECT_EQ(members[2].value, 1);
    EXPECT_EQ(outsider.value, 5);
    EXPECT_EQ(root.commands, std::vector<epiFourCC>{ids[0]});
    EXPECT_EQ(root.getHitIndex(), -1);
    EXPECT_EQ(root.getGroupSelection(ids[1]), 2);
    root.selectInGroupOf(ids[0], 1, 1, false);
    EXPECT_EQ(root.getGroupSelection(ids[2]), 1);
    EXPECT_EQ(root.commands.size(), 1u);
    EXPECT_EQ(root.getGroupSelection(epiCode("none")), 0);
}

TEST(Ubo, AfterAnyAddsAndRemovesEveryIndexEqualsItsPosition)
{
    TestContainer root;
    std::vector<TestWidget> pool(24);
    unsigned seed = 12345;
    for (int step = 0; step < 400; ++step) {
        seed = seed * 1103515245u + 12345u;
        TestWidget& widget = pool[(seed >> 8) % pool.size()];
        if ((seed >> 20) & 1)
            root.addChild(&widget);
        else
            root.removeChild(&widget);
        for (int i = 0; i < root.childCount(); ++i)
            ASSERT_EQ(root.childAt(i)->getIndex(), i) << "step " << step;
    }
    EXPECT_FALSE(root.addChild(&pool[0]) && root.addChild(&pool[0])); // no duplicates
    EXPECT_FALSE(root.addChild(nullptr));
    TestWidget leaf, grandChild;
    EXPECT_FALSE(leaf.addChild(&grandChild)); // a plain object takes no children
}

TEST(Ubo, InvalidationIsClippedByEveryAncestor)
{
    TestContainer root;
    root.setRect(epiRect(0, 0, 300, 300));
    TestPanel middle;
    root.addChild(&middle);
    middle.setRect(epiRect(10, 10, 60, 60));
    TestWidget leaf;
    middle.addChild(&leaf);
    leaf.setRect(epiRect(40, 40, 70, 70));
    root.invalidated.clear();

    leaf.redraw();
    ASSERT_EQ(root.invalidated.size(), 1u);
    EXPECT_TRUE(frameIs(root.invalidated[0], 50, 50, 60, 60));
    EXPECT_TRUE(frameIs(leaf.clipToVisible(leaf.getBounds()), 0, 0, 10, 10));
    // Entirely outside an ancestor: nothing to repaint.
    leaf.invalidate(epiRect(20, 20, 25, 25));
    EXPECT_EQ(root.invalidated.size(), 1u);
}

TEST(Ubo, HorizontalAndVerticalLinesAreClipped)
{
    TestContainer root;
    TestWidget child;
    root.addChild(&child);
    child.setRect(epiRect(10, 10, 60, 60));
    const epiRect clip(0, 0, 20, 20);
    const struct {
        int x1, y1, x2, y2;
        bool drawn;
        epiRect expected; // in the root's coordinates
    } cases[] = {
        {5, -5, 5, 30, true, {15, 10, 15, 29}},
        {20, 0, 20, 10, false, {}},
        {-1, 0, -1, 10, false, {}},
        {5, -10, 5, -1, false, {}},
        {5, 20, 5, 25, false, {}},
        {5, -3, 5, 19, true, {15, 10, 15, 29}},
        {-5, 19, 100, 19, true, {10, 29, 29, 29}},
        {0, 20, 10, 20, false, {}},
        {25, 5, 30, 5, false, {}},
        {0, 0, 100, 100, true, {10, 10, 110, 110}}, // diagonal: unclipped
    };
    for (const auto& c : cases) {
        root.lines.clear();
        child.drawLine(c.x1, c.y1, c.x2, c.y2, clip, epiColor());
        ASSERT_EQ(root.lines.size(), c.drawn ? 1u : 0u) << c.x1 << "," << c.y1;
        if (c.drawn) {
            EXPECT_TRUE(frameIs(root.lines[0], c.expected.left, c.expected.top, c.expected.right,
                                c.expected.bottom))
                << c.x1 << "," << c.y1;
        }
    }
}

TEST(Ubo, CaptureTrackingAndTheKeyTargetStack)
{
    TestContainer root;
    TestPanel middle;
    TestWidget leaf, sibling;
    root.addChild(&middle);
    middle.addChild(&leaf);
    middle.addChild(&sibling);
    TestListener listener;
    leaf.registerListener(epiCode("sFoc"), &listener, 0);

    leaf.captureMe();
    EXPECT_EQ(middle.getCapturedChild(), &leaf);
    EXPECT_EQ(root.getCapturedChild(), &middle);
    EXPECT_EQ(listener.heard, std::vector<epiFourCC>{epiCode("sFoc")});
    root.onMouseDown({500, 500}); // outside everything, yet captured
    EXPECT_EQ(leaf.presses.size(), 1u);
    leaf.releaseCapture();
    EXPECT_EQ(middle.getCapturedChild(), nullptr);
    EXPECT_EQ(root.getCapturedChild(), nullptr);

    leaf.beginTracking();
    EXPECT_EQ(leaf.getTrackingCount(), 1);
    EXPECT_EQ(middle.getTrackingCount(), 1);
    EXPECT_EQ(root.getTrackingCount(), 1);
    root.onMouseMove({1, 1});
    EXPECT_EQ(leaf.trackedMoves, 1);
    EXPECT_EQ(sibling.trackedMoves, 1);
    leaf.endTracking();
    leaf.endTracking(); // never below zero
    EXPECT_EQ(root.getTrackingCount(), 0);
    root.onMouseMove({1, 1});
    EXPECT_EQ(leaf.trackedMoves, 1);

    leaf.requestKeyFocus();
    EXPECT_EQ(root.getKeyTarget(), &leaf);
    root.dispatchKeyDown(65);
    EXPECT_EQ(leaf.keys, std::vector<int>{65});
    middle.setKeyTarget(&sibling);
    EXPECT_EQ(root.getKeyTarget(), &sibling);
    root.dispatchKeyDown(66);
    EXPECT_EQ(sibling.keys, std::vector<int>{66});
    sibling.releaseKeyFocus();
    EXPECT_EQ(root.getKeyTarget(), nullptr);
    root.dispatchKeyDown(67);
    EXPECT_EQ(leaf.keys.size(), 1u);
    EXPECT_EQ(sibling.keys.size(), 1u);
}

TEST(Ubo, LifeCycleBroadcastsComeInTheirOrder)
{
    TestContainer root;
    TestWidget child;
    TestListener listener;
    for (epiFourCC key : {epiCode("uCrt"), epiCode("uDsr"), epiCode("boCh")})
        child.registerListener(key, &listener, 0);
    ASSERT_TRUE(root.addAndCreate(&child));
    EXPECT_EQ(child.events, (std::vector<std::string>{"create", "open", "ready"}));
    EXPECT_TRUE(child.isVisible());
    child.setRect(epiRect(1, 2, 3, 4));
    child.exit();
    EXPECT_EQ(listener.heard,
              (std::vector<epiFourCC>{epiCode("uCrt"), epiCode("boCh"), epiCode("uDsr")}));
    EXPECT_EQ(root.childCount(), 0);
    // Closing forgot the 'uDsr' listeners.
    child.close();
    EXPECT_EQ(listener.heard.size(), 3u);
}

TEST(Ubo, FormattedTextsTakeTheirWholeLength)
{
    TestContainer root;
    TestWidget child;
    root.addChild(&child);
    child.setId(epiCode("long"));
    const std::string long5000(5000, 'x');
    child.formatText("%s|%d", long5000.c_str(), 42);
    EXPECT_EQ(child.getText().str(), long5000 + "|42");
    root.formatChildText(epiCode("long"), "<%s>", long5000.c_str());
    EXPECT_EQ(child.getText().str().size(), 5002u);
}

TEST(Ubo, HitsBubbleAndRunTheIdsAsCommands)
{
    TestContainer root;
    TestPanel panel;
    TestWidget button;
    root.addChild(&panel);
    panel.addChild(&button);
    panel.setId(epiCode("panl"));
    button.setId(epiCode("clos"));
    TestListener listener;
    button.registerListener(epiCode("iHit"), &listener, 0);
    button.reportHit();
    EXPECT_EQ(listener.heard, std::vector<epiFourCC>{epiCode("iHit")});
    // The panel ran 'clos' (its own close), then reported itself to the root.
    EXPECT_EQ(root.commands, std::vector<epiFourCC>{epiCode("panl")});
    EXPECT_EQ(panel.getHitIndex(), -1);
}

TEST(Ubo, CoordinatesClimbTheTreeAndAspectFitsCentre)
{
    TestContainer root;
    TestPanel middle;
    TestWidget leaf;
    root.addChild(&middle);
    middle.addChild(&leaf);
    middle.setRect(epiRect(10, 20, 110, 120));
    leaf.setRect(epiRect(1, 2, 11, 12));
    EXPECT_TRUE(frameIs(leaf.localToRoot(leaf.getBounds()), 11, 22, 21, 32));
    EXPECT_TRUE(frameIs(leaf.rectToAncestor(leaf.getBounds(), &middle), 1, 2, 11, 12));
    EXPECT_TRUE(frameIs(leaf.rectUpLevels(leaf.getBounds(), 1), 1, 2, 11, 12));
    EXPECT_TRUE(leaf.pointUpLevels({0, 0}, 2).equals({11, 22}));
    EXPECT_TRUE(leaf.pointToAncestor({1, 1}, nullptr).equals({12, 23}));
    epiRect surfaceRect;
    EXPECT_EQ(leaf.findSurface(surfaceRect), &root);
    EXPECT_TRUE(frameIs(surfaceRect, -11, -22, -11 + root.getWidth(), -22 + root.getHeight()));

    TestWidget source, target;
    root.addChild(&source);
    root.addChild(&target);
    source.setId(epiCode("srce"));
    target.setId(epiCode("targ"));
    source.setRect(epiRect(0, 0, 200, 100));
    root.fitChildAspect(epiCode("targ"), epiCode("srce"), 1.0); // narrower than the source
    EXPECT_TRUE(frameIs(target.getFrame(), 50, 0, 150, 100));
    root.fitChildAspect(epiCode("targ"), epiCode("srce"), 4.0); // wider
    EXPECT_TRUE(frameIs(target.getFrame(), 0, 25, 200, 75));
}

} // namespace
