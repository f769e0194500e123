#include "host/player/HOFilter.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace player {
namespace {

bool validOrder(int order)
{
    return order >= 2 && order <= 64 && order % 2 == 0;
}

// Prototype values this small are rounding noise of cos and sin at right angles.
double clean(double v)
{
    return std::fabs(v) < 1e-4 ? 0.0 : v;
}

} // namespace

std::vector<SectionCoefficients> butterworthLowPass(int order, double x)
{
    std::vector<SectionCoefficients> sections;
    if (!validOrder(order))
        return sections;
    x = std::clamp(x, 1e-6, 0.999999);
    // The analogue poles exp(i theta) on the left half of the unit circle,
    // prewarped to T = 2 tan(pi x / 2) and mapped by the bilinear transform:
    // z = (1 + s/2) / (1 - s/2) = f + i q.
    const double t = 2.0 * std::tan(std::numbers::pi * x / 2.0);
    const double c = t * t / 4.0;
    const double m = 1.0 - c;
    for (int k = order; k < 3 * order / 2; ++k) {
        const double theta = (2.0 * k + 1.0) * std::numbers::pi / (2.0 * order);
        const double e = 1.0 / (c + 1.0 - t * std::cos(theta));
        const double f = e * m;
        const double q = t * std::sin(theta) * e;
        const double g = ((1.0 - f) * (1.0 - f) + q * q) / 4.0;
        sections.push_back({g, 2.0 * g, g, -2.0 * f, f * f + q * q});
    }
    return sections;
}

std::vector<SectionCoefficients> butterworthBandPass(int order, double f1, double f2, double fs)
{
    std::vector<SectionCoefficients> sections;
    if (!validOrder(order) || !(fs > 0.0))
        return sections;
    if (f1 > f2)
        std::swap(f1, f2);
    const double nyquist = fs / 2.0;
    f1 = std::clamp(f1, 1e-6 * nyquist, nyquist * (1.0 - 2e-6));
    f2 = std::clamp(f2, f1 * (1.0 + 1e-6), nyquist * (1.0 - 1e-6));
    // Edges as angles per sample; the band prewarped with the tangent of its
    // half; the centre from the ratio of the cosines of the sum and the
    // difference of the edge angles. The low-pass to band-pass map
    // s = (z^2 - 2 alpha z + 1) / (k (z^2 - 1)) sends each prototype pole to two
    // z-plane poles and puts the zeros at z = +1 and z = -1.
    const double w1 = 2.0 * std::numbers::pi * f1 / fs, w2 = 2.0 * std::numbers::pi * f2 / fs;
    const double k = std::tan((w2 - w1) / 2.0);
    const double alpha = std::cos((w2 + w1) / 2.0) / std::cos((w2 - w1) / 2.0);
    const int prototype = order / 2;
    std::vector<std::complex<double>> poles;
    // Prototype poles of the upper half-plane (and the real one of an odd
    // prototype): each gives two z-plane poles whose conjugates come from the
    // prototype pole's conjugate, so one pole per section suffices.
    for (int j = 0; j < (prototype + 1) / 2; ++j) {
        const double theta =
            std::numbers::pi / 2.0 + (2.0 * j + 1.0) * std::numbers::pi / (2.0 * prototype);
        const std::complex<double> p(clean(std::cos(theta)), clean(std::sin(theta)));
        const std::complex<double> kp = k * p;
        const std::complex<double> root = std::sqrt(alpha * alpha - 1.0 + kp * kp);
        const std::complex<double> za = (alpha + root) / (1.0 - kp);
        const std::complex<double> zb = (alpha - root) / (1.0 - kp);
        if (p.imag() != 0.0) {
            poles.push_back(za);
            poles.push_back(zb);
        } else {
            // A real prototype pole gives a conjugate pair: one section.
            poles.push_back(za.imag() >= 0.0 ? za : zb);
        }
    }
    const double centre = 2.0 * std::numbers::pi * ((f1 + f2) / 2.0) / fs;
    const std::complex<double> zc = std::polar(1.0, -centre); // z^-1 at the centre
    for (const auto& z : poles) {
        SectionCoefficients s;
        s.a1 = -2.0 * z.real();
        s.a2 = std::norm(z);
        const std::complex<double> h = (1.0 - zc * zc) / (1.0 + s.a1 * zc + s.a2 * zc * zc);
        const double g = 1.0 / std::abs(h);
        s.b0 = g;
        s.b1 = 0.0;
        s.b2 = -g;
        sections.push_back(s);
    }
    return sections;
}

// --- CHOFilter ---

