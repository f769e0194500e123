#pragma once

#include "editor/panels/Panel.h"

namespace Zq::Application::Widgets {
class Knob;
}

namespace Zq::BorvanRAZ::GUI {

// The lower bar's input meter.
class Input : public Panel {
public:
    Input(Main& root, Application::GUI::Widget* parent);
    void update() override;

private:
    Application::Widgets::Knob* meter_ = nullptr;
};

} // namespace Zq::BorvanRAZ::GUI
