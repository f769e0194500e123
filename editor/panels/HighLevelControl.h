#pragma once

#include "editor/binding/WidgetAdapters.h"
#include "editor/panels/Panel.h"

namespace Zq::BorvanRAZ::GUI {

class CabModule;

// The tweeter level in decibels. A level the knob's lowest stretch reaches
// is already inaudible, so it reads "-Inf" from 10^-6 down rather than only
// below the decibel adapter's 10^-10.
class HighLevelAdapter : public Application::DocView::AdapterStaticTextValuedB {
public:
    using AdapterStaticTextValuedB::AdapterStaticTextValuedB;

    static constexpr float kSilence = 1e-6f;

protected:
    void show(const Application::DocView::Parameter& parameter) override;
};

// The cabinet's back panel over the whole editor: the tweeter level knob of
// the cabinet shown, and a backdrop button that closes it.
class HighLevelControl : public Panel {
public:
    // owner: the cabinet panel that opened it and keeps it.
    HighLevelControl(Main& root, Application::GUI::Widget* parent, CabModule& owner);
};

} // namespace Zq::BorvanRAZ::GUI
