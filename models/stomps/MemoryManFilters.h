#pragma once

#include "engine/core/Parameter.h"
#include "engine/math/BiquadFilter.h"
#include "engine/math/BiquadFilterDetails.h"
#include "engine/math/FilterVariable.h"
#include "engine/math/FilterZeroPole.h"
#include "engine/math/FilterZeroPoleDetails.h"

namespace AudioEngine::CX2::MemoryManTraitsDetails {

using BiquadStage = FilterVariable<BiquadFilter<BiquadFilterDetails::CoeffsZ<float>>>;
using ZeroPoleStage = FilterVariable<FilterZeroPole<FilterZeroPoleDetails::CoeffsZ<float>>>;

// 2 fs tan(pi f / fs): the analogue corner that the bilinear transform maps
// onto f exactly. A corner at or above half the rate has no digital image
// (the tangent turns negative and the section unstable), so f is held below
// 0.45 fs; at any rate of 10.8 kHz and more that changes nothing here.
float prewarped(float hertz, float sampleRate) noexcept;

// The LFO smoother's section at time constant tau: 1 / (1 + tau s) put
// through the bilinear transform as a second-order section (numerator
// (1, 0, 0), denominator (1, tau, 0)), in single precision:
//   n = 1 + tau K, K = 2 fs;  b = (1, 2, 1) / n,  a1 = 2 / n,  a2 = (1 - tau K) / n.
// Both numerator and denominator carry a factor (1 + z^-1): the pole at
// z = -1 is cancelled by a zero, and the section filters as the first-order
// low-pass. Only rounding, of the coefficients and of each step, reaches
// that pole; an hour of sweeping shows the state stays bounded.
BiquadFilterDetails::CoeffsZ<float> lfoSmootherCoefficients(float tau, float sampleRate) noexcept;

// Smooths the LFO's triangle into the bucket brigade's rounded sweep. The
// time constant shortens with "Depth" (0 .. 1): tau = 0.2365 - 0.22 Depth^2 s,
// a corner of about 0.673 Hz at depth 0 and 9.65 Hz at depth 1, not prewarped.
template <class Base> class LfoSmoother : public Base {
public:
    void createParameters() override
    {
        depth_ =
            this->parameters_.addParameter(Parameter("Depth", "", 0.0f, 1.0f, 0.0f, 0), "Depth");
    }

    static float timeConstant(float depth) noexcept { return 0.2365f - 0.22f * depth * depth; }

protected:
    void design() override
    {
        this->setCoefficients(
            lfoSmootherCoefficients(timeConstant(depth_->getValue()), this->getSampleRate()));
    }

private:
    ParameterBase* depth_ = nullptr;
};

// The control smoothers' section: w / (w + s) at the prewarped corner f
// through the bilinear transform, a1 = (w - K) / (w + K), with the numerator
// taken as b0 = b1 = (1 + a1) / 2, which is w / (w + K) exactly but keeps the
// DC gain exactly 1 in single precision. Rounded on their own, b0 and a1 miss
// it by up to 3e-4 at these corners (1 + a1 is about 4e-4), which would scale
// every setting on its way; the float recursion itself still comes to rest
// within about 1e-4 of the setting.
FilterZeroPoleDetails::CoeffsZ<float> controlSmootherCoefficients(float hertz,
                                                                  float sampleRate) noexcept;

// A control smoother: unity-gain first-order low-pass w / (w + s) at the
// prewarped corner named by its one parameter (0.01 .. 5 Hz, default 3).
template <class Descriptor> class ControlSmoother : public ZeroPoleStage {
public:
    void createParameters() override
    {
        corner_ = parameters_.addParameter(Parameter(Descriptor::name, "", 0.01f, 5.0f, 3.0f, 0),
                                           Descriptor::name);
    }

protected:
    void design() override
    {
        setCoefficients(controlSmootherCoefficients(corner_->getValue(), getSampleRate()));
    }

private:
    ParameterBase* corner_ = nullptr;
};

struct DepthSmoothness {
    static constexpr const char* name = "DepthSmoothness";
};
struct LfoSmoothness {
    static constexpr const char* name = "LfoSmoothness";
};
struct PcrKnobSmoothness {
    static constexpr const char* name = "PcrKnobSmoothness";
};

// The depth knob, so that turning it glides the rest voltage.
class DepthControlFilterType final : public ControlSmoother<DepthSmoothness> {};
// The modulation gate, which fades the swing out during a delay-time change and back in after.
class DepthLfoFilterType final : public ControlSmoother<LfoSmoothness> {};
// The delay-time knob's position, which chooses between the knob laws.
class PcrKnobFilterType final : public ControlSmoother<PcrKnobSmoothness> {};

// The feedback path's band-pass, corners 28.4 Hz and 4037 Hz, unity at its centre:
//   (w1 + w2) s / (w1 w2 + (w1 + w2) s + s^2).
class FeedbackFilterType final : public BiquadStage {
public:
    static constexpr float lowCornerHz = 28.4f;
    static constexpr float highCornerHz = 4037.0f;

protected:
    void design() override;
};

// The anti-alias low-pass before the bucket brigade, two real poles at
// 1843 Hz and 4825 Hz, unity at DC: wa wb / (wa wb + (wa + wb) s + s^2).
class AntialiasFilterType final : public BiquadStage {
public:
    static constexpr float firstCornerHz = 1843.0f;
    static constexpr float secondCornerHz = 4825.0f;

protected:
    void design() override;
};

} // namespace AudioEngine::CX2::MemoryManTraitsDetails
