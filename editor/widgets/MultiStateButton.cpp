#include "editor/widgets/MultiStateButton.h"

#include <boost/bind/bind.hpp>

namespace Zq::Application::Widgets {

using namespace boost::placeholders;

MultiStateButton::MultiStateButton(GUI::Widget* parent, const Rect& rect,
                                   const std::vector<const Graphics::Bitmap*>& images)
    : AbstractButton(parent, rect), images_(images)
{
    auto& events = callbacks();
    events.paint.connect(boost::bind(&MultiStateButton::onPaint, this, _1, _2, _3));
    events.mouseDown.connect(boost::bind(&MultiStateButton::onMouseDown, this, _1, _2, _3, _4));
    events.mouseUp.connect(boost::bind(&MultiStateButton::onMouseUp, this, _1, _2, _3, _4));
    events.mouseEnter.connect(boost::bind(&MultiStateButton::onMouseEnter, this, _1));
    events.mouseLeave.connect(boost::bind(&MultiStateButton::onMouseLeave, this, _1));
}

MultiStateButton::MultiStateButton(GUI::Widget* parent, const Point& position,
                                   const std::vector<const Graphics::Bitmap*>& images)
    : MultiStateButton(parent, sizedToImages(position, images), images)
{
}

void MultiStateButton::setState(int state)
{
    if (images_.empty() || state < 0 || static_cast<std::size_t>(state) >= images_.size() ||
        static_cast<std::size_t>(state) == state_)
        return;
    state_ = static_cast<std::size_t>(state);
    stateChanged(this, state);
    invalidate();
}

void MultiStateButton::onPaint(GUI::Widget*, Graphics::Painter* painter, const Rect& dirty)
{
    if (images_.empty())
        return;
    drawImage(painter, images_[pressed_ ? (state_ + 1) % images_.size() : state_], dirty);
}

void MultiStateButton::onMouseDown(GUI::Widget*, const Point&, int button, int)
{
    beginPress(button);
}

void MultiStateButton::onMouseUp(GUI::Widget*, const Point& point, int button, int)
{
    if (releaseCompletes(point, button)) {
        pressed_ = false;
        if (!images_.empty())
            state_ = (state_ + 1) % images_.size();
        released(this);
        clicked(this, point);
        if (!images_.empty())
            stateChanged(this, static_cast<int>(state_));
        invalidate();
    }
    endPress();
}

void MultiStateButton::onMouseEnter(GUI::Widget*)
{
    enterWhileHeld();
}

void MultiStateButton::onMouseLeave(GUI::Widget*)
{
    leaveWhileHeld();
}

} // namespace Zq::Application::Widgets
