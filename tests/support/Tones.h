#pragma once

// Tones and their measures, shared by the pitch and time tests and benchmark:
// every output (ours or a reference tool's) is measured the same way. The
// sine and root mean square are the ones of Signals.h.

#include "tests/support/Signals.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace test {

inline std::vector<float> sawtooth(double hz, double rate, int frames, float amplitude = 0.5f)
{
    std::vector<float> x(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        const double phase = hz * i / rate;
        x[static_cast<std::size_t>(i)] =
            amplitude * static_cast<float>(2.0 * (phase - std::floor(phase)) - 1.0);
    }
    return x;
}

// The strongest frequency of x between low and high Hz: a Hann-windowed
// spectrum scanned on a coarse grid, then refined around its peak.
inline double peakFrequency(const std::vector<float>& x, double rate, double low, double high)
{
    const std::size_t n = x.size();
    std::vector<double> windowed(n);
    for (std::size_t i = 0; i < n; ++i)
        windowed[i] = x[i] * (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / (n - 1.0)));
    auto magnitude = [&](double hz) {
        // Goertzel's recursion at one frequency.
        const double w = 2.0 * std::numbers::pi * hz / rate, c = 2.0 * std::cos(w);
        double s1 = 0.0, s2 = 0.0;
        for (double v : windowed) {
            const double s0 = v + c * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        return s1 * s1 + s2 * s2 - c * s1 * s2;
    };
    auto scan = [&](double from, double to, double step) {
        double best = from, bestValue = -1.0;
        for (double hz = from; hz <= to; hz += step) {
            const double m = magnitude(hz);
            if (m > bestValue) {
                bestValue = m;
                best = hz;
            }
        }
        return best;
    };
    const double coarse = rate / n / 4.0;
    const double found = scan(low, high, coarse);
    return scan(found - coarse, found + coarse, coarse / 40.0);
}

inline double cents(double measured, double expected)
{
    return 1200.0 * std::log2(measured / expected);
}

} // namespace test
