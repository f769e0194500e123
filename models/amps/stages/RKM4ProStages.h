#pragma once

#include "engine/math/BiquadFilter.h"
#include "engine/math/FilterVariable.h"
#include "models/amps/stages/CouplingHighPass.h"
#include "models/amps/stages/ToneEq.h"
#include "models/amps/stages/ToneEqSchematicBaxandall.h"
#include "models/amps/stages/UltraHiV9E.h"
#include "models/amps/stages/UltraLoV9E.h"

#include <numbers>

// The linear stages of the RKM4Pro head.
namespace AudioEngine::BorvanQom::BorvanRKM4ProTraitsDetails {

// A first-order high shelf (corner shelfHz, gain shelfDb) times a first-order
// low-pass at lowPassHz (prewarped), scaled by g, as one biquad:
//   b0 = g s0 c, b1 = g (s0 + s1) c, b2 = g s1 c, a1 = s2 + p, a2 = s2 p,
// with the shelf's s0, s1, s2 and the low-pass's c = A / (A + B),
// p = (A - B) / (A + B), A = 2 fs tan(pi f / fs), B = 2 fs. A low-pass at or
// above fs / 2 is left out (its prewarped corner would be negative or infinite
// and the section unstable; the rate limits the band there anyway): the
// record is then g times the shelf alone.
BiquadFilterDetails::CoeffsZ<float> shelfLowPass(float shelfHz, float shelfDb, float lowPassHz,
                                                 float g, float sampleRate);

// Input shaping: a +3 dB shelf at 2.7 kHz with a 16 kHz top cut; "Pad" "On"
// lowers all of it by exactly 15 dB.
class PreFilter1 : public FilterVariable<BiquadFilter<>> {
public:
    void createParameters() override;

protected:
    void design() override;

private:
    ParameterBase* pad_ = nullptr;
};

// The bright switch: a shelf at 600 Hz, +5 dB with the top cut at 8.5 kHz when
// "On", +0.3 dB with the cut at 12.5 kHz when "Off".
class Bright : public FilterVariable<BiquadFilter<>> {
public:
    static constexpr float shelfHz = 600.0f;
    static constexpr float onDb = 5.0f;
    static constexpr float offDb = 0.3f;
    static constexpr float onLowPassHz = 8500.0f;
    static constexpr float offLowPassHz = 12500.0f;

    void createParameters() override;

protected:
    void design() override;

private:
    ParameterBase* bright_ = nullptr;
};

// The coupling high-passes after the three tube stages, each preset to the
// rest output of its curve.
struct HPF1Traits {
    static constexpr float pole = 8.38f * std::numbers::pi_v<float>; // 4.19 Hz
    static constexpr float restInput = 187.16620f;
};
using HPF1 = CouplingHighPass1<HPF1Traits>;

struct HPF2Traits {
    static constexpr float pole = 6.2f * std::numbers::pi_v<float>; // 3.1 Hz
    static constexpr float restInput = 134.81880f;
};
using HPF2 = CouplingHighPass1<HPF2Traits>;

struct HPF3Traits {
    static constexpr float pole = 4.0f * std::numbers::pi_v<float>; // 2 Hz
    static constexpr float restInput = 188.70256f;
};
using HPF3 = CouplingHighPass1<HPF3Traits>;

// The switch network with scale 0.5, off-gain -18 dB, C1 4.7 nF, C2 470 pF,
// R1 = R2 = 220k, R3 0, R4 3.3M, R5 440k, R6 251225 ohms.
struct UltraLoTraits {
    static constexpr float p2 = 0.1271954f;
    static constexpr float p1 = 246.0260f;
    static constexpr float p0 = 1189681.0f;
    static constexpr float q1 = 9066.335f;
    static constexpr float q0 = 6615645.0f;
    static constexpr float offDb = -18.0f;
};
using UltraLo = UltraLoV9E<UltraLoTraits>;

struct UltraHiTraits {
    static constexpr float shelfHz = 2200.0f;
    static constexpr float shelfDb = 10.0f;
};
using UltraHi = UltraHiV9E<UltraHiTraits>;

class BaxandallSchematic : public CX1::ToneEqSchematicBaxandall<CX1::ToneEqSchematicTraits> {
public:
    BaxandallSchematic()
        : ToneEqSchematicBaxandall({87223.0, 1e6, 1e6, 790345.0, 120000.0, 220000.0, 22000.0,
                                    470e-12, 4.7e-9, 1e-9, 10e-9},
                                   1.0)
    {
    }
};

} // namespace AudioEngine::BorvanQom::BorvanRKM4ProTraitsDetails
