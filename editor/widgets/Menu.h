#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/graphics/Font.h"
#include "editor/widgets/Widget.h"
#include "plugin/docview/AdapterMenu.h"

namespace Zq::Application::Widgets {

class Menu;

struct MenuItem {
    std::string text;
    int id = 0;              // the caller's own number
    Menu* subMenu = nullptr; // owned through this item: cleared and closed with it
    bool checked = false;
    GUI::Widget::Rect rect{};
    std::uint32_t textColour = 0xFF000000u;
};

// The editor's own pop-up menu, drawn inside the editor: a bevelled list of
// text items with check dots and cascading sub-menus, scroll bands when it is
// taller than the editor, and one selection signal, fired by the menu that
// holds the chosen item. Its parent is always the root. Without a font it
// measures 0 and draws nothing.
class Menu : public GUI::Widget, public DocView::SelectionMenu {
public:
    // Hidden after construction. The font is not owned.
    Menu(GUI::Widget* parent, const Point& position, const Graphics::Font* font,
         std::uint32_t colour);
    ~Menu() override;

    // Lays the menu out again and repaints when it is shown.
    void addItem(const std::string& text, int id, Menu* subMenu = nullptr, bool checked = false);
    // A new hidden menu beside this one, to hand to addItem.
    Menu* createSubMenu();
    // Clears and closes every sub-menu, then forgets the items.
    void clear();
    int getItemCount() const { return static_cast<int>(items_.size()); }
    const MenuItem& getItem(int index) const { return items_[static_cast<std::size_t>(index)]; }
    // The item's id as a float; false for an index without item.
    bool getItemValue(int index, float& value) const override;

    int getHovered() const { return hovered_; }
    int getScrollOffset() const { return scrollOffset_; }
    bool isScrolling() const { return scrolling_; }
    Menu* getOpenSubMenu() const { return openSubMenu_; }

    // Lays out and places the menu, takes the mouse and comes to the front.
    void show() override;
    // Hides the open sub-menu first.
    void hide() override;
    void close() override;

    virtual void onPaint(GUI::Widget* widget, Graphics::Painter* painter, const Rect& dirty);
    virtual void onMouseMove(GUI::Widget* widget, const Point& point, int modifiers);
    virtual void onMouseDown(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onMouseUp(GUI::Widget* widget, const Point& point, int button, int modifiers);

    // Bands: hovered values that are not items.
    static constexpr int noItem = -1;
    static constexpr int upBand = -2;
    static constexpr int downBand = -3;

private:
    void layout();
    void place();
    int contentTop() const { return scrolling_ ? 10 : 2; }
    // An item's rectangle on screen (menu coordinates), scrolled.
    Rect shownRect(std::size_t index) const;
    bool inside(const Point& point);
    void closeSubMenu();
    void hideChain();
    void onSubMenuDestroyed(GUI::Widget* subMenu);

    const Graphics::Font* font_;
    std::uint32_t colour_;
    Menu* parentMenu_ = nullptr;
    std::vector<MenuItem> items_;
    int contentWidth_ = 0;
    int contentHeight_ = 0;
    int hovered_ = noItem;
    Rect openItemRect_{};
    bool scrolling_ = false;
    int scrollOffset_ = 0;
    Menu* openSubMenu_ = nullptr;
};

} // namespace Zq::Application::Widgets
