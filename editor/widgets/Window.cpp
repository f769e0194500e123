#include "editor/widgets/Window.h"

#include <boost/bind/bind.hpp>

namespace Zq::Application::Widgets {

using namespace boost::placeholders;

Window::Window(GUI::Widget* parent, const Point& position, const Point& size)
    : Widget(parent, {position.x, position.y, size.x, size.y}), dragging_({0, 0, size.x, size.y})
{
    auto& events = callbacks();
    events.mouseMove.connect(boost::bind(&Window::onMouseMove, this, _1, _2, _3));
    events.mouseDown.connect(boost::bind(&Window::onMouseDown, this, _1, _2, _3, _4));
    events.mouseUp.connect(boost::bind(&Window::onMouseUp, this, _1, _2, _3, _4));
}

void Window::setDragArea(const Rect& rect)
{
    const Point size = getSize();
    dragging_.setArea(rect, {0, 0, size.x, size.y});
}

void Window::onMouseMove(GUI::Widget*, const Point& point, int)
{
    dragging_.mouseMove(this, point);
}

void Window::onMouseDown(GUI::Widget*, const Point& point, int, int)
{
    dragging_.mouseDown(this, point);
}

void Window::onMouseUp(GUI::Widget*, const Point&, int, int)
{
    dragging_.mouseUp(this);
}

} // namespace Zq::Application::Widgets
