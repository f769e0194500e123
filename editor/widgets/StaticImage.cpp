#include "editor/widgets/StaticImage.h"

#include <boost/bind/bind.hpp>

#include "editor/widgets/ImageDrawing.h"

namespace Zq::Application::Widgets {

using namespace boost::placeholders;

namespace {
GUI::Widget::Rect rectAt(const GUI::Widget::Point& position, const Graphics::Bitmap* image)
{
    return {position.x, position.y, image ? image->width : 0, image ? image->height : 0};
}
} // namespace

StaticImage::StaticImage(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* image)
    : Widget(parent, rect), image_(image)
{
    callbacks().paint.connect(boost::bind(&StaticImage::onPaint, this, _1, _2, _3));
}

StaticImage::StaticImage(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* image)
    : StaticImage(parent, rectAt(position, image), image)
{
}

StaticImage::StaticImage(GUI::Widget* parent, const Graphics::Bitmap* image)
    : StaticImage(parent, rectAt({0, 0}, image), image)
{
}

void StaticImage::onPaint(GUI::Widget*, Graphics::Painter* painter, const Rect& dirty)
{
    drawImageArea(*painter, image_, getColor(), dirty);
}

} // namespace Zq::Application::Widgets
