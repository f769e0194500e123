#include "editor/widgets/WidgetManager.h"

#include "editor/graphics/Painter.h"

namespace Zq::Application::GUI {

using Graphics::BasicPoint;
using Graphics::BasicRect;

namespace {

BasicRect<int> moved(BasicRect<int> rect, const BasicPoint<int>& by)
{
    rect.x += by.x;
    rect.y += by.y;
    return rect;
}

BasicPoint<int> relative(const BasicPoint<int>& point, const BasicPoint<int>& origin)
{
    return {point.x - origin.x, point.y - origin.y};
}

} // namespace

bool ManagerPickingFunctor::operator()(Widget* widget)
{
    return widget->isVisible() && widget->isEnabled();
}

WidgetManager::~WidgetManager()
{
    runPendingDeletions();
}

void WidgetManager::attach(Graphics::Window* window)
{
    window_ = window;
}

void WidgetManager::detach(Graphics::Window*)
{
    // The focus goes first, while the window can still give up the keyboard;
    // a field that applies its text on losing the focus still does.
    setFocus(nullptr);
    setCapture(nullptr);
    // A widget left hovered would keep its highlight and never be told the
    // pointer left: the next editor's first move starts from no hover.
    setHover(nullptr);
    window_ = nullptr;
}

void WidgetManager::paint(Graphics::Painter* painter, const Rect& area)
{
    if (!root_)
        return;
    painter->setClip(area);
    painter->setOrigin({0, 0});
    paintWidget(root_, painter, area, {0, 0});
}

void WidgetManager::paintWidget(Widget* widget, Graphics::Painter* painter, const Rect& rect,
                                const Point& origin)
{
    const auto block = widget->callbackBlock();
    block->paint(widget, painter, rect);
    // Painting changes no tree; indices keep this safe should a handler
    // still do so.
    for (const bool topMostPass : {false, true}) {
        const auto& children = widget->getChildren();
        for (std::size_t i = 0; i < children.size(); ++i) {
            Widget* child = children[i];
            if (child->isTopMost() != topMostPass || !child->isVisible())
                continue;
            const Rect c = child->getRect();
            if (!(rect.x < c.x + c.width && c.x < rect.x + rect.width && rect.y < c.y + c.height &&
                  c.y < rect.y + rect.height))
                continue;
            const Rect visible = Graphics::intersect(rect, c);
            const Point childOrigin{origin.x + c.x, origin.y + c.y};
            painter->setClip(moved(visible, origin));
            painter->setOrigin(childOrigin);
            paintWidget(child, painter,
                        {visible.x - c.x, visible.y - c.y, visible.width, visible.height},
                        childOrigin);
        }
    }
}

Widget* WidgetManager::pickAt(const Point& point)
{
    return root_->pick(point, &functor_);
}

void WidgetManager::setHover(Widget* widget)
{
    if (widget == hover_)
        return;
    Widget* const old = hover_;
    hover_ = widget;
    if (old)
        old->callbackBlock()->mouseLeave(old);
    // The leave handler may have destroyed the new hover widget.
    if (hover_ == widget && widget)
        widget->callbackBlock()->mouseEnter(widget);
}

void WidgetManager::mouseMove(const Point& point, int modifiers)
{
    if (!root_)
        return;
    Widget* picked = pickAt(point);
    setHover(picked ? picked : root_);
    if (capture_) {
        Widget* const target = capture_;
        target->callbackBlock()->mouseMove(target, relative(point, target->absolutePosition()),
                                           modifiers);
        return;
    }
    // The enter and leave handlers may have changed the tree: pick again.
    picked = pickAt(point);
    if (picked)
        picked->callbackBlock()->mouseMove(picked, relative(point, picked->absolutePosition()),
                                           modifiers);
    else
        root_->callbackBlock()->mouseMove(root_, point, modifiers);
}

void WidgetManager::mouseDown(const Point& point, int button, int modifiers)
{
    routeButton(&WidgetCallbacks::mouseDown, point, button, modifiers);
}

void WidgetManager::mouseUp(const Point& point, int button, int modifiers)
{
    routeButton(&WidgetCallbacks::mouseUp, point, button, modifiers);
}

// Buttons leave the hover as it is: only moves change it.
void WidgetManager::routeButton(ButtonSignal WidgetCallbacks::*event, const Point& point,
                                int button, int modifiers)
{
    if (!root_)
        return;
    Widget* target = capture_ ? capture_ : pickAt(point);
    if (!target) {
        (root_->callbackBlock().get()->*event)(root_, point, button, modifiers);
        return;
    }
    const auto block = target->callbackBlock();
    (block.get()->*event)(target, relative(point, target->absolutePosition()), button, modifiers);
}

void WidgetManager::key(Graphics::KeyboardButtons key, char character, int modifiers)
{
    if (focus_)
        focus_->callbackBlock()->key(focus_, key, character, modifiers);
}

void WidgetManager::timer()
{
    timerTick();
}

void WidgetManager::focusLost()
{
    setFocus(nullptr);
}

void WidgetManager::beginEvent()
{
    eventBegun();
}

void WidgetManager::endEvent()
{
    eventEnded();
    runPendingDeletions();
    if (window_)
        window_->update();
}

std::shared_ptr<WidgetCallbacks> WidgetManager::getCallbacks(Widget* widget)
{
    auto& block = callbacks_[widget];
    if (!block)
        block = std::make_shared<WidgetCallbacks>();
    return block;
}

void WidgetManager::setFocus(Widget* widget)
{
    if (widget == focus_)
        return;
    Widget* const old = focus_;
    focus_ = widget;
    if (old)
        old->focusLost(old);
    if (widget) {
        hasKeyboardFocus_ = true;
        widget->focusGained(widget);
        if (window_)
            window_->takeKeyboard();
    } else {
        hasKeyboardFocus_ = false;
        if (window_)
            window_->releaseKeyboard();
    }
}

void WidgetManager::setCapture(Widget* widget)
{
    Widget* const old = capture_;
    capture_ = widget;
    if (old)
        old->captureLost(old);
    if (widget)
        widget->captureGained(widget);
}

void WidgetManager::deleteLater(Widget* widget)
{
    pendingDeletions_.insert(widget);
}

void WidgetManager::runPendingDeletions()
{
    while (!pendingDeletions_.empty()) {
        const std::set<Widget*> batch = pendingDeletions_;
        for (Widget* widget : batch)
            // A destructor earlier in the batch may have deleted this one.
            if (pendingDeletions_.erase(widget))
                delete widget;
    }
}

void WidgetManager::invalidateWindow(const Rect& rect)
{
    if (window_ && !rect.empty())
        window_->invalidate(rect);
}

void WidgetManager::onRectChanged(Widget* widget, const Rect& before, const Rect& after)
{
    Widget* parent = widget->getParent();
    const Point offset = parent ? parent->absolutePosition() : Point{0, 0};
    invalidateWindow(moved(before, offset));
    invalidateWindow(moved(after, offset));
}

void WidgetManager::onAreaChanged(Widget* widget)
{
    const Point position = widget->absolutePosition();
    const Point size = widget->getSize();
    invalidateWindow({position.x, position.y, size.x, size.y});
}

void WidgetManager::onTopMostChanged(Widget* widget, bool)
{
    onAreaChanged(widget);
}

void WidgetManager::onInvalidated(Widget* widget, const Rect& rect)
{
    invalidateWindow(moved(rect, widget->absolutePosition()));
}

void WidgetManager::onDestroyed(Widget* widget)
{
    onAreaChanged(widget);
    if (widget == focus_) {
        // The widget is going: it is told nothing more.
        focus_ = nullptr;
        hasKeyboardFocus_ = false;
        if (window_)
            window_->releaseKeyboard();
    }
    if (widget == hover_)
        hover_ = nullptr;
    if (widget == capture_)
        capture_ = nullptr;
    if (widget == root_)
        root_ = nullptr;
    callbacks_.erase(widget);
    // Deleted directly after a close: nothing is left to delete later.
    if (widget->isBeingDestroyed())
        pendingDeletions_.erase(widget);
}

} // namespace Zq::Application::GUI
