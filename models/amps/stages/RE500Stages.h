#pragma once

#include "engine/math/BiquadFilter.h"
#include "engine/math/FilterVariable.h"
#include "engine/math/FilterZeroPole.h"
#include "models/amps/stages/HP2ToCoeffsZ.h"
#include "models/amps/stages/OpAmpClipFunction.h"
#include "models/amps/stages/ToneEq.h"
#include "models/amps/stages/ToneEqSchematicBaxandall.h"
#include "models/amps/stages/UltraMidSchematic.h"

// The preamp stages of the RE500 solid-state head.
namespace AudioEngine::BorvanQom::BorvanRE500TraitsDetails {

// The gain pot of the first op-amp stage. The pot (50k scaled by the taper
// g = Gain^log2(10)) sets both the gain and, against the 440 pF feedback
// capacitor, the bandwidth: a first-order low-pass at
//   fc = 1 / (g 50000 pi 4.4e-10)
// with pass-band gain g, or g 10^-0.75 (-15 dB) with "Pad" "On". A corner at
// or above fs / 2 is left out (the stage is then a plain gain): at 44.1 kHz
// that holds for "Gain" below about 0.881; "Gain" 1 puts the corner at
// 14468.6 Hz. "Gain" 0 is exact silence.
class Gain : public FilterVariable<FilterZeroPole<>> {
public:
    void createParameters() override;

protected:
    void design() override;

private:
    ParameterBase* pad_ = nullptr;
    ParameterBase* gain_ = nullptr;
};

// The output high-pass: second order, 15 Hz, Q 0.5 (-6.02 dB at 15 Hz).
class HPF : public FilterVariable<BiquadFilter<>> {
protected:
    void design() override
    {
        installDesign(FilterHP2Details::HP2ToCoeffsZ{15.0f, 0.5f}.prototype(getSampleRate()));
    }
};

class BaxandallSchematic : public CX1::ToneEqSchematicBaxandall<CX1::ToneEqSchematicTraits> {
public:
    // R1 = 0: the network hangs directly on the driving op-amp; R2 = 1e12: the
    // next stage draws no current.
    BaxandallSchematic()
        : ToneEqSchematicBaxandall(
              {0.0, 50000.0, 50000.0, 1e12, 4700.0, 10000.0, 1000.0, 10e-9, 100e-9, 22e-9, 220e-9},
              1.0)
    {
    }
};

} // namespace AudioEngine::BorvanQom::BorvanRE500TraitsDetails
