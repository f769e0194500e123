#include "editor/widgets/Menu.h"

#include <boost/bind/bind.hpp>

#include "editor/graphics/Painter.h"
#include "editor/widgets/MenuGlyphs.h"

namespace Zq::Application::Widgets {

using namespace boost::placeholders;

namespace {
constexpr std::uint32_t kFace = 0xFFD4D0C8u;
constexpr std::uint32_t kLight = 0xFFFFFFFFu;
constexpr std::uint32_t kDarkShadow = 0xFF404040u;
constexpr std::uint32_t kShadow = 0xFF808080u;
constexpr std::uint32_t kHighlight = 0xFF0A246Au;
constexpr std::uint32_t kHighlightText = 0xFFFFFFFFu;
constexpr int kBand = 10; // the scroll bands are as high as the arrow glyphs

bool contains(const GUI::Widget::Rect& r, const GUI::Widget::Point& p)
{
    return p.x >= r.x && p.x < r.x + r.width && p.y >= r.y && p.y < r.y + r.height;
}
} // namespace

Menu::Menu(GUI::Widget* parent, const Point& position, const Graphics::Font* font,
           std::uint32_t colour)
    : Widget(parent, {position.x, position.y, 0, 0}), font_(font), colour_(colour)
{
    auto& events = callbacks();
    events.paint.connect(boost::bind(&Menu::onPaint, this, _1, _2, _3));
    events.mouseMove.connect(boost::bind(&Menu::onMouseMove, this, _1, _2, _3));
    events.mouseDown.connect(boost::bind(&Menu::onMouseDown, this, _1, _2, _3, _4));
    events.mouseUp.connect(boost::bind(&Menu::onMouseUp, this, _1, _2, _3, _4));
    Widget::hide();
}

Menu::~Menu()
{
    // Sub-menus outliving this menu must not reach back into it.
    for (MenuItem& item : items_)
        if (item.subMenu && item.subMenu->parentMenu_ == this)
            item.subMenu->parentMenu_ = nullptr;
}

void Menu::addItem(const std::string& text, int id, Menu* subMenu, bool checked)
{
    items_.push_back({text, id, subMenu, checked, {}, 0xFF000000u});
    if (subMenu)
        // Tracked: a sub-menu deleted on its own leaves no dangling item.
        subMenu->destroyed.connect(boost::bind(&Menu::onSubMenuDestroyed, this, _1));
    if (isVisible()) {
        layout();
        invalidate();
    }
}

Menu* Menu::createSubMenu()
{
    return new Menu(getParent(), getPosition(), font_, colour_);
}

void Menu::clear()
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (Menu* sub = items_[i].subMenu) {
            sub->clear();
            sub->close();
        }
    items_.clear();
    openSubMenu_ = nullptr;
    hovered_ = noItem;
    scrollOffset_ = 0;
}

void Menu::close()
{
    clear();
    Widget::close();
}

void Menu::onSubMenuDestroyed(GUI::Widget* subMenu)
{
    for (MenuItem& item : items_)
        if (item.subMenu == subMenu)
            item.subMenu = nullptr;
    if (openSubMenu_ == subMenu)
        openSubMenu_ = nullptr;
}

bool Menu::getItemValue(int index, float& value) const
{
    if (index < 0 || index >= getItemCount())
        return false;
    value = static_cast<float>(items_[static_cast<std::size_t>(index)].id);
    return true;
}

void Menu::layout()
{
    int y = 0;
    int widest = 0;
    for (MenuItem& item : items_) {
        const Point extent = font_ ? font_->measure(item.text.c_str(), 0) : Point{0, 0};
        item.rect = {0, y, 0, extent.y + 3};
        y += item.rect.height;
        if (extent.x > widest)
            widest = extent.x;
    }
    contentWidth_ = widest + 30;
    contentHeight_ = y;
    for (MenuItem& item : items_)
        item.rect.width = contentWidth_;
    setSize({contentWidth_ + 5, contentHeight_ + 5});
}

void Menu::place()
{
    Rect r = getRect();
    if (GUI::Widget* parent = getParent()) {
        const Point room = parent->getSize();
        // The right (bottom) edge may end one pixel past the root's.
        if (r.x < 0)
            r.x = 0;
        if (r.x + r.width > room.x)
            r.x = room.x - r.width + 1;
        if (r.x < 0) {
            r.width += r.x;
            r.x = 0;
        }
        if (r.y < 0)
            r.y = 0;
        if (r.y + r.height > room.y)
            r.y = room.y - r.height + 1;
        if (r.y < 0) {
            r.height += r.y;
            r.y = 0;
        }
        scrolling_ = r.height > room.y;
    } else {
        scrolling_ = false;
    }
    scrollOffset_ = 0;
    setRect(r);
}

void Menu::show()
{
    layout();
    place();
    captureMouse();
    setTopMost(true);
    bringToFront();
    hovered_ = noItem;
    Widget::show();
}

void Menu::hide()
{
    closeSubMenu();
    Widget::hide();
}

void Menu::closeSubMenu()
{
    if (Menu* sub = openSubMenu_) {
        openSubMenu_ = nullptr;
        sub->hide();
    }
}

void Menu::hideChain()
{
    for (Menu* menu = this; menu;) {
        Menu* const up = menu->parentMenu_;
        menu->hide();
        menu = up;
    }
}

Menu::Rect Menu::shownRect(std::size_t index) const
{
    const MenuItem& first = items_[static_cast<std::size_t>(scrollOffset_)];
    const MenuItem& item = items_[index];
    return {2 + item.rect.x - first.rect.x, contentTop() + item.rect.y - first.rect.y,
            item.rect.width, item.rect.height};
}

