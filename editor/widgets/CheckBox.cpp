#include "editor/widgets/CheckBox.h"

#include <boost/bind/bind.hpp>

namespace Zq::Application::Widgets {

using namespace boost::placeholders;

CheckBox::CheckBox(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* unchecked,
                   const Graphics::Bitmap* checked, const Graphics::Bitmap* uncheckedPressed,
                   const Graphics::Bitmap* checkedPressed)
    : AbstractButton(parent, rect), images_{unchecked, checked, uncheckedPressed, checkedPressed}
{
    auto& events = callbacks();
    // The handlers are virtual: a radio button's own release reaches the
    // same connection.
    events.paint.connect(boost::bind(&CheckBox::onPaint, this, _1, _2, _3));
    events.mouseDown.connect(boost::bind(&CheckBox::onMouseDown, this, _1, _2, _3, _4));
    events.mouseUp.connect(boost::bind(&CheckBox::onMouseUp, this, _1, _2, _3, _4));
    events.mouseEnter.connect(boost::bind(&CheckBox::onMouseEnter, this, _1));
    events.mouseLeave.connect(boost::bind(&CheckBox::onMouseLeave, this, _1));
}

CheckBox::CheckBox(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* unchecked,
                   const Graphics::Bitmap* checked, const Graphics::Bitmap* uncheckedPressed,
                   const Graphics::Bitmap* checkedPressed)
    : CheckBox(parent,
               sizedToImages(position, {unchecked, checked, uncheckedPressed, checkedPressed}),
               unchecked, checked, uncheckedPressed, checkedPressed)
{
}

void CheckBox::setChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    toggled(this, checked_);
    invalidate();
}

void CheckBox::onPaint(GUI::Widget*, Graphics::Painter* painter, const Rect& dirty)
{
    drawImage(painter, images_[(pressed_ ? 2 : 0) + (checked_ ? 1 : 0)], dirty);
}

void CheckBox::onMouseDown(GUI::Widget*, const Point&, int button, int)
{
    beginPress(button);
}

void CheckBox::onMouseUp(GUI::Widget*, const Point& point, int button, int)
{
    if (releaseCompletes(point, button)) {
        checked_ = !checked_;
        pressed_ = false;
        released(this);
        clicked(this, point);
        toggled(this, checked_);
        invalidate();
    }
    endPress();
}

void CheckBox::onMouseEnter(GUI::Widget*)
{
    enterWhileHeld();
}

void CheckBox::onMouseLeave(GUI::Widget*)
{
    leaveWhileHeld();
}

} // namespace Zq::Application::Widgets
