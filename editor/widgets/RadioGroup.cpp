#include "editor/widgets/RadioGroup.h"

#include <boost/bind/bind.hpp>

#include "editor/widgets/RadioButton.h"

namespace Zq::Application::Widgets {

using namespace boost::placeholders;

RadioGroup::~RadioGroup()
{
    // Members still alive forget the group before it goes.
    destroyed(this);
    members_.clear();
}

void RadioGroup::add(RadioButton* button)
{
    if (members_.count(button))
        return;
    members_[button] = button->toggled.connect(boost::bind(&RadioGroup::onToggled, this, _1, _2));
}

void RadioGroup::remove(RadioButton* button)
{
    if (current_ == button)
        current_ = nullptr;
    members_.erase(button);
}

void RadioGroup::onToggled(CheckBox* sender, bool checked)
{
    // Only members' toggled signals reach this handler.
    auto* button = static_cast<RadioButton*>(sender);
    if (checked) {
        if (button == current_)
            return;
        RadioButton* const previous = current_;
        current_ = nullptr;
        if (previous)
            previous->setChecked(false);
        current_ = button;
        selectionChanged(this, button);
    } else if (button == current_) {
        current_ = nullptr;
    }
}

} // namespace Zq::Application::Widgets
