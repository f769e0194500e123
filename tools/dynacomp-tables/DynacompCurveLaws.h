#pragma once

// The device laws behind the compressor stomp's four sampled curves, their
// calibration to the curves' known rows and the sampling at the knots the
// model's curves use. Header-only and standard C++ only, so that the
// generator and the model's tests compute the very same numbers.
//
// Every law is smooth, is fitted exactly (to double rounding) through its
// rows by Newton's method from a fixed start, and is sampled in double at the
// knot abscissae that Curve2 computes from the curve's float bounds.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

namespace dynacomp_tables {

// Domains and counts, the bounds as the single-precision constants that the
// model's curves are built from.
constexpr std::size_t kClipCount = 1018;
constexpr float kClipFirst = -1.8e-5f;
constexpr float kClipLast = 0.000999f;
constexpr std::size_t kJunctionCount = 2001;
constexpr float kJunctionFirst = -1.0f;
constexpr float kJunctionLast = 1.0f;

// The knots of a curve of double samples over float bounds, exactly as
// Curve2::setFromTable places them.
inline double knotDouble(std::size_t i, std::size_t count, float first, float last)
{
    const double x0 = static_cast<double>(first);
    const double span = static_cast<double>(last) - x0;
    const double steps = static_cast<double>(count - 1);
    return static_cast<double>(i) * span / steps + x0;
}

// The same for a curve of float samples: the arithmetic runs in float.
inline float knotFloat(std::size_t i, std::size_t count, float first, float last)
{
    const float span = last - first;
    const float steps = static_cast<float>(count - 1);
    return static_cast<float>(i) * span / steps + first;
}

// ---------------------------------------------------------------------------
// Newton's method on a square system of up to five unknowns, with a numerical
// Jacobian, partial pivoting and a halving line search. Deterministic: the
// same start gives the same answer bit for bit.

template <std::size_t N> using Vector = std::array<double, N>;

template <std::size_t N>
Vector<N> solveNewton(const std::function<Vector<N>(const Vector<N>&)>& residual, Vector<N> x,
                      const std::function<bool(const Vector<N>&)>& admissible,
                      double tolerance = 1e-13)
{
    auto norm = [](const Vector<N>& r) {
        double s = 0.0;
        for (double v : r)
            s += v * v;
        return s;
    };
    for (int iteration = 0; iteration < 400; ++iteration) {
        const Vector<N> r = residual(x);
        double largest = 0.0;
        for (double v : r)
            largest = std::fmax(largest, std::fabs(v));
        if (largest < tolerance)
            return x;
        std::array<std::array<double, N + 1>, N> m{};
        for (std::size_t j = 0; j < N; ++j) {
            Vector<N> moved = x;
            const double h = std::fabs(x[j]) * 1e-7 + 1e-15;
            moved[j] += h;
            const Vector<N> rj = residual(moved);
            for (std::size_t i = 0; i < N; ++i)
                m[i][j] = (rj[i] - r[i]) / h;
        }
        for (std::size_t i = 0; i < N; ++i)
            m[i][N] = -r[i];
        for (std::size_t c = 0; c < N; ++c) {
            std::size_t pivot = c;
            for (std::size_t k = c + 1; k < N; ++k)
                if (std::fabs(m[k][c]) > std::fabs(m[pivot][c]))
                    pivot = k;
            std::swap(m[c], m[pivot]);
            if (m[c][c] == 0.0)
                throw std::runtime_error("calibration: singular Jacobian");
            for (std::size_t k = 0; k < N; ++k) {
                if (k == c)
                    continue;
                const double f = m[k][c] / m[c][c];
                for (std::size_t l = c; l <= N; ++l)
                    m[k][l] -= f * m[c][l];
            }
        }
        const double before = norm(r);
        double step = 1.0;
        Vector<N> next = x;
        for (; step > 1e-12; step *= 0.5) {
            for (std::size_t i = 0; i < N; ++i)
                next[i] = x[i] + step * m[i][N] / m[i][i];
            if (admissible(next)) {
                const Vector<N> rn = residual(next);
                bool finite = true;
                for (double v : rn)
                    finite = finite && std::isfinite(v);
                if (finite && norm(rn) < before)
                    break;
            }
        }
        if (step <= 1e-12)
            throw std::runtime_error("calibration: no descent");
        x = next;
    }
    throw std::runtime_error("calibration: no convergence");
}

inline double softplus(double u)
{
    return u > 0.0 ? u + std::log1p(std::exp(-u)) : std::log1p(std::exp(u));
}

// ---------------------------------------------------------------------------
// The output transistors' curves: voltage against the scaled current w.
//
// Both transistors start to conduct at the same w. The conduction current is
//   x(w) = d1 softplus((w - w1) / d1),
// zero far to the left (a junction's exponential onset, d1 = 0.8e-6) and
// w - w1 beyond the onset. Against it each collector node moves by a
// saturating part (the transistor leaving saturation, with the knee
//   h(u) = 1 - (1 + u / n)^-n,  u = x / tau,
// between an exponential and a hyperbolic approach) and a resistive part.
//
// Pos: V = S x + A h(x / tau): from rest at 0 V it rises steeply, monotonically,
// through the knee to a straight line of slope S.
//
// Neg: V = 9 - B h(x / tau) + S2 r(w): from the 9 V supply it falls by the same
// knee to a floor, and a second conduction path with its own onset
//   x2 = da softplus((w - w2) / da),  r = x2 - c lam (1 - e^(-x2 / lam))
// (da = 3e-6, lam = 3e-4) lifts it again along a line of slope S2: one minimum,
// then a rise.

struct ClipPosLaw {
    static constexpr double d1 = 0.8e-6;
    double w1 = 0.0, a = 0.0, tau = 0.0, s = 0.0, n = 0.0;

