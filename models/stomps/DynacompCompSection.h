#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/math/SampleFlush.h"
#include "engine/math/SplineCubic.h"
#include "engine/math/SplineCubicShearIndexed.h"
#include "engine/math/SplineCubicTraits.h"
#include "engine/math/TanhCurve.h"
#include "models/stomps/DynacompCurves.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace AudioEngine::CX2 {

template <class T> struct DynacompCompSectionTraits;

// The compression section's circuit values.
template <> struct DynacompCompSectionTraits<float> {
    static constexpr float sensitivityResistance = 500000.0f; // the "Sensitivity" pot
    static constexpr float seriesResistance = 27000.0f;      // fixed part of the control resistance
    static constexpr float supplyFeedResistance = 150000.0f; // supply to the control node
    static constexpr float junctionResistance = 1000000.0f;  // each rectifying junction stage
    static constexpr float junctionCapacitance = 1e-8f;
    static constexpr float controlCapacitance = 1e-5f; // the control node's capacitor
    static constexpr float thermalVoltage = 0.026f;    // input scaling of the pair
    static constexpr float currentGain = 300.0f;
    static constexpr float supplyVoltage = 9.0f;
    static constexpr float emitterVoltage = 1.2f;       // the control node's lower reference
    static constexpr float firstJunctionRest = 2.142f;  // the stage fed by the positive curve
    static constexpr float secondJunctionRest = 6.864f; // the stage fed by the negative curve

    // Flat to the left, as the transistors are cut off; the slope of the
    // resistive line to the right.
    struct ClipperNegBounds {
        using Curve = DynacompCompSectionTraitsDetails::ClipCurveNeg<double>;
        static constexpr double startSlope = 0.0;
        static constexpr double endSlope = 4851.0;
    };
    struct ClipperPosBounds {
        using Curve = DynacompCompSectionTraitsDetails::ClipCurvePos<double>;
        static constexpr double startSlope = 0.0;
        static constexpr double endSlope = 4854.0;
    };
    // Rising on both sides, so the extensions stay positive out to +-10 V.
    struct ROnFunctionBounds {
        using Curve = DynacompCompSectionTraitsDetails::ROnCurve<double>;
        static constexpr double startSlope = 1.627e10;
        static constexpr double endSlope = 101.06575;
    };

    using ClipperNegSpline =
        AudioMath::SplineCubic<AudioMath::SplineCubicUniformLinearTraits<ClipperNegBounds>>;
    using ClipperPosSpline =
        AudioMath::SplineCubic<AudioMath::SplineCubicUniformLinearTraits<ClipperPosBounds>>;
    using ROnSpline =
        AudioMath::SplineCubic<AudioMath::SplineCubicUniformLinearTraits<ROnFunctionBounds>>;
    using TanhSpline = DynacompCompSectionDetails::TanhSpline;
    using JunctionSpline =
        AudioMath::SplineCubicShearIndexed<DynacompCompSectionTraitsDetails::KMethodCurve<float>>;
};

