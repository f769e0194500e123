#pragma once

#include "hostfw/ui/epiUbo.h"

// The container of native controls. Here it is a region without a window of
// its own that draws into the owning window's back buffer (the controls'
// native windows go into that window); with 'Grup' it draws a group box:
// an etched frame with its text as the caption, under the children. Its children come from the
// 'chil' document, loaded at creation.
class epiUiSystemContainer : public epiUbo {
public:
    epiFourCC getKind() const override { return epiCode("iSco"); }
    bool canHaveChildren() const override { return true; }
    std::vector<epiFourCC> savedAttributes() const override
    {
        return {epiCode("chil"), epiCode("visi"), epiCode("enab"), epiCode("Grup")};
    }

    void create() override;
    void draw(const epiRect& clip) override;
    void onTextChanged() override { redraw(); }
    // The owning window's native window, for the controls inside.
    void* nativeHandle() const override;
    void* childParentHandle() const override { return nativeHandle(); }
    // Moving invalidates the old and the new area of the parent (nothing is
    // scrolled on the screen: the buffer is drawn again).
    void setAttribute(epiFourCC code, std::intptr_t value) override;
    void setAttributeText(epiFourCC code, const epiText& text) override;
    bool getAttributeText(epiFourCC code, epiText& text) const override;
    bool isGroupBox() const { return groupBox_; }

private:
    void drawGroupBox(const epiRect& clip);

    epiText childLayout_;
    bool groupBox_ = false;
};
