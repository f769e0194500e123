#pragma once

#include <functional>
#include <vector>

// Small numerical tools of the curve generator, all deterministic (no random
// starts, fixed iteration counts), so that a run always writes the same tables.
namespace PreampCurves {

using Vec = std::vector<double>;

// Minimises cost over R^n by the Nelder-Mead simplex from start, with the
// initial simplex spread by step along each axis. Restarts from the best point
// until a restart no longer improves it, which keeps a collapsed simplex from
// stopping the search early.
Vec minimise(const std::function<double(const Vec&)>& cost, Vec start, const Vec& step);

// Shape-preserving piecewise cubic Hermite interpolant (Fritsch and Carlson):
// monotone wherever the data are, no overshoot between data points. Interior
// slopes are weighted harmonic means of the neighbouring secants; the two end
// slopes are given. Outside the data it holds the end values.
class Pchip {
public:
    Pchip(Vec x, Vec y, double startSlope, double endSlope);
    double operator()(double x) const;

private:
    Vec x_;
    Vec y_;
    Vec d_;
};

// w with w e^w = e^L, the principal branch of Lambert's W at e^L, for any real L
// (works where e^L itself would overflow or underflow).
double lambertWOfExp(double L);

// A fitted constant held inside [lo, hi] (on a log scale when logarithmic):
// the search runs over all of R and maps through a logistic curve.
struct Bound {
    double lo;
    double hi;
    bool logarithmic;

    double operator()(double v) const; // the constant for the search variable v
    double start(double value) const;  // the search variable for a constant inside
};

// ln(1 + e^z) without overflow.
double softplus(double z);

} // namespace PreampCurves
