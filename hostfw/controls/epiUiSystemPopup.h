#pragma once

#include "hostfw/controls/epiUiSystemButton.h"
#include "hostfw/win/epiPopupList.h"

#include <string>
#include <vector>

class epiObjectsList;

// A combo box that shows its selected entry; its text is that entry. A click
// opens the framework's pop-up list of the entries below it (down to the
// bottom of the screen, scrolling beyond); a choice there selects the entry.
// With the focus, Up and Down select the previous and next entry. A choice of
// the user activates the box once; the program's selections never do.
class epiUiSystemPopup : public epiUiSystemButton {
public:
    epiFourCC getKind() const override { return epiCode("iSpu"); }

    // 'cont' or 'cnth' (the latter without entries holding "/"): entries one
    // a line or separated by "|".
    void setAttributeText(epiFourCC code, const epiText& text) override;
    bool getAttributeText(epiFourCC code, epiText& text) const override;
    // 'cont' from a list of texts (its other objects are skipped).
    void setAttributeObject(epiFourCC code, const epiObjectsList& list);
    // Selects the entry equal to the text; an absent entry changes nothing.
    void setTextCStr(const char* text) override;
    // Selects the entry of the index (another index: none) and takes its text.
    void setValue(int index) override;
    int getValue() const override { return isCreated() ? selection_ : 0; }
    // Selects the stored text among the entries.
    void open() override;
    void close() override;

    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint&) override {}
    void onMouseUp(const epiPoint&) override {}
    void onKeyDown(int code) override;
    void onKeyRepeat(int code) override { onKeyDown(code); }
    void draw(const epiRect& clip) override;

    const std::vector<std::string>& entries() const { return entries_; }
    bool hidesFolders() const { return hideFolders_; }
    epiPopupList& popupList() { return list_; }

protected:
    // The user chose the entry: selected, the text taken, activated.
    void choose(int index);
    void select(int index);
    void drawFace(const epiRect& clip, bool withText);

private:
    void fill(const std::vector<std::string>& entries);

    epiText listText_;
    bool hideFolders_ = false;
    std::vector<std::string> entries_;
    int selection_ = -1;
    epiPopupList list_;
};

// The combo box drawn as its arrow button only; it opens the same list.
class epiUiSystemPopupArrow : public epiUiSystemPopup {
public:
    epiFourCC getKind() const override { return epiCode("iSpa"); }
    void draw(const epiRect& clip) override { drawFace(clip, false); }
};
