#pragma once

#include "hostfw/controls/epiUiSystemButton.h"

// A radio button: a click selects it within its group ('fagr', 'fain')
// through the parent, which reports the hit. Its value is the checked state.
class epiUiSystemRadio : public epiUiSystemButton {
public:
    epiFourCC getKind() const override { return epiCode("iSrd"); }
    std::vector<epiFourCC> savedAttributes() const override;
    epiUiBehaviour* createBehaviour() override;
    bool hasPressedLook() const override { return true; }

    void setValue(int value) override;
    int getValue() const override { return getBehaviourValue(); }
    void onStateChanged() override { redraw(); }
    // The behaviour takes the pointer: a release inside activates.
    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint& point) override { epiUbo::onMouseDrag(point); }
    void onMouseUp(const epiPoint& point) override { epiUbo::onMouseUp(point); }
    void draw(const epiRect& clip) override;

protected:
    virtual void drawMark(const epiRect& box, const epiRect& clip, bool checked);
};

// A check box: a click toggles it and reports the hit.
class epiUiSystemCheckBox : public epiUiSystemRadio {
public:
    epiFourCC getKind() const override { return epiCode("iSck"); }
    epiUiBehaviour* createBehaviour() override;

protected:
    void drawMark(const epiRect& box, const epiRect& clip, bool checked) override;
};

// A progress bar over 1 to 100, filled from the left.
class epiUiSystemProgressBar : public epiUiSystemButton {
public:
    static constexpr int kMinimum = 1;
    static constexpr int kMaximum = 100;

    epiFourCC getKind() const override { return epiCode("iSpb"); }
    bool takesFocus() const override { return false; }
    void setValue(int value) override;
    int getValue() const override { return position_; }
    void onMouseDown(const epiPoint&) override {}
    void onMouseDrag(const epiPoint&) override {}
    void onMouseUp(const epiPoint&) override {}
    void draw(const epiRect& clip) override;

protected:
    void afterCreate() override;

private:
    int position_ = kMinimum;
};
