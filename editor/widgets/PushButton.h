#pragma once

#include "editor/widgets/AbstractButton.h"

namespace Zq::Application::Widgets {

// A button that only signals; with a highlight image it lights up under the
// pointer. Missing images draw nothing.
class PushButton : public AbstractButton {
public:
    // Images are not owned; the position form takes the largest image size.
    PushButton(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* releasedImage,
               const Graphics::Bitmap* pressedImage, const Graphics::Bitmap* highlightImage);
    PushButton(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* releasedImage,
               const Graphics::Bitmap* pressedImage, const Graphics::Bitmap* highlightImage);

    bool isHighlighted() const { return highlighted_; }

    virtual void onPaint(GUI::Widget* widget, Graphics::Painter* painter, const Rect& dirty);
    virtual void onMouseDown(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onMouseUp(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onMouseEnter(GUI::Widget* widget);
    virtual void onMouseLeave(GUI::Widget* widget);

private:
    const Graphics::Bitmap* released_;
    const Graphics::Bitmap* pressedImage_;
    const Graphics::Bitmap* highlight_;
    bool highlighted_ = false;
};

} // namespace Zq::Application::Widgets
