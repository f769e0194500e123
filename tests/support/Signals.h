#pragma once

// Test signals and the measures taken of them, shared by tests and benchmarks.
// Each signal is the same for the same arguments on every run.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace test {

// n samples of amplitude sin(2 pi hertz i / rate); the phase is computed in
// double, so a long tone keeps its frequency.
inline std::vector<float> sine(std::size_t n, float amplitude, double hertz, double rate = 44100.0)
{
    std::vector<float> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = amplitude *
               static_cast<float>(std::sin(2.0 * std::numbers::pi * hertz * double(i) / rate));
    return x;
}

// count samples uniform in [-amplitude, amplitude), the same for the same seed.
inline std::vector<float> noise(std::size_t count, unsigned seed, float amplitude = 1.0f)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> uniform(-amplitude, amplitude);
    std::vector<float> x(count);
    for (float& v : x)
        v = uniform(rng);
    return x;
}

// noise at full scale, by a whole count.
inline std::vector<float> randomSignal(int count, unsigned seed)
{
    return noise(static_cast<std::size_t>(count), seed);
}

// An exponential sweep from 40 Hz up 200 times over n samples (to 8 kHz).
inline std::vector<float> sweep(std::size_t n, float amplitude, float rate)
{
    std::vector<float> x(n);
    double phase = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        phase += 2.0 * std::numbers::pi * 40.0 * std::pow(200.0, double(i) / double(n)) / rate;
        x[i] = amplitude * static_cast<float>(std::sin(phase));
    }
    return x;
}

// A sine that goes on where the last piece ended: sample k of the whole is
// amplitude sin(2 pi hertz k / rate), the phase exact however long it runs.
class Sine {
public:
    Sine(double hertz, double rate, float amplitude = 1.0f)
        : step_(2.0 * std::numbers::pi * hertz / rate), amplitude_(amplitude)
    {
    }

    void fill(float* out, int frames) { fill(out, frames, amplitude_); }
    // The next frames at another level.
    void fill(float* out, int frames, float amplitude)
    {
        for (int i = 0; i < frames; ++i)
            out[i] = amplitude * static_cast<float>(std::sin(step_ * double(position_++)));
    }
    std::vector<float> next(int frames)
    {
        std::vector<float> x(static_cast<std::size_t>(frames));
        fill(x.data(), frames);
        return x;
    }

private:
    double step_;
    float amplitude_;
    std::int64_t position_ = 0;
};

// The root mean square of x[from ...]; 0 for nothing.
inline double rms(const std::vector<float>& x, std::size_t from = 0)
{
    double sum = 0.0;
    for (std::size_t i = from; i < x.size(); ++i)
        sum += double(x[i]) * x[i];
    return x.size() > from ? std::sqrt(sum / double(x.size() - from)) : 0.0;
}

// The largest magnitude in x[from, to); infinity as soon as a sample is not
// finite, so a blown-up output never passes for a quiet one.
inline float peak(const std::vector<float>& x, std::size_t from = 0, std::size_t to = SIZE_MAX)
{
    float p = 0.0f;
    for (std::size_t i = from; i < std::min(to, x.size()); ++i) {
        if (!std::isfinite(x[i]))
            return INFINITY;
        p = std::max(p, std::fabs(x[i]));
    }
    return p;
}

} // namespace test
