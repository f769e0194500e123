#include "hostfw/controls/epiUiSystemPopup.h"

#include "hostfw/app/epiKeyboard.h"
#include "hostfw/controls/epiControlLook.h"
#include "hostfw/core/epiObjectsList.h"

#include <algorithm>

namespace look = epiControlLook;

void epiUiSystemPopup::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code != epiCode("cont") && code != epiCode("cnth")) {
        epiUiSystemButton::setAttributeText(code, text);
        return;
    }
    listText_.assign(text.getCStr());
    hideFolders_ = code == epiCode("cnth");
    // Lines are joined with bars first, so both separate entries.
    std::string joined;
    const std::size_t lines = text.countLines();
    for (std::size_t i = 0; i < lines; ++i) {
        epiText line;
        text.getLine(line, i);
        if (i != 0)
            joined += '|';
        joined += line.str();
    }
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start <= joined.size() && !joined.empty()) {
        std::size_t bar = joined.find('|', start);
        if (bar == std::string::npos)
            bar = joined.size();
        std::string entry = joined.substr(start, bar - start);
        if (!(hideFolders_ && entry.find('/') != std::string::npos))
            entries.push_back(std::move(entry));
        start = bar + 1;
    }
    fill(entries);
}

bool epiUiSystemPopup::getAttributeText(epiFourCC code, epiText& text) const
{
    if (code == epiCode("cont") || code == epiCode("cnth")) {
        text.assign(listText_.getCStr());
        return true;
    }
    return epiUiSystemButton::getAttributeText(code, text);
}

void epiUiSystemPopup::setAttributeObject(epiFourCC code, const epiObjectsList& list)
{
    if (code != epiCode("cont"))
        return;
    hideFolders_ = false;
    std::vector<std::string> entries;
    for (const epiObject* object : list.elements()) {
        if (const auto* text = dynamic_cast<const epiText*>(object))
            entries.push_back(text->str());
    }
    fill(entries);
}

void epiUiSystemPopup::fill(const std::vector<std::string>& entries)
{
    list_.close();
    entries_ = entries;
    // Emptied: nothing is selected; the text stays until a selection.
    selection_ = -1;
    redraw();
}

void epiUiSystemPopup::select(int index)
{
    selection_ = index >= 0 && index < static_cast<int>(entries_.size()) ? index : -1;
    epiUbo::setTextCStr(selection_ < 0 ? ""
                                       : entries_[static_cast<std::size_t>(selection_)].c_str());
    redraw();
}

void epiUiSystemPopup::setTextCStr(const char* text)
{
    const std::string wanted = text ? text : "";
    const auto found = std::find(entries_.begin(), entries_.end(), wanted);
    if (found == entries_.end()) {
        // Before creation the text is kept for open, which selects it once
        // the entries are known.
        if (!isCreated())
            epiUbo::setTextCStr(wanted.c_str());
        return;
    }
    select(static_cast<int>(found - entries_.begin()));
}

void epiUiSystemPopup::setValue(int index)
{
    select(index);
}

void epiUiSystemPopup::open()
{
    epiUiSystemButton::open();
    if (!getText().isEmpty())
        setTextCStr(getTextCStr());
}

void epiUiSystemPopup::close()
{
    list_.close();
    epiUiSystemButton::close();
}

void epiUiSystemPopup::choose(int index)
{
    select(index);
    activate();
}

void epiUiSystemPopup::onMouseDown(const epiPoint&)
{
    if (!enabled_ || entries_.empty())
        return;
    takeFocus();
    if (list_.isOpen()) {
        list_.close();
        return;
    }
    std::vector<epiPopupListItem> rows;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        epiPopupListItem row;
        row.label = entries_[i];
        row.id = static_cast<int>(i);
        rows.push_back(std::move(row));
    }
    list_.setItems(std::move(rows));
    list_.setMarked(selection_);
    list_.onChosen([this](const epiPopupList::Choice& choice) { choose(choice.id); });
    list_.onClosed([this] { redraw(); });
    list_.openBelow(*this, epiPopupList::screenRect(*this, getBounds()));
}

void epiUiSystemPopup::onKeyDown(int code)
{
    const int count = static_cast<int>(entries_.size());
    if (enabled_ && (code == epiKeyboard::kUp || code == epiKeyboard::kDown)) {
        if (count == 0)
            return;
        const int next = code == epiKeyboard::kDown
                             ? (selection_ < 0 ? 0 : std::min(selection_ + 1, count - 1))
                             : (selection_ < 0 ? 0 : std::max(selection_ - 1, 0));
        if (next != selection_)
            choose(next);
        return;
    }
    passKey(code);
}

void epiUiSystemPopup::drawFace(const epiRect& clip, bool withText)
{
    const epiRect bounds = getBounds();
    const int button = std::min(bounds.getHeight(), 17);
    const epiRect arrowBox(bounds.right - button, 0, bounds.right, bounds.bottom);
    const std::uint32_t ink = enabled_ ? look::kText : look::kDisabledText;
    if (withText) {
        look::fill(*this, bounds, clip, enabled_ ? look::kField : look::kFace);
        look::bevel(*this, bounds, clip, true);
        epiRect field(2, 2, arrowBox.left, bounds.bottom - 2);
        if (hasFocus() && !list_.isOpen()) {
            epiRect mark(field);
            mark.insetAll(1);
            look::fill(*this, mark, clip, look::kSelection);
            look::text(*this, getTextCStr(),
                       epiRect(field.left + 3, field.top, field.right, field.bottom), clip,
                       look::kSelectedText, 0);
        } else {
            look::text(*this, getTextCStr(),
                       epiRect(field.left + 3, field.top, field.right, field.bottom), clip, ink, 0);
        }
    }
    epiRect face(withText ? epiRect(arrowBox.left, 2, arrowBox.right - 2, bounds.bottom - 2)
                          : bounds);
    look::fill(*this, face, clip, look::kFace);
    look::bevel(*this, face, clip, list_.isOpen());
    look::arrow(*this, face, clip, 0, ink);
    if (!withText && hasFocus()) {
        epiRect mark(face);
        mark.insetAll(3);
        look::focusMark(*this, mark, clip);
    }
}

void epiUiSystemPopup::draw(const epiRect& clip)
{
    drawFace(clip, true);
}
