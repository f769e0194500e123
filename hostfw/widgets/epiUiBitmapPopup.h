#pragma once

#include "hostfw/widgets/epiUiBitmapWidgets.h"
#include "hostfw/widgets/epiUiTextWidgets.h"
#include "hostfw/win/epiUiContainer.h"

#include <array>
#include <vector>

class epiUiBitmapPopup;
class epiUiOpenPopupContainer;
class epiUiOpenPopupItemsContainer;

// A pop-up drawn from bitmaps, and each item of its open list: an item shows
// its text over the unselected or selected image of its pop-up (the images
// for items with a sub-list when it has one) and opens its sub-list beside
// itself.
class epiUiBitmapSubPopup : public epiUiBitmapButton {
public:
    epiFourCC getKind() const override { return epiCode("iBpu"); }
    // Presses are the pop-up's and its list's own: no button behaviour.
    epiUiBehaviour* createBehaviour() override { return nullptr; }
    void draw(const epiRect& clip) override;
    void onTextChanged() override { redraw(); }
    void exit() override;
    // The one-shot wait before a hovered item's sub-list opens.
    void onTimedTask() override;

    // An item of the list of the pop-up, at that index of its list.
    void makeItem(epiUiBitmapPopup* popup, epiUiOpenPopupContainer* list, int index,
                  const epiUiPopupMenuList* subList);
    void setHovered(bool hovered);
    bool isHovered() const { return hovered_; }
    const epiUiPopupMenuList* subList() const { return list_; }
    int itemIndex() const { return index_; }
    // Opens the list of this object's items in the pop-up's host container,
    // replacing the one it had open; the items' container when it opened.
    epiUiOpenPopupContainer* openList();
    void closeList();
    epiUiOpenPopupContainer* openedList() const { return opened_; }
    // The open list went with its container's teardown.
    void forgetList(epiUiOpenPopupContainer* list);

protected:
    // The pop-up whose images, font and colour the list uses.
    epiUiBitmapPopup* popup_ = nullptr;
    epiUiOpenPopupContainer* opened_ = nullptr;
    // The open list this item lies in (null for the pop-up).
    epiUiOpenPopupContainer* inList_ = nullptr;
    bool opensToSide_ = false;
    const epiUiPopupMenuList* list_ = nullptr;
    bool hovered_ = false;
    int index_ = -1;
};

// The pop-up selector: a press opens the list of its items ('cont' flat,
// 'cnth' nested) in the container that holds it, on top of its other
// children. Its ten images ('iUns', 'iSel', 'iUnS', 'iSlS', 'iTop', 'iBot',
// 'iSUp', 'iSUd', 'iSDn', 'iSDd') must all be there before it reacts to
// presses. The value is the index of the item chosen last in its list.
class epiUiBitmapPopup : public epiUiBitmapSubPopup {
public:
    // The image slots.
    enum Slot {
        kUnselected = 0,
        kSelected = 1,
        kUnselectedSub = 2,
        kSelectedSub = 3,
        kTop = 7,
        kBottom = 8,
        kScrollUp = 9,
        kScrollUpDisabled = 10,
        kScrollDown = 11,
        kScrollDownDisabled = 12,
        kSlots = 13,
    };

    epiUiBitmapPopup();
    ~epiUiBitmapPopup() override;
    std::vector<epiFourCC> savedAttributes() const override;
    void setAttributeText(epiFourCC code, const epiText& text) override;
    void draw(const epiRect& clip) override;
    void onMouseDown(const epiPoint& point) override;
    void setValue(int index) override { selected_ = index; }
    int getValue() const override { return selected_; }
    void close() override;
    void exit() override;

    epiBitmap* image(int slot) const { return images_[static_cast<std::size_t>(slot)]; }
    bool isReady() const { return ready_; }
    bool isOpen() const { return opened_ != nullptr; }
    epiFourCC fontId() const { return fontId_; }
    const epiColor& textColour() const { return colour_; }
    const epiUiPopupMenuList& items() const { return root_; }
    // The item of that index in its list was chosen.
    void choose(int index, const char* text);
    // Closes the open list and every sub-list.
    void closeAll();
    // The container the lists open in (the pop-up's parent).
    epiUbo* host() const { return getParent(); }
    // Lists closed while their own events ran go at the next opening.
    void retire(epiUiOpenPopupContainer* list);
    // Whether the pointer has moved over the open list since it opened.
    bool movedOverList() const { return movedOverList_; }
    void setMovedOverList() { movedOverList_ = true; }

private:
    void buryRetired();

