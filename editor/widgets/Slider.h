#pragma once

#include <boost/signals2/signal.hpp>

#include "editor/graphics/Bitmap.h"
#include "editor/widgets/Widget.h"

namespace Zq::Application::Widgets {

// A linear control: a handle dragged along a horizontal or vertical track
// over an optional background. A Control-click on the handle restores the
// reset value. Without a handle image it is never hit; values that are not
// finite are ignored.
class Slider : public GUI::Widget {
public:
    boost::signals2::signal<void(Slider*, float)> valueChanged;

    // Value 0, reset value at the middle of the range. Images are not owned;
    // the position-only form takes the back image's size (0 x 0 without).
    Slider(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* back,
           const Graphics::Bitmap* handle, float minimum, float maximum, bool vertical,
           bool smooth);
    Slider(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* back,
           const Graphics::Bitmap* handle, float minimum, float maximum, bool vertical,
           bool smooth);

    // Stored as given, not clamped.
    void setValue(float value);
    float getValue() const { return value_; }
    // Both put the value and the reset value at the new middle, silently.
    void setMinValue(float minimum);
    void setMaxValue(float maximum);
    void setResetValue(float value);
    float getMinValue() const { return minimum_; }
    float getMaxValue() const { return maximum_; }
    bool isVertical() const { return vertical_; }
    bool isSmooth() const { return smooth_; }
    // The handle's top-left in slider coordinates; at the track's start when
    // the range is empty.
    Point handlePosition();

    virtual void onPaint(GUI::Widget* widget, Graphics::Painter* painter, const Rect& dirty);
    virtual void onMouseMove(GUI::Widget* widget, const Point& point, int modifiers);
    virtual void onMouseDown(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onMouseUp(GUI::Widget* widget, const Point& point, int button, int modifiers);

private:
    Point handleSize() const;

    bool vertical_;
    bool smooth_;
    const Graphics::Bitmap* back_;
    const Graphics::Bitmap* handle_;
    float minimum_;
    float maximum_;
    float reset_;
    float value_ = 0.0f;
    Point press_{0, 0};
    float pressValue_ = 0.0f;
};

} // namespace Zq::Application::Widgets
