#pragma once

#include <vector>

#include <boost/signals2/signal.hpp>

#include "editor/graphics/Bitmap.h"
#include "editor/widgets/Widget.h"

namespace Zq::Application::Widgets {

// The rotary control: a film strip of frames stacked vertically in one
// image, of which the frame matching the value is shown. A vertical drag
// turns it (with Shift, at half the speed); a Control-click restores the
// reset value. Values that are not finite are ignored.
class Knob : public GUI::Widget {
public:
    boost::signals2::signal<void(Knob*, float)> valueChanged;

    // The range forms: value and reset value at the middle of the range. The
    // position-only forms take the strip's width and one frame's height. A
    // frame count below 1 counts as 1; the strip is not owned.
    Knob(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* strip, int frameCount,
         float minimum, float maximum, int mouseRange);
    Knob(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* strip, int frameCount,
         float minimum, float maximum, int mouseRange);
    // The list forms: the value runs over the list's indices 0 .. n - 1 and
    // shows the frame the list names.
    Knob(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* strip, int frameCount,
         const std::vector<int>& frames, int mouseRange);
    Knob(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* strip, int frameCount,
         const std::vector<int>& frames, int mouseRange);

    void setValue(float value);
    float getValue() const { return value_; }
    // Both move the reset value to the new middle of the range.
    void setMinValue(float minimum);
    void setMaxValue(float maximum);
    void setResetValue(float value);
    float getMinValue() const { return minimum_; }
    float getMaxValue() const { return maximum_; }
    float getResetValue() const { return reset_; }
    // The frame the current value shows.
    int currentFrame() const;

    virtual void onPaint(GUI::Widget* widget, Graphics::Painter* painter, const Rect& dirty);
    virtual void onMouseMove(GUI::Widget* widget, const Point& point, int modifiers);
    virtual void onMouseDown(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onMouseUp(GUI::Widget* widget, const Point& point, int button, int modifiers);

private:
    void connectHandlers();

    unsigned frameCount_;
    std::vector<int> frames_;
    float mouseRange_;
    const Graphics::Bitmap* strip_;
    float minimum_;
    float maximum_;
    float fineDivisor_ = 2.0f;
    float reset_;
    float value_;
    Point press_{0, 0};
    float pressValue_ = 0.0f;
    bool fineDrag_ = false;
};

} // namespace Zq::Application::Widgets
