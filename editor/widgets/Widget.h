#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <boost/signals2/signal.hpp>
#include <boost/signals2/trackable.hpp>

#include "editor/graphics/Bitmap.h"
#include "editor/graphics/Geometry.h"
#include "editor/graphics/KeyboardButtons.h"

namespace Zq::Application::Graphics {
class Painter;
}

namespace Zq::Application::GUI {

class WidgetManager;
class Widget;

// The input and paint events of one widget. The manager owns the block and is
// the only one to fire it; concrete widgets connect their handlers to it.
// Points are relative to the widget's top-left.
struct WidgetCallbacks {
    boost::signals2::signal<void(Widget*, Graphics::Painter*, const Graphics::BasicRect<int>&)>
        paint;
    boost::signals2::signal<void(Widget*, const Graphics::BasicPoint<int>&, int)> mouseMove;
    boost::signals2::signal<void(Widget*, const Graphics::BasicPoint<int>&, int, int)> mouseDown;
    boost::signals2::signal<void(Widget*, const Graphics::BasicPoint<int>&, int, int)> mouseUp;
    boost::signals2::signal<void(Widget*, Graphics::KeyboardButtons, char, int)> key;
    boost::signals2::signal<void(Widget*)> mouseEnter;
    boost::signals2::signal<void(Widget*)> mouseLeave;
};

// One element of the editor's widget tree: a rectangle in its parent, owned
// children (first = bottom of the stacking order), visibility, enabled state,
// focusability, top-most stacking, a colour and an optional mask narrowing
// where the mouse hits it. Every change leaves through a signal, which the
// manager turns into repaint requests; a widget never draws or reads input by
// itself.
//
// Threads: the UI thread, or the automation worker or audio thread under the
// document's lock (adapters writing values). Those paths reach the window only
// through the manager's repaint requests, which allocate nothing.
class Widget : public boost::signals2::trackable {
public:
    using Point = Graphics::BasicPoint<int>;
    using Rect = Graphics::BasicRect<int>;

    // Whether a widget may be picked by the mouse.
    class PickingFunctor {
    public:
        virtual ~PickingFunctor() = default;
        virtual bool operator()(Widget* widget) = 0;
    };

    boost::signals2::signal<void(Widget*)> destroyed;
    boost::signals2::signal<void(Widget*, const Rect&, const Rect&)> rectChanged;
    boost::signals2::signal<void(Widget*)> broughtToFront;
    boost::signals2::signal<void(Widget*)> sentToBack;
    boost::signals2::signal<void(Widget*, bool)> topMostChanged;
    boost::signals2::signal<void(Widget*)> shown;
    boost::signals2::signal<void(Widget*)> hidden;
    // A rectangle in widget coordinates that needs repainting.
    boost::signals2::signal<void(Widget*, const Rect&)> invalidated;
    boost::signals2::signal<void(Widget*)> enabled;
    boost::signals2::signal<void(Widget*)> disabled;
    boost::signals2::signal<void(Widget*)> focusGained;
    boost::signals2::signal<void(Widget*)> focusLost;
    boost::signals2::signal<void(Widget*)> captureGained;
    boost::signals2::signal<void(Widget*)> captureLost;

    // manager null: the parent's. Appended on top of the parent's children.
    Widget(Widget* parent, const Rect& rect, WidgetManager* manager = nullptr);
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    // Leaves the tree at once and is deleted when the current event ends: the
    // safe way for a widget to go away inside its own handler.
    virtual void close();
    virtual Widget* getParent();
    virtual Widget* getRoot();
    virtual const std::vector<Widget*>& getChildren();
    // Fires rectChanged even when nothing changed, which repaints the place.
    virtual void setPosition(const Point& point);
    virtual Point getPosition();
    virtual void setSize(const Point& size);
    virtual Point getSize();
    virtual void setRect(const Rect& rect);
    virtual Rect getRect();
    virtual void bringToFront();
    virtual void sendToBack();
    virtual void setTopMost(bool topMost);
    virtual bool isTopMost();
    // The deepest descendant under `point` (this widget's coordinates) that
    // the functor accepts, or null; never this widget itself.
    virtual Widget* pick(const Point& point, PickingFunctor* functor);
    virtual void show();
    virtual void hide();
    virtual bool isVisible();
    virtual void invalidateRect(const Rect& rect);
    virtual void invalidate();
    virtual void enable();
    virtual void disable();
    virtual bool isEnabled();
    virtual void setFocus();
    virtual void releaseFocus();
    virtual bool hasFocus();
    virtual void setFocusable(bool focusable);
    virtual bool isFocusable();
    virtual void captureMouse();
    virtual void releaseMouse();
    virtual bool hasCapture();
    virtual void setColor(std::uint32_t colour);
    virtual std::uint32_t getColor();
    // The mask is not owned (a cache's image); null hits the whole rectangle.
    virtual void setActiveAreaImage(const Graphics::Bitmap* image);
    virtual void setActiveThreshold(std::uint8_t threshold);
    virtual const Graphics::Bitmap* getActiveAreaImage();
    virtual std::uint8_t getActiveThreshold();
    virtual ~Widget();

    void setUserData(void* data) { userData_ = data; }
    void* getUserData() const { return userData_; }
    WidgetManager* getManager() const { return manager_; }
    WidgetCallbacks& callbacks() const { return *callbacks_; }
    // Shared, so that a block being fired outlives a widget deleted by its
    // own handler.
    std::shared_ptr<WidgetCallbacks> callbackBlock() const { return callbacks_; }

    // Whether a point in the parent's coordinates hits this widget: inside
    // its rectangle and, with a mask, on a mask pixel of at least the
    // threshold's alpha.
    bool hitTest(const Point& point) const;
    // The sum of the positions of this widget and all its ancestors.
    Point absolutePosition() const;
    bool isBeingDestroyed() const { return beingDestroyed_; }

private:
    void detachFromParent();

    void* userData_ = nullptr;
    WidgetManager* manager_;
    std::shared_ptr<WidgetCallbacks> callbacks_;
    Widget* parent_;
    std::vector<Widget*> children_;
    Rect rect_;
    bool topMost_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    bool focusable_ = true;
    bool beingDestroyed_ = false;
    std::uint32_t colour_ = 0xFFFFFFFFu;
    const Graphics::Bitmap* activeArea_ = nullptr;
    std::uint8_t activeThreshold_ = 255;
};

} // namespace Zq::Application::GUI
