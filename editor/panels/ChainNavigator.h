#pragma once

#include "editor/panels/Panel.h"

namespace Zq::Application::Widgets {
class RadioButton;
class RadioGroup;
} // namespace Zq::Application::Widgets

namespace Zq::BorvanRAZ::GUI {

// The upper bar's row of four module buttons: choosing one shows its module,
// and the checked one follows every module switch (no module leaves it).
class ChainNavigator : public Panel {
public:
    ChainNavigator(Main& root, Application::GUI::Widget* parent);

private:
    void moduleShown(int moduleId);
    void buttonChosen(Application::Widgets::RadioButton* button);

    Application::Widgets::RadioButton* buttons_[4] = {};
};

} // namespace Zq::BorvanRAZ::GUI