std::unique_ptr<CHOFilter> CHOFilter::create(int order)
{
    if (!validOrder(order))
        return nullptr;
    return std::unique_ptr<CHOFilter>(new CHOFilter(order));
}

CHOFilter::CHOFilter(int order) : order_(order), sections_(static_cast<std::size_t>(order / 2))
{
}

void CHOFilter::setFormat(int channels, float sampleRate)
{
    channels_ = channels == 1 ? 1 : 2;
    if (std::isfinite(sampleRate) && sampleRate > 0.0f)
        sampleRate_ = sampleRate;
    for (auto& s : sections_)
        s.setFormat(channels_, sampleRate_);
}

void CHOFilter::assign(const std::vector<SectionCoefficients>& sections)
{
    for (std::size_t i = 0; i < sections.size() && i < sections_.size(); ++i) {
        const auto& c = sections[i];
        sections_[i].setCoefficients(c.b0, c.b1, c.b2, c.a1, c.a2);
    }
}

void CHOFilter::setLowPass(double x)
{
    assign(butterworthLowPass(order_, x));
}

void CHOFilter::setLowPassHz(double hz)
{
    setLowPass(hz / (sampleRate_ / 2.0));
}

void CHOFilter::setBandPass(double f1, double f2)
{
    assign(butterworthBandPass(order_, f1, f2, sampleRate_));
}

void CHOFilter::reset()
{
    for (auto& s : sections_)
        s.reset();
}

void CHOFilter::process(float* data, int frames)
{
    // Every section over a block of 64 frames before the next block, so the
    // block stays in the first-level cache.
    for (int at = 0; at < frames; at += 64) {
        const int n = std::min(64, frames - at);
        float* block = data + static_cast<std::ptrdiff_t>(at) * channels_;
        for (auto& s : sections_)
            s.process(block, block, n);
    }
}

void CHOFilter::process(float* out, const float* in, int frames)
{
    if (out != in)
        std::copy(in, in + static_cast<std::ptrdiff_t>(frames) * channels_, out);
    process(out, frames);
}

// --- CHOFilterASO ---

std::unique_ptr<CHOFilterASO> CHOFilterASO::create(int order)
{
    if (!validOrder(order))
        return nullptr;
    return std::unique_ptr<CHOFilterASO>(new CHOFilterASO(order));
}

CHOFilterASO::CHOFilterASO(int order)
    : order_(order), sections_(static_cast<std::size_t>(order / 2))
{
}

void CHOFilterASO::setFormat(int channels, float sampleRate)
{
    channels_ = channels == 1 ? 1 : 2;
    if (std::isfinite(sampleRate) && sampleRate > 0.0f)
        sampleRate_ = sampleRate;
    reset();
}

void CHOFilterASO::setLowPass(double x)
{
    const auto design = butterworthLowPass(order_, x);
    for (std::size_t i = 0; i < design.size(); ++i)
        sections_[i].c = design[i];
}

void CHOFilterASO::setLowPassHz(double hz)
{
    setLowPass(hz / (sampleRate_ / 2.0));
}

void CHOFilterASO::reset()
{
    for (auto& s : sections_)
        s.state.fill(0.0f);
}

void CHOFilterASO::process(float* data, int frames)
{
    for (auto& s : sections_) {
        const float b0 = static_cast<float>(s.c.b0), b1 = static_cast<float>(s.c.b1),
                    b2 = static_cast<float>(s.c.b2), a1 = static_cast<float>(s.c.a1),
                    a2 = static_cast<float>(s.c.a2);
        for (int ch = 0; ch < channels_; ++ch) {
            float* st = s.state.data() + 4 * ch;
            float x1 = st[0], x2 = st[1], y1 = st[2], y2 = st[3];
            for (int i = 0; i < frames; ++i) {
                float& v = data[static_cast<std::ptrdiff_t>(i) * channels_ + ch];
                const float x = v;
                float y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
                x2 = x1;
                x1 = x;
                y2 = y1;
                y1 = y;
                v = y;
            }
            // Flushed once per block: a decaying tail never reaches subnormal
            // numbers, and a non-finite input leaves the recursion at the block's end.
            auto settle = [](float& value) {
                if (!std::isfinite(value) || std::fabs(value) < 1e-25f)
                    value = 0.0f;
            };
            settle(x1);
            settle(x2);
            settle(y1);
            settle(y2);
            st[0] = x1;
            st[1] = x2;
            st[2] = y1;
            st[3] = y2;
        }
    }
}

void CHOFilterASO::process(float* out, const float* in, int frames)
{
    if (out != in)
        std::copy(in, in + static_cast<std::ptrdiff_t>(frames) * channels_, out);
    process(out, frames);
}

} // namespace player
