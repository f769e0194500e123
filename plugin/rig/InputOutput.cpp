#include "plugin/rig/InputOutput.h"

namespace Zq::BorvanRAZ::Document {

using Application::DocView::ConverterdBNorm;
using Application::DocView::RangeFloat;

namespace {

RangeFloat meter()
{
    return RangeFloat(0.0f, 100000.0f);
}

} // namespace

Input::Input()
{
    addParameter("InputLevelMeter", inputLevelMeter, 0.0f, meter(), false);
}

Input::~Input() = default;

Output::Output()
{
    addParameter("Master", master, 1.0f, RangeFloat(0.1f, 10.0f), ConverterdBNorm(-20.0f, 20.0f),
                 true);
    addParameter("Phase", phase, 0.0f, RangeFloat(0.0f, 20.0f), true);
    addParameter("Mix", mix, 100.0f, RangeFloat(0.0f, 100.0f), true);
    addParameter("OutputLevelMeterL", outputLevelMeterL, 0.0f, meter(), false);
    addParameter("OutputLevelMeterR", outputLevelMeterR, 0.0f, meter(), false);
}

Output::~Output() = default;

} // namespace Zq::BorvanRAZ::Document
