#pragma once

#include "hostfw/ui/epiUbo.h"

#include <vector>

// The push button, and the base of the framework's other controls. The
// controls have no windows of their own: they draw into the back buffer of
// the window that holds them and take the pointer and the keys through the
// object tree. What the system's controls reported to their parent window
// becomes a direct call of activate here.
//
// Keyboard focus: a control that has it is the key target of its window
// (pushed through every container between them), so it receives the window's
// keys first; the keys it does not use go on to its ancestors' key-down
// broadcast ('kedo'), where default and cancel buttons listen. A click gives
// a control the focus; Tab and Shift+Tab move it among edit fields.
class epiUiSystemButton : public epiUbo {
public:
    epiUiSystemButton();
    ~epiUiSystemButton() override;

    epiFourCC getKind() const override { return epiCode("iSbt"); }
    std::vector<epiFourCC> allowedParentKinds() const override;

    // createControl, then afterCreate; the control draws from then on.
    void create() override;
    void close() override;
    void exit() override;
    bool isCreated() const { return created_; }

    // A default ('defa' 1) button is pressed by the keys 13 and 3 of its
    // parent's key-down broadcast, a cancel ('defa' 2) button by 27, both
    // only while enabled.
    void onMessage(epiFourCC key, epiUbo* sender, void* argument) override;
    // Reports the hit.
    void press() override;

    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return enabled_; }
    void onTextChanged() override { redraw(); }
    // A hidden control gives up the focus.
    void onVisibilityChanged() override;
    void setAttribute(epiFourCC code, std::intptr_t value) override;
    void setAttributeText(epiFourCC code, const epiText& text) override;
    bool getAttributeText(epiFourCC code, epiText& text) const override;
    bool isDefault() const { return isDefault_; }
    bool isCancel() const { return isCancel_; }

    // A press inside shows the button pressed; the release inside activates.
    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint& point) override;
    void onMouseUp(const epiPoint& point) override;
    // Space and Return press a focused button, Tab and Shift+Tab move the
    // focus to the next or previous edit field; other keys are passed on.
    void onKeyDown(int code) override;
    void onKeyRepeat(int code) override;
    void draw(const epiRect& clip) override;

    // Focus.
    virtual bool takesFocus() const { return isEnabled() && isVisible(); }
    bool hasFocus() const;
    void takeFocus();
    void loseFocus();
    // The object whose keys the controls share: the window (the first
    // ancestor with a surface of its own) or the root of the tree.
    epiUbo* keyRoot() const;
    // Moves the focus to the next (or previous) visible, enabled edit field
    // of the root's tree, wrapping around, and selects its text. Nothing
    // without one.
    static void focusNext(epiUbo& root, bool forward = true);

protected:
    // Here: nothing to make; subclasses set up their state.
    virtual void createControl() {}
    // Default and cancel buttons register for their parent's keys.
    virtual void afterCreate();
    virtual void onFocusChanged(bool) { redraw(); }
    // The key to every ancestor's key-down broadcast, the nearest first.
    void passKey(int code);
    bool pressedLook() const { return pressed_ && inside_; }

    bool enabled_ = true;

private:
    void unregisterKeys();

    bool isDefault_ = false;
    bool isCancel_ = false;
    bool created_ = false;
    epiUbo* keysParent_ = nullptr;
    bool pressed_ = false;
    bool inside_ = false;
};
