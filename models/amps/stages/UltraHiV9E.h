#pragma once

#include "engine/math/FilterVariable.h"
#include "engine/math/FilterZeroPole.h"
#include "models/amps/stages/ShelfMitraHigh.h"
#include "models/amps/stages/SwitchParameter.h"

namespace AudioEngine::BorvanQom {

// The "UltraHi" switch: a first-order high shelf when "On" (unity at 0 Hz, the
// shelf gain at fs / 2), an exact copy when "Off".
//
// Traits: static constexpr float shelfHz, shelfDb.
template <class Traits> class UltraHiV9E : public FilterVariable<FilterZeroPole<>> {
public:
    void createParameters() override
    {
        switch_ = parameters_.addParameter(StageSwitch::make("UltraHi"), "UltraHi");
    }

protected:
    void design() override
    {
        if (StageSwitch::isOn(*switch_))
            setCoefficients(
                CX1::FilterShelfDetails::ShelfMitraHighToCoeffsZ{Traits::shelfHz, Traits::shelfDb}
                    .transform(getSampleRate()));
        else
            setCoefficients(1.0f, 0.0f, 0.0f);
    }

private:
    ParameterBase* switch_ = nullptr;
};

} // namespace AudioEngine::BorvanQom
