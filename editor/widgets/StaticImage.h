#pragma once

#include "editor/graphics/Bitmap.h"
#include "editor/widgets/Widget.h"

namespace Zq::Application::Widgets {

// A fixed image drawn from the widget's top-left, modulated by the widget's
// colour unless that is 0xFFFFFFFF. Without an image it draws nothing and
// keeps the size it was given.
class StaticImage : public GUI::Widget {
public:
    // The image is not owned (a cache's).
    StaticImage(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* image);
    // These two take the image's size, or 0 x 0 without one.
    StaticImage(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* image);
    StaticImage(GUI::Widget* parent, const Graphics::Bitmap* image);

    virtual void onPaint(GUI::Widget* widget, Graphics::Painter* painter, const Rect& dirty);

private:
    const Graphics::Bitmap* image_;
};

} // namespace Zq::Application::Widgets
