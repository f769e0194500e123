#include "plugin/rig/CabModule.h"

#include <cmath>

namespace Zq::BorvanRAZ::Document {

using Application::DocView::ConverterNull;
using Application::DocView::ConverterPowNorm;
using Application::DocView::RangeFloat;
using Application::DocView::RangeInt;

CabModule::CabModule()
{
    addParameter("CabinetModel", cabinetModel, 4, kCabinetCount, kCabinetNames, true);
    addParameter("CabinetMatch", cabinetMatch, 0.0f, RangeInt(0, 1), ConverterNull(), true);
    addParameter("MicModel", micModel, 4, kMicCount, kMicNames, true);
    addParameter("MicAxis", micAxis, 0.0f, RangeInt(0, 1), ConverterNull(), true);
    addParameter("MicDist", micDist, 0.0f, RangeInt(0, 1), ConverterNull(), true);
    addParameter("Ambience", ambience, 0.0f, RangeFloat(0.0f, 10.0f), true);
    // The knob's centre sits at -2 dB (10^-0.2): 0.5 ^ e = 10^-0.2.
    const auto exponent = static_cast<float>(std::log10(std::pow(10.0, -0.2)) / std::log10(0.5));
    addParameter("HighLevel", highLevel, 0.77f, RangeFloat(0.0f, 1.0f),
                 ConverterPowNorm(exponent, 0.0f, 1.0f), true);
}

CabModule::~CabModule() = default;

} // namespace Zq::BorvanRAZ::Document
