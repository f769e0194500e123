#pragma once

#include "models/amps/stages/CouplingHighPass.h"
#include "models/amps/stages/HP2ToCoeffsZ.h"
#include "models/amps/stages/ToneEq.h"
#include "models/amps/stages/ToneEqSchematicBaxandall.h"
#include "models/amps/stages/UltraHiV9E.h"
#include "models/amps/stages/UltraLoV9E.h"

#include <numbers>

// The linear stages of the RKM Classic head. Its preamp works in volts: the
// tube stages rest at about 222 V, 226 V and 119 V, and the coupling filter
// after each starts settled on the stage's exact rest output.
namespace AudioEngine::BorvanQom::BorvanRKMClassicHeadTraitsDetails {

// After the first triode: a pole at 3.18 pi rad/s (1.59 Hz).
struct HPF1Traits {
    static constexpr float pole = 3.18f * std::numbers::pi_v<float>;
    static constexpr float restInput = 221.996f;
};
using HPF1 = CouplingHighPass1<HPF1Traits>;

// After the second triode: a pole at 2 pi rad/s (1 Hz).
struct HPF2Traits {
    static constexpr float pole = 2.0f * std::numbers::pi_v<float>;
    static constexpr float restInput = 226.361f;
};
using HPF2 = CouplingHighPass1<HPF2Traits>;

// After the output stage: a resonant second-order high-pass, 27 Hz, Q 3 (a
// rise of 9.54 dB at the corner). It takes off the curve's own rest output,
// 0.27 mV above the stage's nominal 119.448 V: off by that much, the start
// would ring out at 4e-5 for a tenth of a second.
struct HPF4Traits {
    static constexpr float restInput = 119.448273f;
    static BiquadFilterDetails::CoeffsS<float> prototype(float sampleRate)
    {
        return FilterHP2Details::HP2ToCoeffsZ{27.0f, 3.0f}.prototype(sampleRate);
    }
};
using HPF4 = CouplingHighPass2<HPF4Traits>;

// The switch network with scale 1, off-gain -7.8 dB, C1 4.7 nF, C2 470 pF,
// R1 = R2 = 220k, R3 100k, R4 3.3M, R5 1M, R6 69769.5 ohms: 0.601 at 0 Hz,
// 0.401 at high frequencies, a dip near 490 Hz.
struct UltraLoTraits {
    static constexpr float p2 = 0.4007207f;
    static constexpr float p1 = 951.2448f;
    static constexpr float p0 = 3748010.0f;
    static constexpr float q1 = 7706.481f;
    static constexpr float q0 = 6237607.0f;
    static constexpr float offDb = -7.8f;
};
using UltraLo = UltraLoV9E<UltraLoTraits>;

struct UltraHiTraits {
    static constexpr float shelfHz = 3850.0f;
    static constexpr float shelfDb = 10.0f;
};
using UltraHi = UltraHiV9E<UltraHiTraits>;

class BaxandallSchematic : public CX1::ToneEqSchematicBaxandall<CX1::ToneEqSchematicTraits> {
public:
    BaxandallSchematic()
        : ToneEqSchematicBaxandall({78648.1, 1e6, 1e6, 779809.0, 100000.0, 220000.0, 22000.0,
                                    4.7e-10, 4.7e-9, 1e-9, 1e-8},
                                   1.0)
    {
    }
};

} // namespace AudioEngine::BorvanQom::BorvanRKMClassicHeadTraitsDetails
