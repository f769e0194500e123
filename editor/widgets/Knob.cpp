#include "editor/widgets/Knob.h"

#include <cmath>

#include <boost/bind/bind.hpp>

#include "editor/graphics/KeyboardButtons.h"
#include "editor/widgets/ImageDrawing.h"
#include "editor/widgets/ValueChecks.h"

namespace Zq::Application::Widgets {

using namespace boost::placeholders;

namespace {

unsigned atLeastOne(int frameCount)
{
    return frameCount < 1 ? 1u : static_cast<unsigned>(frameCount);
}

// The strip's width and the height of one frame; 0 x 0 without a strip.
GUI::Widget::Rect frameRect(const GUI::Widget::Point& position, const Graphics::Bitmap* strip,
                            int frameCount)
{
    if (!strip)
        return {position.x, position.y, 0, 0};
    return {position.x, position.y, strip->width,
            static_cast<int>(static_cast<unsigned>(strip->height) / atLeastOne(frameCount))};
}

float listMaximum(const std::vector<int>& frames)
{
    return frames.empty() ? 0.0f : static_cast<float>(frames.size() - 1);
}

} // namespace

Knob::Knob(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* strip, int frameCount,
           float minimum, float maximum, int mouseRange)
    : Widget(parent, rect), frameCount_(atLeastOne(frameCount)),
      mouseRange_(static_cast<float>(mouseRange)), strip_(strip), minimum_(minimum),
      maximum_(maximum), reset_((minimum + maximum) * 0.5f), value_(reset_)
{
    connectHandlers();
}

Knob::Knob(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* strip,
           int frameCount, float minimum, float maximum, int mouseRange)
    : Knob(parent, frameRect(position, strip, frameCount), strip, frameCount, minimum, maximum,
           mouseRange)
{
}

Knob::Knob(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* strip, int frameCount,
           const std::vector<int>& frames, int mouseRange)
    : Knob(parent, rect, strip, frameCount, 0.0f, listMaximum(frames), mouseRange)
{
    frames_ = frames;
    reset_ = value_ = maximum_ * 0.5f;
}

Knob::Knob(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* strip,
           int frameCount, const std::vector<int>& frames, int mouseRange)
    : Knob(parent, frameRect(position, strip, frameCount), strip, frameCount, frames, mouseRange)
{
}

void Knob::connectHandlers()
{
    auto& events = callbacks();
    events.paint.connect(boost::bind(&Knob::onPaint, this, _1, _2, _3));
    events.mouseMove.connect(boost::bind(&Knob::onMouseMove, this, _1, _2, _3));
    events.mouseDown.connect(boost::bind(&Knob::onMouseDown, this, _1, _2, _3, _4));
    events.mouseUp.connect(boost::bind(&Knob::onMouseUp, this, _1, _2, _3, _4));
}

void Knob::setValue(float value)
{
    if (!std::isfinite(value))
        return;
    if (value > maximum_)
        value = maximum_;
    else if (value < minimum_)
        value = minimum_;
    if (value == value_)
        return;
    value_ = value;
    valueChanged(this, value_);
    invalidate();
}

void Knob::setMinValue(float minimum)
{
    if (!std::isfinite(minimum))
        return;
    minimum_ = minimum;
    reset_ = (minimum_ + maximum_) * 0.5f;
    if (minimum_ > value_)
        setValue(minimum_);
}

void Knob::setMaxValue(float maximum)
{
    if (!std::isfinite(maximum))
        return;
    reset_ = (minimum_ + maximum) * 0.5f;
    maximum_ = maximum;
    if (value_ > maximum_)
        setValue(maximum_);
}

void Knob::setResetValue(float value)
{
    if (std::isfinite(value))
        reset_ = value;
}

int Knob::currentFrame() const
{
    const double offset = static_cast<double>(value_) - minimum_;
    const double span = static_cast<double>(maximum_) - minimum_;
    if (frames_.empty())
        return stepIndex(offset, span, static_cast<int>(frameCount_));
    return frames_[static_cast<std::size_t>(
        stepIndex(offset, span, static_cast<int>(frames_.size())))];
}

void Knob::onPaint(GUI::Widget*, Graphics::Painter* painter, const Rect& dirty)
{
    if (!strip_)
        return;
    // A frame list may name a frame the strip lacks: its band then lies
    // outside the image and the painter draws nothing of it.
    const long long top = static_cast<long long>(strip_->height) * currentFrame() /
                          static_cast<long long>(frameCount_);
    const Rect source{dirty.x, dirty.y + pixelPosition(static_cast<double>(top)), dirty.width,
                      dirty.height};
    const std::uint32_t colour = getColor();
    if (colour == 0xFFFFFFFFu)
        painter->drawBitmap(*strip_, {dirty.x, dirty.y}, source);
    else
        painter->drawBitmapColored(*strip_, 1, colour, {dirty.x, dirty.y}, source);
}

void Knob::onMouseDown(GUI::Widget*, const Point& point, int, int modifiers)
{
    if (modifiers & Graphics::ControlDown) {
        value_ = reset_;
        valueChanged(this, value_);
        invalidate();
        return;
    }
    press_ = point;
    fineDrag_ = (modifiers & Graphics::ShiftDown) != 0;
    pressValue_ = value_;
    captureMouse();
}

void Knob::onMouseMove(GUI::Widget*, const Point& point, int)
{
    if (!hasCapture())
        return;
    const float dy = static_cast<float>(press_.y - point.y);
    if (dy == 0.0f)
        return;
    const float factor = fineDrag_ ? fineDivisor_ : 1.0f;
    float value = (maximum_ - minimum_) * dy / (mouseRange_ * factor) + pressValue_;
    if (!std::isfinite(value))
        return;
    if (value > maximum_)
        value = maximum_;
    if (value < minimum_)
        value = minimum_;
    value_ = value;
    valueChanged(this, value_);
    invalidate();
}

void Knob::onMouseUp(GUI::Widget*, const Point&, int, int)
{
    if (!hasCapture())
        return;
    releaseMouse();
    fineDrag_ = false;
}

} // namespace Zq::Application::Widgets
