#pragma once

#include "editor/panels/Panel.h"

namespace Zq::Application::Widgets {
class StaticText;
}

namespace Zq::BorvanRAZ::GUI {

// The lower bar's window showing the value last changed: the module panels'
// binders write into its text, and every load clears it.
class SelectedValue : public Panel {
public:
    SelectedValue(Main& root, Application::GUI::Widget* parent);
    Application::Widgets::StaticText* getText() const noexcept { return text_; }

private:
    Application::Widgets::StaticText* text_ = nullptr;
};

} // namespace Zq::BorvanRAZ::GUI