bool Menu::inside(const Point& point)
{
    const Point size = getSize();
    return contains({0, 0, size.x, size.y}, point);
}

void Menu::onMouseMove(GUI::Widget*, const Point& point, int)
{
    if (inside(point)) {
        const int h = getSize().y;
        if (scrolling_ && point.y < kBand) {
            hovered_ = upBand;
            invalidate();
            return;
        }
        if (scrolling_ && point.y > h - 1 - kBand) {
            hovered_ = downBand;
            invalidate();
            return;
        }
        for (std::size_t i = static_cast<std::size_t>(scrollOffset_); i < items_.size(); ++i) {
            if (static_cast<int>(i) == hovered_)
                continue;
            const Rect shown = shownRect(i);
            if (!contains(shown, point))
                continue;
            closeSubMenu();
            hovered_ = static_cast<int>(i);
            Menu* sub = items_[i].subMenu;
            if (sub && sub->getItemCount() > 0) {
                openItemRect_ = shown;
                const Point at = getPosition();
                sub->setPosition({at.x + shown.x + shown.width, at.y + shown.y});
                sub->parentMenu_ = this;
                openSubMenu_ = sub;
                sub->show();
            }
            invalidate();
            return;
        }
        return;
    }
    // Back over a menu further up, off the item that opened the chain: that
    // menu takes the mouse again and closes what it opened.
    const Point self = absolutePosition();
    const Point pointer{self.x + point.x, self.y + point.y};
    for (Menu* menu = parentMenu_; menu; menu = menu->parentMenu_) {
        const Point at = menu->absolutePosition();
        const Point local{pointer.x - at.x, pointer.y - at.y};
        if (menu->inside(local) && !contains(menu->openItemRect_, local)) {
            menu->captureMouse();
            menu->closeSubMenu();
            return;
        }
    }
    hovered_ = noItem;
    invalidate();
}

void Menu::onMouseDown(GUI::Widget*, const Point& point, int, int)
{
    if (inside(point))
        return;
    hovered_ = noItem;
    releaseMouse();
    hideChain();
}

void Menu::onMouseUp(GUI::Widget*, const Point& point, int, int)
{
    if (hovered_ == noItem)
        return;
    if (hovered_ == upBand) {
        if (scrollOffset_ > 0)
            --scrollOffset_;
        invalidate();
        return;
    }
    if (hovered_ == downBand) {
        if (scrollOffset_ + 1 < getItemCount())
            ++scrollOffset_;
        invalidate();
        return;
    }
    if (hovered_ < 0 || hovered_ >= getItemCount() ||
        items_[static_cast<std::size_t>(hovered_)].subMenu)
        return;
    const int chosen = hovered_;
    const bool onMenu = inside(point);
    releaseMouse();
    hideChain();
    if (onMenu)
        selected(this, chosen);
}

void Menu::onPaint(GUI::Widget*, Graphics::Painter* painter, const Rect&)
{
    if (!font_)
        return;
    const Point size = getSize();
    const int w = size.x;
    const int h = size.y;
    painter->drawHorizontalLine(kFace, {0, 0}, w - 1);
    painter->drawVerticalLine(kFace, {0, 0}, h - 1);
    painter->drawHorizontalLine(kDarkShadow, {0, h - 1}, w - 1);
    painter->drawVerticalLine(kDarkShadow, {w - 1, 0}, h);
    painter->drawHorizontalLine(kLight, {1, 1}, w - 3);
    painter->drawVerticalLine(kLight, {1, 1}, h - 3);
    painter->drawHorizontalLine(kShadow, {1, h - 2}, w - 3);
    painter->drawVerticalLine(kShadow, {w - 2, 1}, h - 2);
    painter->fillRect(kFace, {2, 2, w - 4, h - 4});

    constexpr Rect glyphSource{0, 0, MenuGlyphs::size, MenuGlyphs::size};
    if (scrolling_) {
        if (hovered_ == upBand)
            painter->fillRect(kHighlight, {2, 2, w - 5, kBand});
        if (hovered_ == downBand)
            painter->fillRect(kHighlight, {2, h - 11, w - 5, kBand});
        const int x = (w - 3) / 2 - 5;
        painter->drawBitmap(MenuGlyphs::get(MenuGlyphs::UpArrow, false), {x, 2}, glyphSource);
        painter->drawBitmap(MenuGlyphs::get(MenuGlyphs::DownArrow, false), {x, h - 11},
                            glyphSource);
    }

    const int top = contentTop();
    const int bottom = scrolling_ ? h - 11 : h - 2;
    const Rect savedArea = painter->getArea();
    painter->setArea({2, top, w - 4, bottom - top});
    for (std::size_t i = static_cast<std::size_t>(scrollOffset_); i < items_.size(); ++i) {
        const Rect r = shownRect(i);
        if (r.y >= bottom)
            break;
        const MenuItem& item = items_[i];
        const bool lit = static_cast<int>(i) == hovered_;
        if (lit)
            painter->fillRect(kHighlight, r);
        painter->drawTextAligned(*font_, lit ? kHighlightText : item.textColour, item.text.c_str(),
                                 {r.x + 15, r.y + 2, r.width - 15, r.height}, 0, 0);
        const int glyphY = r.y + (r.height - 10) / 2 + 1;
        if (item.subMenu)
            painter->drawBitmap(MenuGlyphs::get(MenuGlyphs::RightArrow, lit),
                                {r.x + r.width - 12, glyphY}, glyphSource);
        if (item.checked)
            painter->drawBitmap(MenuGlyphs::get(MenuGlyphs::Dot, lit), {r.x + 2, glyphY},
                                glyphSource);
    }
    painter->setArea(savedArea);
}

} // namespace Zq::Application::Widgets
