#include "plugin/automation/FixedUnits.h"

#include "plugin/automation/UnitConnectable.h"

namespace Zq::BorvanRAZ::Automation {

Output::Output(AutomationList& list, Document::Output& output) : UnitAutomation(list, "")
{
    addParamdB(&output.master, "Master Level", 1);
    addParam(&output.phase, "Phase", 1, "ms");
    addParam(&output.mix, "Mix", 0, "%");
}

Output::~Output() = default;

StompModule::StompModule(AutomationList& list, Document::StompModule& stomp)
    : UnitAutomation(list, "Stomp ")
{
    addParamEnum(&stomp.bypass, "Bypass", kOffOn, 2);
    addParamdB(&stomp.outputVolume, "Output Volume", 1);
}

StompModule::~StompModule() = default;

AmpModule::AmpModule(AutomationList& list, Document::AmpModule& amp) : UnitAutomation(list, "Amp ")
{
    addParamEnum(&amp.bypass, "Bypass", kOffOn, 2);
    addParamdB(&amp.outputVolume, "Output Volume", 1);
}

AmpModule::~AmpModule() = default;

CabModule::CabModule(AutomationList& list, Document::CabModule& cab) : UnitAutomation(list, "Cab ")
{
    static constexpr const char* kAxis[] = {"On Axis", "Off Axis"};
    static constexpr const char* kDistance[] = {"Near", "Far"};
    addParamEnum(&cab.bypass, "Bypass", kOffOn, 2);
    addParamEnum(&cab.cabinetModel, "Speaker Model", Document::CabModule::kCabinetNames,
                 Document::CabModule::kCabinetCount);
    addParamEnum(&cab.micModel, "Mic Model", Document::CabModule::kMicNames,
                 Document::CabModule::kMicCount);
    addParamEnum(&cab.micAxis, "Mic Axis", kAxis, 2);
    addParamEnum(&cab.micDist, "Mic Dist", kDistance, 2);
    addParam(&cab.ambience, "Ambience", 1, "");
    addParam(&cab.highLevel, "High Level", 2, "");
    addParamdB(&cab.outputVolume, "Output Volume", 1);
}

CabModule::~CabModule() = default;

} // namespace Zq::BorvanRAZ::Automation
