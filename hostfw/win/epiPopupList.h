#pragma once

#include "hostfw/ui/epiRect.h"
#include "platform/headless/WindowLayer.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class epiUbo;
class epiUiEventsBase;
class epiPopupListWindow;

// One row of a pop-up list. A label "Open\tCtrl+O" shows "Open" on the left
// and "Ctrl+O" on the right. A row with sub-items opens them as a list of
// their own beside it and is not chosen itself.
struct epiPopupListItem {
    std::string label;
    // What the chosen callback reports; the callers' own numbering (a
    // command id, an index).
    int id = 0;
    bool separator = false;
    // Disabled rows are drawn grey and cannot be chosen.
    bool enabled = true;
    std::vector<epiPopupListItem> subItems;

    static epiPopupListItem makeSeparator()
    {
        epiPopupListItem item;
        item.separator = true;
        return item;
    }
};

// The framework's own pop-up list: a code-drawn list of rows in a window of
// its own without decorations (override-redirect), above every other window.
// The pop-up menu widget, the combo box's list and the menu bar's drop-downs
// all open one.
//
// While it is open the list takes the pointer and the keys of the
// application:
//  - the mouse: the row under the pointer is marked; a press on a row, or a
//    release over a row after the pointer has moved over the list, chooses
//    it (so a press on the widget that opened the list, a drag and a release
//    choose in one gesture); a row with sub-items opens its sub-list after
//    the pointer has rested on it for 0.2 s (a timed task);
//  - the keys: Up and Down move the mark over the enabled rows (skipping
//    separators), Right or Return opens a marked row's sub-list, Left closes
//    the innermost sub-list, Return chooses, Escape closes;
//  - a press anywhere outside the list's windows, or the owner's window
//    losing the focus, closes it without a choice.
// Rows that do not fit on the screen scroll with the wheel and follow the
// keyboard's mark.
//
// Everything runs on the user-interface thread. One list is open at a time:
// opening one closes any other. The owner of an open list must outlive it or
// close it first; destroying the list closes it.
class epiPopupList {
public:
    // The chosen row: its id, its label, and its index in each list from the
    // root to the row's own.
    struct Choice {
        int id = 0;
        std::string label;
        std::vector<int> path;
    };
    using ChosenCallback = std::function<void(const Choice&)>;
    using ClosedCallback = std::function<void()>;

    // Geometry of the rows (pixels).
    static constexpr int kRowHeight = 20;
    static constexpr int kSeparatorHeight = 7;
    static constexpr int kTextHeight = 12;

    epiPopupList();
    ~epiPopupList();
    epiPopupList(const epiPopupList&) = delete;
    epiPopupList& operator=(const epiPopupList&) = delete;

    // The rows; takes effect at the next opening.
    void setItems(std::vector<epiPopupListItem> items);
    const std::vector<epiPopupListItem>& items() const { return items_; }
    // The row marked when the list opens (-1: none), as a combo box marks
    // its selection.
    void setMarked(int index) { initialMark_ = index; }
    // Called once for a choice, just after the list has closed.
    void onChosen(ChosenCallback callback) { chosen_ = std::move(callback); }
    // Called whenever the list closes, chosen or not.
    void onClosed(ClosedCallback callback) { closed_ = std::move(callback); }

    // Opens the list with its top-left corner at the screen point, moved to
    // stay on the screen. The owner's window gives the list its keys and its
    // focus. False, and nothing opens, without items, without an owner in an
    // application or without a window system.
    bool openAt(epiUbo& owner, const epiPoint& screenPoint);
    // Opens the list below the screen rectangle (above it when it fits there
    // and not below), at least as wide as the rectangle.
    bool openBelow(epiUbo& owner, const epiRect& screenRect);
    void close();
    bool isOpen() const { return !windows_.empty(); }

    // The open list windows, the root first (its sub-lists after it); for
    // tests and checks of what is shown.
    int openLevels() const { return static_cast<int>(windows_.size()); }
    epiUiEventsBase* window(int level) const;
    // The marked row of an open level, -1 for none or a closed level.
    int marked(int level) const;

    // A point or rectangle of an object's coordinates on the screen (through
    // the top-level window that holds the object).
    static epiPoint screenPoint(const epiUbo& object, const epiPoint& point);
    static epiRect screenRect(const epiUbo& object, const epiRect& rect);

    // The open list, when there is one.
    static epiPopupList* current();
    // The pointer reports of the application's other windows reach the open
    // list first: true when the list took the report (the window then does
    // nothing more with it). Called by every window.
    static bool filterPointer(epiUiEventsBase& window, platform::ui::PointerAction action, int x,
                              int y);
    // A window lost the focus or is going: the list it gives keys to closes.
    static void windowDeactivated(const epiUbo& window);

private:
    friend class epiPopupListWindow;

    bool open(epiUbo& owner, const epiRect& anchor, bool below);
    // Opens the sub-list of the marked row of that level.
    void openSubList(int level);
    void closeLevelsAfter(int level);
    // Pointer reports in screen coordinates.
    void pointerAt(platform::ui::PointerAction action, const epiPoint& screen, int wheel);
    // The deepest open level whose window holds the screen point, -1: none.
    int levelAt(const epiPoint& screen) const;
    void keyDown(int code);
    void choose(int level, int row);
    void finish(bool chosen, const Choice& choice);

    std::vector<epiPopupListItem> items_;
    // The rows of the open list, which its windows show.
    std::vector<epiPopupListItem> openItems_;
    int initialMark_ = -1;
    ChosenCallback chosen_;
    ClosedCallback closed_;
    epiUbo* owner_ = nullptr;
    epiUbo* keyWindow_ = nullptr;
    std::vector<std::unique_ptr<epiPopupListWindow>> windows_;
    bool movedOverList_ = false;
    bool closing_ = false;
};
