#pragma once

#include "hostfw/app/epiColor.h"
#include "hostfw/ui/epiUbo.h"

// Widgets drawn with the tree's primitives, without images. Their kind
// answers 'ubob' whatever factory kind made them.
class epiUiDynamicBase : public epiUbo {};

// One look of a code-drawn box: fill, bevel, frame and caption.
struct epiUiDynamicLook {
    epiColor frameColour;
    int frameSize = 1;
    int bevelSize = 0;
    epiColor bevelLight;
    epiColor bevelDark;
    epiColor fillColour;
    epiColor textColour;
    epiFourCC textFont = epiCode("Aria");
    epiPoint textOffset;
    int textAlignment = 1;
};

// A box in two looks, released and pressed (the pressed look while the
// state is not 0).
class epiUiDynamicImage : public epiUiDynamicBase {
public:
    void setValue(int value) override;
    int getValue() const override { return state_; }
    void onReady() override;
    void onTextChanged() override { redraw(); }
    // The twenty look codes ('unFc' ... 'prTs'), else as every object.
    void setAttributeText(epiFourCC code, const epiText& text) override;
    void draw(const epiRect& clip) override;
    const epiUiDynamicLook& look(bool pressed) const { return pressed ? pressed_ : released_; }

protected:
    int state_ = -1;

private:
    epiUiDynamicLook released_;
    epiUiDynamicLook pressed_;
};

// Reports its hit at the press and shows the pressed look until the release.
class epiUiDynamicButton : public epiUiDynamicImage {
public:
    void onMouseDown(const epiPoint& point) override;
    void onMouseUp(const epiPoint& point) override;
    void onMouseDrag(const epiPoint&) override {}
};

// Toggles at each press; releases do nothing.
class epiUiDynamicCheckBox : public epiUiDynamicButton {
public:
    void onMouseDown(const epiPoint& point) override;
    void onMouseUp(const epiPoint&) override {}
};

// A grey disc with a white needle sweeping 270 degrees clockwise from the
// lower left (0) to the lower right ('max_'); dragging up raises the value by
// two a pixel. A maximum of 0 or below draws the disc only.
class epiUiDynamicKnob : public epiUiDynamicBase {
public:
    void setValue(int value) override;
    int getValue() const override { return value_; }
    void setAttribute(epiFourCC code, std::intptr_t value) override;
    void draw(const epiRect& clip) override;
    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint& point) override;
    void onMouseUp(const epiPoint& point) override;
    int getMaxValue() const { return maxValue_; }

private:
    int limited(int value) const;

    int value_ = 500;
    int maxValue_ = 1000;
    epiPoint dragStart_;
    int startValue_ = 0;
};

// A row (wider than high) or column of 'divi' cells, 'value' of them lit. No
// divisions: the frame only.
class epiUiDynamicLevelMeter : public epiUiDynamicBase {
public:
    void setValue(int value) override;
    int getValue() const override { return value_; }
    void setAttributeText(epiFourCC code, const epiText& text) override;
    void draw(const epiRect& clip) override;

private:
    int value_ = 5;
    int divisions_ = 10;
    epiColor frameColour_;
    epiColor litColour_;
    epiColor unlitColour_;
};
