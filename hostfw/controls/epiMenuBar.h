#pragma once

#include "hostfw/app/epiMenu.h"
#include "hostfw/win/epiPopupList.h"
#include "hostfw/win/epiUiEventsBase.h"

#include <vector>

class epiWindow;

// The menu bar in the strip above a window's client area: the top-level
// labels of the application's menu document side by side. A press on a label
// opens its drop-down (the framework's pop-up list) below it, with each
// item's label and its shortcut after the tab, its separators and its
// sub-menus; a choice hands the item's command to the menu service. The
// shortcuts themselves are the message loop's: they work while no drop-down
// is open.
class epiMenuBar : public epiWindowStrip {
public:
    static constexpr int kPadding = 8;

    explicit epiMenuBar(epiWindow& window);
    ~epiMenuBar() override;
    epiMenuBar(const epiMenuBar&) = delete;
    epiMenuBar& operator=(const epiMenuBar&) = delete;

    void drawStrip(epiBitmap& strip) override;
    void stripPointer(platform::ui::PointerAction action, int x, int y) override;
    // While a drop-down is open, a press on another label opens that one at
    // once; a press on the open one's label closes it.
    bool takesPointerFirst(platform::ui::PointerAction action, int x, int y) const override;

    // Opens the drop-down of the top-level entry; false when there is none.
    bool openMenu(int index);
    // The entry whose drop-down is open, -1 for none.
    int openIndex() const { return list_.isOpen() ? open_ : -1; }
    epiPopupList& popupList() { return list_; }
    // The label's place in the strip's coordinates (empty for no entry).
    epiRect labelRect(int index) const;
    // The entry whose label holds the strip's point, -1 for none.
    int entryAt(int x, int y) const;
    // The top-level entries, from the menu service.
    const std::vector<epiMenuItem>& entries() const;

    // The rows of a menu level as the pop-up list shows them (ids are the
    // commands' ids).
    static std::vector<epiPopupListItem> rowsOf(const std::vector<epiMenuItem>& items);

private:
    epiMenu* menu() const;

    epiWindow& window_;
    epiPopupList list_;
    int open_ = -1;
};
