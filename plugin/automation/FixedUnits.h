#pragma once

#include "plugin/docview/UnitAutomation.h"
#include "plugin/rig/AmpModule.h"
#include "plugin/rig/CabModule.h"
#include "plugin/rig/InputOutput.h"
#include "plugin/rig/StompModule.h"

namespace Zq::BorvanRAZ::Automation {

// The host parameters of the document units that live as long as the
// processor. They are bound at construction, for good, without a report.

// "Master Level", "Phase", "Mix".
class Output : public Application::DocView::UnitAutomation {
public:
    Output(Application::DocView::AutomationList& list, Document::Output& output);
    ~Output() override;
};

// "Stomp Bypass", "Stomp Output Volume".
class StompModule : public Application::DocView::UnitAutomation {
public:
    StompModule(Application::DocView::AutomationList& list, Document::StompModule& stomp);
    ~StompModule() override;
};

// "Amp Bypass", "Amp Output Volume".
class AmpModule : public Application::DocView::UnitAutomation {
public:
    AmpModule(Application::DocView::AutomationList& list, Document::AmpModule& amp);
    ~AmpModule() override;
};

// The cabinet, the microphone and the cabinet's levels, prefixed "Cab ".
class CabModule : public Application::DocView::UnitAutomation {
public:
    CabModule(Application::DocView::AutomationList& list, Document::CabModule& cab);
    ~CabModule() override;
};

} // namespace Zq::BorvanRAZ::Automation
