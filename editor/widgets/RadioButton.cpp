#include "editor/widgets/RadioButton.h"

#include <boost/bind/bind.hpp>

#include "editor/widgets/RadioGroup.h"

namespace Zq::Application::Widgets {

using namespace boost::placeholders;

RadioButton::RadioButton(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* unchecked,
                         const Graphics::Bitmap* checked, const Graphics::Bitmap* uncheckedPressed,
                         const Graphics::Bitmap* checkedPressed, RadioGroup* group, unsigned index)
    : CheckBox(parent, rect, unchecked, checked, uncheckedPressed, checkedPressed), index_(index),
      group_(group)
{
    if (group_) {
        group_->add(this);
        // Tracked: the connection ends with this button.
        group_->destroyed.connect(boost::bind(&RadioButton::forgetGroup, this, _1));
    }
}

RadioButton::RadioButton(GUI::Widget* parent, const Point& position,
                         const Graphics::Bitmap* unchecked, const Graphics::Bitmap* checked,
                         const Graphics::Bitmap* uncheckedPressed,
                         const Graphics::Bitmap* checkedPressed, RadioGroup* group, unsigned index)
    : RadioButton(parent,
                  sizedToImages(position, {unchecked, checked, uncheckedPressed, checkedPressed}),
                  unchecked, checked, uncheckedPressed, checkedPressed, group, index)
{
}

RadioButton::~RadioButton()
{
    if (group_)
        group_->remove(this);
}

void RadioButton::forgetGroup(RadioGroup*)
{
    group_ = nullptr;
}

void RadioButton::onMouseUp(GUI::Widget*, const Point& point, int button, int)
{
    if (releaseCompletes(point, button)) {
        pressed_ = false;
        if (!checked_) {
            released(this);
            clicked(this, point);
            setChecked(true);
        } else {
            invalidate();
        }
    }
    endPress();
}

} // namespace Zq::Application::Widgets
