#include "Numerics.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace PreampCurves {

namespace {

Vec simplex(const std::function<double(const Vec&)>& cost, const Vec& start, const Vec& step,
            double& best)
{
    const std::size_t n = start.size();
    std::vector<Vec> p(n + 1, start);
    for (std::size_t i = 0; i < n; ++i)
        p[i + 1][i] += step[i];
    Vec f(n + 1);
    for (std::size_t i = 0; i <= n; ++i)
        f[i] = cost(p[i]);

    auto along = [&](const Vec& from, const Vec& to, double t) {
        Vec r(n);
        for (std::size_t k = 0; k < n; ++k)
            r[k] = from[k] + t * (to[k] - from[k]);
        return r;
    };

    for (int iteration = 0; iteration < 3000; ++iteration) {
        std::vector<std::size_t> order(n + 1);
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return f[a] < f[b]; });
        const std::size_t lo = order.front(), hi = order.back(), next = order[n - 1];
        if (std::fabs(f[hi] - f[lo]) <= 1e-13 * (std::fabs(f[lo]) + 1e-300))
            break;

        Vec centre(n, 0.0);
        for (std::size_t i = 0; i <= n; ++i)
            if (i != hi)
                for (std::size_t k = 0; k < n; ++k)
                    centre[k] += p[i][k] / static_cast<double>(n);

        const Vec reflected = along(centre, p[hi], -1.0);
        const double fr = cost(reflected);
        if (fr < f[lo]) {
            const Vec expanded = along(centre, p[hi], -2.0);
            const double fe = cost(expanded);
            if (fe < fr) {
                p[hi] = expanded;
                f[hi] = fe;
            } else {
                p[hi] = reflected;
                f[hi] = fr;
            }
        } else if (fr < f[next]) {
            p[hi] = reflected;
            f[hi] = fr;
        } else {
            const Vec contracted =
                fr < f[hi] ? along(centre, reflected, 0.5) : along(centre, p[hi], 0.5);
            const double fc = cost(contracted);
            if (fc < std::min(fr, f[hi])) {
                p[hi] = contracted;
                f[hi] = fc;
            } else {
                for (std::size_t i = 0; i <= n; ++i) {
                    if (i == lo)
                        continue;
                    p[i] = along(p[lo], p[i], 0.5);
                    f[i] = cost(p[i]);
                }
            }
        }
    }
    const std::size_t lo =
        static_cast<std::size_t>(std::min_element(f.begin(), f.end()) - f.begin());
    best = f[lo];
    return p[lo];
}

} // namespace

Vec minimise(const std::function<double(const Vec&)>& cost, Vec start, const Vec& step)
{
    double best = cost(start);
    for (int restart = 0; restart < 6; ++restart) {
        double f = 0.0;
        Vec p = simplex(cost, start, step, f);
        if (!(f < best * (1.0 - 1e-9)))
            break;
        best = f;
        start = p;
    }
    return start;
}

Pchip::Pchip(Vec x, Vec y, double startSlope, double endSlope) : x_(std::move(x)), y_(std::move(y))
{
    const std::size_t n = x_.size();
    if (n < 2 || y_.size() != n)
        throw std::invalid_argument("Pchip: needs two or more points");
    Vec h(n - 1), delta(n - 1);
    for (std::size_t k = 0; k + 1 < n; ++k) {
        h[k] = x_[k + 1] - x_[k];
        if (!(h[k] > 0.0))
            throw std::invalid_argument("Pchip: x must increase");
        delta[k] = (y_[k + 1] - y_[k]) / h[k];
    }
    d_.assign(n, 0.0);
    d_.front() = startSlope;
    d_.back() = endSlope;
    for (std::size_t k = 1; k + 1 < n; ++k) {
        if (delta[k - 1] * delta[k] <= 0.0)
            continue; // a local extremum of the data: flat there
        const double w1 = 2.0 * h[k] + h[k - 1];
        const double w2 = h[k] + 2.0 * h[k - 1];
        d_[k] = (w1 + w2) / (w1 / delta[k - 1] + w2 / delta[k]);
    }
}

double Pchip::operator()(double x) const
{
    if (x <= x_.front())
        return y_.front();
    if (x >= x_.back())
        return y_.back();
    const std::size_t k =
        static_cast<std::size_t>(std::upper_bound(x_.begin(), x_.end(), x) - x_.begin()) - 1;
    const double h = x_[k + 1] - x_[k];
    const double t = (x - x_[k]) / h;
    const double t2 = t * t, t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * y_[k] + (t3 - 2 * t2 + t) * h * d_[k] +
           (-2 * t3 + 3 * t2) * y_[k + 1] + (t3 - t2) * h * d_[k + 1];
}

double lambertWOfExp(double L)
{
    // Newton on g(w) = w + ln w - L, which is increasing and concave for w > 0.
    double w = L > 1.0 ? L - std::log(L) : std::exp(L);
    if (w <= 0.0)
        return 0.0;
    for (int i = 0; i < 100; ++i) {
        const double g = w + std::log(w) - L;
        const double next = w - g / (1.0 + 1.0 / w);
        const double updated = next > 0.0 ? next : 0.5 * w;
        if (updated == w)
            break;
        w = updated;
    }
    return w;
}

double Bound::operator()(double v) const
{
    const double s = 1.0 / (1.0 + std::exp(-v));
    return logarithmic ? std::exp(std::log(lo) + (std::log(hi) - std::log(lo)) * s)
                       : lo + (hi - lo) * s;
}

double Bound::start(double value) const
{
    const double s = logarithmic ? (std::log(value) - std::log(lo)) / (std::log(hi) - std::log(lo))
                                 : (value - lo) / (hi - lo);
    return std::log(s / (1.0 - s));
}

double softplus(double z)
{
    return z > 0.0 ? z + std::log1p(std::exp(-z)) : std::log1p(std::exp(z));
}

} // namespace PreampCurves
