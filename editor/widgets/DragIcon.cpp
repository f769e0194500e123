#include "editor/widgets/DragIcon.h"

#include <boost/bind/bind.hpp>

#include "editor/widgets/ImageDrawing.h"

namespace Zq::Application::Widgets {

using namespace boost::placeholders;

namespace {
GUI::Widget::Point sizeOf(const Graphics::Bitmap* image)
{
    return image ? GUI::Widget::Point{image->width, image->height} : GUI::Widget::Point{0, 0};
}
} // namespace

DragIcon::DragIcon(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* image)
    : Widget(parent, {position.x, position.y, sizeOf(image).x, sizeOf(image).y}), image_(image),
      dragging_({0, 0, sizeOf(image).x, sizeOf(image).y})
{
    auto& events = callbacks();
    events.paint.connect(boost::bind(&DragIcon::onPaint, this, _1, _2, _3));
    events.mouseMove.connect(boost::bind(&DragIcon::onMouseMove, this, _1, _2, _3));
    events.mouseDown.connect(boost::bind(&DragIcon::onMouseDown, this, _1, _2, _3, _4));
    events.mouseUp.connect(boost::bind(&DragIcon::onMouseUp, this, _1, _2, _3, _4));
}

DragIcon::Rect DragIcon::imageRect() const
{
    const Point size = sizeOf(image_);
    return {0, 0, size.x, size.y};
}

void DragIcon::setDragArea(const Rect& rect)
{
    dragging_.setArea(rect, imageRect());
}

void DragIcon::onPaint(GUI::Widget*, Graphics::Painter* painter, const Rect& dirty)
{
    drawImageArea(*painter, image_, getColor(), dirty);
}

void DragIcon::onMouseMove(GUI::Widget*, const Point& point, int)
{
    dragging_.mouseMove(this, point);
}

void DragIcon::onMouseDown(GUI::Widget*, const Point& point, int, int)
{
    dragging_.mouseDown(this, point);
}

void DragIcon::onMouseUp(GUI::Widget*, const Point&, int, int)
{
    dragging_.mouseUp(this);
}

} // namespace Zq::Application::Widgets
