#include "WinTestSupport.h"

#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/gfx/epiDrawCommand.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/win/epiUiBitmapView.h"
#include "hostfw/win/epiUiDecorate.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/TempFolder.h"

namespace pui = platform::ui;
using test::win::addChild;
using test::win::LogWindow;
using test::win::PaintChild;
using test::win::WinApp;

namespace {

const char* kMarker = "<epi><version>4</version><signature>epiResourceFile</signature></epi>";
const char* kKids = "<epi><content><itemslist>"
                    "<item><name>kid1</name><kind>iCon</kind><position>1,2</position>"
                    "<size>10,10</size></item>"
                    "<item><name>kid2</name><kind>iBvw</kind><position>3,4</position>"
                    "<size>5,5</size></item>"
                    "</itemslist></content></epi>";
const char* kPanel = "<epi><content><name>panl</name><position>0,0</position><size>200,100</size>"
                     "<itemslist><item><name>box1</name><kind>iCon</kind><position>5,5</position>"
                     "<size>50,50</size><attributes><attribute><name>chil</name>"
                     "<value>kids.xml</value></attribute></attributes></item>"
                     "<item><name>box2</name><kind>iSco</kind><position>60,5</position>"
                     "<size>50,50</size><attributes><attribute><name>chil</name>"
                     "<value>none.xml</value></attribute></attributes></item>"
                     "</itemslist></content></epi>";

struct ContainersTest : ::testing::Test {
    void SetUp() override
    {
        temp.write("Rig.frs/epi.frs", kMarker);
        temp.write("Rig.frs/layouts/kids.xml", kKids);
        temp.write("Rig.frs/layouts/panel.xml", kPanel);
        temp.write("Rig.frs/fonts/fontsystem_Aria.xml",
                   "<epi><content><allplatforms><family>Arial</family><size>8</size><bold>0"
                   "</bold><italic>0</italic><kerning>0</kerning></allplatforms></content></epi>");
        ASSERT_TRUE(app.getResources()->openSourceFile(epiPath(temp.path("Rig.frs"))));
        window = new LogWindow;
        window->enableReferenceCount();
        window->setAttribute(epiCode("aupo"), 0);
        window->setRect(epiRect(0, 0, 200, 100));
        window->openAs(&app, epiCode("wind"));
        surface = new epiUiBitmapViewContainer;
        epiColor white;
        white.setWhite();
        surface->setBackground(white);
        addChild(*window, surface, epiRect(0, 0, 200, 100));
        app.settle();
    }
    std::uint32_t pixel(int x, int y) { return surface->getSurface()->getPixel(x, y) & 0xFFFFFF; }

