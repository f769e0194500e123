// The knob: frame choice, drag arithmetic, reset and bounds.
#include <cmath>
#include <limits>

#include "editor/widgets/Knob.h"
#include "tests/editor/widgets/WidgetFixture.h"

using namespace test::widgets;

namespace {

// Records every value a knob reports.
struct Values {
    explicit Values(Widgets::Knob* knob)
    {
        knob->valueChanged.connect([this](Widgets::Knob*, float v) { seen.push_back(v); });
    }
    std::vector<float> take() { return std::exchange(seen, {}); }
    std::vector<float> seen;
};

} // namespace

using KnobTest = WidgetFixture;

TEST_F(KnobTest, TheValueChoosesTheFrameByTruncationAndEmptyRangesShowFrameZero)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        int frameCount;
        std::vector<int> list;
        float minimum, maximum;
        std::vector<float> values;
        std::vector<int> frames;
    };
    const std::vector<Case> cases = {
        {"3 frames over [0, 1]", 3, {}, 0, 1, {0.49f, 0.5f, 0.999f, 1.0f, 0.0f}, {0, 1, 1, 2, 0}},
        {"a frame list", 10, {5, 7, 9}, 0, 0, {0, 1, 2, 1.5f}, {5, 7, 9, 7}},
        {"a one-entry list", 10, {4}, 0, 0, {0, 1}, {4, 4}},
        {"equal bounds", 3, {}, 0.5f, 0.5f, {0.5f, 2.0f}, {0, 0}},
        {"no frames", 0, {}, 0, 1, {0, 0.7f, 1}, {0, 0, 0}},
        {"a value that is not finite", 3, {}, 0, 1, {1.0f, nan, INFINITY, -INFINITY}, {2, 2, 2, 2}},
    };
    open();
    for (const Case& c : cases) {
        auto image = strip(4, 4, c.frameCount < 1 ? 1 : c.frameCount);
        Widgets::Knob* knob = c.list.empty()
                                  ? new Widgets::Knob(root.get(), Point{10, 10}, image.get(),
                                                      c.frameCount, c.minimum, c.maximum, 100)
                                  : new Widgets::Knob(root.get(), Point{10, 10}, image.get(),
                                                      c.frameCount, c.list, 100);
        EXPECT_EQ(knob->getSize().x, 4) << c.what;
        EXPECT_EQ(knob->getSize().y, 4) << c.what;
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            knob->setValue(c.values[i]);
            EXPECT_TRUE(std::isfinite(knob->getValue())) << c.what;
            repaintAll();
            EXPECT_EQ(frameAt(pixel(11, 11)), c.frames[i]) << c.what << ", value " << c.values[i];
            EXPECT_EQ(frameAt(pixel(13, 13)), c.frames[i]) << c.what << ", value " << c.values[i];
        }
        delete knob;
    }
}

TEST_F(KnobTest, DraggingSweepsTheRangeOverTheMouseRangeAndHalfWithShift)
{
    auto image = strip(4, 4, 3);
    auto* knob = new Widgets::Knob(root.get(), Point{10, 10}, image.get(), 3, 0.0f, 1.0f, 100);
    Values values(knob);
    open();
    // A press on the knob, then moves the given rows up from the press.
    const auto drag = [&](int modifiers, std::vector<int> ups) {
        native->mouseDown(11, 11, 1, 1 | modifiers);
        for (int up : ups)
            native->mouseMove(12, 11 - up, 1 | modifiers);
        native->mouseUp(12, 11 - ups.back(), 1, 0);
        window->pump();
    };

    knob->setValue(0.0f);
    values.take();
    drag(0, {50, 100, -50, 150, 400});
    // Up 50 px: half the range; 100 px: the whole; below and far above the
    // ends every move still reports the bound.
    EXPECT_EQ(values.take(), (std::vector<float>{0.5f, 1.0f, 0.0f, 1.0f, 1.0f}));

    knob->setValue(0.0f);
    values.take();
    drag(Graphics::ShiftDown, {100, 50});
    EXPECT_EQ(values.take(), (std::vector<float>{0.5f, 0.25f}));
    // A plain drag after a fine one is plain again.
    drag(0, {50});
    EXPECT_EQ(values.take(), (std::vector<float>{0.75f}));

    // Moves without a press, and a move back to the press row, do nothing.
    native->mouseMove(11, 20, 0);
    window->pump();
    drag(0, {0});
    EXPECT_EQ(values.take(), (std::vector<float>{}));
    EXPECT_FALSE(knob->hasCapture());
}

