#pragma once

#include "engine/math/BiquadFilter.h"
#include "engine/math/FilterVariable.h"
#include "engine/math/FilterZeroPole.h"
#include "engine/modules/Adder.h"
#include "engine/modules/Comparator.h"
#include "engine/modules/Divider.h"
#include "engine/modules/EnvelopeFollower.h"
#include "engine/modules/Gain.h"
#include "engine/modules/LatchSR.h"
#include "engine/modules/RingModulator.h"

namespace AudioEngine::BorvanQom {

namespace OctaverTraitsDetails {

using Biquad = FilterVariable<BiquadFilter<BiquadFilterDetails::CoeffsZ<float>>>;
using FirstOrder = FilterVariable<FilterZeroPole<FilterZeroPoleDetails::CoeffsZ<float>>>;

// The two level controls: a factor 0 .. 1, silent by default.
struct LevelDescriptor {
    static constexpr float minimum = 0.0f;
    static constexpr float maximum = 1.0f;
    static constexpr float defaultValue = 0.0f;
};

// Each stage computes its analogue prototype from fixed circuit values and the
// rate; design installs its bilinear transform. Only the stages that say so
// prewarp their corner.

// The input op-amp: zeros at 0 and 0 Hz, poles at 5 and 30 Hz, gain 2:
// H(s) = 2 s^2 / ((s + 2 pi 5)(s + 2 pi 30)), a high-pass that tends to 2.
class FilterOpAmp : public Biquad {
public:
    static CoefficientsS prototype(float sampleRate);

protected:
    void design() override { installDesign(prototype(getSampleRate())); }
};

// Band-limits ahead of the squaring circuit: poles at 20 and 40 Hz,
// H(s) = 10^3.65861385 s / ((s + 40 pi)(s + 80 pi)), a band-pass that peaks at
// sqrt(20 x 40) = 28.28 Hz with 10^3.65861385 / (120 pi) = 12.086.
class FilterPreLP : public Biquad {
public:
    static CoefficientsS prototype(float sampleRate);

protected:
    void design() override { installDesign(prototype(getSampleRate())); }
};

// Feeds the envelope followers: (1 + 0.00068 s) / (1 + 0.00135089 s +
// 1.09989e-8 s^2), unity at DC, poles near 118.5 Hz and 19.43 kHz, zero near
// 234.1 Hz.
class FilterRectPre : public Biquad {
public:
    static CoefficientsS prototype(float sampleRate);

protected:
    void design() override { installDesign(prototype(getSampleRate())); }
};

// The comparators' reference: as FilterRectPre with the zero at 1 / 0.00101
// rad/s (157.6 Hz), so it keeps more of the upper harmonics than the envelopes.
class FilterRef : public Biquad {
public:
    static CoefficientsS prototype(float sampleRate);

protected:
    void design() override { installDesign(prototype(getSampleRate())); }
};

// Unity-gain Sallen-Key low-pass after the switch: R1 = R2 = 22 k, C1 = 15 nF,
// C2 = 220 nF; 1 / (1 + a1 s + a2 s^2) with a1 = (R1 + R2) C1 and
// a2 = R1 R2 C1 C2: f0 = 125.9 Hz, Q = 1.915.
class FilterOctaveLP1 : public Biquad {
public:
    static CoefficientsS prototype(float sampleRate);

protected:
    void design() override { installDesign(prototype(getSampleRate())); }
};

// First-order low-pass with gain 10^-0.6 (-12 dB), its 72.38 Hz corner
// prewarped so it stays put at every rate.
class FilterOctaveLP2 : public FirstOrder {
public:
    static CoefficientsS prototype(float sampleRate);

protected:
    void design() override { installDesign(prototype(getSampleRate())); }
};

// The followers' attack: unity low-pass, corner 159.23 Hz prewarped. "Attack"
// is carried for the knob's sake; the design reads only the rate.
class EnvelopeAttackFilter : public FirstOrder {
public:
    static CoefficientsS prototype(float sampleRate);

    void createParameters() override
    {
        parameters_.addParameter(Parameter("Attack", "", 0.0f, 1.0f, 0.1f, 0), "Attack");
    }

protected:
    void design() override { installDesign(prototype(getSampleRate())); }
};

// The followers' release: unity low-pass, corner 14.475 Hz prewarped; "Release"
// is carried the same way.
class EnvelopeReleaseFilter : public FirstOrder {
public:
    static CoefficientsS prototype(float sampleRate);

    void createParameters() override
    {
        parameters_.addParameter(Parameter("Release", "", 0.0f, 10.0f, 1.0f, 0), "Release");
    }

protected:
    void design() override { installDesign(prototype(getSampleRate())); }
};

struct EnvelopePosTraits {
    using AttackFilter = EnvelopeAttackFilter;
    using ReleaseFilter = EnvelopeReleaseFilter;
    static constexpr EnvelopePolarity polarity = EnvelopePolarity::Positive;
};

struct EnvelopeNegTraits {
    using AttackFilter = EnvelopeAttackFilter;
    using ReleaseFilter = EnvelopeReleaseFilter;
    static constexpr EnvelopePolarity polarity = EnvelopePolarity::Negative;
};

// The squaring latch: inputs are comparator outputs (0 / 1), outputs +-1.
class Latch : public LatchSR {
public:
    Latch() : LatchSR(LogicLevels{0.0f, 1.0f, -1.0f, 1.0f}) {}
};

// The flip-flop that halves the latch's square wave, +-1 in and out.
class OctaveDivider : public Divider<2, DividerDetails::EdgePositive> {
public:
    OctaveDivider() : Divider(LogicLevels{-1.0f, 1.0f, -1.0f, 1.0f}) {}
};

// The switch splits the divider's output at 0: at or above it the op-amp
// signal is inverted and amplified ten times, below it it passes at unity.
struct SwitchFunction {
    static constexpr float threshold = 0.0f;
};
struct SwitchGain {
    static constexpr float high = -10.0f;
    static constexpr float low = 1.0f;
};

} // namespace OctaverTraitsDetails

struct OctaverTraits {
    using Level = Gain<OctaverTraitsDetails::LevelDescriptor>;
    using FilterOpAmp = OctaverTraitsDetails::FilterOpAmp;
    using FilterPreLP = OctaverTraitsDetails::FilterPreLP;
    using FilterRectPre = OctaverTraitsDetails::FilterRectPre;
    using FilterRef = OctaverTraitsDetails::FilterRef;
    using EnvPos = EnvelopeFollower<OctaverTraitsDetails::EnvelopePosTraits>;
    using EnvNeg = EnvelopeFollower<OctaverTraitsDetails::EnvelopeNegTraits>;
    using Comparator = AudioEngine::Comparator;
    using Latch = OctaverTraitsDetails::Latch;
    using Divider = OctaverTraitsDetails::OctaveDivider;
    using Ring =
        RingModulator<OctaverTraitsDetails::SwitchFunction, OctaverTraitsDetails::SwitchGain>;
    using OctaveLP1 = OctaverTraitsDetails::FilterOctaveLP1;
    using OctaveLP2 = OctaverTraitsDetails::FilterOctaveLP2;
    using Mixer = Adder<2>;
};

} // namespace AudioEngine::BorvanQom
