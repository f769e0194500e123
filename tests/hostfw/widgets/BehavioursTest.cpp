#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

struct BehavioursTest : ::testing::Test, WidgetFixture {
    template <typename B> BehaviourWidget* widget(bool pressedLook = true)
    {
        return add(new BehaviourWidget([] { return new B; }, pressedLook), epiRect(10, 10, 60, 40));
    }
    template <typename B> B* behaviourOf(epiUbo* w) { return dynamic_cast<B*>(w->getBehaviour()); }
};

// ------------------------------------------------------------------ draggers

TEST_F(BehavioursTest, DraggersMapValuesToPositions)
{
    struct Case {
        const char* name;
        std::vector<std::pair<epiFourCC, int>> attributes;
        float value;
        float expectedValue;
        int expectedPosition;
    };
    const Case cases[] = {
        {"50 on pixMax 63", {{epiCode("dMax"), 63}}, 50.0f, 50.0f, 31},
        {"the value is clamped to the range", {{epiCode("dMax"), 63}}, 150.0f, 100.0f, 63},
        {"'lMin' 20 keeps the value at 0.2", {{epiCode("lMin"), 20}}, 0.0f, 0.2f, 0},
        {"'lMax' 50 keeps the value at 0.5", {{epiCode("lMax"), 50}}, 3.0f, 0.5f, 0},
        {"'uMin' and 'uMax' set the range",
         {{epiCode("uMin"), 1000}, {epiCode("uMax"), 3000}},
         20.0f,
         20.0f,
         50},
        {"a negative range origin", {{epiCode("uMin"), -10000}}, 50.0f, 50.0f, 75},
        {"pixel range moved by 'dMin'",
         {{epiCode("dMin"), 20}, {epiCode("dMax"), 40}},
         50.0f,
         50.0f,
         30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BehaviourWidget* w = widget<epiUiBehaviourDragger>();
        for (const auto& [code, value] : c.attributes)
            w->setAttribute(code, value);
        epiUiBehaviour* b = w->getBehaviour();
        EXPECT_TRUE(b->setValue(c.value));
        EXPECT_FLOAT_EQ(b->getValue(), c.expectedValue);
        EXPECT_EQ(b->getPosition(), c.expectedPosition);
        w->exit();
    }
}

TEST_F(BehavioursTest, AValueWithinOnePositionStepChangesButDoesNotRedraw)
{
    BehaviourWidget* w = widget<epiUiBehaviourDragger>();
    w->setAttribute(epiCode("dMax"), 63);
    epiUiBehaviour* b = w->getBehaviour();
    EXPECT_TRUE(b->setValue(50.0f));
    const int redraws = w->stateChanges;
    EXPECT_TRUE(b->setValue(50.5f));
    EXPECT_FLOAT_EQ(b->getValue(), 50.5f);
    EXPECT_EQ(b->getPosition(), 31);
    EXPECT_EQ(w->stateChanges, redraws);
    // The same value again is no change at all.
    EXPECT_FALSE(b->setValue(50.5f));
    EXPECT_EQ(b->getValueInt(), 50);
}

TEST_F(BehavioursTest, LowerLimitHoldsWhateverTheRange)
{
    BehaviourWidget* w = widget<epiUiBehaviourDragger>();
    w->setAttribute(epiCode("lMin"), 20);
    epiUiBehaviour* b = w->getBehaviour();
    for (float v : {-5.0f, 0.0f, 0.1f, 0.19f}) {
        b->setValue(v);
        EXPECT_GE(b->getValue(), 0.2f) << v;
    }
    w->setAttribute(epiCode("uMin"), -500);
    b->setValue(-5.0f);
    EXPECT_FLOAT_EQ(b->getValue(), 0.2f);
}

TEST_F(BehavioursTest, FromPixelAndSetValueAgree)
{
    BehaviourWidget* w = widget<epiUiBehaviourDragger>();
    w->setAttribute(epiCode("dMax"), 63);
    epiUiBehaviour* b = w->getBehaviour();
    for (int px = 0; px <= 63; ++px) {
        b->setFromPixel(px);
        EXPECT_EQ(b->getPosition(), px);
        const float v = b->getValue();
        b->setValue(0.0f);
        b->setValue(v);
        EXPECT_EQ(b->getPosition(), px);
    }
    b->setFromPixel(-20);
    EXPECT_FLOAT_EQ(b->getValue(), 0.0f);
    b->setFromPixel(500);
    EXPECT_FLOAT_EQ(b->getValue(), 100.0f);
}

TEST_F(BehavioursTest, DegenerateSpansAndNaNsNeverReachAnInteger)
{
    // A film of one frame has no pixel span, equal 'uMin' and 'uMax' no value
    // span: every pixel means the minimum, every value the first position.
    BehaviourWidget* w = widget<epiUiBehaviourDragger>();
    epiUiBehaviour* b = w->getBehaviour();
    w->setAttribute(epiCode("dMax"), 0);
    EXPECT_TRUE(b->setValue(40.0f));
    EXPECT_EQ(b->getPosition(), 0);
    EXPECT_TRUE(b->setFromPixel(17));
    EXPECT_FLOAT_EQ(b->getValue(), 0.0f);

    w->setAttribute(epiCode("dMax"), 63);
    w->setAttribute(epiCode("uMin"), 5000);
    w->setAttribute(epiCode("uMax"), 5000);
    b->setFromPixel(30);
    EXPECT_FLOAT_EQ(b->getValue(), 50.0f);
    EXPECT_EQ(b->getPosition(), 0);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(b->setValue(nan));
    EXPECT_FLOAT_EQ(b->getValue(), 50.0f);
    w->setAttribute(epiCode("uMin"), 0);
    w->setAttribute(epiCode("uMax"), 10000);
    EXPECT_TRUE(b->setValue(inf));
    EXPECT_EQ(b->getPosition(), 63);
    EXPECT_TRUE(b->setValue(-inf));
    EXPECT_EQ(b->getPosition(), 0);
}

TEST_F(BehavioursTest, TriggeredStepsSelectAnIndexAndAnimateTowardItsPosition)
{
    BehaviourWidget* w = widget<epiUiBehaviourTriggeredDragger>();
    auto* b = behaviourOf<epiUiBehaviourTriggeredDragger>(w);
    w->setAttribute(epiCode("FrP0"), 0);
    w->setAttribute(epiCode("FrP1"), 10);
    w->setAttribute(epiCode("FrP2"), 30);
    EXPECT_EQ(b->steps(), (std::vector<std::int32_t>{0, 10, 30}));
    EXPECT_FLOAT_EQ(b->getMax(), 2.0f);

    EXPECT_TRUE(b->setValue(7.9f));
    EXPECT_EQ(b->getIndex(), 2);
    EXPECT_FLOAT_EQ(b->getValue(), 2.0f);
    EXPECT_EQ(b->getTargetPosition(), 30);
    EXPECT_TRUE(b->isAnimating());
    EXPECT_EQ(b->getPosition(), 0);
    // Smoothing 2.0 over the 0-100 range: 200 positions a second.
    turnAt(0.05); // the tick due at 0.04, 0.05 s into the run
    EXPECT_EQ(b->getPosition(), 10);
    turnAt(0.17);
    EXPECT_EQ(b->getPosition(), 30);
    EXPECT_FALSE(b->isAnimating());
    EXPECT_FALSE(b->setValue(2.0f));

    // A zero step after the first shortens the table.
    b->setStep(1, 0);
    EXPECT_EQ(b->steps(), (std::vector<std::int32_t>{0}));
    EXPECT_FLOAT_EQ(b->getMax(), 0.0f);
    b->setStep(3, 7);
    EXPECT_EQ(b->steps(), (std::vector<std::int32_t>{0, 0, 0, 7}));
    b->setStep(0, 5);
    EXPECT_EQ(b->steps(), (std::vector<std::int32_t>{5}));
}

// ----------------------------------------------------------------- smoothing

struct SmoothingTest : BehavioursTest {
    void SetUp() override
    {
        w = widget<epiUiBehaviourSmoothDragger>();
        b = behaviourOf<epiUiBehaviourSmoothDragger>(w);
        w->setAttribute(epiCode("Smoo"), 200);
    }
    BehaviourWidget* w = nullptr;
    epiUiBehaviourSmoothDragger* b = nullptr;
};

TEST_F(SmoothingTest, CrossesTheFullRangeInOneOverSmoothingSeconds)
{
    EXPECT_TRUE(b->setValue(100.0f));
    EXPECT_EQ(b->getPosition(), 0);
    std::vector<int> shown;
    for (int tick = 1; tick <= 14; ++tick) {
        turnAt(0.04 * tick + 0.001);
        shown.push_back(b->getPosition());
    }
    // 200 positions a second from the start at 0.
    EXPECT_EQ(shown[0], 8);
    EXPECT_EQ(shown[5], 48);
    EXPECT_EQ(shown[11], 96);
    EXPECT_EQ(shown[12], 100); // past 0.5 s: there
    EXPECT_FALSE(b->isAnimating());
    EXPECT_FALSE(app.getWindowManager()->isTickRunning());
}

TEST_F(SmoothingTest, ANewTargetOnTheOtherSideRestartsFromTheShownPosition)
{
    b->setValue(100.0f);
    turnAt(0.041);
    turnAt(0.081);
    turnAt(0.121);
    const int shown = b->getPosition();
    EXPECT_EQ(shown, 24);
    // Same side: the run goes on unchanged.
    b->setValue(90.0f);
    turnAt(0.161);
    EXPECT_EQ(b->getPosition(), 32);
    // Other side: back down from 32, timed from now.
    b->setValue(0.0f);
    turnAt(0.201);
    EXPECT_EQ(b->getPosition(), 24);
    turnAt(0.241);
    EXPECT_EQ(b->getPosition(), 16);
}

TEST_F(SmoothingTest, ZeroSmoothingJumpsAndStopsARunningAnimation)
{
    b->setValue(100.0f);
    turnAt(0.041);
    EXPECT_TRUE(b->isAnimating());
    w->setAttribute(epiCode("Smoo"), 0);
    b->setValue(30.0f);
    EXPECT_FALSE(b->isAnimating());
    EXPECT_EQ(b->getPosition(), 30);
    EXPECT_FALSE(app.getWindowManager()->isAnimated(b));
    turnAt(0.5);
    EXPECT_EQ(b->getPosition(), 30);
}

TEST_F(SmoothingTest, ExitStopsTheAnimation)
{
    b->setValue(100.0f);
    EXPECT_TRUE(app.getWindowManager()->isAnimated(b));
    w->exit();
    EXPECT_FALSE(app.getWindowManager()->isTickRunning());
    turnAt(0.5);
}

// ------------------------------------------------------------------- buttons

TEST_F(BehavioursTest, AButtonWithAPressedFaceActivatesOnReleaseInsideOnly)
{
    BehaviourWidget* w = widget<epiUiBehave_button>();
    epiUiBehaviour* b = w->getBehaviour();
    const epiPoint in(5, 5), out(200, 5);

    w->onMouseDown(in);
    EXPECT_TRUE(b->isPressed());
    EXPECT_EQ(root.getCapturedChild(), w);
    EXPECT_EQ(w->hits, 0);
    // Leaving and re-entering while pressed switches the look.
    w->onMouseDrag(out);
    EXPECT_FALSE(b->isPressed());
    w->onMouseDrag(in);
    EXPECT_TRUE(b->isPressed());
    w->onMouseUp(in);
    EXPECT_FALSE(b->isPressed());
    EXPECT_EQ(w->hits, 1);
    EXPECT_EQ(root.getCapturedChild(), nullptr);

    // Released outside: no activation.
    w->onMouseDown(in);
    w->onMouseDrag(out);
    w->onMouseUp(out);
    EXPECT_FALSE(b->isPressed());
    EXPECT_EQ(w->hits, 1);
}

TEST_F(BehavioursTest, AButtonWithoutAPressedFaceActivatesOnPress)
{
    BehaviourWidget* w = widget<epiUiBehave_button>(false);
    w->onMouseDown(epiPoint(5, 5));
    EXPECT_EQ(w->hits, 1);
    w->onMouseDrag(epiPoint(200, 5));
    w->onMouseUp(epiPoint(5, 5));
    EXPECT_EQ(w->hits, 1);
    EXPECT_FALSE(w->getBehaviour()->isPressed());
}

TEST_F(BehavioursTest, PressActivatesAndClearsTheLookAfterAFifthOfASecond)
{
    BehaviourWidget* w = widget<epiUiBehave_button>();
    epiUiBehaviour* b = w->getBehaviour();
    w->press();
    EXPECT_TRUE(b->isPressed());
    EXPECT_EQ(w->hits, 1);
    turnAt(0.15);
    EXPECT_TRUE(b->isPressed());
    turnAt(0.21);
    EXPECT_FALSE(b->isPressed());
}

TEST_F(BehavioursTest, ACheckBoxInvertsAndReports)
{
    BehaviourWidget* w = widget<epiUiBehave_checkBox>();
    const epiPoint in(5, 5);
    w->onMouseDown(in);
    w->onMouseUp(in);
    EXPECT_EQ(w->getValue(), 1);
    EXPECT_EQ(w->hits, 1);
    w->onMouseDown(in);
    w->onMouseUp(in);
    EXPECT_EQ(w->getValue(), 0);
    EXPECT_EQ(w->hits, 2);
}

TEST_F(BehavioursTest, ADisabledCheckBoxIgnoresPressesButTakesSetValue)
{
    BehaviourWidget* w = widget<epiUiBehave_checkBox>();
    w->setEnabled(false);
    const epiPoint in(5, 5);
    w->onMouseDown(in);
    w->onMouseUp(in);
    EXPECT_EQ(w->getValue(), 0);
    EXPECT_FALSE(w->getBehaviour()->isPressed());
    EXPECT_EQ(w->hits, 0);
    w->setValue(1);
    EXPECT_EQ(w->getValue(), 1);
}

TEST_F(BehavioursTest, ARadioSelectsInItsGroupThroughItsParent)
{
    std::vector<BehaviourWidget*> radios;
    for (int i = 0; i < 3; ++i) {
        radios.push_back(widget<epiUiBehave_radio>());
        radios.back()->setGroup(4, i);
    }
    BehaviourWidget* other = widget<epiUiBehave_radio>();
    other->setGroup(5, 0);
    other->setValue(1);
    radios[0]->setValue(1);

    radios[2]->onMouseDown(epiPoint(5, 5));
    radios[2]->onMouseUp(epiPoint(5, 5));
    EXPECT_EQ(radios[0]->getValue(), 0);
    EXPECT_EQ(radios[1]->getValue(), 0);
    EXPECT_EQ(radios[2]->getValue(), 1);
    EXPECT_EQ(other->getValue(), 1);
    // The group reports through its first member.
    EXPECT_EQ(radios[0]->hits, 1);
}

TEST_F(BehavioursTest, TheWidgetPassesItsEventsAndAttributesToItsBehaviour)
{
    // A release outside a button with a pressed face is passed on (the
    // behaviour cancels), the text attributes go through as numbers.
    BehaviourWidget* w = widget<epiUiBehaviourDragger>();
    w->setAttributeText(epiCode("dMax"), epiText("63"));
    w->getBehaviour()->setValue(50.0f);
    EXPECT_EQ(w->getBehaviour()->getPosition(), 31);
    EXPECT_EQ(w->getBehaviour()->getReferenceCount(), 1);
    EXPECT_EQ(w->getBehaviour()->getApplication(), &app);
}

} // namespace
