#pragma once

#include "hostfw/core/epiApplicationObject.h"

#include <array>
#include <cstdint>

namespace platform {
struct PumpEvent;
}

class epiUbo;

// The modifier and button state of the current input event, and the turning
// of platform key and pointer events into framework events.
//
// Keys: Page Up, Page Down, Home and End give 0x10000 to 0x10003, the arrows
// left, right, up and down 28 to 31, Delete 8; any other key gives the
// character it types, or nothing. The code of a press is kept under the key's
// scan code (the X keycode): a press of a key already down is a repeat, and
// the release delivers the kept code as key up.
class epiKeyboard : public epiApplicationObject {
public:
    static constexpr int kPageUp = 0x10000;
    static constexpr int kPageDown = 0x10001;
    static constexpr int kHome = 0x10002;
    static constexpr int kEnd = 0x10003;
    static constexpr int kLeft = 28;
    static constexpr int kRight = 29;
    static constexpr int kUp = 30;
    static constexpr int kDown = 31;
    static constexpr int kDelete = 8;

    epiFourCC getKind() const override { return epiCode("Keyb"); }

    bool getShift() const { return shift_; }
    bool getAlt() const { return alt_; }
    bool getMeta() const { return meta_; }
    bool getControl() const { return control_; }
    bool anyCommandModifier() const { return control_ || alt_ || meta_; }
    bool getLeftButton() const { return leftButton_; }
    bool getMiddleButton() const { return middleButton_; }
    bool getRightButton() const { return rightButton_; }
    // 'mLdn', 'mLup', 'mRdn', 'mRup', 'mCdn', 'mCup' or 0.
    epiFourCC getMouseEvent() const { return mouseEvent_; }
    // The key symbol of the key event being delivered (or last delivered):
    // Delete and Backspace both give the code 8, and an edit field tells them
    // apart by it.
    std::uint32_t lastKeySymbol() const { return lastKeysym_; }

    // Takes the modifiers and buttons of a pointer event and names it.
    void setMouseState(const platform::PumpEvent& event);
    // Delivers a key press or release to the target (null: state only) and
    // returns the framework code, 0 when the key gives none.
    int translateKey(const platform::PumpEvent& event, epiUbo* target);
    // The framework code a key press gives, 0 for none.
    static int keyCode(const platform::PumpEvent& event);

private:
    bool shift_ = false;
    bool alt_ = false;
    bool meta_ = false;
    bool control_ = false;
    bool leftButton_ = false;
    bool middleButton_ = false;
    bool rightButton_ = false;
    epiFourCC mouseEvent_ = 0;
    std::uint32_t lastKeysym_ = 0;
    std::array<int, 256> pressed_{};
};

// The clipboard service: no operations of its own in this program.
class epiClipboard : public epiApplicationObject {
public:
    epiFourCC getKind() const override { return epiCode("Clip"); }
};
