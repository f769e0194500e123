#include "host/player/BiquadFilter.h"

#include <cmath>

namespace player {

void BiquadFilter::setFormat(int channels, float sampleRate)
{
    channels_ = channels == 1 ? 1 : 2;
    if (std::isfinite(sampleRate) && sampleRate > 0.0f)
        fs_ = sampleRate;
    reset();
}

void BiquadFilter::reset()
{
    history_[0] = History{};
    history_[1] = History{};
}

void BiquadFilter::setCoefficients(double b0, double b1, double b2, double a1, double a2)
{
    b0_ = b0;
    b1_ = b1;
    b2_ = b2;
    a1_ = a1;
    a2_ = a2;
}

void BiquadFilter::designBilinear(double a, double b, double c0, double d, double e, double f)
{
    const double c = 2.0 * fs_;
    const double n = 1.0 / (d * c * c + e * c + f);
    setCoefficients((a * c * c + b * c + c0) * n, 2.0 * (c0 - a * c * c) * n,
                    (a * c * c - b * c + c0) * n, 2.0 * (f - d * c * c) * n,
                    (d * c * c - e * c + f) * n);
}

void BiquadFilter::designLowPass(double w, double k)
{
    const double c = 2.0 * fs_;
    const double d = c * c + w * w;
    const double n = 1.0 / (c * w * k + d);
    setCoefficients(n * w * w, 2.0 * n * w * w, n * w * w, 2.0 * (n * w * w - n * c * c),
                    (d - c * w * k) * n);
}

void BiquadFilter::designHighPass(double w, double k)
{
    const double c = 2.0 * fs_;
    const double d = c * c + w * w;
    const double n = 1.0 / (c * w * k + d);
    setCoefficients(n * c * c, -2.0 * n * c * c, n * c * c, 2.0 * (n * w * w - n * c * c),
                    (d - c * w * k) * n);
}

void BiquadFilter::designBandPass(double w, double k)
{
    const double c = 2.0 * fs_;
    const double b = c * w * k;
    const double d = w * w + c * c;
    const double n = 1.0 / (b + d);
    setCoefficients(n * b, 0.0, -n * b, 2.0 * n * (w * w - c * c), (d - b) * n);
}

void BiquadFilter::designShelf(double z1, double z2, double p1, double p2)
{
    const double c = 2.0 * fs_;
    const double zz = z1 * z2, pp = p1 * p2;
    const double zs = c * (z1 + z2), ps = c * (p1 + p2), g = c * c;
    // The zeros' factor P / Z scales the numerator only: the denominator is
    // normalised by its own leading coefficient alone.
    const double a0 = 1.0 / (ps + pp + g);
    const double l = pp / zz * a0;
    setCoefficients((zz + g + zs) * l, 2.0 * (zz - g) * l, (zz + g - zs) * l, 2.0 * (pp - g) * a0,
                    (pp + g - ps) * a0);
}

double BiquadFilter::step(History& h, double x) const
{
    double y = b0_ * x + b1_ * h.x1 + b2_ * h.x2 - a1_ * h.y1 - a2_ * h.y2;
    // A decaying tail would otherwise sink into subnormal numbers, and a
    // non-finite input would stay in the recursion for good.
    if (!std::isfinite(y) || std::fabs(y) < 1e-30)
        y = 0.0;
    h.x2 = h.x1;
    h.x1 = std::isfinite(x) ? x : 0.0;
    h.y2 = h.y1;
    h.y1 = y;
    return y;
}

void BiquadFilter::process(float* out, const float* in, int frames)
{
    for (int i = 0; i < frames; ++i)
        processFrame(out + i * channels_, in + i * channels_);
}

void BiquadFilter::processFrame(float* out, const float* in)
{
    for (int ch = 0; ch < channels_; ++ch)
        out[ch] = static_cast<float>(step(history_[ch], in[ch]));
}

} // namespace player
