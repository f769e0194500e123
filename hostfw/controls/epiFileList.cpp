#include "hostfw/controls/epiFileList.h"

#include "hostfw/app/epiKeyboard.h"
#include "hostfw/controls/epiControlLook.h"

#include <algorithm>

namespace look = epiControlLook;

void epiFileList::setRows(std::vector<std::string> rows)
{
    rows_ = std::move(rows);
    selection_ = -1;
    first_ = 0;
    redraw();
}

int epiFileList::shownRows() const
{
    return std::max(1, (getHeight() - 4) / kRowHeight);
}

void epiFileList::reveal(int row)
{
    if (row < first_)
        first_ = row;
    else if (row >= first_ + shownRows())
        first_ = row - shownRows() + 1;
    first_ = std::max(0, first_);
}

void epiFileList::select(int row)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return;
    selection_ = row;
    reveal(row);
    redraw();
    if (listener_)
        listener_(row, false);
}

void epiFileList::onMouseDown(const epiPoint& point)
{
    takeFocus();
    const int row = first_ + (point.y - 2) / kRowHeight;
    if (point.y < 2 || row >= static_cast<int>(rows_.size()))
        return;
    if (row == selection_) {
        if (listener_)
            listener_(row, true);
        return;
    }
    select(row);
}

void epiFileList::onMouseWheel(const epiPoint&, int notches)
{
    const int last = std::max(0, static_cast<int>(rows_.size()) - shownRows());
    first_ = std::clamp(first_ - 3 * notches, 0, last);
    redraw();
}

void epiFileList::onKeyDown(int code)
{
    const int count = static_cast<int>(rows_.size());
    if (code == epiKeyboard::kUp || code == epiKeyboard::kDown) {
        if (count == 0)
            return;
        const int next = selection_ < 0               ? 0
                         : code == epiKeyboard::kDown ? std::min(selection_ + 1, count - 1)
                                                      : std::max(selection_ - 1, 0);
        if (next != selection_)
            select(next);
        return;
    }
    if (code == 13 && selection_ >= 0) {
        if (listener_)
            listener_(selection_, true);
        return;
    }
    passKey(code);
}

void epiFileList::draw(const epiRect& clip)
{
    const epiRect bounds = getBounds();
    look::fill(*this, bounds, clip, look::kField);
    look::bevel(*this, bounds, clip, true);
    epiRect inner(bounds);
    inner.insetAll(2);
    epiRect cut(clip);
    cut.intersect(inner);
    const int count = static_cast<int>(rows_.size());
    for (int row = first_; row < count && row < first_ + shownRows() + 1; ++row) {
        const int top = inner.top + (row - first_) * kRowHeight;
        const epiRect line(inner.left, top, inner.right, top + kRowHeight);
        const bool selected = row == selection_;
        if (selected)
            look::fill(*this, line, cut, hasFocus() ? look::kSelection : look::kShadow);
        look::text(*this, rows_[static_cast<std::size_t>(row)].c_str(),
                   epiRect(line.left + 4, line.top, line.right, line.bottom), cut,
                   selected ? look::kSelectedText : look::kText, 0);
    }
}
