#pragma once

#include "hostfw/ui/epiUbo.h"
#include "hostfw/win/epiPopupList.h"

#include <string>
#include <vector>

// A press shows the framework's pop-up list of the content's lines ('cont')
// at the pointer; the value is the chosen line's index (-1 before a choice).
// A choice reports a hit.
class epiUiPopupMenu : public epiUbo {
public:
    epiFourCC getKind() const override { return epiCode("iPmu"); }
    std::vector<epiFourCC> savedAttributes() const override;
    void setAttributeText(epiFourCC code, const epiText& text) override;
    // -1 or the index of an item; other values are ignored.
    void setValue(int index) override;
    int getValue() const override { return selected_; }
    void onMouseDown(const epiPoint& point) override;
    void close() override;

    const std::vector<std::string>& itemTexts() const { return items_; }
    epiPopupList& popupList() { return list_; }

private:
    std::vector<std::string> items_;
    int selected_ = -1;
    epiPopupList list_;
};