namespace DynacompCompSectionDetails {

// The four device splines, built from their curves on first use and shared
// read-only by every section.
template <class Traits> struct SharedSplines {
    const typename Traits::TanhSpline& tanh;
    const typename Traits::ClipperNegSpline& neg;
    const typename Traits::ClipperPosSpline& pos;
    const typename Traits::ROnSpline& rOn;
    // The two output transistors' curves are sampled at the same currents,
    // so one segment look-up serves both.
    bool clippersShareKnots;

    static const SharedSplines& get()
    {
        static const typename Traits::TanhSpline tanhSpline;
        static const typename Traits::ClipperNegSpline negSpline;
        static const typename Traits::ClipperPosSpline posSpline;
        static const typename Traits::ROnSpline rOnSpline;
        static const SharedSplines shared{tanhSpline, negSpline, posSpline, rOnSpline,
                                          sameKnots(negSpline, posSpline)};
        return shared;
    }

    // (Neg(w), Pos(w)), each as its own evaluateUniform gives it.
    [[gnu::always_inline]] void clip(double w, double& neg, double& pos) const noexcept
    {
        if (clippersShareKnots && this->neg.getXFirst() < w && w < this->neg.getXLast()) {
            const std::int32_t segment = this->neg.uniformSegmentInside(w);
            neg = this->neg.evaluateInside(segment, w);
            pos = this->pos.evaluateInside(segment, w);
        } else {
            neg = this->neg.evaluateUniform(w);
            pos = this->pos.evaluateUniform(w);
        }
    }

private:
    template <class A, class B> static bool sameKnots(const A& a, const B& b)
    {
        if (a.getKnots().size() != b.getKnots().size() ||
            a.getUniformFinder().scale != b.getUniformFinder().scale ||
            a.getUniformFinder().xFirst != b.getUniformFinder().xFirst ||
            a.getLastSegment() != b.getLastSegment())
            return false;
        for (std::size_t k = 0; k < a.getKnots().size(); ++k)
            if (a.getKnots()[k].x != b.getKnots()[k].x)
                return false;
        return true;
    }
};

// One rectifying junction stage: the junction, with R across it, from the
// input u to the node s, and C from s to ground:
//   C ds/dt = (u - s)/R + i,  i = f(v),  v = u - s.
// The trapezoidal rule at fs, with A = -1/(RC), B = 1/(RC), h = 1/(2 fs - A):
//   s[n] = f1 s[n-1] + f2 (u[n] + u[n-1]) + f0 (i[n] + i[n-1]),
//   f0 = h/C, f1 = (2 fs + A) h, f2 = h B.
// i[n] is implicit. With q the part of s[n] known before it and p = u - q,
// the junction sees v = p + K i, K = -f0, so i = g(p) where g is the junction
// curve sheared from (v, i) to (v - K i, i) once per rate and process (see
// shearedFor): one spline look-up per sample and no iteration.
template <class Traits> class JunctionStage {
public:
    using Spline = typename Traits::JunctionSpline;

    JunctionStage(float sampleRate, float restState) : JunctionStage(Design(sampleRate), restState)
    {
    }

    // One sample: the junction voltage for the input u.
    [[gnu::always_inline]] float step(float u) noexcept
    {
        const float q = f1_ * s_ + f2_ * (u + uPrevious_) + f0_ * iPrevious_;
        const float p = u - q;
        const float i = spline_->evaluate(p);
        // Adding and taking off 1e-18 sends a state that would underflow to 0.
        s_ = (q + f0_ * i + 1e-18f) - 1e-18f;
        uPrevious_ = u;
        iPrevious_ = i;
        return p + k_ * i; // = u - s
    }

    // Back to rest: the capacitor at its rest voltage, nothing flowing.
    void rest() noexcept
    {
        s_ = restState_;
        uPrevious_ = 0.0f;
        iPrevious_ = 0.0f;
    }

    float getState() const noexcept { return s_; }
    float getK() const noexcept { return k_; }
    float getF0() const noexcept { return f0_; }
    float getF1() const noexcept { return f1_; }
    const Spline& getSpline() const noexcept { return *spline_; }

private:
    struct Design {
        explicit Design(float sampleRate)
        {
            const double r = Traits::junctionResistance;
            const double c = Traits::junctionCapacitance;
            const double fs = sampleRate;
            const double a = -1.0 / (r * c);
            const double b = 1.0 / (r * c);
            const double h = 1.0 / (2.0 * fs - a);
            f0 = static_cast<float>(h / c);
            f1 = static_cast<float>((2.0 * fs + a) * h);
            f2 = static_cast<float>(h * b);
            k = -f0;
        }
        float f0, f1, f2, k;
    };

    JunctionStage(const Design& d, float restState)
        : f0_(d.f0), f1_(d.f1), f2_(d.f2), k_(d.k), restState_(restState), spline_(&shearedFor(d.k))
    {
        rest();
    }

    // The junction curve sheared by k depends on the rate alone, and both
    // stages of every section at a rate share it: built on the first call
    // for its k, read-only afterwards, kept until the process ends (a
    // process sees few rates). Takes a lock: runs where the stages are
    // built, never on the audio thread.
    static const Spline& shearedFor(float k)
    {
        static std::mutex mutex;
        static std::map<float, std::unique_ptr<const Spline>> splines;
        const std::lock_guard lock(mutex);
        auto& spline = splines[k];
        if (!spline)
            spline = std::make_unique<const Spline>(k);
        return *spline;
    }

    float f0_, f1_, f2_, k_;
    float restState_;
    float s_ = 0.0f;
    float uPrevious_ = 0.0f;
    float iPrevious_ = 0.0f;
    const Spline* spline_;
};

} // namespace DynacompCompSectionDetails

