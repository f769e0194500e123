#pragma once

#include "models/amps/power/Interpolator2To3.h"
#include "models/amps/power/PowerCurve.h"

namespace AudioEngine::CX2 {

// The output stage at one point of the supply grid: the output voltage v, the
// plate current i1 and the screen current i2 against the drive x, each from
// its own curve and each held at its end sample beyond its own range (the
// current curves of a triple span slightly different ranges than v).
class PowerAmpFunction {
public:
    using Spline = BorvanQom::ClipperSpline<BorvanQom::PowerCurve>;
    using Result = AudioMath::InterpolatorMultiDetails::Result3;

    PowerAmpFunction(const BorvanQom::PowerCurveTable& vOut, const BorvanQom::PowerCurveTable& i1,
                     const BorvanQom::PowerCurveTable& i2)
        : vOut_(BorvanQom::PowerCurve(vOut)), i1_(BorvanQom::PowerCurve(i1)),
          i2_(BorvanQom::PowerCurve(i2))
    {
    }

    Result evaluate(float x) const noexcept
    {
        Result r;
        r[0] = BorvanQom::evaluateLimited(vOut_, x);
        r[1] = BorvanQom::evaluateLimited(i1_, x);
        r[2] = BorvanQom::evaluateLimited(i2_, x);
        return r;
    }

    const Spline& getVOut() const noexcept { return vOut_; }
    const Spline& getI1() const noexcept { return i1_; }
    const Spline& getI2() const noexcept { return i2_; }

private:
    Spline vOut_;
    Spline i1_;
    Spline i2_;
};

// The nine grid-point functions of a model: triple n from the n-th curve of
// each kind. CurveSet::tables() gives the model's 27 stored tables.
template <class CurveSet> struct PowerAmpInterpolators {
    using Function = PowerAmpFunction;

    static Function make(int triple)
    {
        using BorvanQom::PowerCurveKind;
        const BorvanQom::PowerCurveTable* tables = CurveSet::tables();
        return Function(BorvanQom::powerCurveTable(tables, PowerCurveKind::VOut, triple),
                        BorvanQom::powerCurveTable(tables, PowerCurveKind::I1, triple),
                        BorvanQom::powerCurveTable(tables, PowerCurveKind::I2, triple));
    }
};

} // namespace AudioEngine::CX2
