#include "editor/widgets/AbstractButton.h"

#include "editor/graphics/KeyboardButtons.h"
#include "editor/graphics/Painter.h"

namespace Zq::Application::Widgets {

GUI::Widget::Rect AbstractButton::sizedToImages(const Point& position,
                                                const std::vector<const Graphics::Bitmap*>& images)
{
    Rect rect{position.x, position.y, 0, 0};
    for (const Graphics::Bitmap* image : images) {
        if (!image)
            continue;
        if (image->width > rect.width)
            rect.width = image->width;
        if (image->height > rect.height)
            rect.height = image->height;
    }
    return rect;
}

void AbstractButton::drawImage(Graphics::Painter* painter, const Graphics::Bitmap* image,
                               const Rect& dirty)
{
    if (image)
        painter->drawBitmap(*image, {dirty.x, dirty.y}, dirty);
}

void AbstractButton::beginPress(int button)
{
    if (button != Graphics::LeftButton)
        return;
    pressed_ = true;
    captureMouse();
    pressed(this);
    invalidate();
}

void AbstractButton::enterWhileHeld()
{
    if (!hasCapture())
        return;
    pressed_ = true;
    pressed(this);
    invalidate();
}

void AbstractButton::leaveWhileHeld()
{
    if (!hasCapture())
        return;
    pressed_ = false;
    released(this);
    invalidate();
}

bool AbstractButton::releaseCompletes(const Point& point, int button)
{
    if (!hasCapture() || button != Graphics::LeftButton)
        return false;
    const Point size = getSize();
    return point.x >= 0 && point.y >= 0 && point.x < size.x && point.y < size.y;
}

void AbstractButton::endPress()
{
    if (hasCapture())
        releaseMouse();
}

} // namespace Zq::Application::Widgets
