#pragma once

#include <vector>

#include "editor/widgets/AbstractButton.h"

namespace Zq::Application::Widgets {

// A button that steps through one state per image on each completed click,
// previewing the next state while pressed. Without images it stays at state
// 0, draws nothing, and a click changes no state.
class MultiStateButton : public AbstractButton {
public:
    boost::signals2::signal<void(MultiStateButton*, int)> stateChanged;

    // Images are not owned; the position form takes the largest image size.
    MultiStateButton(GUI::Widget* parent, const Rect& rect,
                     const std::vector<const Graphics::Bitmap*>& images);
    MultiStateButton(GUI::Widget* parent, const Point& position,
                     const std::vector<const Graphics::Bitmap*>& images);

    // Ignored without images, past the last image, or at the current state.
    void setState(int state);
    int getState() const { return static_cast<int>(state_); }
    int getStateCount() const { return static_cast<int>(images_.size()); }

    virtual void onPaint(GUI::Widget* widget, Graphics::Painter* painter, const Rect& dirty);
    virtual void onMouseDown(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onMouseUp(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onMouseEnter(GUI::Widget* widget);
    virtual void onMouseLeave(GUI::Widget* widget);

private:
    std::vector<const Graphics::Bitmap*> images_;
    std::size_t state_ = 0;
};

} // namespace Zq::Application::Widgets
