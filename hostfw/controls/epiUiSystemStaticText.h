#pragma once

#include "hostfw/controls/epiUiSystemButton.h"

// A text that the user does not edit: one row a line, aligned left
// ('txAl' 0), centred (1) or right (2), bold with 'teBo'. The size stored by
// 'teSi' is kept but does not change the font, as in the dialogs these texts
// come from. It takes no clicks and no focus.
class epiUiSystemStaticText : public epiUiSystemButton {
public:
    epiFourCC getKind() const override { return epiCode("iSst"); }
    std::vector<epiFourCC> savedAttributes() const override;

    void setAttribute(epiFourCC code, std::intptr_t value) override;
    bool getAttributeText(epiFourCC code, epiText& text) const override;
    bool takesFocus() const override { return false; }
    void onMouseDown(const epiPoint&) override {}
    void onMouseDrag(const epiPoint&) override {}
    void onMouseUp(const epiPoint&) override {}
    void draw(const epiRect& clip) override;

    int alignment() const { return alignment_; }
    int textSize() const { return textSize_; }
    bool bold() const { return bold_; }

protected:
    int alignment_ = 0;
    int textSize_ = 0;
    bool bold_ = false;
};

// The static text kind used beside scrolled panes; drawn as the static text.
class epiUiSystemStaticScrollText : public epiUiSystemStaticText {
public:
    epiFourCC getKind() const override { return epiCode("iSrt"); }
};

// Shows one line of a list ('cont') and is scrolled through it by dragging:
// every two pixels up advance a line, every two down go back one, limited to
// the first and the last line; each step reports a hit.
class epiUiSystemRollingText : public epiUiSystemStaticText {
public:
    epiFourCC getKind() const override { return epiCode("iSrx"); }
    void setAttributeText(epiFourCC code, const epiText& text) override;
    // Shows line i when the list has it.
    void setValue(int index) override;
    int getValue() const override { return currentLine_; }
    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint& point) override;
    void onMouseUp(const epiPoint& point) override;
    int lineCount() const { return lineCount_; }

private:
    epiText lines_;
    int lineCount_ = -1;
    epiPoint dragPoint_;
    int currentLine_ = 0;
    bool dragging_ = false;
};
