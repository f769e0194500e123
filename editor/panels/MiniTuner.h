#pragma once

#include "editor/panels/Panel.h"

namespace Zq::Application::Widgets {
class CheckBox;
class Knob;
class StaticText;
} // namespace Zq::Application::Widgets

namespace Zq::BorvanRAZ::GUI {

// The lower bar's small tuner: a needle that glides toward the detected
// deviation at a limited speed, the note name and an in-tune lamp. Hidden
// while the tuner is off; the needle resumes from where it stood.
class MiniTuner : public Panel {
public:
    MiniTuner(Main& root, Application::GUI::Widget* parent);
    void update() override;

    double getPosition() const noexcept { return position_; }

private:
    void setShown(bool shown);

    Application::Widgets::Knob* light_ = nullptr;
    Application::Widgets::StaticText* tuneLabel_ = nullptr;
    Application::Widgets::CheckBox* tunerPointer_ = nullptr;
    double speed_ = 0.0; // cents per second
    double lastTime_ = 0.0;
    double position_ = 0.0;
    double lastTarget_ = 0.0;
};

} // namespace Zq::BorvanRAZ::GUI
