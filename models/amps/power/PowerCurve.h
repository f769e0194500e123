#pragma once

#include "engine/math/Curve2.h"
#include "engine/math/SplineCubic.h"
#include "engine/math/SplineTraits.h"
#include "models/amps/power/PowerCurveTables.h"

#include <cstddef>

namespace AudioEngine::BorvanQom {

// One output-stage curve of a tube power amp as knots: the table's 181 samples
// at evenly spaced drive values over its range, each sample times gain.
class PowerCurve : public AudioMath::Curve2<AudioMath::Curve2Traits<float>> {
public:
    explicit PowerCurve(const PowerCurveTable& table, float gain = 1.0f)
        : Curve2(table.samples, kPowerCurvePoints, table.x0, table.x1)
    {
        if (gain != 1.0f)
            for (auto& point : *this)
                point.y *= gain;
    }
};

// The spline of an output-stage curve: clamped with end slopes 0, uniform finder.
template <class Curve> using ClipperSpline = AudioMath::SplineCubic<AudioMath::SplineTraits<Curve>>;

// A saturating curve looked up with its input limited to the knots' range
// first. The comparisons are written so that a NaN fails the first one and
// becomes the first knot. At the end knots the spline takes its linear branch
// with a zero offset, so beyond the table the result is exactly the end sample,
// whatever rounding left in the end slopes; inside nothing changes.
template <class Spline> inline float evaluateLimited(const Spline& spline, float x) noexcept
{
    const float first = spline.getXFirst();
    const float last = spline.getXLast();
    x = x > first ? x : first;
    x = x < last ? x : last;
    return spline.evaluateUniform(x);
}

// The 27 tables of a model in the stored order (VOut 1..9, I1 1..9, I2 1..9).
enum class PowerCurveKind : std::size_t { VOut = 0, I1 = 1, I2 = 2 };

inline const PowerCurveTable& powerCurveTable(const PowerCurveTable* tables, PowerCurveKind kind,
                                              int triple)
{
    return tables[static_cast<std::size_t>(kind) * 9 + static_cast<std::size_t>(triple - 1)];
}

} // namespace AudioEngine::BorvanQom
