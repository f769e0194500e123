#pragma once

#include <vector>

#include <boost/signals2/signal.hpp>

#include "editor/graphics/Bitmap.h"
#include "editor/widgets/Widget.h"

namespace Zq::Application::Widgets {

// The press-and-release model every image button shares: a left press
// captures the mouse and shows the button pressed; dragging out shows it
// released and dragging back pressed again; a left release inside completes
// the click, whatever the kind does with it.
class AbstractButton : public GUI::Widget {
public:
    boost::signals2::signal<void(AbstractButton*, const Point&)> clicked;
    boost::signals2::signal<void(AbstractButton*)> pressed;
    boost::signals2::signal<void(AbstractButton*)> released;

    bool isPressed() const { return pressed_; }

protected:
    AbstractButton(GUI::Widget* parent, const Rect& rect) : Widget(parent, rect) {}

    // The largest width and the largest height among the images given.
    static Rect sizedToImages(const Point& position,
                              const std::vector<const Graphics::Bitmap*>& images);
    // Draws the dirty part of an image that fills the button; none draws
    // nothing.
    static void drawImage(Graphics::Painter* painter, const Graphics::Bitmap* image,
                          const Rect& dirty);

    // The shared steps. beginPress takes the left button only.
    void beginPress(int button);
    void enterWhileHeld();
    void leaveWhileHeld();
    // Whether a release completes the click: the button holds the capture
    // and it is a left release inside it. The caller then calls endPress,
    // which gives up the capture, in every case.
    bool releaseCompletes(const Point& point, int button);
    void endPress();

    bool pressed_ = false;
};

} // namespace Zq::Application::Widgets
