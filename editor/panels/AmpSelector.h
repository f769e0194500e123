#pragma once

#include "editor/panels/Panel.h"

namespace Zq::BorvanRAZ::GUI {

// The upper bar's amplifier selector: the chosen head's name, and a menu of
// the four heads behind a button.
class AmpSelector : public Panel {
public:
    AmpSelector(Main& root, Application::GUI::Widget* parent);
};

} // namespace Zq::BorvanRAZ::GUI
