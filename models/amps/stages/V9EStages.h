#pragma once

#include "models/amps/stages/CouplingHighPass.h"
#include "models/amps/stages/ToneEq.h"
#include "models/amps/stages/ToneEqSchematicBaxandall.h"
#include "models/amps/stages/UClipper2.h"
#include "models/amps/stages/UltraHiV9E.h"
#include "models/amps/stages/UltraLoV9E.h"

#include <numbers>

// The linear stages of the V9E head, each coupling filter preset to the rest
// output of the tube stage before it.
namespace AudioEngine::BorvanQom::BorvanV9ETraitsDetails {

// After the first tube stage: a pole at 3.18 pi rad/s (1.59 Hz).
struct HPF1Traits {
    static constexpr float pole = 3.18f * std::numbers::pi_v<float>;
    static constexpr float restInput = 232.4967f;
};
using HPF1 = CouplingHighPass1<HPF1Traits>;

// A coupling high-pass at 1 Hz and a 12.5 kHz band limit in one section,
//   H(s) = (w1 + w2) s / ((s + w1)(s + w2)),  wk = 2 fs tan(pi fk / fs),
// both corners prewarped, unity gain between them.
BiquadFilterDetails::CoeffsS<float> bandLimitedHighPass(float highPassHz, float lowPassHz,
                                                        float sampleRate);

// After the second tube stage (UClipper2, resting at 233.30695).
struct HPF2Traits {
    static constexpr float restInput = 233.30695f;
    static BiquadFilterDetails::CoeffsS<float> prototype(float sampleRate)
    {
        return bandLimitedHighPass(1.0f, 12500.0f, sampleRate);
    }
};
using HPF2 = CouplingHighPass2<HPF2Traits>;

// After the third tube stage: a pole at 31.8 pi rad/s (15.9 Hz).
struct HPF4Traits {
    static constexpr float pole = 31.8f * std::numbers::pi_v<float>;
    static constexpr float restInput = 120.40674f;
};
using HPF4 = CouplingHighPass1<HPF4Traits>;

// The RKM Classic's network with R1 = R2 = 221k and R6 = 67653.8 ohms.
struct UltraLoTraits {
    static constexpr float p2 = 0.4062389f;
    static constexpr float p1 = 959.1762f;
    static constexpr float p0 = 3765314.0f;
    static constexpr float q1 = 7724.992f;
    static constexpr float q0 = 6265838.0f;
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
        : ToneEqSchematicBaxandall(
              {78672.8, 1e6, 1e6, 4.6e6, 100000.0, 221000.0, 22100.0, 4.7e-10, 4.7e-9, 1e-9, 1e-8},
              1.0)
    {
    }
};

} // namespace AudioEngine::BorvanQom::BorvanV9ETraitsDetails
