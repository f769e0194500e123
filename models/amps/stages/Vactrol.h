#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/math/Curve2.h"
#include "engine/math/SplineCubic.h"
#include "engine/math/SplineCubicTraits.h"
#include "models/amps/stages/StageCurveTables.h"

#include <cmath>
#include <cstdint>

namespace AudioEngine::BorvanQom {

namespace VactrolDetails {

// The VTL5C7's static curve in log-log form: x = log10 of the LED current in
// amperes, y = log10 of the photoresistance in ohms, one knot per measured point.
class VTL5C7Curve : public AudioMath::Curve2<AudioMath::Curve2Traits<float>> {
public:
    VTL5C7Curve();
};

struct VTL5C7SplineTraits {
    using Curve = VTL5C7Curve;
    static constexpr AudioMath::SplineEnds ends = AudioMath::SplineEnds::Clamped;
    static constexpr AudioMath::SplineFinder finder = AudioMath::SplineFinder::BinarySearch;
    static constexpr float startSlope = StageCurveTables::VTL5C7Points::startSlope;
    static constexpr float endSlope = StageCurveTables::VTL5C7Points::endSlope;
};

// R(I): 1e6 ohms for a dark LED (5e-5 A or less, a NaN taken as dark), 100
// ohms from 40 mA on, the log-log spline between. Below the first measured
// point (1e-4 A, 1e5 ohms) the spline goes on with its end slope -3.321928,
// which reaches log10 R = 6 exactly one decade of resistance later, at
// log10 I = -4 - 1 / 3.321928 = log10 5e-5: the curve meets the dark clamp
// without a step.
class VTL5C7TransferFunctionType {
public:
    static constexpr float kDarkCurrent = 5e-5f;
    static constexpr float kDarkResistance = 1e6f;
    static constexpr float kFullCurrent = 0.04f;
    static constexpr float kFullResistance = 100.0f;

    float operator()(float current) const noexcept;

    const AudioMath::SplineCubic<VTL5C7SplineTraits>& getSpline() const noexcept { return spline_; }

    // log10 as the knots were made, so a current on a measured point lands on its knot.
    static float logOf(float value) noexcept
    {
        return static_cast<float>(std::log10(static_cast<double>(value)));
    }

private:
    AudioMath::SplineCubic<VTL5C7SplineTraits> spline_;
};

} // namespace VactrolDetails

// The VTL5C7's dynamics: the photoresistance moves towards R(I) with an attack
// time when it falls and a release time when it rises, each in milliseconds
// for 90 % of the way, linear in I between 2 mA and 40 mA and constant
// outside (16.578947 = 0.63 / 0.038, 69473.6875 = 2640 / 0.038).
struct VTL5C7VactrolTraits {
    using TransferFunction = VactrolDetails::VTL5C7TransferFunctionType;

    static constexpr float lowCurrent = 0.002f;
    static constexpr float fullCurrent = 0.04f;
    static constexpr float attackLowMs = 1.0f;
    static constexpr float attackFullMs = 0.37f;
    static constexpr float attackSlope = 16.578947f;
    static constexpr float releaseLowMs = 7560.0005f;
    static constexpr float releaseFullMs = 4920.0f;
    static constexpr float releaseSlope = 69473.6875f;

    static float attackMs(float current) noexcept
    {
        return attackLowMs - (current - lowCurrent) * attackSlope;
    }
    static float releaseMs(float current) noexcept
    {
        return releaseLowMs - (current - lowCurrent) * releaseSlope;
    }
};

// An LED-lit photoresistor: LED current (A) on "In", resistance (ohms) on "Out".
// The compressor and the limiter step it sample by sample inside their own
// loops (step); the module's block routine does the same for a connected input.
//
// One step with current I at rate fs: Rt = R(I); the time t is the attack time
// when Rt <= R, else the release time; k = 0.1^(1000 / (t fs)) (R covers 90 %
// of the way to Rt in t ms); R = (R - Rt) k + Rt. The four constant
// coefficients (below 2 mA and from 40 mA on) are computed per rate, so a dark
// or saturated LED costs no power. A current that is NaN counts as dark and
// +inf as saturated, so the resistance stays within 100 .. 1e6 ohms.
template <class Traits> class Vactrol : public ModuleBasic {
public:
    using TransferFunction = typename Traits::TransferFunction;

    static ModuleInfo moduleInfo()
    {
        return ModuleInfo{19, "Vactrol", "Current controlled photoresistor"};
    }

    Vactrol() : ModuleBasic(moduleInfo()) {}

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    // Rate changes arrive here.
    void update() override
    {
        sampleRate_ = getSampleRate();
        attackLow_ = coefficient(Traits::attackLowMs);
        attackFull_ = coefficient(Traits::attackFullMs);
        releaseLow_ = coefficient(Traits::releaseLowMs);
        releaseFull_ = coefficient(Traits::releaseFullMs);
    }

    void prepare() override
    {
        ModuleBasic::prepare();
        update();
    }

    void reset() override { resistance_ = transfer_(0.0f); }

    // "Out" may share "In": each sample is read before it is written.
    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        float r = resistance_;
        for (std::uint32_t i = 0; i < n; ++i) {
            step(x[i], r);
            y[i] = r;
        }
        return n;
    }

    // One step from the caller's resistance: it is read, advanced, and written
    // back to the caller's variable and to the vactrol's own R.
    void step(float current, float& resistance) noexcept
    {
        const float target = transfer_(current);
        const bool attack = target <= resistance;
        double k;
        if (!(current > Traits::lowCurrent))
            k = attack ? attackLow_ : releaseLow_;
        else if (current >= Traits::fullCurrent)
            k = attack ? attackFull_ : releaseFull_;
        else
            k = coefficient(attack ? Traits::attackMs(current) : Traits::releaseMs(current));
        resistance = static_cast<float>((static_cast<double>(resistance) - target) * k + target);
        resistance_ = resistance;
    }

    // R(I), the static curve.
    float transfer(float current) const noexcept { return transfer_(current); }

    float getResistance() const noexcept { return resistance_; }
    void setResistance(float resistance) noexcept { resistance_ = resistance; }
    float getStoredSampleRate() const noexcept { return sampleRate_; }

private:
    double coefficient(float timeMs) const noexcept
    {
        return std::pow(0.1,
                        1000.0 / (static_cast<double>(timeMs) * static_cast<double>(sampleRate_)));
    }

    TransferFunction transfer_;
    Port* in_ = nullptr;
    Port* out_ = nullptr;
    float sampleRate_ = 0.0f;
    float resistance_ = TransferFunction::kDarkResistance;
    double attackLow_ = 0.0;
    double attackFull_ = 0.0;
    double releaseLow_ = 0.0;
    double releaseFull_ = 0.0;
};

} // namespace AudioEngine::BorvanQom