    double conduction(double w) const { return d1 * softplus((w - w1) / d1); }
    // 1 - (1 + u/n)^-n without the cancellation near u = 0.
    double knee(double w) const { return -std::expm1(-n * std::log1p(conduction(w) / tau / n)); }
    double operator()(double w) const { return s * conduction(w) + a * knee(w); }
};

struct ClipNegLaw {
    static constexpr double supply = 9.0;
    static constexpr double da = 3e-6;
    static constexpr double lam = 3e-4;
    ClipPosLaw onset;
    double b = 0.0, s = 0.0, w2 = 0.0, c = 0.0;

    double lift(double w) const
    {
        const double x2 = da * softplus((w - w2) / da);
        return x2 + c * lam * std::expm1(-x2 / lam);
    }
    double operator()(double w) const { return supply - b * onset.knee(w) + s * lift(w); }
};

// The rows the curves must pass: (w, V).
struct Row {
    double x;
    double y;
};
inline const std::array<Row, 5>& clipPosRows()
{
    static const std::array<Row, 5> rows{{{static_cast<double>(kClipFirst), 9.8e-8},
                                          {0.0, 2.1421764},
                                          {0.000236, 5.572},
                                          {0.000491, 6.811},
                                          {0.000999, 9.277}}};
    return rows;
}
inline const std::array<Row, 5>& clipNegRows()
{
    static const std::array<Row, 5> rows{{{static_cast<double>(kClipFirst), 9.0},
                                          {0.0, 6.864},
                                          {0.000236, 5.585},
                                          {0.000491, 6.820},
                                          {0.000999, 9.283}}};
    return rows;
}

inline ClipPosLaw calibrateClipPos()
{
    const auto& rows = clipPosRows();
    auto law = [](const Vector<5>& p) {
        ClipPosLaw l;
        l.w1 = p[0];
        l.a = p[1];
        l.tau = p[2];
        l.s = p[3];
        l.n = p[4];
        return l;
    };
    auto residual = [&](const Vector<5>& p) {
        const ClipPosLaw l = law(p);
        Vector<5> r{};
        // The tiny rest value is matched in proportion, the others in volts.
        r[0] = std::log(l(rows[0].x)) - std::log(rows[0].y);
        for (std::size_t k = 1; k < 5; ++k)
            r[k] = l(rows[k].x) - rows[k].y;
        return r;
    };
    auto admissible = [](const Vector<5>& p) {
        return p[1] > 0.0 && p[2] > 0.0 && p[3] > 0.0 && p[4] > 0.0;
    };
    return law(solveNewton<5>(residual, {-1.5e-5, 4.35, 2.4e-5, 4854.0, 3.0}, admissible));
}

inline ClipNegLaw calibrateClipNeg(const ClipPosLaw& onset)
{
    const auto& rows = clipNegRows();
    auto law = [&](const Vector<4>& p) {
        ClipNegLaw l;
        l.onset = onset;
        l.b = p[0];
        l.s = p[1];
        l.w2 = p[2];
        l.c = p[3];
        return l;
    };
    // The supply row holds by construction (to 1e-7 V); the other four fix
    // the four unknowns.
    auto residual = [&](const Vector<4>& p) {
        const ClipNegLaw l = law(p);
        Vector<4> r{};
        for (std::size_t k = 1; k < 5; ++k)
            r[k - 1] = l(rows[k].x) - rows[k].y;
        return r;
    };
    auto admissible = [](const Vector<4>& p) {
        return p[0] > 0.0 && p[1] > 0.0 && p[3] >= 0.0 && p[3] < 1.0;
    };
    return law(solveNewton<4>(residual, {4.445, 4851.0, 2.38e-5, 0.01}, admissible));
}

// ---------------------------------------------------------------------------
// The junction's on-resistance against its voltage v, built in the log domain:
// a leakage resistance ln Rl = a + b v + c v^2 in parallel with the exponential
// conductance of the conducting junction, Gj = e^(g + v / nVt) (nVt = 0.03 V,
// an emission coefficient of about 1.15), plus a small series resistance Rs:
//   R = Rs + 1 / (1 / Rl + Gj).
// Fitted through the four rows and the slope 1.627e10 at v = -1.

struct ROnLaw {
    static constexpr double nVt = 0.03;
    double a = 0.0, b = 0.0, c = 0.0, g = 0.0, rs = 0.0;

