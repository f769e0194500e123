#pragma once

#include <boost/signals2/connection.hpp>

#include "editor/widgets/CheckBox.h"

namespace Zq::Application::Widgets {

class RadioGroup;

// A check box that a click can only switch on; its group switches the
// others off.
class RadioButton : public CheckBox {
public:
    // Joins the group (which may be null); images are not owned.
    RadioButton(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* unchecked,
                const Graphics::Bitmap* checked, const Graphics::Bitmap* uncheckedPressed,
                const Graphics::Bitmap* checkedPressed, RadioGroup* group, unsigned index);
    RadioButton(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* unchecked,
                const Graphics::Bitmap* checked, const Graphics::Bitmap* uncheckedPressed,
                const Graphics::Bitmap* checkedPressed, RadioGroup* group, unsigned index);
    ~RadioButton() override;

    void onMouseUp(GUI::Widget* widget, const Point& point, int button, int modifiers) override;
    virtual void forgetGroup(RadioGroup* group);

    unsigned getIndex() const { return index_; }
    RadioGroup* getGroup() const { return group_; }

private:
    unsigned index_;
    RadioGroup* group_;
};

} // namespace Zq::Application::Widgets
