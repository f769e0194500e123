#include "editor/widgets/Slider.h"

#include <cmath>

#include <boost/bind/bind.hpp>

#include "editor/graphics/KeyboardButtons.h"
#include "editor/graphics/Painter.h"
#include "editor/widgets/ValueChecks.h"

namespace Zq::Application::Widgets {

using namespace boost::placeholders;

namespace {
GUI::Widget::Rect backRect(const GUI::Widget::Point& position, const Graphics::Bitmap* back)
{
    return {position.x, position.y, back ? back->width : 0, back ? back->height : 0};
}
} // namespace

Slider::Slider(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* back,
               const Graphics::Bitmap* handle, float minimum, float maximum, bool vertical,
               bool smooth)
    : Widget(parent, rect), vertical_(vertical), smooth_(smooth), back_(back), handle_(handle),
      minimum_(minimum), maximum_(maximum), reset_((minimum + maximum) * 0.5f)
{
    auto& events = callbacks();
    events.paint.connect(boost::bind(&Slider::onPaint, this, _1, _2, _3));
    events.mouseMove.connect(boost::bind(&Slider::onMouseMove, this, _1, _2, _3));
    events.mouseDown.connect(boost::bind(&Slider::onMouseDown, this, _1, _2, _3, _4));
    events.mouseUp.connect(boost::bind(&Slider::onMouseUp, this, _1, _2, _3, _4));
}

Slider::Slider(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* back,
               const Graphics::Bitmap* handle, float minimum, float maximum, bool vertical,
               bool smooth)
    : Slider(parent, backRect(position, back), back, handle, minimum, maximum, vertical, smooth)
{
}

void Slider::setValue(float value)
{
    if (!std::isfinite(value) || value == value_)
        return;
    value_ = value;
    valueChanged(this, value_);
    invalidate();
}

void Slider::setMinValue(float minimum)
{
    if (!std::isfinite(minimum))
        return;
    minimum_ = minimum;
    reset_ = value_ = (minimum_ + maximum_) * 0.5f;
}

void Slider::setMaxValue(float maximum)
{
    if (!std::isfinite(maximum))
        return;
    maximum_ = maximum;
    reset_ = value_ = (minimum_ + maximum_) * 0.5f;
}

void Slider::setResetValue(float value)
{
    if (std::isfinite(value))
        reset_ = value;
}

Slider::Point Slider::handleSize() const
{
    return handle_ ? Point{handle_->width, handle_->height} : Point{0, 0};
}

Slider::Point Slider::handlePosition()
{
    const Point size = getSize();
    const Point hs = handleSize();
    const double span = static_cast<double>(maximum_) - minimum_;
    // An empty range has no place on the track: the handle stays at its
    // start instead of a 0 / 0 turned into a pixel.
    if (vertical_) {
        const double y =
            span > 0.0
                ? std::trunc((static_cast<double>(maximum_) - value_) * (size.y - hs.y) / span)
                : 0.0;
        return {pixelPosition(std::trunc(size.x / 2 - hs.x * 0.5)), pixelPosition(y)};
    }
    const double x =
        span > 0.0 ? std::trunc((static_cast<double>(value_) - minimum_) * (size.x - hs.x) / span)
                   : 0.0;
    return {pixelPosition(x), size.y / 2 - hs.y / 2};
}

void Slider::onPaint(GUI::Widget*, Graphics::Painter* painter, const Rect& dirty)
{
    if (back_)
        painter->drawBitmap(*back_, {dirty.x, dirty.y}, dirty);
    if (handle_)
        painter->drawBitmap(*handle_, handlePosition(), {0, 0, handle_->width, handle_->height});
}

void Slider::onMouseDown(GUI::Widget*, const Point& point, int, int modifiers)
{
    if (!handle_)
        return;
    const Point at = handlePosition();
    if (point.x < at.x || point.x >= at.x + handle_->width || point.y < at.y ||
        point.y >= at.y + handle_->height)
        return;
    if (modifiers & Graphics::ControlDown) {
        value_ = reset_;
        valueChanged(this, value_);
        invalidate();
        return;
    }
    press_ = point;
    pressValue_ = value_;
    captureMouse();
}

void Slider::onMouseMove(GUI::Widget*, const Point& point, int)
{
    if (!hasCapture())
        return;
    const float d = static_cast<float>(vertical_ ? press_.y - point.y : point.x - press_.x);
    if (d == 0.0f)
        return;
    const Point size = getSize();
    const Point hs = handleSize();
    const int travel = vertical_ ? size.y - hs.y : size.x - hs.x;
    // A handle as long as its track has nowhere to go.
    if (travel <= 0)
        return;
    float value = pressValue_ + (maximum_ - minimum_) * d / static_cast<float>(travel);
    if (!std::isfinite(value))
        return;
    if (!smooth_)
        value = std::trunc(value);
    if (value > maximum_)
        value = maximum_;
    if (value < minimum_)
        value = minimum_;
    const float before = value_;
    value_ = value;
    invalidate();
    if (value_ != before)
        valueChanged(this, value_);
}

void Slider::onMouseUp(GUI::Widget*, const Point&, int, int)
{
    if (hasCapture())
        releaseMouse();
}

} // namespace Zq::Application::Widgets
