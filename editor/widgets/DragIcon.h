#pragma once

#include "editor/graphics/Bitmap.h"
#include "editor/widgets/Dragging.h"
#include "editor/widgets/Widget.h"

namespace Zq::Application::Widgets {

// An image that the user drags around inside its parent. Without an image it
// is 0 x 0, has an empty drag area and draws nothing.
class DragIcon : public GUI::Widget {
public:
    // The image is not owned (a cache's).
    DragIcon(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* image);

    // Narrowed to the image's rectangle.
    void setDragArea(const Rect& rect);
    const Rect& getDragArea() const { return dragging_.getArea(); }

    virtual void onPaint(GUI::Widget* widget, Graphics::Painter* painter, const Rect& dirty);
    virtual void onMouseMove(GUI::Widget* widget, const Point& point, int modifiers);
    virtual void onMouseDown(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onMouseUp(GUI::Widget* widget, const Point& point, int button, int modifiers);

private:
    Rect imageRect() const;

    const Graphics::Bitmap* image_;
    Dragging dragging_;
};

} // namespace Zq::Application::Widgets
