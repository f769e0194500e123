#pragma once

#include "hostfw/controls/epiUiSystemStaticText.h"

#include <cstddef>

// A one-line edit field. It takes the caret with a click or with Tab, and
// edits with the printable keys, Backspace, Delete, Left, Right, Home and End
// (with Shift they extend the selection, as a drag of the pointer does). There
// is no clipboard.
//
// Typing is checked as it arrives: with a filter ('filC') only its characters
// are taken; with a maximum ('maxC') nothing is typed past it. Every typed
// change becomes the object's text and activates the field once; text set by
// the program never activates it. The normalisation 'Flpa' (a notify) cuts
// the text to the maximum, turns it to upper case ('uprC') and keeps only the
// filter's characters; with auto-tab ('autT') a field that has just been
// filled by its last typed character passes the focus on to the next field.
// Tab and Shift+Tab move the focus among the window's edit fields; other keys
// the field does not use (Return, Escape) go on to its ancestors.
class epiUiSystemEditText : public epiUiSystemStaticText {
public:
    epiFourCC getKind() const override { return epiCode("iSet"); }
    std::vector<epiFourCC> savedAttributes() const override;
    bool takesFocus() const override { return isEnabled() && isVisible(); }

    void setAttribute(epiFourCC code, std::intptr_t value) override;
    void setAttributeText(epiFourCC code, const epiText& text) override;
    bool getAttributeText(epiFourCC code, epiText& text) const override;
    // Programmatic text: the caret goes to its end, nothing activates.
    void onTextChanged() override;
    // The text read as an integer.
    int getValue() const override { return getText().toInt(); }
    void setValue(int value) override;
    void* notify(epiFourCC code, void* data, void* argument) override;

    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint& point) override;
    void onMouseUp(const epiPoint& point) override;
    void onKeyDown(int code) override;
    void onKeyRepeat(int code) override { onKeyDown(code); }
    void draw(const epiRect& clip) override;

    void selectAll();
    // Byte offsets into the text (UTF-8); the selection runs between the
    // anchor and the caret.
    std::size_t caret() const { return caret_; }
    std::size_t selectionStart() const { return std::min(anchor_, caret_); }
    std::size_t selectionEnd() const { return std::max(anchor_, caret_); }
    const epiText& filter() const { return filter_; }
    int maxChars() const { return maxChars_; }
    bool autoTab() const { return autoTab_; }
    bool upperCase() const { return upperCase_; }

private:
    // Replaces the selection by the characters; false when the filter or the
    // maximum refused them.
    bool typeText(const std::string& characters);
    void eraseSelection(bool forward);
    // A typed change: the object's text, then activate.
    void edited(std::string text, std::size_t caret);
    void moveCaret(std::size_t to, bool extend);
    std::size_t offsetAt(int x) const;
    int xOf(std::size_t offset) const;
    // The left edge of the text inside the field, scrolled to show the caret.
    int textLeft() const;
    void normalise();

    epiText filter_;
    bool autoTab_ = false;
    bool upperCase_ = false;
    int maxChars_ = 0;
    int suppressChange_ = 0;
    bool filterOn_ = false;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    // The text's length before the last typed change, for auto-tab.
    std::size_t lengthBefore_ = 0;
    int scroll_ = 0;
    bool selecting_ = false;
};
