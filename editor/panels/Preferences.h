#pragma once

#include <boost/signals2/signal.hpp>

#include "editor/panels/Panel.h"

namespace Zq::Application::Widgets {
class CheckBox;
}

namespace Zq::BorvanRAZ::GUI {

// The preferences dialog over the editor: the power-amp detail preference,
// stored only by "SaveButton"; every button fires closed.
class Preferences : public Panel {
public:
    boost::signals2::signal<void()> closed;

    Preferences(Main& root, Application::GUI::Widget* parent);

private:
    void save();

    Application::Widgets::CheckBox* dsmActive_ = nullptr;
};

} // namespace Zq::BorvanRAZ::GUI