TEST_F(KnobTest, ResetBoundsAndUnchangedValues)
{
    auto image = strip(4, 4, 3);
    auto* knob = new Widgets::Knob(root.get(), Rect{10, 10, 4, 4}, image.get(), 3, 0.0f, 1.0f, 100);
    Values values(knob);
    open();
    EXPECT_EQ(knob->getValue(), 0.5f);

    // The current value: no signal, no repaint.
    knob->setValue(0.5f);
    EXPECT_EQ(flush(), Rect{});
    knob->setValue(7.0f);
    EXPECT_EQ(flush(), (Rect{10, 10, 4, 4}));
    EXPECT_EQ(values.take(), (std::vector<float>{1.0f}));

    // Control-click: the reset value, reported even when it is the value.
    for (int i = 0; i < 2; ++i) {
        native->mouseDown(11, 11, 1, 1 | Graphics::ControlDown);
        window->pump();
    }
    EXPECT_EQ(values.take(), (std::vector<float>{0.5f, 0.5f}));
    EXPECT_FALSE(knob->hasCapture());

    // A minimum above the value pulls it up; the reset value follows the
    // middle of the range, unless set afterwards.
    knob->setMinValue(0.7f);
    EXPECT_EQ(knob->getValue(), 0.7f);
    EXPECT_FLOAT_EQ(knob->getResetValue(), 0.85f);
    knob->setMaxValue(0.8f);
    EXPECT_FLOAT_EQ(knob->getResetValue(), 0.75f);
    knob->setResetValue(0.72f);
    knob->setMaxValue(std::numeric_limits<float>::quiet_NaN());
    knob->setMinValue(std::numeric_limits<float>::infinity());
    EXPECT_EQ(knob->getMinValue(), 0.7f);
    EXPECT_EQ(knob->getMaxValue(), 0.8f);
    EXPECT_EQ(knob->getResetValue(), 0.72f);
    EXPECT_EQ(values.take(), (std::vector<float>{0.7f}));

    // A mouse range of 0 makes every drag infinite: ignored.
    auto* still = new Widgets::Knob(root.get(), Point{40, 10}, image.get(), 3, 0.0f, 1.0f, 0);
    Values stillValues(still);
    native->mouseDown(41, 11, 1, 1);
    native->mouseMove(41, 5, 1);
    window->pump();
    EXPECT_EQ(stillValues.take(), (std::vector<float>{}));
    EXPECT_EQ(still->getValue(), 0.5f);
}

TEST_F(KnobTest, AnyColourButOpaqueWhiteModulatesTheStrip)
{
    auto image = strip(4, 4, 1);
    auto* plain = new Widgets::Knob(root.get(), Point{10, 10}, image.get(), 1, 0.0f, 1.0f, 100);
    auto* tinted = new Widgets::Knob(root.get(), Point{20, 10}, image.get(), 1, 0.0f, 1.0f, 100);
    tinted->setColor(0xFFFFFFFE);
    new Widgets::Knob(root.get(), Point{30, 10}, nullptr, 1, 0.0f, 1.0f, 100);
    open();
    repaintAll();
    EXPECT_EQ(pixel(11, 11), image->pixels[0] & 0xFFFFFFu);
    EXPECT_NE(pixel(21, 11), pixel(11, 11));
    EXPECT_NE(pixel(21, 11), kBackground);
    EXPECT_EQ(plain->getSize().x, 4);
}
