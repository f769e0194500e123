#include "WidgetTestSupport.h"

#include "hostfw/widgets/epiUiDynamicWidgets.h"
#include "hostfw/win/epiUiBitmapView.h"

#include <gtest/gtest.h>

namespace {

struct DynamicWidgetsTest : ::testing::Test, WidgetFixture {
    // A bitmap view the widgets draw into, white to start with.
    epiUiBitmapViewContainer* canvas(int width, int height)
    {
        auto* view = add(new epiUiBitmapViewContainer, epiRect(0, 0, width, height));
        view->create();
        epiColor white;
        white.setWhite();
        view->setBackground(white);
        return view;
    }
    template <typename W> W* put(epiUbo& parent, W* widget, const epiRect& frame)
    {
        widget->enableReferenceCount();
        parent.addChild(widget);
        widget->setRect(frame);
        widget->setVisible(true, false);
        return widget;
    }
    static std::uint32_t pixel(epiUiBitmapViewContainer* view, int x, int y)
    {
        view->getSurface()->fillRect(epiColor(0xFFFFFFFF), nullptr);
        view->invalidate(view->getBounds());
        return view->getSurface()->getPixel(x, y) & 0xFFFFFF;
    }
};

TEST_F(DynamicWidgetsTest, TheButtonReportsAtThePressAndTheCheckBoxTogglesOnPresses)
{
    struct Hits : epiUbo {
        int count = 0;
        void onMessage(epiFourCC, epiUbo*, void*) override { ++count; }
    } hits;
    auto* button = add(new epiUiDynamicButton, epiRect(0, 0, 40, 20));
    button->registerListener(epiCode("iHit"), &hits, 0);
    button->onMouseDown(epiPoint(3, 3));
    EXPECT_EQ(hits.count, 1);
    EXPECT_EQ(button->getValue(), 1);
    EXPECT_EQ(root.getCapturedChild(), button);
    button->onMouseUp(epiPoint(3, 3));
    EXPECT_EQ(hits.count, 1);
    EXPECT_EQ(button->getValue(), 0);
    button->unregisterListener(epiCode("iHit"), &hits);

    auto* box = add(new epiUiDynamicCheckBox, epiRect(0, 30, 40, 50));
    box->onReady();
    box->registerListener(epiCode("iHit"), &hits, 0);
    const int expected[] = {1, 0, 1};
    for (int state : expected) {
        box->onMouseDown(epiPoint(3, 3));
        EXPECT_EQ(box->getValue(), state);
        box->onMouseUp(epiPoint(3, 3));
        EXPECT_EQ(box->getValue(), state);
    }
    EXPECT_EQ(hits.count, 4);
    box->unregisterListener(epiCode("iHit"), &hits);
    EXPECT_EQ(box->getKind(), epiCode("ubob"));
}

TEST_F(DynamicWidgetsTest, TheKnobDragsByTwoAPixelWithinItsRange)
{
    auto* knob = add(new epiUiDynamicKnob, epiRect(0, 0, 41, 41));
    EXPECT_EQ(knob->getValue(), 500);
    knob->onMouseDown(epiPoint(20, 200));
    knob->onMouseDrag(epiPoint(20, 100));
    EXPECT_EQ(knob->getValue(), 700);
    knob->onMouseDrag(epiPoint(20, -300));
    EXPECT_EQ(knob->getValue(), 1000);
    knob->onMouseDrag(epiPoint(20, 900));
    EXPECT_EQ(knob->getValue(), 0);
    knob->onMouseUp(epiPoint(20, 900));
    knob->setValue(-5);
    EXPECT_EQ(knob->getValue(), 0);
}

TEST_F(DynamicWidgetsTest, TheKnobAtHalfPointsStraightUp)
{
    auto* view = canvas(41, 41);
    auto* knob = put(*view, new epiUiDynamicKnob, epiRect(0, 0, 41, 41));
    ASSERT_EQ(knob->getValue(), 500);
    // White needle above the centre, grey disc beside it and below.
    EXPECT_EQ(pixel(view, 20, 5), 0xFFFFFFu);
    EXPECT_EQ(pixel(view, 20, 12), 0xFFFFFFu);
    EXPECT_EQ(pixel(view, 15, 12), 0x646464u);
    EXPECT_EQ(pixel(view, 20, 30), 0x646464u);
    knob->setValue(1000); // lower right
    EXPECT_EQ(pixel(view, 20, 12), 0x646464u);
    EXPECT_GT(pixel(view, 28, 28) & 0xFF, 0xC0u); // a diagonal: smoothed, nearly white
}

TEST_F(DynamicWidgetsTest, AHorizontalMeterLightsWholeCells)
{
    auto* view = canvas(102, 12);
    auto* meter = put(*view, new epiUiDynamicLevelMeter, epiRect(0, 0, 102, 12));
    meter->setAttributeText(epiCode("ligh"), "255,0,0");
    meter->setAttributeText(epiCode("dark"), "0,0,255");
    meter->setAttributeText(epiCode("fram"), "0,255,0");
    ASSERT_EQ(meter->getValue(), 5);
    // r is 1..101: cells of 10, separators at 11, 21 ..., lit up to 51.
    EXPECT_EQ(pixel(view, 2, 5), 0xFF0000u);
    EXPECT_EQ(pixel(view, 50, 5), 0xFF0000u);
    EXPECT_EQ(pixel(view, 52, 5), 0x0000FFu);
    EXPECT_EQ(pixel(view, 11, 5), 0x00FF00u);
    EXPECT_EQ(pixel(view, 51, 5), 0x00FF00u);
    EXPECT_EQ(pixel(view, 0, 5), 0x00FF00u);
    // A value past the divisions lights them all and no more.
    meter->setValue(40);
    EXPECT_EQ(pixel(view, 99, 5), 0xFF0000u);
    EXPECT_EQ(pixel(view, 101, 5), 0x00FF00u);

    // Upright, the lit part rises from the bottom.
    auto* column = put(*view, new epiUiDynamicLevelMeter, epiRect(0, 0, 12, 12));
    column->setAttributeText(epiCode("ligh"), "255,0,0");
    column->setAttributeText(epiCode("divi"), "2");
    column->setValue(1);
    EXPECT_EQ(pixel(view, 5, 9), 0xFF0000u);
    EXPECT_EQ(pixel(view, 5, 3), 0x000000u);
}

TEST_F(DynamicWidgetsTest, ALookWithoutBevelAndFrameDrawsFillAndText)
{
    auto* image = add(new epiUiDynamicImage, epiRect(0, 0, 40, 20));
    image->setAttributeText(epiCode("unFs"), "0");
    image->setAttributeText(epiCode("unCc"), "1,2,3");
    image->setAttributeText(epiCode("unTf"), "sm12");
    image->setAttributeText(epiCode("unTp"), "3,-1");
    image->setAttributeText(epiCode("unTs"), "2");
    image->setAttributeText(epiCode("unTc"), "9,9,9");
    image->setTextCStr("Go");
    image->onReady();
    root.lines.clear();
    root.drawOf(image);
    EXPECT_TRUE(root.lines.empty());
    ASSERT_EQ(root.texts.size(), 1u);
    EXPECT_EQ(root.texts[0].font, epiCode("sm12"));
    EXPECT_EQ(root.texts[0].alignment, 2);
    EXPECT_EQ(root.texts[0].rect, epiRect(3, -1, 43, 19));
    EXPECT_EQ(root.texts[0].colour.blue, 9);

    // A bevel of two draws eight lines; the pressed look is its own.
    image->setAttributeText(epiCode("prBs"), "2");
    image->setValue(1);
    root.drawOf(image);
    EXPECT_EQ(root.lines.size(), 8u);
    EXPECT_EQ(root.lines[0], epiRect(1, 1, 1, 18)); // left edge inside a 1-pixel frame
}

TEST_F(DynamicWidgetsTest, ZeroRangesDrawTheFillAndFrameOnly)
{
    auto* view = canvas(60, 20);
    auto* knob = put(*view, new epiUiDynamicKnob, epiRect(0, 0, 20, 20));
    knob->setAttribute(epiCode("max_"), 0);
    knob->onMouseDown(epiPoint(5, 5));
    knob->onMouseDrag(epiPoint(5, 0));
    EXPECT_EQ(pixel(view, 10, 10), 0x646464u); // the disc, no needle
    EXPECT_EQ(knob->getValue(), 0);

    auto* meter = put(*view, new epiUiDynamicLevelMeter, epiRect(20, 0, 60, 20));
    meter->setAttributeText(epiCode("divi"), "0");
    meter->setAttributeText(epiCode("fram"), "0,255,0");
    EXPECT_EQ(pixel(view, 20, 10), 0x00FF00u);
    EXPECT_EQ(pixel(view, 40, 10), 0xFFFFFFu);
    meter->setAttributeText(epiCode("divi"), "-3");
    EXPECT_EQ(pixel(view, 40, 10), 0xFFFFFFu);
}

} // namespace
