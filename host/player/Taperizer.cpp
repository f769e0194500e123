#include "host/player/Taperizer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace player {
namespace {

float hannRise(double t) // 0 at t = 0, 1 at t = 1
{
    return static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * std::clamp(t, 0.0, 1.0)));
}

} // namespace

CTaperizer::CTaperizer(int n)
{
    if (n > 0)
        build(n);
}

void CTaperizer::build(int n)
{
    if (n < 2)
        return;
    size_ = n;
    table_.assign(static_cast<std::size_t>(n) + 1, 0.0f);
    // A Hann window whose N + 1 entries run from almost 0 through 1 (at the
    // middle) back to almost 0, so a grain's first and last samples vanish and
    // windows overlapped by half add up to one.
    const double scale = static_cast<double>(n) / ((n - 1.0) * (n + 2.0));
    for (int i = 1; i <= n; ++i)
        table_[static_cast<std::size_t>(i)] = static_cast<float>(
            0.5 + 0.5 * std::cos(std::numbers::pi * (2.0 * i - 1.0 - n) * scale));
}

void CTaperizer::apply(float* v, int n) const
{
    if (n <= 0 || size_ == 0)
        return;
    // Sample i (1-based) takes entry round(i N / n): the step is accumulated.
    const double step = static_cast<double>(size_) / n;
    double at = 0.0;
    for (int i = 0; i < n; ++i) {
        at += step;
        const int index = std::min(size_, static_cast<int>(at + 0.5));
        v[i] *= table_[static_cast<std::size_t>(index)];
    }
}

void CTaperizer::apply(float* v, int rise, int fall) const
{
    if (size_ == 0)
        return;
    // Entry round(i (N / 2) / side): the same entries apply(v, n) takes for
    // sides of n / 2, so a fall and the next grain's rise of equal length
    // still add up to one.
    const int half = size_ / 2;
    // Indices in 32.32 fixed point, starting half an entry up so that the
    // integer part is the rounded index.
    auto run = [&](float* x, int n, int offset, int limit) {
        if (n <= 0)
            return;
        const auto step = static_cast<std::int64_t>(std::llround(double(half) / n * 4294967296.0));
        std::int64_t at = step + (std::int64_t(1) << 31);
        const float* table = table_.data() + offset;
        for (int i = 0; i < n; ++i, at += step)
            x[i] *= table[std::min<std::int64_t>(limit, at >> 32)];
    };
    run(v, rise, 0, half);
    run(v + std::max(0, rise), fall, half, half);
}

void CTaperizer::hamming(float* v, int n)
{
    for (int i = 0; i < n; ++i)
        v[i] *=
            static_cast<float>(0.54 + 0.46 * std::cos((2.0 * i - n + 1.0) * std::numbers::pi / n));
}

void CTaperizer::threeTerm(float* v, int n)
{
    for (int i = 0; i < n; ++i) {
        const double a = (2.0 * i - n) * std::numbers::pi / (n + 1.0);
        v[i] *= static_cast<float>(0.5 * (1.0 + 1.125 * std::cos(a) - 0.125 * std::cos(3.0 * a)));
    }
}

void CTaperizer::fadeOut(float* v, int n, int b)
{
    const int length = n - std::max(0, b);
    for (int i = std::max(0, b); i < n; ++i)
        v[i] *= 1.0f - hannRise((i - b + 1.0) / (length + 1.0));
}

void CTaperizer::centredBand(float* v, int n, float x)
{
    const double half = std::clamp<double>(x, 1e-6, 1.0) * n / 4.0;
    for (int i = 0; i < n; ++i) {
        // Distance from the nearer quarter point, signed towards the middle.
        const double fromEdge = std::min(i - n / 4.0, 3.0 * n / 4.0 - i);
        v[i] *= hannRise((fromEdge + half) / (2.0 * half));
    }
}

void CTaperizer::edgeFades(float* v, int n, int fadeIn, int fadeOut)
{
    for (int i = 0; i < std::min(n, fadeIn); ++i)
        v[i] *= hannRise((i + 1.0) / (fadeIn + 1.0));
    for (int k = 0; k < std::min(n, fadeOut); ++k)
        v[n - 1 - k] *= hannRise((k + 1.0) / (fadeOut + 1.0));
}

void CTaperizer::risingHalf(float* v, int n)
{
    for (int k = 0; k < n; ++k)
        v[k] *= static_cast<float>(0.5 + 0.5 * std::cos(std::numbers::pi * (n - k) / (n + 1.0)));
}

void CTaperizer::fallingHalf(float* v, int n)
{
    for (int k = 0; k < n; ++k)
        v[k] *= static_cast<float>(0.5 + 0.5 * std::cos(std::numbers::pi * (k + 1.0) / (n + 1.0)));
}

const CTaperizer& globalTaperizer()
{
    // A function-local static: built exactly once even when two threads ask at
    // the same time, destroyed at exit.
    static const CTaperizer taperizer(8192);
    return taperizer;
}

} // namespace player