    testsupport::TempFolder temp;
    WinApp app;
    LogWindow* window = nullptr;
    epiUiBitmapViewContainer* surface = nullptr;
};

TEST_F(ContainersTest, ChildLayoutsLoadAtCreationOrAtOnceWhenOpenAndMissingOnesGiveNothing)
{
    ASSERT_TRUE(window->loadLayout("panel.xml"));
    epiUbo* box1 = window->findChild(epiCode("box1"));
    epiUbo* box2 = window->findChild(epiCode("box2"));
    ASSERT_TRUE(box1 && box2);
    EXPECT_EQ(box1->childCount(), 2);
    EXPECT_EQ(box1->childAt(0)->getKind(), epiCode("iCon"));
    EXPECT_TRUE(box1->childAt(1)->getFrame().equalsEdges(3, 4, 8, 9));
    EXPECT_EQ(box2->childCount(), 0);

    // Set on an open container, the document loads at once.
    auto* late = addChild(*window, new epiUiContainer, epiRect(0, 0, 50, 50));
    late->setAttributeText(epiCode("chil"), epiText("kids.xml"));
    EXPECT_EQ(late->childCount(), 2);
    epiText name;
    EXPECT_TRUE(late->getAttributeText(epiCode("chil"), name));
    EXPECT_EQ(name.str(), "kids.xml");
    late->setAttributeText(epiCode("chil"), epiText("missing.xml"));
    EXPECT_EQ(late->childCount(), 2);
}

TEST_F(ContainersTest, DisabledContainerKeepsPressesFromItsChildren)
{
    auto* box = addChild(*window, new epiUiContainer, epiRect(0, 0, 100, 100));
    auto* child = addChild(*box, new PaintChild, epiRect(0, 0, 50, 50));
    box->setEnabled(false);
    box->onMouseDown(epiPoint(5, 5));
    EXPECT_TRUE(child->log.empty());
    box->setEnabled(true);
    box->onMouseDown(epiPoint(5, 5));
    EXPECT_EQ(child->log, (std::vector<std::string>{"down 5,5"}));
}

TEST_F(ContainersTest, NestedLocksDrawNothingUntilTheLastReleaseDrawsTheUnion)
{
    auto* child = addChild(*surface, new PaintChild, epiRect(0, 0, 200, 100));
    const int before = child->draws;
    surface->lockRedraw(true);
    child->lockRedraw(true); // reaches the container through the tree
    EXPECT_EQ(surface->lockCount(), 2);
    child->invalidate(epiRect(10, 10, 20, 20));
    child->invalidate(epiRect(50, 40, 60, 45));
    surface->lockRedraw(false);
    EXPECT_EQ(child->draws, before);
    surface->lockRedraw(false);
    ASSERT_EQ(child->draws, before + 1);
    EXPECT_TRUE(child->clips.back().equalsEdges(10, 10, 60, 45));

    // Only the geometry changed: all of it is drawn.
    surface->lockRedraw(true);
    surface->setRect(surface->getFrame());
    surface->lockRedraw(false);
    ASSERT_EQ(child->draws, before + 2);
    EXPECT_TRUE(child->clips.back().equalsEdges(0, 0, 200, 100));
    // A release without a lock changes nothing.
    surface->lockRedraw(false);
    EXPECT_EQ(surface->lockCount(), 0);
}

TEST_F(ContainersTest, TopEdgeAloneDrawsOneLineOfWidthOneAcrossTheTop)
{
    auto* decorated = new epiUiDecorate;
    decorated->setAttributeText(epiCode("frnd"), epiText("1"));
    decorated->setAttributeText(epiCode("frof"), epiText("255,0,0"));
    addChild(*surface, decorated, epiRect(20, 30, 80, 60));
    EXPECT_EQ(pixel(20, 30), 0xFF0000u);
    EXPECT_EQ(pixel(50, 30), 0xFF0000u);
    EXPECT_EQ(pixel(78, 30), 0xFF0000u);
    EXPECT_EQ(pixel(50, 31), 0xFFFFFFu);
    EXPECT_EQ(pixel(50, 29), 0xFFFFFFu);
    EXPECT_EQ(pixel(20, 45), 0xFFFFFFu); // no left edge
    EXPECT_EQ(pixel(50, 59), 0xFFFFFFu); // no bottom edge
    // The on look has no colour set: switching to it draws no frame.
    decorated->setValue(1);
    EXPECT_EQ(pixel(50, 30), 0xFFFFFFu);
}

TEST_F(ContainersTest, ScrolledContainerShiftsItsContent)
{
    auto* scroller = addChild(*surface, new epiUiScrollableContainer, epiRect(20, 0, 120, 50));
    addChild(*scroller, new PaintChild(0xFF0000FF), epiRect(15, 10, 17, 12));
    EXPECT_EQ(pixel(35, 10), 0x0000FFu);
    epiPoint scroll(10, 0);
    scroller->notify(epiCode("scXY"), &scroll, nullptr);
    EXPECT_EQ(pixel(20 + 5, 10), 0x0000FFu);
    EXPECT_EQ(pixel(35, 10), 0xFFFFFFu);
    scroller->notify(epiCode("scrY"), reinterpret_cast<void*>(std::intptr_t{5}), nullptr);
    EXPECT_EQ(pixel(25, 5), 0x0000FFu);
    // A press in the parent reaches the content where it is drawn.
    auto* target = static_cast<PaintChild*>(scroller->childAt(0));
    scroller->parentMouseDown(epiPoint(25, 5));
    EXPECT_EQ(target->log, (std::vector<std::string>{"down 0,0"}));
}

TEST_F(ContainersTest, BitmapViewKeepsItsSurfaceForTheSameSizeOnly)
{
    auto* view = addChild(*window, new epiUiBitmapView, epiRect(0, 0, 30, 20));
    epiColor red;
    red.setPacked(0xFFFF0000);
    view->getSurface()->setPixel(3, 3, red);
    view->setRect(epiRect(5, 5, 35, 25));
    EXPECT_EQ(view->getSurface()->getPixel(3, 3), 0xFFFF0000u);
    view->setRect(epiRect(5, 5, 45, 25));
    EXPECT_EQ(view->getSurface()->getWidth(), 40);
    EXPECT_EQ(view->getSurface()->getPixel(3, 3), 0u);
}

TEST_F(ContainersTest, RepaintAfterTheFirstDrawCopiesTheSurfaceWithoutDrawingTheChildren)
{
    auto* fresh = new epiUiBitmapViewContainer;
    auto* child = new PaintChild(0xFF00FF00);
    // Built before it is shown: its first draw comes from the window's paint.
    fresh->enableReferenceCount();
    fresh->setRect(epiRect(10, 10, 60, 40));
    ASSERT_TRUE(window->addChild(fresh));
    fresh->create();
    addChild(*fresh, child, epiRect(0, 0, 50, 30));
    fresh->setVisible(true, true);
    window->redraw();
    app.settle();
    const int afterFirstDraw = child->draws;
    auto& screen = static_cast<pui::HeadlessWindow&>(*window->hostWindow());
    EXPECT_EQ(screen.screen()[20 * 200 + 20], 0x00FF00u);
    window->redraw();
    app.settle();
    EXPECT_EQ(child->draws, afterFirstDraw);
    EXPECT_EQ(screen.screen()[20 * 200 + 20], 0x00FF00u);
}

TEST_F(ContainersTest, SystemContainerDrawsIntoTheWindowAndMovingRepaintsBothAreas)
{
    auto* group = new epiUiSystemContainer;
    group->setAttribute(epiCode("Grup"), 1);
    addChild(*window, group, epiRect(100, 10, 150, 60));
    addChild(*group, new PaintChild(0xFF0000FF), epiRect(10, 10, 20, 20));
    EXPECT_EQ(group->nativeHandle(), window->nativeHandle());
    app.settle();
    auto& screen = static_cast<pui::HeadlessWindow&>(*window->hostWindow());
    EXPECT_EQ(screen.screen()[25 * 200 + 115], 0x0000FFu);
    EXPECT_EQ(screen.screen()[59 * 200 + 120], 0xA0A0A0u); // the group box's frame
    group->moveToXY(120, 10);
    app.settle();
    EXPECT_EQ(screen.screen()[25 * 200 + 115], 0xFFFFFFu);
    EXPECT_EQ(screen.screen()[25 * 200 + 135], 0x0000FFu);
}

// A child that draws whatever the test gives it.
struct DrawChild : epiUbo {
    explicit DrawChild(std::function<void(epiUbo&)> paint) : paint(std::move(paint)) {}
    void draw(const epiRect&) override { paint(*this); }
    std::function<void(epiUbo&)> paint;
};

TEST_F(ContainersTest, ShapesAndSystemTextLandOnWhicheverSurfaceOwnsThem)
{
    epiColor blue, black;
    blue.setPacked(0xFF0000FF);
    black.setBlack();
    float measured = 0.0f;
    int fontWidth = 0;
    const auto paint = [&](epiUbo& self) {
        self.drawText(epiCode("Aria"), 0, epiRect(0, 40, 60, 60), self.getBounds(), "Ready", black);
        fontWidth = self.measureText(epiCode("Aria"), 0, "Ready");
        self.fillOval(epiRect(0, 0, 20, 20), self.getBounds(), blue);
        self.drawSystemText("Ready", 14, "DejaVu Sans", epiRect(0, 20, 60, 40), black, 0);
        epiDrawCommand measure;
        measure.command = epiCode("ntxL");
        measure.text.assign("Ready");
        measure.family.assign("DejaVu Sans");
        measure.fontSize = 14;
        self.drawShape(measure);
        measured = measure.measuredWidth;
    };
    // Inside the bitmap view container, and straight in the window.
    addChild(*surface, new DrawChild(paint), epiRect(10, 10, 70, 70));
    EXPECT_EQ(pixel(20, 20), 0x0000FFu);
    EXPECT_EQ(pixel(11, 11), 0xFFFFFFu);
    int inked = 0;
    for (int y = 30; y < 50; ++y)
        for (int x = 10; x < 70; ++x)
            inked += pixel(x, y) != 0xFFFFFFu;
    EXPECT_GT(inked, 20);
    EXPECT_GT(measured, 20.0f);
    EXPECT_LT(measured, 60.0f);
    int fontInk = 0;
    for (int y = 50; y < 70; ++y)
        for (int x = 10; x < 70; ++x)
            fontInk += pixel(x, y) != 0xFFFFFFu;
    EXPECT_GT(fontInk, 10);
    EXPECT_GT(fontWidth, 15);
    EXPECT_LT(fontWidth, 60);

    auto* direct = new epiUiContainer;
    addChild(*window, direct, epiRect(120, 10, 180, 70));
    addChild(*direct, new DrawChild(paint), epiRect(0, 0, 60, 60));
    fontWidth = 0;
    app.settle();
    auto& screen = static_cast<pui::HeadlessWindow&>(*window->hostWindow());
    EXPECT_EQ(screen.screen()[20 * 200 + 130], 0x0000FFu);
    EXPECT_GT(fontWidth, 15);
    int windowInk = 0;
    for (int y = 50; y < 70; ++y)
        for (int x = 120; x < 180; ++x)
            windowInk += screen.screen()[static_cast<std::size_t>(y * 200 + x)] != 0xFFFFFFu;
    EXPECT_GT(windowInk, 10);
}

} // namespace
