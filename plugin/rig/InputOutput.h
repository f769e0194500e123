#pragma once

#include "plugin/docview/Parameter.h"
#include "plugin/docview/UnitDoc.h"

namespace Zq::BorvanRAZ::Document {

// The rig's input: the level the engine measures there (linear peak).
class Input : public Application::DocView::UnitDoc {
public:
    Application::DocView::Parameter inputLevelMeter;

    Input();
    ~Input() override;
};

// The rig's output stage: master level, the phase adjuster's delay, the
// dry/wet mix, and the two measured output levels (linear peaks).
class Output : public Application::DocView::UnitDoc {
public:
    Application::DocView::Parameter master; // linear gain
    Application::DocView::Parameter phase;
    Application::DocView::Parameter mix; // percent
    Application::DocView::Parameter outputLevelMeterL;
    Application::DocView::Parameter outputLevelMeterR;

    Output();
    ~Output() override;
};

} // namespace Zq::BorvanRAZ::Document
