#include "editor/widgets/Widget.h"

#include <algorithm>

#include <boost/bind/bind.hpp>

#include "editor/widgets/WidgetManager.h"

namespace Zq::Application::GUI {

using namespace boost::placeholders;

Widget::Widget(Widget* parent, const Rect& rect, WidgetManager* manager)
    : manager_(manager  ? manager
               : parent ? parent->manager_
                        : nullptr),
      parent_(parent), rect_(rect)
{
    if (parent_)
        parent_->children_.push_back(this);
    callbacks_ = manager_ ? manager_->getCallbacks(this) : std::make_shared<WidgetCallbacks>();
    if (manager_) {
        // Bound through boost::bind so that the manager's trackable base ends
        // these connections should the manager go first.
        rectChanged.connect(boost::bind(&WidgetManager::onRectChanged, manager_, _1, _2, _3));
        broughtToFront.connect(boost::bind(&WidgetManager::onAreaChanged, manager_, _1));
        sentToBack.connect(boost::bind(&WidgetManager::onAreaChanged, manager_, _1));
        topMostChanged.connect(boost::bind(&WidgetManager::onTopMostChanged, manager_, _1, _2));
        shown.connect(boost::bind(&WidgetManager::onAreaChanged, manager_, _1));
        hidden.connect(boost::bind(&WidgetManager::onAreaChanged, manager_, _1));
        invalidated.connect(boost::bind(&WidgetManager::onInvalidated, manager_, _1, _2));
        destroyed.connect(boost::bind(&WidgetManager::onDestroyed, manager_, _1));
    }
    invalidate();
}

Widget::~Widget()
{
    beingDestroyed_ = true;
    destroyed(this);
    const std::vector<Widget*> children = children_;
    for (Widget* child : children)
        delete child;
    detachFromParent();
}

void Widget::detachFromParent()
{
    if (!parent_)
        return;
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent_ = nullptr;
}

void Widget::close()
{
    destroyed(this);
    invalidate();
    if (manager_)
        manager_->deleteLater(this);
    detachFromParent();
}

Widget* Widget::getParent()
{
    return parent_;
}

Widget* Widget::getRoot()
{
    Widget* widget = this;
    while (widget->parent_)
        widget = widget->parent_;
    return widget;
}

const std::vector<Widget*>& Widget::getChildren()
{
    return children_;
}

void Widget::setPosition(const Point& point)
{
    const Rect before = rect_;
    rect_.x = point.x;
    rect_.y = point.y;
    rectChanged(this, before, rect_);
}

Widget::Point Widget::getPosition()
{
    return {rect_.x, rect_.y};
}

void Widget::setSize(const Point& size)
{
    const Rect before = rect_;
    rect_.width = size.x;
    rect_.height = size.y;
    rectChanged(this, before, rect_);
}

Widget::Point Widget::getSize()
{
    return {rect_.width, rect_.height};
}

void Widget::setRect(const Rect& rect)
{
    const Rect before = rect_;
    rect_ = rect;
    rectChanged(this, before, rect_);
}

Widget::Rect Widget::getRect()
{
    return rect_;
}

void Widget::bringToFront()
{
    if (!parent_)
        return;
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    siblings.push_back(this);
    broughtToFront(this);
}

void Widget::sendToBack()
{
    if (!parent_)
        return;
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    siblings.insert(siblings.begin(), this);
    sentToBack(this);
}

void Widget::setTopMost(bool topMost)
{
    if (topMost_ == topMost)
        return;
    topMost_ = topMost;
    topMostChanged(this, topMost);
}

bool Widget::isTopMost()
{
    return topMost_;
}

bool Widget::hitTest(const Point& point) const
{
    if (point.x < rect_.x || point.x >= rect_.x + rect_.width || point.y < rect_.y ||
        point.y >= rect_.y + rect_.height)
        return false;
    if (!activeArea_)
        return true;
    const int x = point.x - rect_.x;
    const int y = point.y - rect_.y;
    if (activeArea_->empty() || x >= activeArea_->width || y >= activeArea_->height)
        return false;
    const std::uint32_t pixel =
        activeArea_->pixels[static_cast<std::size_t>(y) * activeArea_->width + x];
    return (pixel >> 24) >= activeThreshold_;
}

Widget* Widget::pick(const Point& point, PickingFunctor* functor)
{
    if (!functor)
        return nullptr;
    for (const bool topMostPass : {true, false}) {
        for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
            Widget* child = *it;
            if (child->topMost_ != topMostPass || !child->hitTest(point) || !(*functor)(child))
                continue;
            Widget* deeper =
                child->pick({point.x - child->rect_.x, point.y - child->rect_.y}, functor);
            return deeper ? deeper : child;
        }
    }
    return nullptr;
}

void Widget::show()
{
    if (visible_)
        return;
    visible_ = true;
    shown(this);
}

void Widget::hide()
{
    if (!visible_)
        return;
    visible_ = false;
    hidden(this);
}

bool Widget::isVisible()
{
    return visible_;
}

void Widget::invalidateRect(const Rect& rect)
{
    invalidated(this, Graphics::intersect(rect, {0, 0, rect_.width, rect_.height}));
}

void Widget::invalidate()
{
    invalidated(this, {0, 0, rect_.width, rect_.height});
}

void Widget::enable()
{
    if (enabled_)
        return;
    enabled_ = true;
    enabled(this);
}

void Widget::disable()
{
    if (!enabled_)
        return;
    enabled_ = false;
    disabled(this);
}

bool Widget::isEnabled()
{
    return enabled_;
}

void Widget::setFocus()
{
    if (focusable_ && manager_)
        manager_->setFocus(this);
}

void Widget::releaseFocus()
{
    if (hasFocus())
        manager_->setFocus(nullptr);
}

bool Widget::hasFocus()
{
    return manager_ && manager_->getFocus() == this;
}

void Widget::setFocusable(bool focusable)
{
    if (!focusable && hasFocus())
        manager_->setFocus(nullptr);
    focusable_ = focusable;
}

bool Widget::isFocusable()
{
    return focusable_;
}

void Widget::captureMouse()
{
    if (manager_ && !hasCapture())
        manager_->setCapture(this);
}

void Widget::releaseMouse()
{
    if (hasCapture())
        manager_->setCapture(nullptr);
}

bool Widget::hasCapture()
{
    return manager_ && manager_->getCapture() == this;
}

void Widget::setColor(std::uint32_t colour)
{
    if (colour_ == colour)
        return;
    colour_ = colour;
    invalidate();
}

std::uint32_t Widget::getColor()
{
    return colour_;
}

void Widget::setActiveAreaImage(const Graphics::Bitmap* image)
{
    activeArea_ = image;
}

void Widget::setActiveThreshold(std::uint8_t threshold)
{
    activeThreshold_ = threshold;
}

const Graphics::Bitmap* Widget::getActiveAreaImage()
{
    return activeArea_;
}

std::uint8_t Widget::getActiveThreshold()
{
    return activeThreshold_;
}

Widget::Point Widget::absolutePosition() const
{
    Point position{0, 0};
    for (const Widget* widget = this; widget; widget = widget->parent_) {
        position.x += widget->rect_.x;
        position.y += widget->rect_.y;
    }
    return position;
}

} // namespace Zq::Application::GUI
