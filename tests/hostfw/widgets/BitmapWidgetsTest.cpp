#include "WidgetTestSupport.h"

#include "hostfw/widgets/epiUiBitmapWidgets.h"
#include "hostfw/widgets/epiWidgetKinds.h"

#include <gtest/gtest.h>

namespace {

struct BitmapWidgetsTest : ::testing::Test, WidgetFixture {
    template <typename W> W* make(const epiRect& frame = epiRect(10, 20, 110, 120))
    {
        return add(new W, frame);
    }
    epiRect onlySource(epiUbo* w)
    {
        const auto drawn = root.drawOf(w);
        EXPECT_EQ(drawn.size(), 1u);
        return drawn.empty() ? epiRect() : drawn[0].source;
    }
};

TEST_F(BitmapWidgetsTest, AFilmShowsOneFrameOfItsStrip)
{
    root.images.add("film", 100, 6400);
    auto* film = make<epiUiBitmapFilmImage>();
    film->setAttributeText(epiCode("irOf"), "film");
    film->setAttribute(epiCode("frms"), 64);
    EXPECT_EQ(onlySource(film), epiRect(0, 0, 100, 100));
    film->setValue(65);
    EXPECT_EQ(film->getValue(), 1);
    EXPECT_EQ(onlySource(film), epiRect(0, 100, 100, 200));
    film->setValue(-1);
    EXPECT_EQ(film->getValue(), 63);
    epiText text;
    EXPECT_TRUE(film->getAttributeText(epiCode("frms"), text));
    EXPECT_STREQ(text.getCStr(), "64");
    EXPECT_TRUE(film->getAttributeText(epiCode("irOf"), text));
    EXPECT_STREQ(text.getCStr(), "film");
}

TEST_F(BitmapWidgetsTest, DegenerateFilmsAndDraggersDrawAndDragSafely)
{
    // 'frms' 0 draws the whole image as one frame; 'uMin' equal to 'uMax'
    // and 'frms' 1 leave no span to divide by.
    root.images.add("film", 40, 400);
    struct Case {
        int frames;
        int uMin, uMax;
        epiRect expectedSource;
    };
    const Case cases[] = {
        {0, 0, 10000, epiRect(0, 0, 40, 400)},
        {1, 0, 10000, epiRect(0, 0, 40, 400)},
        {10, 5000, 5000, epiRect(0, 0, 40, 40)},
        {1, 5000, 5000, epiRect(0, 0, 40, 400)},
        {800, 0, 10000, epiRect()}, // frames under a pixel high: nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frames);
        auto* knob = make<epiUiBitmapRotary>();
        knob->setAttributeText(epiCode("irOf"), "film");
        knob->setAttribute(epiCode("Smoo"), 0);
        knob->setAttribute(epiCode("uMin"), c.uMin);
        knob->setAttribute(epiCode("uMax"), c.uMax);
        knob->setAttribute(epiCode("frms"), c.frames);
        knob->onMouseDown(epiPoint(5, 50));
        knob->onMouseDrag(epiPoint(5, 0));
        knob->onMouseUp(epiPoint(5, 90));
        knob->onMouseWheel(epiPoint(5, 5), 3);
        const auto drawn = root.drawOf(knob);
        if (c.expectedSource.isEmpty()) {
            EXPECT_TRUE(drawn.empty());
        } else {
            ASSERT_EQ(drawn.size(), 1u);
            if (c.frames <= 1 || c.uMin == c.uMax)
                EXPECT_EQ(drawn[0].source, c.expectedSource);
        }
        knob->exit();
    }
}

TEST_F(BitmapWidgetsTest, ARotaryDragsBySensitivityAndStepsByTheWheel)
{
    root.images.add("knob", 50, 3200);
    auto* knob = make<epiUiBitmapRotary>();
    knob->setAttributeText(epiCode("irOf"), "knob");
    knob->setAttribute(epiCode("frms"), 64);
    knob->setAttribute(epiCode("Smoo"), 0);
    knob->setAttribute(epiCode("Sens"), 250);
    knob->setValue(40);

    knob->onMouseDown(epiPoint(5, 50));
    EXPECT_EQ(root.getCapturedChild(), knob);
    knob->onMouseDrag(epiPoint(5, 46));
    EXPECT_FLOAT_EQ(knob->getBehaviour()->getValue(), 50.0f);
    knob->onMouseDrag(epiPoint(5, 54));
    EXPECT_FLOAT_EQ(knob->getBehaviour()->getValue(), 30.0f);
    knob->onMouseUp(epiPoint(5, 30));
    EXPECT_FLOAT_EQ(knob->getBehaviour()->getValue(), 90.0f);
    EXPECT_EQ(root.getCapturedChild(), nullptr);
    knob->onMouseWheel(epiPoint(5, 5), 2);
    EXPECT_EQ(knob->getValue(), 92);
    knob->onMouseWheel(epiPoint(5, 5), 20);
    EXPECT_EQ(knob->getValue(), 100);

    // The range maps onto frames 0-63.
    EXPECT_EQ(knob->epiUiBitmapFilmImage::getValue(), 63);
    EXPECT_EQ(onlySource(knob), epiRect(0, 63 * 50, 50, 64 * 50));
    knob->setValue(0);
    EXPECT_EQ(knob->epiUiBitmapFilmImage::getValue(), 0);
    knob->setValue(50);
    EXPECT_EQ(knob->epiUiBitmapFilmImage::getValue(), 31);
}

TEST_F(BitmapWidgetsTest, ARotaryAnimatesItsFrameWhenSmoothed)
{
    root.images.add("knob", 50, 1000);
    auto* knob = make<epiUiBitmapRotary>();
    knob->setAttributeText(epiCode("irOf"), "knob");
    knob->setAttribute(epiCode("frms"), 20);
    knob->setAttribute(epiCode("Smoo"), 200);
    knob->setValue(100);
    EXPECT_EQ(knob->epiUiBitmapFilmImage::getValue(), 0);
    turnAt(0.26);
    EXPECT_EQ(knob->epiUiBitmapFilmImage::getValue(), 9);
    turnAt(0.6);
    EXPECT_EQ(knob->epiUiBitmapFilmImage::getValue(), 19);
}

TEST_F(BitmapWidgetsTest, AVerticalScrollThumbStartsAtTheBottomAndFollowsTheDrag)
{
    root.images.add("thumb", 20, 10);
    root.images.add("thumbHeld", 20, 10);
    auto* bar = make<epiUiBitmapScroll>(epiRect(0, 0, 20, 110));
    bar->setAttribute(epiCode("Smoo"), 0);
    bar->setAttributeText(epiCode("irOf"), "thumb");
    bar->setAttributeText(epiCode("ipOf"), "thumbHeld");
    EXPECT_TRUE(bar->isVertical());
    EXPECT_EQ(bar->thumbRect(), epiRect(0, 100, 20, 110));

    // A press beside the thumb does nothing.
    bar->onMouseDown(epiPoint(5, 20));
    EXPECT_FALSE(bar->isThumbPressed());
    bar->onMouseDown(epiPoint(5, 105));
    EXPECT_TRUE(bar->isThumbPressed());
    EXPECT_EQ(root.drawOf(bar)[0].bitmap, bar->getFace(1));
    bar->onMouseDrag(epiPoint(5, 55)); // 50 pixels up: half way
    EXPECT_EQ(bar->getValue(), 50);
    EXPECT_EQ(bar->thumbRect(), epiRect(0, 50, 20, 60));
    bar->onMouseUp(epiPoint(5, 55));
    EXPECT_FALSE(bar->isThumbPressed());
    EXPECT_EQ(root.drawOf(bar)[0].bitmap, bar->getFace(0));

    // Lying down it runs from the left.
    auto* across = make<epiUiBitmapScroll>(epiRect(0, 0, 120, 10));
    across->setAttribute(epiCode("Smoo"), 0);
    across->setAttributeText(epiCode("irOf"), "thumb");
    EXPECT_FALSE(across->isVertical());
    across->setValue(100);
    EXPECT_EQ(across->thumbRect(), epiRect(100, 0, 120, 10));
}

TEST_F(BitmapWidgetsTest, ButtonsDrawTheFaceOfTheirState)
{
    const char* names[] = {"rOff", "pOff", "rOn", "pOn", "dis"};
    for (const char* name : names)
        root.images.add(name, 30, 20);
    auto* box = make<epiUiBitmapCheckBox>();
    const epiFourCC codes[] = {epiCode("irOf"), epiCode("ipOf"), epiCode("irOn"), epiCode("ipOn")};
    for (int i = 0; i < 4; ++i)
        box->setAttributeText(codes[i], names[i]);
    EXPECT_TRUE(box->hasPressedLook());
    EXPECT_EQ(root.drawOf(box)[0].bitmap, box->getFace(0));
    box->onMouseDown(epiPoint(2, 2));
    EXPECT_EQ(root.drawOf(box)[0].bitmap, box->getFace(1));
    box->onMouseUp(epiPoint(2, 2));
    EXPECT_EQ(box->getValue(), 1);
    EXPECT_EQ(root.drawOf(box)[0].bitmap, box->getFace(2));
    box->getBehaviour()->setPressed(true);
    EXPECT_EQ(root.drawOf(box)[0].bitmap, box->getFace(3));

    // Disabled without a disabled face: the face of its state; with one,
    // that face.
    auto* button = make<epiUiBitmapButton>();
    button->setAttributeText(epiCode("irOf"), "rOff");
    EXPECT_FALSE(button->hasPressedLook());
    button->setEnabled(false);
    EXPECT_EQ(root.drawOf(button)[0].bitmap, button->getFace(0));
    button->setAttributeText(epiCode("irDi"), "dis");
    EXPECT_EQ(root.drawOf(button)[0].bitmap, button->getFace(4));
    // An empty name changes nothing, a missing face draws nothing.
    button->setAttributeText(epiCode("irDi"), "");
    EXPECT_EQ(button->getFace(4), root.images.images["dis"].get());
    button->setEnabled(true);
    button->getBehaviour()->setChecked(true);
    EXPECT_TRUE(root.drawOf(button).empty());
}

TEST_F(BitmapWidgetsTest, AButtonWithoutAPressedFaceActivatesOnPress)
{
    root.images.add("face", 30, 20);
    auto* button = make<epiUiBitmapButton>();
    button->setAttributeText(epiCode("irOf"), "face");
    int hits = 0;
    struct Counter : epiUbo {
        int* hits;
        void onMessage(epiFourCC, epiUbo*, void*) override { ++*hits; }
    } counter;
    counter.hits = &hits;
    button->registerListener(epiCode("iHit"), &counter, 0);
    button->onMouseDown(epiPoint(2, 2));
    EXPECT_EQ(hits, 1);
    button->onMouseUp(epiPoint(2, 2));
    EXPECT_EQ(hits, 1);
    button->setAttributeText(epiCode("ipOf"), "face");
    button->onMouseDown(epiPoint(2, 2));
    EXPECT_EQ(hits, 1);
    button->onMouseUp(epiPoint(2, 2));
    EXPECT_EQ(hits, 2);
    button->unregisterListener(epiCode("iHit"), &counter);
}

TEST_F(BitmapWidgetsTest, FacesSizeAndRecentreTheFrame)
{
    root.images.add("face", 30, 20);
    auto* image = make<epiUiBitmapImage>(epiRect(10, 10, 110, 60));
    image->setAttributeText(epiCode("irOf"), "face");
    image->setAttribute(epiCode("autS"), 1);
    EXPECT_EQ(image->getFrame(), epiRect(10, 10, 40, 30));

    epiBitmap* wide = root.images.add("wide", 50, 10);
    image->notify(epiCode("ArOf"), reinterpret_cast<void*>(1), wide);
    EXPECT_EQ(image->getFace(0), wide);
    EXPECT_EQ(image->getFrame(), epiRect(0, 15, 50, 25)); // centre 25,20 kept
    image->notify(epiCode("ArOf"), reinterpret_cast<void*>(2), root.images.getImage("face"));
    EXPECT_EQ(image->getFrame(), epiRect(0, 15, 50, 25));

    // 'Face' picks by code or index; other values are ignored.
    image->setAttributeText(epiCode("ipOn"), "wide");
    image->notify(epiCode("Face"), reinterpret_cast<void*>(std::intptr_t(epiCode("ipOn"))),
                  nullptr);
    EXPECT_EQ(image->getCurrentFace(), 3);
    image->notify(epiCode("Face"), reinterpret_cast<void*>(1), nullptr);
    EXPECT_EQ(image->getCurrentFace(), 1);
    image->notify(epiCode("Face"), reinterpret_cast<void*>(7), nullptr);
    EXPECT_EQ(image->getCurrentFace(), 1);
}

TEST_F(BitmapWidgetsTest, TheCaptionTakesTheOffColourWhilePressed)
{
    root.images.add("face", 60, 20);
    root.images.add("held", 60, 20);
    auto* box = make<epiUiBitmapCheckBoxWithText>();
    box->setAttributeText(epiCode("irOf"), "face");
    box->setAttributeText(epiCode("ipOf"), "held");
    box->setAttributeText(epiCode("tCof"), "10,20,30");
    box->setAttributeText(epiCode("tCon"), "200,100,50,128");
    box->setAttributeText(epiCode("tCdi"), "90,90,90");
    box->setAttributeText(epiCode("teFo"), "sm12");
    box->setAttributeText(epiCode("teOx"), "4");
    box->setAttributeText(epiCode("teOy"), "-2");
    box->setAttributeText(epiCode("txAl"), "1");
    box->setTextCStr("Loop");

    root.drawOf(box);
    ASSERT_EQ(root.texts.size(), 1u);
    const WidgetRoot::Text text = root.texts[0];
    EXPECT_EQ(text.font, epiCode("sm12"));
    EXPECT_EQ(text.alignment, 1);
    EXPECT_EQ(text.text, "Loop");
    EXPECT_EQ(text.rect, epiRect(14, 18, 114, 118));
    EXPECT_EQ(text.colour.red, 200);
    EXPECT_EQ(text.colour.alpha, 128);

    box->onMouseDown(epiPoint(2, 2));
    root.drawOf(box);
    EXPECT_EQ(root.texts[0].colour.red, 10);
    box->onMouseUp(epiPoint(2, 2));
    box->setEnabled(false);
    root.drawOf(box);
    EXPECT_EQ(root.texts[0].colour.red, 90);
}

TEST_F(BitmapWidgetsTest, IconsSitCentredOnTheFace)
{
    root.images.add("face", 40, 20);
    epiBitmap* on = root.images.add("on", 10, 10);
    epiBitmap* off = root.images.add("off", 10, 10);
    auto* button = make<epiUiBitmapButtonWithIcon>(epiRect(0, 0, 40, 20));
    button->setAttributeText(epiCode("irOf"), "face");
    button->setAttributeText(epiCode("ipOf"), "face");
    button->setAttributeText(epiCode("IcOn"), "on");
    button->setAttributeText(epiCode("IcOf"), "off");
    auto drawn = root.drawOf(button);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1].bitmap, off);
    EXPECT_EQ(drawn[1].destination, epiRect(15, 5, 25, 15));
    button->onMouseDown(epiPoint(2, 2));
    EXPECT_EQ(root.drawOf(button)[1].bitmap, on);

    auto* check = make<epiUiBitmapCheckWithIcon>(epiRect(0, 0, 40, 20));
    check->setAttributeText(epiCode("irOf"), "face");
    check->setAttributeText(epiCode("IcOn"), "on");
    EXPECT_EQ(root.drawOf(check).size(), 1u); // both icons or none
    check->setAttributeText(epiCode("IcOf"), "off");
    drawn = root.drawOf(check);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1].bitmap, off);
    EXPECT_EQ(drawn[1].destination, epiRect(15, 4, 25, 14));
    check->setValue(1); // no 'irOn' face: the icon alone
    drawn = root.drawOf(check);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].bitmap, on);
}

