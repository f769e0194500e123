#pragma once

#include "hostfw/ui/epiUiBehaviour.h"

#include <cstdint>
#include <vector>

// Buttons: a press inside shows the pressed face and the release inside
// activates the owner; an owner without a pressed face activates at once.
class epiUiBehave_button : public epiUiBehaviour {
public:
    bool onPress(const epiPoint& point) override;
    bool onEnter(const epiPoint& point) override;
    bool onLeave(const epiPoint& point) override;
    bool onRelease(const epiPoint& point) override;
    // The release outside is passed on.
    bool onCancel(const epiPoint&) override { return false; }
    bool isPressed() const override { return pressed_; }
    bool isChecked() const override { return checked_; }
    void setPressed(bool pressed) override;
    void setChecked(bool checked) override;
    bool setEnabled(bool enabled) override;
    bool isEnabled() const { return enabled_; }
    // Pressed and activated now, released 0.2 s later by a one-shot task.
    void press() override;
    void onTimedTask() override;

    static constexpr double kPressSeconds = 0.2;

protected:
    bool checked_ = false;
    bool pressed_ = false;
    bool enabled_ = true;
};

// Check boxes invert their owner's value on activation.
class epiUiBehave_checkBox : public epiUiBehave_button {
public:
    bool activate() override;
    bool onRelease(const epiPoint& point) override;
};

// Radio buttons select themselves in their group through their parent.
class epiUiBehave_radio : public epiUiBehave_button {
public:
    bool activate() override;
    bool onRelease(const epiPoint& point) override;
};

// A value in [min, max] with its position in [pixMin, pixMax] (a pixel or a
// film frame). A zero value span puts every value at pixMin and a zero pixel
// span maps every pixel to min; a NaN value is ignored.
class epiUiBehaviourDragger : public epiUiBehaviour {
public:
    int getPosition() const override { return position_; }
    bool setFromPixel(int pixel) override;
    void setPixelMin(int pixel) override { pixMin_ = pixel; }
    void setPixelMax(int pixel) override { pixMax_ = pixel; }
    float getValue() const override { return value_; }
    // Answers whether the value changed; the owner hears of it only when the
    // position moved too.
    bool setValue(float value) override;
    int getValueInt() const override { return static_cast<int>(getValue()); }
    bool setValueInt(int value) override { return setValue(static_cast<float>(value)); }
    void setMin(float min) override { min_ = min; }
    void setMax(float max) override { max_ = max; }
    // Adds 'lMin' and 'lMax' (value / 100) to the range codes.
    void setAttribute(epiFourCC code, std::intptr_t value) override;
    virtual void onValueChanged();

    float getMin() const { return min_; }
    float getMax() const { return max_; }
    int getPixelMin() const { return pixMin_; }
    int getPixelMax() const { return pixMax_; }
    // The value's own position (the target of a smoothing animation).
    int getTargetPosition() const { return position_; }

protected:
    float value_ = 0.0f;
    int position_ = 0;
    float min_ = 0.0f;
    float max_ = 100.0f;
    int pixMin_ = 0;
    int pixMax_ = 100;
    bool lowerLimitOn_ = false;
    float lowerLimit_ = 0.0f;
    bool upperLimitOn_ = false;
    float upperLimit_ = 100.0f;
};

// A dragger whose shown position moves toward the value's position at a
// constant speed on the window manager's animation tick: 'Smoo' / 100 of the
// position range a second; 0 jumps.
class epiUiBehaviourSmoothDragger : public epiUiBehaviourDragger {
public:
    int getPosition() const override { return shownPosition_; }
    void setAttribute(epiFourCC code, std::intptr_t value) override;
    void onValueChanged() override;
    void animationTick(double seconds, int frames) override;
    void exit() override;

    bool isAnimating() const { return animating_; }
    float getSmoothing() const { return smoothing_; }

protected:
    void startAnimation();
    void restartAnimation();
    void stopAnimation();

    bool animating_ = false;
    int startPosition_ = 0;
    int shownPosition_ = 0;
    int targetPosition_ = 0;
    float smoothing_ = 1.0f;
};

// A dragger that selects one of up to ten positions ('FrP0' to 'FrP9'): its
// value is the index of the step, its position that step's.
class epiUiBehaviourTriggeredDragger : public epiUiBehaviourSmoothDragger {
public:
    epiUiBehaviourTriggeredDragger() { smoothing_ = 2.0f; }
    float getValue() const override { return static_cast<float>(index_); }
    bool setValue(float value) override;
    void setAttribute(epiFourCC code, std::intptr_t value) override;
    // Step 0 empties the table first; a zero position after step 0 shortens
    // the table to that many entries; the range becomes 0 .. entries - 1.
    void setStep(int index, int position);

    int getIndex() const { return index_; }
    const std::vector<std::int32_t>& steps() const { return steps_; }

private:
    std::int32_t index_ = 0;
    std::vector<std::int32_t> steps_;
};
