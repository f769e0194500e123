#include "plugin/rig/TunerModule.h"

namespace Zq::BorvanRAZ::Document {

using Application::DocView::ConverterNull;
using Application::DocView::RangeFloat;
using Application::DocView::RangeInt;

TunerModule::TunerModule() : MacroModule(false)
{
    addParameter("DisplayOff", displayOff, 0.0f, RangeInt(0, 1), ConverterNull(), false);
    addParameter("Note", note, 0.0f, RangeInt(0, 11), false);
    addParameter("Cents", cents, 0.0f, RangeFloat(-50.0f, 50.0f), false);
    addParameter("Reference", reference, 440.0f, RangeFloat(425.0f, 455.0f), false);
    addParameter("Deviation", deviation, 0.0f, RangeFloat(-1.0f, 1.0f), false);
    bypass.setValue(1.0f, true);
}

TunerModule::~TunerModule() = default;

} // namespace Zq::BorvanRAZ::Document
