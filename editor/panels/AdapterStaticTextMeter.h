#pragma once

#include "plugin/docview/AdapterGUI.h"

namespace Zq::Application::Widgets {
class StaticText;
}

namespace Zq::BorvanRAZ::GUI {

// Shows a tempo-synchronised delay as its note value: 0 "1/32" ... 13 "1/1",
// plain, triplet and dotted from the thirty-second to the half; any other
// value shows nothing.
class AdapterStaticTextMeter : public Application::DocView::AdapterGUI {
public:
    AdapterStaticTextMeter(Application::DocView::Parameter* parameter,
                           Application::Widgets::StaticText* text);

    static const char* noteValue(float value) noexcept;

protected:
    void show(const Application::DocView::Parameter& parameter) override;

private:
    Application::Widgets::StaticText* text_;
};

} // namespace Zq::BorvanRAZ::GUI
