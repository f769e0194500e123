#pragma once

#include "editor/widgets/Widget.h"

namespace Zq::Application::Widgets {

// What a widget the user drags inside its parent keeps: the area that takes
// the press and where the press fell.
class Dragging {
public:
    using Point = GUI::Widget::Point;
    using Rect = GUI::Widget::Rect;

    explicit Dragging(const Rect& area) : area_(area) {}

    // area is narrowed to `bounds` (the widget's or its image's rectangle).
    void setArea(const Rect& area, const Rect& bounds);
    const Rect& getArea() const { return area_; }

    void mouseDown(GUI::Widget* widget, const Point& point);
    void mouseMove(GUI::Widget* widget, const Point& point);
    void mouseUp(GUI::Widget* widget);

private:
    Rect area_;
    Point press_{0, 0};
};

} // namespace Zq::Application::Widgets
