#include "editor/widgets/PushButton.h"

#include <boost/bind/bind.hpp>

namespace Zq::Application::Widgets {

using namespace boost::placeholders;

PushButton::PushButton(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* releasedImage,
                       const Graphics::Bitmap* pressedImage, const Graphics::Bitmap* highlightImage)
    : AbstractButton(parent, rect), released_(releasedImage), pressedImage_(pressedImage),
      highlight_(highlightImage)
{
    auto& events = callbacks();
    events.paint.connect(boost::bind(&PushButton::onPaint, this, _1, _2, _3));
    events.mouseDown.connect(boost::bind(&PushButton::onMouseDown, this, _1, _2, _3, _4));
    events.mouseUp.connect(boost::bind(&PushButton::onMouseUp, this, _1, _2, _3, _4));
    events.mouseEnter.connect(boost::bind(&PushButton::onMouseEnter, this, _1));
    events.mouseLeave.connect(boost::bind(&PushButton::onMouseLeave, this, _1));
}

PushButton::PushButton(GUI::Widget* parent, const Point& position,
                       const Graphics::Bitmap* releasedImage, const Graphics::Bitmap* pressedImage,
                       const Graphics::Bitmap* highlightImage)
    : PushButton(parent, sizedToImages(position, {releasedImage, pressedImage, highlightImage}),
                 releasedImage, pressedImage, highlightImage)
{
}

void PushButton::onPaint(GUI::Widget*, Graphics::Painter* painter, const Rect& dirty)
{
    const Graphics::Bitmap* image = pressed_                     ? pressedImage_
                                    : highlighted_ && highlight_ ? highlight_
                                                                 : released_;
    drawImage(painter, image, dirty);
}

void PushButton::onMouseDown(GUI::Widget*, const Point&, int button, int)
{
    beginPress(button);
}

void PushButton::onMouseUp(GUI::Widget*, const Point& point, int button, int)
{
    if (releaseCompletes(point, button)) {
        pressed_ = false;
        released(this);
        clicked(this, point);
        invalidate();
    }
    endPress();
}

void PushButton::onMouseEnter(GUI::Widget*)
{
    enterWhileHeld();
    if (highlight_) {
        highlighted_ = true;
        invalidate();
    }
}

void PushButton::onMouseLeave(GUI::Widget*)
{
    leaveWhileHeld();
    if (highlighted_) {
        highlighted_ = false;
        invalidate();
    }
}

} // namespace Zq::Application::Widgets
