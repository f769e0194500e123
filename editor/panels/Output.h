#pragma once

#include "editor/binding/WidgetAdapters.h"
#include "editor/panels/Panel.h"

namespace Zq::Application::Widgets {
class CheckBox;
class Knob;
class StaticText;
} // namespace Zq::Application::Widgets

namespace Zq::BorvanRAZ::GUI {

// "Mix" as a text: "Amp" above 99, "Direct" below 1, else the percentage.
class MixAdapterStaticTextValue : public Application::DocView::AdapterStaticTextValue {
public:
    MixAdapterStaticTextValue(Application::DocView::Parameter* parameter,
                              Application::Widgets::StaticText* text);

protected:
    void show(const Application::DocView::Parameter& parameter) override;
};

// The lower bar's output section: master, phase and mix knobs, the volume
// knob of whichever module is shown (unbound while none is), the output meter
// and its clip lamp, which stays lit until "ClipButton" is clicked.
class Output : public Panel {
public:
    Output(Main& root, Application::GUI::Widget* parent,
           Application::Widgets::StaticText* valueText);
    void update() override;

private:
    void moduleShown(int moduleId);

    Application::Widgets::Knob* meter_ = nullptr;
    Application::DocView::AdapterKnob* volume_ = nullptr;
    Application::DocView::AdapterStaticTextValuedB* volumeText_ = nullptr;
    Application::Widgets::CheckBox* clipLed_ = nullptr;
    Application::Widgets::StaticText* valueText_;
};

} // namespace Zq::BorvanRAZ::GUI