    std::array<epiBitmap*, kSlots> images_{};
    bool ready_ = false;
    epiFourCC fontId_ = epiCode("gen9");
    epiColor colour_;
    epiUiPopupMenuList root_;
    epiPoint clickPoint_;
    int selected_ = -1;
    bool movedOverList_ = false;
    std::vector<epiUbo*> retired_;
};

// An open list ('uBOP'): the top border, the up arrow when it scrolls, the
// items, the down arrow and the bottom border. Hovering an arrow scrolls on a
// 0.05 s timed task, faster as it goes on; the arrow at its end shows its
// disabled face. The root list holds the pointer while it is open and hands
// each report to the innermost open list under it.
class epiUiOpenPopupContainer : public epiUiContainer {
public:
    static constexpr double kScrollSeconds = 0.05;

    epiFourCC getKind() const override { return epiCode("uBOP"); }
    std::vector<epiFourCC> allowedParentKinds() const override { return {}; }
    // Lays out the list of the opener's items; the available height is the
    // host's height less an item and 100 pixels.
    void build(epiUiBitmapPopup* popup, epiUiBitmapSubPopup* opener, int hostHeight);
    void onTimedTask() override;
    void onMouseDown(const epiPoint& point) override;
    void onMouseUp(const epiPoint& point) override;
    void onMouseMove(const epiPoint& point) override;
    void onMouseDrag(const epiPoint& point) override { onMouseMove(point); }
    void onMouseWheel(const epiPoint&, int) override {}
    // The host losing the capture (the focus went elsewhere) closes the
    // pop-up's lists.
    void onMessage(epiFourCC key, epiUbo* sender, void* argument) override;
    // A list torn down with its container while open is forgotten by its
    // opener.
    void exit() override;
    // Closed: the opener no longer knows it.
    void forgetOpener() { opener_ = nullptr; }

    int scrollPosition() const { return scroll_; }
    int maximumScroll() const { return maxScroll_; }
    int visibleHeight() const { return visibleHeight_; }
    int tickCounter() const { return ticks_; }
    bool isScrolling() const { return scrolling_; }
    epiUiOpenPopupItemsContainer* itemsContainer() const { return items_; }
    epiUiBitmapSubPopup* opener() const { return opener_; }
    // The sub-list one of its items opened, when there is one.
    epiUiOpenPopupContainer* subList() const { return subList_; }
    void setSubList(epiUiOpenPopupContainer* list) { subList_ = list; }

private:
    // The arrow under the point: -1 up, 1 down, 0 none.
    int arrowAt(const epiPoint& point) const;
    void hoverArrow(int arrow);
    void showArrowFaces();
    // The innermost open list whose frame holds the host point, this list's
    // chain searched from its deepest sub-list.
    epiUiOpenPopupContainer* listAt(const epiPoint& hostPoint);
    void route(int action, const epiPoint& point);
    void handle(int action, const epiPoint& point);

    epiUiBitmapPopup* popup_ = nullptr;
    epiUiBitmapSubPopup* opener_ = nullptr;
    epiUiOpenPopupItemsContainer* items_ = nullptr;
    epiUiBitmapImage* up_ = nullptr;
    epiUiBitmapImage* down_ = nullptr;
    epiUiOpenPopupContainer* subList_ = nullptr;
    int hoveredArrow_ = 0;
    int scroll_ = 0;
    int ticks_ = 0;
    int maxScroll_ = 0;
    int visibleHeight_ = 0;
    bool scrolling_ = false;
};

// The items of an open list ('uBOL'), one item a row, scrolled by 'scrY'.
class epiUiOpenPopupItemsContainer : public epiUiScrollableContainer {
public:
    epiFourCC getKind() const override { return epiCode("uBOL"); }
    std::vector<epiFourCC> allowedParentKinds() const override { return {epiCode("uBOP")}; }
    void fill(epiUiBitmapPopup* popup, epiUiOpenPopupContainer* list,
              const epiUiPopupMenuList& items, int itemHeight);
    // The item under a point of this container's own coordinates.
    epiUiBitmapSubPopup* itemAt(const epiPoint& point) const;
    // Marks the item selected (null: none) and, when it has a sub-list,
    // starts the wait before it opens.
    void hover(epiUiBitmapSubPopup* item);
    epiUiBitmapSubPopup* hoveredItem() const { return hovered_; }
    bool isPressed() const { return pressed_; }
    void setPressed(bool pressed) { pressed_ = pressed; }

private:
    bool pressed_ = false;
    epiUiBitmapSubPopup* hovered_ = nullptr;
};
