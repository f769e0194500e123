#pragma once

#include "hostfw/ui/epiUbo.h"

// The plain container: holds children, which may come from a layout document
// of their own (attribute 'chil'), and draws into its parent's surface.
class epiUiContainer : public epiUbo {
public:
    epiFourCC getKind() const override { return epiCode("iCon"); }
    bool canHaveChildren() const override { return true; }
    std::vector<epiFourCC> allowedParentKinds() const override;
    std::vector<epiFourCC> savedAttributes() const override
    {
        return {epiCode("chil"), epiCode("visi"), epiCode("enab")};
    }

    // Enabled, then the children of the 'chil' document (a missing document
    // gives none).
    void create() override;
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }
    // Presses reach the children only while enabled.
    void onMouseDown(const epiPoint& point) override;
    // 'chil': kept, and loaded at once when the container is already open.
    void setAttributeText(epiFourCC code, const epiText& text) override;
    bool getAttributeText(epiFourCC code, epiText& text) const override;

private:
    bool enabled_ = false;
    epiText childLayout_;
};

// A container whose content is shifted up and left by its scroll position.
class epiUiScrollableContainer : public epiUiContainer {
public:
    epiFourCC getKind() const override { return epiCode("iCos"); }

    // 'scXY' (data: an epiPoint), 'scrX' and 'scrY' (data: the coordinate)
    // scroll and redraw.
    void* notify(epiFourCC code, void* data, void* argument) override;
    const epiPoint& getScroll() const { return scroll_; }

    epiRect rectToParent(const epiRect& rect) const override;
    epiRect rectFromParent(const epiRect& rect) const override;
    epiPoint pointToParent(const epiPoint& point) const override;
    epiPoint pointFromParent(const epiPoint& point) const override;

    // Bitmaps and text drawn by the content stay inside the container's frame.
    void drawText(epiFourCC fontId, int alignment, const epiRect& rect, const epiRect& clip,
                  const char* text, const epiColor& colour) override;
    void drawBitmap(const epiBitmap& bitmap, const epiRect& source, const epiRect& destination,
                    const epiRect& clip) override;
    void blendBitmap(const epiBitmap& bitmap, const epiRect& source, const epiRect& destination,
                     const epiRect& clip, epiFourCC mode, float alpha) override;
    void redraw();

private:
    // The clip in the parent's coordinates cut by the frame; false when
    // nothing of it is left.
    bool clipToFrame(epiRect& clip) const;

    epiPoint scroll_;
};
