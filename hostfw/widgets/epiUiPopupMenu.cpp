#include "hostfw/widgets/epiUiPopupMenu.h"

std::vector<epiFourCC> epiUiPopupMenu::savedAttributes() const
{
    return {epiCode("visi"), epiCode("cont")};
}

void epiUiPopupMenu::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code != epiCode("cont")) {
        epiUbo::setAttributeText(code, text);
        return;
    }
    items_.clear();
    const std::size_t lines = text.countLines();
    for (std::size_t i = 0; i < lines; ++i) {
        epiText line;
        text.getLine(line, i);
        items_.push_back(line.str());
    }
    if (selected_ >= static_cast<int>(items_.size()))
        selected_ = -1;
}

void epiUiPopupMenu::setValue(int index)
{
    if (index >= -1 && index < static_cast<int>(items_.size()))
        selected_ = index;
}

void epiUiPopupMenu::onMouseDown(const epiPoint& point)
{
    std::vector<epiPopupListItem> rows;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        epiPopupListItem row;
        row.label = items_[i];
        row.id = static_cast<int>(i);
        rows.push_back(std::move(row));
    }
    list_.setItems(std::move(rows));
    list_.setMarked(selected_);
    list_.onChosen([this](const epiPopupList::Choice& choice) {
        selected_ = choice.id;
        reportHit();
    });
    list_.openAt(*this, epiPopupList::screenPoint(*this, point));
}

void epiUiPopupMenu::close()
{
    list_.close();
    epiUbo::close();
}
