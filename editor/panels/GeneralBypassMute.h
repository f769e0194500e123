#pragma once

#include "editor/panels/Panel.h"

namespace Zq::Application::DocView {
class AdapterCheckBox;
}

namespace Zq::BorvanRAZ::GUI {

// The upper bar's bypass and mute switches, bound to whichever module is
// shown; while none is, they act on nothing.
class GeneralBypassMute : public Panel {
public:
    GeneralBypassMute(Main& root, Application::GUI::Widget* parent);

private:
    void moduleShown(int moduleId);

    Application::DocView::AdapterCheckBox* bypass_ = nullptr;
    Application::DocView::AdapterCheckBox* mute_ = nullptr;
};

} // namespace Zq::BorvanRAZ::GUI
