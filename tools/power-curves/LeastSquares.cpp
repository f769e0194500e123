#include "LeastSquares.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace power_curves {

namespace {

double halfSquares(const std::vector<double>& r)
{
    double s = 0.0;
    for (double v : r)
        s += v * v;
    return 0.5 * s;
}

// Solves the symmetric positive definite system a x = b by Cholesky; false when it is not.
bool solveCholesky(std::vector<double> a, std::vector<double> b, int n, std::vector<double>& x)
{
    for (int j = 0; j < n; ++j) {
        double d = a[j * n + j];
        for (int k = 0; k < j; ++k)
            d -= a[j * n + k] * a[j * n + k];
        if (!(d > 0.0))
            return false;
        d = std::sqrt(d);
        a[j * n + j] = d;
        for (int i = j + 1; i < n; ++i) {
            double s = a[i * n + j];
            for (int k = 0; k < j; ++k)
                s -= a[i * n + k] * a[j * n + k];
            a[i * n + j] = s / d;
        }
    }
    for (int i = 0; i < n; ++i) {
        double s = b[i];
        for (int k = 0; k < i; ++k)
            s -= a[i * n + k] * b[k];
        b[i] = s / a[i * n + i];
    }
    x.assign(n, 0.0);
    for (int i = n - 1; i >= 0; --i) {
        double s = b[i];
        for (int k = i + 1; k < n; ++k)
            s -= a[k * n + i] * x[k];
        x[i] = s / a[i * n + i];
    }
    return true;
}

} // namespace

FitResult levenbergMarquardt(const Residuals& residuals, std::vector<double> p, int maxIterations)
{
    const int n = static_cast<int>(p.size());
    std::vector<double> r = residuals(p);
    const int m = static_cast<int>(r.size());
    double cost = halfSquares(r);
    double lambda = 1e-3;
    int iteration = 0;
    for (; iteration < maxIterations; ++iteration) {
        std::vector<double> jac(static_cast<std::size_t>(m) * n);
        for (int j = 0; j < n; ++j) {
            std::vector<double> q = p;
            const double h = 1e-6 * std::max(1.0, std::fabs(p[j]));
            q[j] += h;
            const std::vector<double> rq = residuals(q);
            for (int i = 0; i < m; ++i)
                jac[static_cast<std::size_t>(i) * n + j] = (rq[i] - r[i]) / h;
        }
        std::vector<double> jtj(static_cast<std::size_t>(n) * n, 0.0), jtr(n, 0.0);
        for (int i = 0; i < m; ++i)
            for (int a = 0; a < n; ++a) {
                const double ja = jac[static_cast<std::size_t>(i) * n + a];
                jtr[a] -= ja * r[i];
                for (int b = 0; b < n; ++b)
                    jtj[a * n + b] += ja * jac[static_cast<std::size_t>(i) * n + b];
            }
        bool improved = false;
        for (int attempt = 0; attempt < 20 && !improved; ++attempt) {
            std::vector<double> damped = jtj;
            for (int a = 0; a < n; ++a)
                damped[a * n + a] += lambda * std::max(jtj[a * n + a], 1e-12);
            std::vector<double> step;
            if (solveCholesky(damped, jtr, n, step)) {
                std::vector<double> q = p;
                for (int a = 0; a < n; ++a)
                    q[a] += step[a];
                const std::vector<double> rq = residuals(q);
                const double c = halfSquares(rq);
                if (std::isfinite(c) && c < cost) {
                    const bool converged = cost - c < 1e-12 * cost;
                    p = q;
                    r = rq;
                    cost = c;
                    lambda = std::max(lambda * 0.3, 1e-12);
                    improved = true;
                    if (converged)
                        return {p, cost, iteration + 1};
                    break;
                }
            }
            lambda *= 10.0;
        }
        if (!improved)
            break;
    }
    return {p, cost, iteration};
}

} // namespace power_curves
