#pragma once

// The overdrive clipper's transfer curve: 101 samples at x = i / 100, filled
// from the fourteen measured points below by monotone piecewise-cubic Hermite
// interpolation (Fritsch and Carlson's PCHIP, with the three-point end
// derivatives that keep the shape). PCHIP passes through every point, never
// overshoots between them and rises wherever the points rise, so the filled
// curve keeps the dead zone below 0.01, the steep knee from 0.02 to 0.06 and
// the slow saturation toward 0.6455 that the measurements show.
//
// Header-only, in double precision, rounded to float at the end: the
// generator writes the result and the model's tests recompute it and compare.

#include <array>
#include <cmath>
#include <cstddef>

namespace overdrive_curve {

inline constexpr std::size_t kCount = 101;

struct Point {
    double x;
    double y;
};

// The measured points: the clipper's output for inputs from 0 to 1.
inline constexpr std::array<Point, 14> kMeasured{{
    {0.00, 0.0},
    {0.01, 0.00129218},
    {0.02, 0.0323449},
    {0.03, 0.131311},
    {0.04, 0.256999},
    {0.05, 0.36725},
    {0.06, 0.426729},
    {0.08, 0.477651},
    {0.10, 0.503024},
    {0.20, 0.556975},
    {0.30, 0.581535},
    {0.50, 0.609707},
    {0.70, 0.627274},
    {1.00, 0.645502},
}};

// The index of the sample that a measured x falls on (x is a multiple of 0.01).
inline std::size_t sampleIndex(double x)
{
    return static_cast<std::size_t>(std::lround(x * 100.0));
}

// PCHIP derivatives at the measured points.
inline std::array<double, kMeasured.size()> pchipDerivatives()
{
    constexpr std::size_t n = kMeasured.size();
    std::array<double, n - 1> h{}, delta{};
    for (std::size_t k = 0; k + 1 < n; ++k) {
        h[k] = kMeasured[k + 1].x - kMeasured[k].x;
        delta[k] = (kMeasured[k + 1].y - kMeasured[k].y) / h[k];
    }
    std::array<double, n> d{};
    // Inside: the weighted harmonic mean of the two neighbouring secants, or 0
    // where the data turn (never here: they rise throughout).
    for (std::size_t k = 1; k + 1 < n; ++k) {
        if (delta[k - 1] * delta[k] <= 0.0) {
            d[k] = 0.0;
            continue;
        }
        const double w1 = 2.0 * h[k] + h[k - 1];
        const double w2 = h[k] + 2.0 * h[k - 1];
        d[k] = (w1 + w2) / (w1 / delta[k - 1] + w2 / delta[k]);
    }
    // Ends: the one-sided three-point estimate, held to the secant's sign and
    // to at most three secants where the data turn next to the end.
    auto end = [](double h0, double h1, double delta0, double delta1) {
        double e = ((2.0 * h0 + h1) * delta0 - h0 * delta1) / (h0 + h1);
        if (e * delta0 <= 0.0)
            e = 0.0;
        else if (delta0 * delta1 <= 0.0 && std::fabs(e) > 3.0 * std::fabs(delta0))
            e = 3.0 * delta0;
        return e;
    };
    d[0] = end(h[0], h[1], delta[0], delta[1]);
    d[n - 1] = end(h[n - 2], h[n - 3], delta[n - 2], delta[n - 3]);
    return d;
}

// The 101 samples: the measured points exactly, the others on the Hermite
// cubic of their interval.
inline std::array<float, kCount> fillClipperCurve()
{
    const auto d = pchipDerivatives();
    std::array<float, kCount> samples{};
    std::size_t k = 0;
    for (std::size_t i = 0; i < kCount; ++i) {
        const double x = static_cast<double>(i) / 100.0;
        while (k + 2 < kMeasured.size() && sampleIndex(kMeasured[k + 1].x) <= i)
            ++k;
        const Point& a = kMeasured[k];
        const Point& b = kMeasured[k + 1];
        if (i == sampleIndex(a.x) || i == sampleIndex(b.x)) {
            samples[i] = static_cast<float>(i == sampleIndex(a.x) ? a.y : b.y);
            continue;
        }
        const double h = b.x - a.x;
        const double t = (x - a.x) / h;
        const double t2 = t * t;
        const double t3 = t2 * t;
        const double y = (2.0 * t3 - 3.0 * t2 + 1.0) * a.y + (t3 - 2.0 * t2 + t) * h * d[k] +
                         (-2.0 * t3 + 3.0 * t2) * b.y + (t3 - t2) * h * d[k + 1];
        samples[i] = static_cast<float>(y);
    }
    return samples;
}

} // namespace overdrive_curve
