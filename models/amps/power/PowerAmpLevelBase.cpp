#include "models/amps/power/PowerAmpLevelBase.h"

#include <cmath>
#include <utility>

namespace AudioEngine::CX2 {

namespace {

// 10^(dB / 20) in double, scaled and stored as float.
float fromDb(float dB, float scale) noexcept
{
    return static_cast<float>(std::pow(10.0, 0.05 * static_cast<double>(dB)) *
                              static_cast<double>(scale));
}

} // namespace

PowerAmpLevelBase::PowerAmpLevelBase(ModuleInfo info, const PowerAmpCalibration& calibration)
    : ModuleBasic(std::move(info)), calibration_(calibration)
{
}

void PowerAmpLevelBase::bindPorts()
{
    in_ = &getInput("In");
    out_ = &getOutput("Out");
}

void PowerAmpLevelBase::createParameters()
{
    parameters_.addParameter(Parameter("Volume", "", 0.0f, 1.0f, 0.5f, 0), "Volume");
    parameters_.addParameter(Parameter("GainPre", "", -80.0f, 80.0f, 0.0f, 4), "GainPre");
    parameters_.addParameter(Parameter("GainPost", "", -80.0f, 80.0f, 0.0f, 4), "GainPost");
    parameters_.addParameter(Parameter("Variac", "", 0.5f, 1.5f, 1.0f, 4), "Variac");
    parameters_.addParameter(Parameter("PlateCurrentGain", "", 0.0f, 10.0f, 1.0f, 4),
                             "PlateCurrentGain");
    parameters_.addParameter(Parameter("ScreenCurrentGain", "", 0.0f, 10.0f, 1.0f, 4),
                             "ScreenCurrentGain");
    volume_ = &getParameter("Volume");
    gainPre_ = &getParameter("GainPre");
    gainPost_ = &getParameter("GainPost");
    variac_ = &getParameter("Variac");
    plateCurrentGain_ = &getParameter("PlateCurrentGain");
    screenCurrentGain_ = &getParameter("ScreenCurrentGain");
}

void PowerAmpLevelBase::setParameter(std::string_view name, float value)
{
    ModuleBasic::setParameter(name, value);
    // From the stored value: limited to the range, a NaN leaving the last one.
    if (name == "GainPre")
        drive_ = fromDb(gainPre_->getValue(), calibration_.gainPre);
    else if (name == "GainPost")
        outScale_ = fromDb(gainPost_->getValue(), calibration_.gainPost);
    else if (name == "Variac")
        supply_ = variac_->getValue() * calibration_.variac;
    else if (name == "PlateCurrentGain")
        plateScale_ = plateCurrentGain_->getValue() * calibration_.plate;
    else if (name == "ScreenCurrentGain")
        screenScale_ = screenCurrentGain_->getValue() * calibration_.screen;
}

} // namespace AudioEngine::CX2
