#include "hostfw/controls/epiMenuBar.h"

#include "hostfw/controls/epiControlLook.h"
#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/gfx/epiTextFace.h"
#include "hostfw/win/epiWindow.h"

#include <cmath>

namespace look = epiControlLook;

namespace {

const std::vector<epiMenuItem>& noEntries()
{
    static const std::vector<epiMenuItem> none;
    return none;
}

} // namespace

epiMenuBar::epiMenuBar(epiWindow& window) : window_(window)
{
}

epiMenuBar::~epiMenuBar()
{
    list_.close();
}

epiMenu* epiMenuBar::menu() const
{
    return window_.menus();
}

const std::vector<epiMenuItem>& epiMenuBar::entries() const
{
    const epiMenu* service = menu();
    return service ? service->menuBar() : noEntries();
}

epiRect epiMenuBar::labelRect(int index) const
{
    const auto& items = entries();
    if (index < 0 || index >= static_cast<int>(items.size()))
        return {};
    int left = 0;
    for (int i = 0;; ++i) {
        const int width =
            static_cast<int>(std::lround(look::measure(items[i].label.getCStr()))) + 2 * kPadding;
        if (i == index)
            return {left, 0, left + width, platform::ui::WindowSystem::kMenuStripHeight};
        left += width;
    }
}

std::vector<epiPopupListItem> epiMenuBar::rowsOf(const std::vector<epiMenuItem>& items)
{
    std::vector<epiPopupListItem> rows;
    for (const epiMenuItem& item : items) {
        if (item.separator) {
            rows.push_back(epiPopupListItem::makeSeparator());
            continue;
        }
        epiPopupListItem row;
        row.label = item.label.str();
        row.id = item.commandId;
        row.subItems = rowsOf(item.submenu);
        rows.push_back(std::move(row));
    }
    return rows;
}

void epiMenuBar::drawStrip(epiBitmap& strip)
{
    const epiRect all = strip.getBounds();
    strip.fillRect(look::colour(look::kFace), &all);
    const auto& items = entries();
    const int open = openIndex();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const epiRect label = labelRect(i);
        if (i == open)
            strip.fillRect(look::colour(look::kSelection), &label);
        const int top = (label.getHeight() - look::kLineHeight) / 2;
        const epiRect box(label.left, top, label.right, top + look::kLineHeight + 2);
        strip.drawTextInRect(
            items[i].label.getCStr(), static_cast<float>(look::kPoints), look::kFamily, box,
            look::colour(i == open ? look::kSelectedText : look::kText), epiTextFace::kCentre);
    }
    // The line between the bar and the client area.
    const epiRect line(0, all.bottom - 1, all.right, all.bottom);
    strip.fillRect(look::colour(look::kShadow), &line);
}

int epiMenuBar::entryAt(int x, int y) const
{
    for (int i = 0; i < static_cast<int>(entries().size()); ++i) {
        if (labelRect(i).containsXY(x, y))
            return i;
    }
    return -1;
}

void epiMenuBar::stripPointer(platform::ui::PointerAction action, int x, int y)
{
    if (action == platform::ui::PointerAction::Down)
        openMenu(entryAt(x, y));
}

bool epiMenuBar::takesPointerFirst(platform::ui::PointerAction action, int x, int y) const
{
    if (action != platform::ui::PointerAction::Down || openIndex() < 0)
        return false;
    const int entry = entryAt(x, y);
    return entry >= 0 && entry != openIndex();
}

bool epiMenuBar::openMenu(int index)
{
    const auto& items = entries();
    if (index < 0 || index >= static_cast<int>(items.size()))
        return false;
    list_.close();
    list_.setItems(rowsOf(items[static_cast<std::size_t>(index)].submenu));
    list_.setMarked(-1);
    list_.onChosen([this](const epiPopupList::Choice& choice) {
        if (epiMenu* service = menu())
            service->onMenuCommand(choice.id);
    });
    list_.onClosed([this] {
        open_ = -1;
        window_.invalidateStrip();
    });
    // The label lies above the client area's origin.
    epiRect label = labelRect(index);
    label.offset(0, -platform::ui::WindowSystem::kMenuStripHeight);
    open_ = index;
    if (!list_.openBelow(window_, epiPopupList::screenRect(window_, label))) {
        open_ = -1;
        return false;
    }
    window_.invalidateStrip();
    return true;
}
