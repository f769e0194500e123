#pragma once

#include "hostfw/widgets/epiUiBitmapWidgets.h"

namespace player {

// A knob of the player panel: a bitmap rotary whose press with Control held
// returns it to its default value ('dflt'), and whose drag with Shift held at
// the press moves it with a tenth of its sensitivity. Both report a hit, so
// the panel hears of the change as of any other.
class ejpPlayerRotary : public epiUiBitmapRotary {
public:
    static constexpr float kFineFactor = 0.1f;

    void setDefaultValue(int value) { default_ = value; }
    int getDefaultValue() const { return default_; }
    // 'dflt': the default value.
    void setAttribute(epiFourCC code, std::intptr_t value) override;

    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint& point) override;
    void onMouseUp(const epiPoint& point) override;

private:
    bool resetHeld() const;
    bool fineHeld() const;

    int default_ = 0;
    epiPoint start_;
    float startValue_ = 0.0f;
    bool dragging_ = false;
    bool fine_ = false;
};

} // namespace player
