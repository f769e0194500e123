#pragma once

#include "editor/panels/Panel.h"

namespace Zq::Application::Widgets {
class CheckBox;
}

namespace Zq::BorvanRAZ::GUI {

// The front panels of the four amplifier heads, each bound to the head's own
// model document and built in the module area by the amp module panel. The
// knobs and sliders also show their value in the selected-value text, and the
// head's gain is shown there as soon as it opens. A model of another class
// than the head's throws like a missing widget.
class AmpRE500 : public Panel {
public:
    AmpRE500(Main& root, Application::GUI::Widget* parent);
};

class AmpV9E : public Panel {
public:
    AmpV9E(Main& root, Application::GUI::Widget* parent);
};

class AmpRKMClassic : public Panel {
public:
    AmpRKMClassic(Main& root, Application::GUI::Widget* parent);

private:
    // Lit only for a bypassed head that is not muted.
    void showRedLed();

    Application::Widgets::CheckBox* redLed_ = nullptr;
};

class AmpRKM4PRO : public Panel {
public:
    AmpRKM4PRO(Main& root, Application::GUI::Widget* parent);
};

} // namespace Zq::BorvanRAZ::GUI
