#pragma once

#include "hostfw/controls/epiUiSystemButton.h"

// A scroll bar over [minimum, maximum] ('min_', 'max_'): vertical, or
// horizontal when wider than high. The arrows move a line (1), the track
// beside the thumb a page (a tenth of the range), the thumb follows a drag
// and the wheel moves ten a notch (up toward the minimum). Every result is
// kept in the range; a change activates the bar, no change does nothing.
class epiUiSystemScroll : public epiUiSystemButton {
public:
    enum class Request {
        lineUp,
        lineDown,
        pageUp,
        pageDown,
        thumbPosition,
        thumbTrack,
        top,
        bottom
    };

    epiFourCC getKind() const override { return epiCode("iSsc"); }
    std::vector<epiFourCC> savedAttributes() const override;
    bool takesFocus() const override { return false; }

    void setAttribute(epiFourCC code, std::intptr_t value) override;
    bool getAttributeText(epiFourCC code, epiText& text) const override;
    void setValue(int value) override;
    int getValue() const override { return position_; }
    // What the bar's parts ask for; thumb requests carry the position.
    void scroll(Request request, int thumb = 0);

    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint& point) override;
    void onMouseUp(const epiPoint& point) override;
    void onMouseWheel(const epiPoint& point, int notches) override;
    void draw(const epiRect& clip) override;

    bool isHorizontal() const { return getWidth() > getHeight(); }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    // The thumb's rectangle in the bar's coordinates.
    epiRect thumbRect() const;

protected:
    void afterCreate() override;

private:
    // Along the bar's axis.
    int along(const epiPoint& point) const { return isHorizontal() ? point.x : point.y; }
    int length() const { return isHorizontal() ? getWidth() : getHeight(); }
    int arrowSize() const;
    int thumbSize() const { return arrowSize(); }
    int positionAt(int pixel) const;
    void moveTo(int value);

    int minimum_ = 0;
    int maximum_ = 0;
    int position_ = 0;
    // The part held by the pointer: 0 none, 1 thumb, 2 other.
    int held_ = 0;
    int grabOffset_ = 0;
};
