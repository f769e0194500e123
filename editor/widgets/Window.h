#pragma once

#include "editor/widgets/Dragging.h"
#include "editor/widgets/Widget.h"

namespace Zq::Application::Widgets {

// An invisible container that the user drags around inside its parent by a
// press in its drag area. It draws nothing itself, only its children.
class Window : public GUI::Widget {
public:
    Window(GUI::Widget* parent, const Point& position, const Point& size);

    // Narrowed to the widget's own rectangle (0, 0, width, height).
    void setDragArea(const Rect& rect);
    const Rect& getDragArea() const { return dragging_.getArea(); }

    virtual void onMouseMove(GUI::Widget* widget, const Point& point, int modifiers);
    virtual void onMouseDown(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onMouseUp(GUI::Widget* widget, const Point& point, int button, int modifiers);

private:
    Dragging dragging_;
};

} // namespace Zq::Application::Widgets