    double conductance(double v) const
    {
        return std::exp(-(a + b * v + c * v * v)) + std::exp(g + v / nVt);
    }
    double operator()(double v) const { return rs + 1.0 / conductance(v); }
    double slope(double v) const
    {
        const double leak = std::exp(-(a + b * v + c * v * v));
        const double junction = std::exp(g + v / nVt);
        const double total = leak + junction;
        return ((b + 2.0 * c * v) * leak - junction / nVt) / (total * total);
    }
};

constexpr double kROnStartSlope = 1.627e10;
constexpr double kROnEndSlope = 101.06575;

inline const std::array<Row, 4>& rOnRows()
{
    static const std::array<Row, 4> rows{
        {{-1.0, 7.248e11}, {0.0, 7.451e11}, {0.5, 3.2e6}, {1.0, 128.8}}};
    return rows;
}

inline ROnLaw calibrateROn()
{
    const auto& rows = rOnRows();
    auto law = [](const Vector<5>& p) {
        ROnLaw l;
        l.a = p[0];
        l.b = p[1];
        l.c = p[2];
        l.g = p[3];
        l.rs = p[4];
        return l;
    };
    auto residual = [&](const Vector<5>& p) {
        const ROnLaw l = law(p);
        Vector<5> r{};
        for (std::size_t k = 0; k < 4; ++k)
            r[k] = std::log(l(rows[k].x)) - std::log(rows[k].y);
        r[4] = l.slope(-1.0) / kROnStartSlope - 1.0;
        return r;
    };
    auto admissible = [](const Vector<5>& p) { return p[4] > 0.0; };
    return law(solveNewton<5>(
        residual, {std::log(7.83e11), 0.028, 0.0, std::log(3.125e-7) - 0.5 / ROnLaw::nVt, 128.0},
        admissible));
}

// ---------------------------------------------------------------------------
// The junction's current against its voltage: a forward diode
// Is (e^(a v) - 1) everywhere, and for v < 0 a reverse breakdown path
// -Ir (e^(-b v) - 1). Zero at v = 0 and increasing everywhere. The forward
// pair of rows fixes a and Is in closed form, since
// i(1) / i(0.5) = e^(a/2) + 1; the reverse pair fixes b and Ir the same way
// once the forward term's small share there is taken off.

struct KMethodLaw {
    double is = 0.0, a = 0.0, ir = 0.0, b = 0.0;

    double operator()(double v) const
    {
        double i = is * std::expm1(a * v);
        if (v < 0.0)
            i -= ir * std::expm1(-b * v);
        return i;
    }
};

inline const std::array<Row, 4>& kMethodRows()
{
    static const std::array<Row, 4> rows{
        {{-1.0, -0.282}, {-0.5, -0.000156}, {0.5, 1.08e-8}, {1.0, 0.01189}}};
    return rows;
}

inline KMethodLaw calibrateKMethod()
{
    const auto& rows = kMethodRows();
    KMethodLaw l;
    const double forwardRatio = rows[3].y / rows[2].y; // e^(a/2) + 1
    l.a = 2.0 * std::log(forwardRatio - 1.0);
    l.is = rows[2].y / std::expm1(0.5 * l.a);
    const double half = rows[1].y - l.is * std::expm1(-0.5 * l.a); // -Ir (e^(b/2) - 1)
    const double whole = rows[0].y - l.is * std::expm1(-l.a);      // -Ir (e^b - 1)
    l.b = 2.0 * std::log(whole / half - 1.0);
    l.ir = -half / std::expm1(0.5 * l.b);
    return l;
}

// ---------------------------------------------------------------------------
// All four laws and their tables.

struct Laws {
    ClipPosLaw pos;
    ClipNegLaw neg;
    ROnLaw rOn;
    KMethodLaw kMethod;
};

inline Laws calibrate()
{
    Laws laws;
    laws.pos = calibrateClipPos();
    laws.neg = calibrateClipNeg(laws.pos);
    laws.rOn = calibrateROn();
    laws.kMethod = calibrateKMethod();
    return laws;
}

struct Tables {
    std::vector<double> clipPos;
    std::vector<double> clipNeg;
    std::vector<double> rOn;
    std::vector<float> kMethod;
};

inline Tables tabulate(const Laws& laws)
{
    Tables t;
    for (std::size_t i = 0; i < kClipCount; ++i) {
        const double w = knotDouble(i, kClipCount, kClipFirst, kClipLast);
        t.clipPos.push_back(laws.pos(w));
        t.clipNeg.push_back(laws.neg(w));
    }
    for (std::size_t i = 0; i < kJunctionCount; ++i) {
        t.rOn.push_back(laws.rOn(knotDouble(i, kJunctionCount, kJunctionFirst, kJunctionLast)));
        const float v = knotFloat(i, kJunctionCount, kJunctionFirst, kJunctionLast);
        t.kMethod.push_back(static_cast<float>(laws.kMethod(static_cast<double>(v))));
    }
    return t;
}

} // namespace dynacomp_tables
