#pragma once

#include <map>
#include <memory>
#include <set>

#include <boost/signals2/signal.hpp>
#include <boost/signals2/trackable.hpp>

#include "editor/graphics/Window.h"
#include "editor/widgets/Widget.h"

namespace Zq::Application::GUI {

// Picks what the user can reach: visible and enabled widgets.
class ManagerPickingFunctor : public Widget::PickingFunctor {
public:
    bool operator()(Widget* widget) override;
};

// Connects one widget tree to the editor window: paints the tree, routes the
// mouse to the widget under it (or the one holding the capture) and keys to
// the focus widget, follows the hovered widget, turns widget changes into
// repaint requests and deletes closed widgets once the current event is over.
// It outlives the window, which attaches and detaches it as the editor opens
// and closes.
class WidgetManager : public Graphics::Window::Callback, public boost::signals2::trackable {
public:
    using Point = Graphics::BasicPoint<int>;
    using Rect = Graphics::BasicRect<int>;

    boost::signals2::signal<void()> timerTick;
    boost::signals2::signal<void()> eventBegun;
    boost::signals2::signal<void()> eventEnded;

    WidgetManager() = default;
    WidgetManager(const WidgetManager&) = delete;
    WidgetManager& operator=(const WidgetManager&) = delete;
    ~WidgetManager() override;

    void attach(Graphics::Window* window) override;
    // Closing the editor ends the capture, the hover and the focus with the
    // window, so that a reopened editor starts clean: a field focused at the
    // close takes the keyboard again on its next click, and a widget captured
    // at the close gets no moves without a new press.
    void detach(Graphics::Window* window) override;
    void paint(Graphics::Painter* painter, const Rect& area) override;
    void mouseMove(const Point& point, int modifiers) override;
    void mouseDown(const Point& point, int button, int modifiers) override;
    void mouseUp(const Point& point, int button, int modifiers) override;
    void key(Graphics::KeyboardButtons key, char character, int modifiers) override;
    void timer() override;
    void focusLost() override;
    void beginEvent() override;
    void endEvent() override;

    void setRoot(Widget* root) { root_ = root; }
    Widget* getRoot() const { return root_; }
    // The widget's callback block, made on the first request.
    std::shared_ptr<WidgetCallbacks> getCallbacks(Widget* widget);
    void setFocus(Widget* widget);
    Widget* getFocus() const { return focus_; }
    bool hasKeyboardFocus() const { return hasKeyboardFocus_; }
    void setCapture(Widget* widget);
    Widget* getCapture() const { return capture_; }
    Widget* getHover() const { return hover_; }
    Graphics::Window* getWindow() const { return window_; }
    // Deletes the widget when the current event ends.
    void deleteLater(Widget* widget);
    // Deletes every widget closed so far, and those their deletion closes.
    void runPendingDeletions();

    // Each widget's own signals, connected by its constructor.
    void onRectChanged(Widget* widget, const Rect& before, const Rect& after);
    void onAreaChanged(Widget* widget);
    void onTopMostChanged(Widget* widget, bool topMost);
    void onInvalidated(Widget* widget, const Rect& rect);
    void onDestroyed(Widget* widget);

private:
    using ButtonSignal = decltype(WidgetCallbacks::mouseDown);
    void routeButton(ButtonSignal WidgetCallbacks::*event, const Point& point, int button,
                     int modifiers);
    void invalidateWindow(const Rect& rect);
    void paintWidget(Widget* widget, Graphics::Painter* painter, const Rect& rect,
                     const Point& origin);
    Widget* pickAt(const Point& point);
    void setHover(Widget* widget);

    Widget* root_ = nullptr;
    std::map<Widget*, std::shared_ptr<WidgetCallbacks>> callbacks_;
    std::set<Widget*> pendingDeletions_;
    Widget* focus_ = nullptr;
    Widget* capture_ = nullptr;
    Widget* hover_ = nullptr;
    Graphics::Window* window_ = nullptr;
    bool hasKeyboardFocus_ = false;
    ManagerPickingFunctor functor_;
};

} // namespace Zq::Application::GUI
