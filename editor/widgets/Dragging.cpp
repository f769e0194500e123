#include "editor/widgets/Dragging.h"

namespace Zq::Application::Widgets {

void Dragging::setArea(const Rect& area, const Rect& bounds)
{
    area_ = Graphics::intersect(area, bounds);
}

void Dragging::mouseDown(GUI::Widget* widget, const Point& point)
{
    if (point.x < area_.x || point.x >= area_.x + area_.width || point.y < area_.y ||
        point.y >= area_.y + area_.height)
        return;
    press_ = point;
    widget->captureMouse();
    widget->bringToFront();
}

void Dragging::mouseMove(GUI::Widget* widget, const Point& point)
{
    if (!widget->hasCapture())
        return;
    const int dx = point.x - press_.x;
    const int dy = point.y - press_.y;
    if (dx == 0 && dy == 0)
        return;
    // The drag area's offset and size stand in for the widget's: with the
    // usual area (0, 0 and the widget's size) this moves the widget by the
    // pointer's travel and keeps it whole inside its parent.
    const Point at = widget->getPosition();
    Point next{at.x + area_.x + dx, at.y + area_.y + dy};
    if (next.x < 0)
        next.x = 0;
    if (next.y < 0)
        next.y = 0;
    if (GUI::Widget* parent = widget->getParent()) {
        const Point room = parent->getSize();
        if (next.x + area_.width > room.x)
            next.x = room.x - area_.width;
        if (next.y + area_.height > room.y)
            next.y = room.y - area_.height;
    }
    widget->setPosition(next);
}

void Dragging::mouseUp(GUI::Widget* widget)
{
    if (widget->hasCapture())
        widget->releaseMouse();
}

} // namespace Zq::Application::Widgets
