#pragma once

#include "editor/widgets/AbstractButton.h"

namespace Zq::Application::Widgets {

// A button that toggles a checked state on each completed click, drawn with
// one of four images by (pressed, checked); a missing one draws nothing.
class CheckBox : public AbstractButton {
public:
    boost::signals2::signal<void(CheckBox*, bool)> toggled;

    // Images are not owned; the position form takes the largest image size.
    CheckBox(GUI::Widget* parent, const Rect& rect, const Graphics::Bitmap* unchecked,
             const Graphics::Bitmap* checked, const Graphics::Bitmap* uncheckedPressed,
             const Graphics::Bitmap* checkedPressed);
    CheckBox(GUI::Widget* parent, const Point& position, const Graphics::Bitmap* unchecked,
             const Graphics::Bitmap* checked, const Graphics::Bitmap* uncheckedPressed,
             const Graphics::Bitmap* checkedPressed);

    virtual void setChecked(bool checked);
    bool isChecked() const { return checked_; }

    virtual void onPaint(GUI::Widget* widget, Graphics::Painter* painter, const Rect& dirty);
    virtual void onMouseDown(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onMouseUp(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onMouseEnter(GUI::Widget* widget);
    virtual void onMouseLeave(GUI::Widget* widget);

protected:
    bool checked_ = false;

private:
    const Graphics::Bitmap* images_[4]; // by pressed * 2 + checked
};

} // namespace Zq::Application::Widgets
