#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/math/SplineCubic.h"
#include "engine/math/SplineCubicTraits.h"

namespace AudioEngine {

namespace AudioMath {
// Natural ends (zero curvature at both end knots) and the direct segment index
// on evenly spaced knots, over a curve whose default constructor fills it.
template <class CurveT> struct InterpSplineUniformNaturalTraits {
    using Curve = CurveT;
    static constexpr SplineEnds ends = SplineEnds::Natural;
    static constexpr SplineFinder finder = SplineFinder::Uniform;
};
} // namespace AudioMath

// "Out" = spline("In") per sample: a measured law (a voltage-to-delay curve,
// say) as a module in a control path. The spline is built from its traits'
// curve the first time any instance is made and then shared read-only by all
// of them; outside its knots it goes on as a straight line with its end
// slopes, and it is never clamped.
template <class Spline> class InterpSpline : public ModuleBasic {
public:
    InterpSpline() : ModuleBasic(ModuleInfo{0x12, "InterpSpline", "Cubic spline interpolator"})
    {
        spline();
    }

    // The one spline of this curve, built on first use (thread-safe).
    static const Spline& spline()
    {
        static const Spline shared;
        return shared;
    }

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        const Spline& s = spline();
        for (std::uint32_t i = 0; i < n; ++i)
            y[i] = evaluate(s, x[i]);
        return n;
    }

private:
    static typename Spline::Value evaluate(const Spline& s, typename Spline::Value x)
    {
        if constexpr (Spline::kUniform)
            return s.evaluateUniform(x);
        else
            return s.evaluate(x);
    }

    Port* in_ = nullptr;
    Port* out_ = nullptr;
};

} // namespace AudioEngine