TEST_F(BitmapWidgetsTest, TheFactoryMakesEveryKind)
{
    epiRegisterWidgetKinds();
    for (const char* kind : {"iBim", "iBfi", "iBrt", "iBrr", "iBsc", "iBbt", "iBck", "iBrd", "iBct",
                             "iBci", "iBbi", "iBlm"}) {
        const epiFourCC code = epiCode(*reinterpret_cast<const char(*)[5]>(kind));
        epiUbo* made = root.addNewChild(code, epiCode("wdgt"), 0, 0, 10, 10, 0, 0, "", true);
        EXPECT_EQ(made->getKind(), code) << kind;
        made->exit();
    }
    // The code-drawn widgets all answer the plain kind.
    for (const char* kind : {"iDim", "iDbt", "iDck", "iDkn", "iDlv"}) {
        const epiFourCC code = epiCode(*reinterpret_cast<const char(*)[5]>(kind));
        epiUbo* made = root.addNewChild(code, epiCode("wdgt"), 0, 0, 10, 10, 0, 0, "", true);
        EXPECT_EQ(made->getKind(), epiCode("ubob")) << kind;
        EXPECT_NE(made, root.getNullChild()) << kind;
        made->exit();
    }
}

TEST_F(BitmapWidgetsTest, TheLevelMeterJumpsUpAndFallsOnATimedTask)
{
    root.images.add("level", 20, 100);
    auto* meter = make<epiUiBitmapLevMeter>(epiRect(0, 0, 20, 100));
    meter->setAttributeText(epiCode("irOf"), "level");
    meter->setValue(50);
    EXPECT_EQ(onlySource(meter), epiRect(0, 50, 20, 100));
    const int expected[] = {40, 30, 20, 10, 0};
    for (int tick = 0; tick < 5; ++tick) {
        EXPECT_TRUE(meter->isFalling());
        turnAt(0.11 * (tick + 1)); // each tick due 0.1 s after the last ran
        EXPECT_EQ(meter->getValue(), expected[tick]);
    }
    EXPECT_FALSE(meter->isFalling());
    EXPECT_FALSE(app.hasTimedTasks(meter));
    EXPECT_TRUE(root.drawOf(meter).empty());

    meter->setValue(150);
    EXPECT_EQ(meter->getValue(), 100);
    EXPECT_EQ(onlySource(meter), epiRect(0, 0, 20, 100));
    // A lower value while high changes nothing; hiding stops the fall.
    meter->setValue(30);
    EXPECT_EQ(meter->getValue(), 100);
    meter->setVisible(false, true);
    EXPECT_FALSE(app.hasTimedTasks(meter));
}

TEST_F(BitmapWidgetsTest, TheLevelMeterShowsWholeBoxesAndNothingWithoutARange)
{
    root.images.add("level", 100, 100);
    auto* upright = make<epiUiBitmapLevMeter>(epiRect(0, 0, 10, 100));
    upright->setAttribute(epiCode("lmBx"), 8);
    upright->setValue(50);
    EXPECT_EQ(upright->shownRect(), epiRect(0, 51, 10, 100)); // 48 + 1 pixels
    auto* across = make<epiUiBitmapLevMeter>(epiRect(0, 0, 100, 10));
    across->setAttributeText(epiCode("irOf"), "level");
    across->setValue(25);
    EXPECT_EQ(across->shownRect(), epiRect(0, 0, 25, 10));
    EXPECT_EQ(onlySource(across), epiRect(0, 0, 25, 100)); // the image is taller

    across->setAttribute(epiCode("max_"), 0);
    EXPECT_TRUE(across->shownRect().isEmpty());
    EXPECT_TRUE(root.drawOf(across).empty());
    epiText text;
    EXPECT_TRUE(across->getAttributeText(epiCode("max_"), text));
    EXPECT_STREQ(text.getCStr(), "0");
}

} // namespace
