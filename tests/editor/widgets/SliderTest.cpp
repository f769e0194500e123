// The slider: steps, handle hits, reset, bounds and the handle's place.
#include <limits>

#include "editor/widgets/Slider.h"
#include "tests/editor/widgets/WidgetFixture.h"

using namespace test::widgets;

namespace {

constexpr std::uint32_t kBack = 0x3050A0, kHandle = 0xE0C010;

struct Values {
    explicit Values(Widgets::Slider* slider)
    {
        slider->valueChanged.connect([this](Widgets::Slider*, float v) { seen.push_back(v); });
    }
    std::vector<float> take() { return std::exchange(seen, {}); }
    std::vector<float> seen;
};

} // namespace

class SliderTest : public WidgetFixture {
protected:
    // A horizontal slider at (10, 10): track 50 x 10, handle 10 x 10, so 40
    // pixels of travel.
    Widgets::Slider* horizontal(float minimum, float maximum, bool smooth = false)
    {
        return new Widgets::Slider(root.get(), Point{10, 10}, back.get(), handle.get(), minimum,
                                   maximum, false, smooth);
    }
    // A press on the handle and moves the given pixels right of the press.
    void drag(int handleX, std::vector<int> rights, int modifiers = 0)
    {
        native->mouseDown(10 + handleX + 1, 12, 1, 1 | modifiers);
        for (int right : rights)
            native->mouseMove(10 + handleX + 1 + right, 12, 1);
        native->mouseUp(0, 0, 1, 0);
        window->pump();
    }

    std::unique_ptr<Graphics::Bitmap> back = solid(50, 10, kBack);
    std::unique_ptr<Graphics::Bitmap> handle = solid(10, 10, kHandle);
};

TEST_F(SliderTest, WithoutSmoothADragGivesWholeNumbersAndStopsAtTheEnds)
{
    auto* slider = horizontal(0.0f, 10.0f);
    Values values(slider);
    open();
    EXPECT_EQ(slider->getValue(), 0.0f);
    // 4 pixels per unit; 6 pixels is 1.5, truncated to 1 and not reported again.
    drag(0, {4, 6, 8, 100, 200, 300});
    EXPECT_EQ(values.take(), (std::vector<float>{1.0f, 2.0f, 10.0f}));
    EXPECT_EQ(slider->handlePosition().x, 40);

    // Over [0, 1] a drag reaches only the ends; setValue stores what it gets.
    slider->setMinValue(0.0f);
    slider->setMaxValue(1.0f);
    slider->setValue(0.0f);
    values.take();
    drag(0, {20, 39, 40, 20});
    EXPECT_EQ(values.take(), (std::vector<float>{1.0f, 0.0f}));
    slider->setValue(0.5f);
    EXPECT_EQ(slider->getValue(), 0.5f);
    slider->setValue(20.0f); // not clamped
    EXPECT_EQ(slider->getValue(), 20.0f);

    // Smooth: any value.
    auto* smooth = horizontal(0.0f, 1.0f, true);
    smooth->setPosition({10, 40});
    Values smoothValues(smooth);
    native->mouseDown(11, 42, 1, 1);
    native->mouseMove(21, 42, 1);
    window->pump();
    EXPECT_EQ(smoothValues.take(), (std::vector<float>{0.25f}));
}

TEST_F(SliderTest, OnlyTheHandleTakesAPressAndControlRestoresTheResetValue)
{
    auto* slider = horizontal(0.0f, 10.0f);
    Values values(slider);
    open();
    // Beside the handle: nothing, not even a jump.
    native->mouseDown(30, 12, 1, 1);
    native->mouseDown(30, 12, 1, 1 | Graphics::ControlDown);
    native->mouseMove(40, 12, 1);
    window->pump();
    EXPECT_FALSE(slider->hasCapture());
    EXPECT_EQ(values.take(), (std::vector<float>{}));

    native->mouseDown(12, 12, 1, 1 | Graphics::ControlDown);
    window->pump();
    EXPECT_EQ(values.take(), (std::vector<float>{5.0f}));
    EXPECT_FALSE(slider->hasCapture());
    slider->setResetValue(2.0f);
    native->mouseDown(31, 12, 1, 1 | Graphics::ControlDown); // the handle is at 20 now
    native->mouseDown(19, 12, 1, 1 | Graphics::ControlDown); // and now at 8
    window->pump();
    EXPECT_EQ(values.take(), (std::vector<float>{2.0f, 2.0f}));

    // New bounds re-centre silently.
    slider->setMinValue(4.0f);
    EXPECT_EQ(slider->getValue(), 7.0f);
    EXPECT_EQ(flush(), Rect{});
    EXPECT_EQ(values.take(), (std::vector<float>{}));
    slider->setValue(7.0f);
    EXPECT_EQ(flush(), Rect{});
    EXPECT_EQ(values.take(), (std::vector<float>{}));
}

TEST_F(SliderTest, TheHandleSitsOnTheTrackAndAtItsStartForAnEmptyRange)
{
    auto vBack = solid(10, 50, kBack);
    auto* vertical = new Widgets::Slider(root.get(), Point{70, 10}, vBack.get(), handle.get(), 0.0f,
                                         1.0f, true, true);
    auto* flat = horizontal(3.0f, 3.0f);
    open();

    const auto column = [this](int x) {
        std::string rows;
        for (int y = 10; y < 60; ++y)
            rows += pixel(x, y) == kHandle ? 'H' : pixel(x, y) == kBack ? '-' : '?';
        return rows;
    };
    vertical->setValue(1.0f);
    repaintAll();
    EXPECT_EQ(column(75), std::string(10, 'H') + std::string(40, '-'));
    vertical->setValue(0.0f);
    repaintAll();
    EXPECT_EQ(column(75), std::string(40, '-') + std::string(10, 'H'));

    // Equal bounds: at the start, whatever the value; values that are not
    // finite are ignored.
    flat->setValue(3.0f);
    flat->setValue(std::numeric_limits<float>::quiet_NaN());
    flat->setValue(std::numeric_limits<float>::infinity());
    EXPECT_EQ(flat->getValue(), 3.0f);
    EXPECT_EQ(flat->handlePosition().x, 0);
    repaintAll();
    EXPECT_EQ(pixel(10, 10), kHandle);
    EXPECT_EQ(pixel(20, 10), kBack);
    Values values(flat);
    drag(0, {10, 20}); // a zero span moves nothing
    EXPECT_EQ(flat->getValue(), 3.0f);
    EXPECT_EQ(values.take(), (std::vector<float>{}));

    // A handle as long as the track, and a slider without handle.
    auto* full = new Widgets::Slider(root.get(), Rect{10, 30, 10, 10}, nullptr, handle.get(), 0.0f,
                                     1.0f, false, true);
    native->mouseDown(12, 32, 1, 1);
    native->mouseMove(30, 32, 1);
    window->pump();
    EXPECT_TRUE(full->hasCapture());
    EXPECT_EQ(full->getValue(), 0.0f);
    auto* bare =
        new Widgets::Slider(root.get(), Point{10, 60}, nullptr, nullptr, 0.0f, 1.0f, false, true);
    EXPECT_EQ(bare->getSize().x, 0);
    bare->setSize({20, 10});
    native->mouseUp(0, 0, 1, 0);
    native->mouseDown(11, 61, 1, 1);
    window->pump();
    EXPECT_FALSE(bare->hasCapture());
}