// The compressor's control loop, a small circuit solved every sample:
//   1. the input pair: t = tanh(kin x), kin = -0.1 / (2 Vt) (the 1:10 input
//      divider into a differential pair);
//   2. the pair's output current scaled by the control current I: w = -t I;
//   3. the two output transistors' voltages r1 = Neg(w), r2 = Pos(w); r2 is
//      the section's output;
//   4. each drives a rectifying junction stage (r1 the second, resting at
//      6.864 V, r2 the first, resting at 2.142 V); their junction voltages set
//      the junctions' on-resistances, in parallel Rp;
//   5. the control node V (capacitor Cc) is fed from the supply through
//      150 k (Gs), pulled towards the emitter reference through the control
//      resistance R and the current gain (Ge), and discharged through Rp;
//      trapezoidal: B = -Gs - Ge - 1/(Rp Cc), D = 1/(2 fs - B),
//      V = 2 (9 Gs + 1.2 Ge) D + V (2 fs + B) D;
//   6. the control current I = (V - 1.2)/R, never negative.
// R = (1 - "Sensitivity") 500 k + 27 k is read once per piece. A louder input
// makes the junctions conduct, Rp falls, V and with it I fall, and the gain
// from x to the output falls: compression.
//
// prepare builds the junction stages for the rate and sets the operating
// point of R: I = (9 - 1.2)/(R + 150 k), V = (300 R 9 + 150 k 1.2)/(300 R +
// 150 k); the loop's own I, (V - 1.2)/R, differs, so the first sample after
// a prepare steps once. update rebuilds the stages for the current rate (V
// and I stay); reset returns V, I and both stages to the operating point
// prepare sets, so a reset or a selection starts from rest. A NaN or
// infinite input sample is taken as silence.
template <class Traits> class DynacompCompSection : public ModuleBasic {
public:
    using Stage = DynacompCompSectionDetails::JunctionStage<Traits>;
    using Splines = DynacompCompSectionDetails::SharedSplines<Traits>;

    DynacompCompSection()
        : ModuleBasic(ModuleInfo{0, "DynacompCompSection", ""}), splines_(Splines::get()),
          second_(44100.0f, Traits::secondJunctionRest), first_(44100.0f, Traits::firstJunctionRest)
    {
    }

    void createParameters() override
    {
        parameters_.addParameter(Parameter("Sensitivity", "", 0.0f, 1.0f, 0.0f, 0), "Sensitivity");
        sensitivity_ = &getParameter("Sensitivity");
    }

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    void prepare() override
    {
        ModuleBasic::prepare();
        buildStages();
        setOperatingPoint();
    }

    // May allocate and lock (the stages' sheared spline for a rate not seen
    // before): called on a rate change, off the processing thread.
    void update() override { buildStages(); }

    void reset() override
    {
        second_.rest();
        first_.rest();
        setOperatingPoint();
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        const double fs2 = 2.0 * static_cast<double>(getSampleRate());
        const float kin = -0.1f / (2.0f * Traits::thermalVoltage);
        const float r = resistance();
        const double gs =
            1.0 / (static_cast<double>(Traits::controlCapacitance) * Traits::supplyFeedResistance);
        const double ge =
            1.0 / (static_cast<double>(r) * Traits::controlCapacitance * Traits::currentGain);
        const double supplyTerm = 2.0 * (Traits::supplyVoltage * gs + Traits::emitterVoltage * ge);
        const double leak = 1.0 / Traits::controlCapacitance;
        // With G = g1 g2 and S = g1 + g2 (so 1/Rp = S/G) and b = c - leak S/G,
        // the update V = (supplyTerm + V (fs2 + b)) / (fs2 - b) is, both parts
        // times G, (supplyTerm G + V ((fs2 + c) G - leak S)) / ((fs2 - c) G +
        // leak S): one double division a sample where the loop had three
        // (Rp, leak / Rp and 1 / (fs2 - b)), each of them waited for. The
        // float division by R stays: the loop feeds its rounding back, and a
        // reciprocal moves the output by more than the references allow.
        const double c = -gs - ge;
        const double fs2PlusC = fs2 + c;
        const double fs2MinusC = fs2 - c;
        float v = v_;
        float current = i_;
        for (std::uint32_t k = 0; k < n; ++k) {
            const float u = kin * AudioMath::flushedSample(x[k]);
            const float t = splines_.tanh.evaluateUniform(u);
            const double w = -(t * current);
            double r1, r2;
            splines_.clip(w, r1, r2);
            y[k] = static_cast<float>(r2);
            const float k1 = second_.step(static_cast<float>(r1));
            const float k2 = first_.step(static_cast<float>(r2));
            const double g1 = splines_.rOn.evaluateUniform(k1);
            const double g2 = splines_.rOn.evaluateUniform(k2);
            const double gg = g1 * g2;
            const double leakS = leak * (g1 + g2);
            v = static_cast<float>(
                (supplyTerm * gg + static_cast<double>(v) * (fs2PlusC * gg - leakS)) /
                (fs2MinusC * gg + leakS));
            const float drawn = (v - Traits::emitterVoltage) / r;
            current = drawn > 0.0f ? drawn : 0.0f;
        }
        v_ = v;
        i_ = current;
        return n;
    }

    // R = (1 - Sensitivity) 500 k + 27 k.
    float resistance() const
    {
        return (1.0f - sensitivity_->getValue()) * Traits::sensitivityResistance +
               Traits::seriesResistance;
    }

    float getV() const noexcept { return v_; }
    float getI() const noexcept { return i_; }
    const Stage& getFirstStage() const noexcept { return first_; }
    const Stage& getSecondStage() const noexcept { return second_; }

private:
    void buildStages()
    {
        const float fs = getSampleRate();
        second_ = Stage(fs, Traits::secondJunctionRest);
        first_ = Stage(fs, Traits::firstJunctionRest);
    }

    void setOperatingPoint()
    {
        const float r = resistance();
        const float feed = Traits::supplyFeedResistance;
        i_ = (Traits::supplyVoltage - Traits::emitterVoltage) / (r + feed);
        v_ = (r * Traits::currentGain * Traits::supplyVoltage + feed * Traits::emitterVoltage) /
             (r * Traits::currentGain + feed);
    }

    const Splines& splines_;
    ParameterBase* sensitivity_ = nullptr;
    Port* in_ = nullptr;
    Port* out_ = nullptr;
    Stage second_;
    Stage first_;
    float v_ = 0.0f;
    float i_ = 0.0f;
};

} // namespace AudioEngine::CX2
