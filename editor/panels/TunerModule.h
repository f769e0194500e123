#pragma once

#include "editor/panels/Panel.h"

namespace Zq::Application::Widgets {
class CheckBox;
class EditText;
class Knob;
class StaticText;
} // namespace Zq::Application::Widgets

namespace Zq::BorvanRAZ::GUI {

// The full tuner in the module area: needle, note, cents, the in-tune lamps,
// the reference pitch as an edit field, and the tuner's own bypass and mute.
// The display hides while the tuner is bypassed or its display is off.
class TunerModule : public Module {
public:
    TunerModule(Main& root, Application::GUI::Widget* parent);
    void update() override;

private:
    void showReference();
    void applyReference();
    void placeCaret();

    Application::Widgets::Knob* light_ = nullptr;
    Application::Widgets::StaticText* tuneLabel_ = nullptr;
    Application::Widgets::StaticText* centsLabel_ = nullptr;
    Application::Widgets::EditText* reference_ = nullptr;
    Application::Widgets::CheckBox* arrowLeft_ = nullptr;
    Application::Widgets::CheckBox* arrowRight_ = nullptr;
    Application::Widgets::CheckBox* tunerPointer_ = nullptr;
    std::string centsText_;
};

} // namespace Zq::BorvanRAZ::GUI
