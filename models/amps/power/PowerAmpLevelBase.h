#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/core/Parameter.h"
#include "engine/core/Port.h"

#include <string_view>

namespace AudioEngine::CX2 {

// How a tube power amp's knobs scale into its circuit, per model.
struct PowerAmpCalibration {
    float variac;   // volts of mains at "Variac" 1
    float plate;    // plate-current load per unit of "PlateCurrentGain"
    float screen;   // screen-current load per unit of "ScreenCurrentGain"
    float gainPre;  // drive at "GainPre" 0 dB
    float gainPost; // output scale at "GainPost" 0 dB
};

// What both levels of detail of a tube power amp share: one input "In", one
// output "Out" (buffered or in place), the same six parameters with the same
// ranges, so that a detail switch carries every setting over, and the working
// values the parameters set:
//   drive = 10^(GainPre / 20) calGainPre,   outScale = 10^(GainPost / 20) calGainPost,
//   supply = Variac calVariac,   plateScale = PlateCurrentGain calPlate,
//   screenScale = ScreenCurrentGain calScreen.
// Each is computed from the value the parameter holds after limiting it to its
// range, so that a value out of range acts as the range's end it reads back
// as, and a detail switch, which writes the read-back values into the other
// level, changes nothing. "Volume" is read once per block.
//
// Parameters are set between blocks on the processing thread.
class PowerAmpLevelBase : public ModuleBasic {
public:
    PowerAmpLevelBase(ModuleInfo info, const PowerAmpCalibration& calibration);

    void bindPorts() override;
    // "Volume" (slewed by the change queue), then "GainPre", "GainPost",
    // "Variac", "PlateCurrentGain", "ScreenCurrentGain" (set at once).
    void createParameters() override;
    // UnknownName for a name that is not one of the six.
    void setParameter(std::string_view name, float value) override;

    const PowerAmpCalibration& getCalibration() const noexcept { return calibration_; }
    float getDrive() const noexcept { return drive_; }
    float getOutScale() const noexcept { return outScale_; }
    float getSupply() const noexcept { return supply_; }
    float getPlateScale() const noexcept { return plateScale_; }
    float getScreenScale() const noexcept { return screenScale_; }
    // The output for a silent input with the present settings, the rest level
    // the post filter takes off (see PowerAmpFilterPost).
    float getRestOutput() const noexcept { return restStage_ * outScale_; }

protected:
    PowerAmpCalibration calibration_;
    Port* in_ = nullptr;
    Port* out_ = nullptr;
    ParameterBase* variac_ = nullptr;
    ParameterBase* gainPre_ = nullptr;
    ParameterBase* gainPost_ = nullptr;
    ParameterBase* volume_ = nullptr;
    ParameterBase* plateCurrentGain_ = nullptr;
    ParameterBase* screenCurrentGain_ = nullptr;
    // 1 until their parameter is first set.
    float drive_ = 1.0f;
    float outScale_ = 1.0f;
    float supply_ = 1.0f;
    float plateScale_ = 1.0f;
    float screenScale_ = 1.0f;
    // The stage's output at zero drive, before outScale; each level sets it.
    float restStage_ = 0.0f;
};

} // namespace AudioEngine::CX2
