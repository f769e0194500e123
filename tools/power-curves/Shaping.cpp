#include "Shaping.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace power_curves {

namespace {

constexpr double kPi = 3.14159265358979323846;

double smoothstep(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// -1 on the negative side, +1 on the positive side, a C1 blend through the middle. For the
// output tables the side is the output's level relative to its largest end (full weight from
// half of it on); for the current tables it is the position k (full weight from k = 45 and
// k = 135 on, none within 9 samples of the middle so that the idle region keeps a = its mean).
double sideOf(Kind kind, const std::vector<double>& m, int k)
{
    double u = 0.0;
    if (kind == kV) {
        const double end = std::max(std::fabs(m.front()), std::fabs(m.back()));
        u = end > 0.0 ? m[k] / (0.5 * end) : 0.0;
    } else {
        const double d = (k - 90) / 90.0;
        u = std::copysign(std::max(0.0, (std::fabs(d) - 0.1) / 0.4), d);
    }
    return std::copysign(smoothstep(std::fabs(u)), u);
}

// Scale on each side and common offset of one table.
struct Correction {
    double aNeg = 1.0;
    double aPos = 1.0;
    double b = 0.0;
};

std::vector<double> applyCorrection(Kind kind, const std::vector<double>& m, const Correction& c)
{
    std::vector<double> out(m.size());
    for (int k = 0; k < kPoints; ++k) {
        const double s = sideOf(kind, m, k);
        const double a = 0.5 * (c.aNeg + c.aPos) + 0.5 * (c.aPos - c.aNeg) * s;
        out[k] = a * m[k] + c.b;
    }
    return out;
}

// Solves a(k) m_k + b = t_k at k = 0, 90 and 180 for the two side scales and the offset, where
// a(k) = aNeg (1 - s(k)) / 2 + aPos (1 + s(k)) / 2 (Cramer's rule on the 3 x 3 system).
Correction solveCorrection(Kind kind, const std::vector<double>& m, double t0, double t90,
                           double t180)
{
    const int ks[3] = {0, 90, 180};
    const double t[3] = {t0, t90, t180};
    double rows[3][3];
    for (int i = 0; i < 3; ++i) {
        const double s = sideOf(kind, m, ks[i]);
        rows[i][0] = m[ks[i]] * 0.5 * (1.0 - s);
        rows[i][1] = m[ks[i]] * 0.5 * (1.0 + s);
        rows[i][2] = 1.0;
    }
    auto det = [](const double r[3][3]) {
        return r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) -
               r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
               r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
    };
    const double d = det(rows);
    if (!(std::fabs(d) > 0.0))
        throw std::runtime_error("a model table cannot be scaled onto its stored values");
    double solution[3];
    for (int col = 0; col < 3; ++col) {
        double r[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                r[i][j] = j == col ? t[i] : rows[i][j];
        solution[col] = det(r) / d;
    }
    return {solution[0], solution[1], solution[2]};
}

double pinValue(const AmpData& amp, int triple, Kind kind, int k, bool& found)
{
    for (const Pin& p : amp.pins)
        if (p.triple == triple && p.kind == kind && p.k == k) {
            found = true;
            return p.value;
        }
    found = false;
    return 0.0;
}

// Kept at its knot alone: a drawn current stored with a positive sign.
bool isLonePin(const Pin& p)
{
    return p.kind != kV && p.value > 0.0;
}

double anchorValue(const AmpData& amp, const std::vector<double>& m, int triple, Kind kind, int k)
{
    bool found = false;
    const double v = pinValue(amp, triple, kind, k, found);
    if (!found)
        throw std::runtime_error("missing stored value at a tabulated triple");
    return isLonePin({triple, kind, k, v}) ? m[k] : v;
}

double extremeBetween(const std::vector<double>& c, int from, int to, bool largest)
{
    double e = c[from];
    for (int k = from; k <= to; ++k)
        e = largest ? std::max(e, c[k]) : std::min(e, c[k]);
    return e;
}

// Width in samples of a plateau's onset, where the overshoot sits.
constexpr int kOnset = 20;

// Where a plateau starts: the first sample from the inner stored knot kIn towards the end knot
// kEnd that reaches 99 % of the end value.
int kneeOf(const std::vector<double>& c, int kIn, int kEnd)
{
    const int dir = kEnd > kIn ? 1 : -1;
    int knee = kIn + dir;
    while (knee != kEnd && std::fabs(c[knee]) < 0.99 * std::fabs(c[kEnd]))
        knee += dir;
    return knee;
}

// Sets the extreme of one plateau of c (the samples strictly between the inner stored knot kIn
// and the end knot kEnd) with a bump b sin^2 over the plateau's onset, the samples within
// kOnset / 2 of its knee: to target when the target lies beyond the end sample, otherwise keeping
// every sample from passing the end sample.
void setExtreme(std::vector<double>& c, int kIn, int kEnd, int knee, double target)
{
    const bool largest = kEnd > kIn;
    const int first = std::min(kIn, kEnd) + 1;
    const int last = std::max(kIn, kEnd) - 1;
    const int ka = std::max(first, knee - kOnset / 2) - 1;
    const int kb = std::min(last, knee + kOnset / 2) + 1;
    std::vector<double> bump(c.size(), 0.0);
    for (int k = ka + 1; k < kb; ++k) {
        const double s = std::sin(kPi * (k - ka) / (kb - ka));
        bump[k] = s * s;
    }
    const double sign = largest ? 1.0 : -1.0;
    // f(b) = sign * (extreme - target) rises with b.
    auto f = [&](double b) {
        std::vector<double> t = c;
        for (int k = first; k <= last; ++k)
            t[k] += sign * b * bump[k];
        return sign * (extremeBetween(t, first, last, largest) - target);
    };
    const bool endIsExtreme = target == c[kEnd];
    if (endIsExtreme && f(0.0) <= 0.0)
        return; // the plateau already stays within its end sample
    double lo = -std::fabs(target);
    double hi = std::fabs(target);
    if (!(f(lo) < 0.0 && f(hi) > 0.0))
        throw std::runtime_error("cannot bracket the plateau's extreme");
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        (f(mid) < 0.0 ? lo : hi) = mid;
    }
    for (int k = first; k <= last; ++k)
        c[k] += sign * hi * bump[k];
}

// The fifth output table: its inner stored values through a C1 blend of the differences between
// neighbouring stored knots. Towards the ends (whose values the scaling already meets) the
// outermost differences fade out before the plateau's knee (over at least five samples), so that
// each plateau keeps the model's shape.
void meetInnerPins(const AmpData& amp, std::vector<double>& c, int kneeNeg, int kneePos)
{
    std::map<int, double> pins;
    for (const Pin& p : amp.pins)
        if (p.triple == 5 && p.kind == kV)
            pins[p.k] = p.value - c[p.k];
    std::vector<double> add(c.size(), 0.0);
    for (auto it = pins.begin(); std::next(it) != pins.end(); ++it) {
        const auto next = std::next(it);
        const int ka = it->first;
        const int kb = next->first;
        for (int k = ka + 1; k < kb; ++k) {
            if (ka == 0)
                add[k] = next->second *
                         smoothstep(1.0 - static_cast<double>(kb - k) / std::max(5, kb - kneeNeg));
            else if (kb == kPoints - 1)
                add[k] = it->second *
                         smoothstep(1.0 - static_cast<double>(k - ka) / std::max(5, kneePos - ka));
            else
                add[k] = it->second + (next->second - it->second) *
                                          smoothstep(static_cast<double>(k - ka) / (kb - ka));
        }
    }
    for (const auto& [k, r] : pins)
        add[k] = r;
    for (std::size_t k = 0; k < c.size(); ++k)
        c[k] += add[k];
}

} // namespace

Tables sampleModel(const AmpData& amp, const Stage& stage)
{
    Tables t;
    for (int triple = 1; triple <= kTriples; ++triple) {
        const double s0 = supply0(amp, triple);
        const double s1 = supply1(amp, triple);
        for (int kind = kV; kind <= kI2; ++kind) {
            const Range range = kind == kV ? amp.vRange : amp.currentRanges[triple - 1];
            std::vector<double>& out = t[tableIndex(static_cast<Kind>(kind), triple)];
            out.resize(kPoints);
            for (int k = 0; k < kPoints; ++k) {
                const StagePoint p = solveStage(stage, knotX(range, k), s0, s1);
                out[k] = kind == kV ? p.v : (kind == kI1 ? p.i1 : p.i2);
            }
        }
    }
    return t;
}

Tables shapeTables(const AmpData& amp, const Tables& model)
{
    Tables out;
    const int tabulated[3] = {1, 5, 9};
    for (int kind = kV; kind <= kI2; ++kind) {
        const Kind kd = static_cast<Kind>(kind);
        // What the stored values say of the model at the tabulated triples: the ratio of stored
        // to model value at each end and the shift of the value at x = 0. The output tables keep
        // the two ratios apart, so that a plateau's order along the supplies follows the stored
        // values on either side; the current tables take their mean and keep the model's own
        // near-symmetry.
        double ratio0[3];
        double ratio180[3];
        double centreShift[3];
        for (int j = 0; j < 3; ++j) {
            const int t = tabulated[j];
            const std::vector<double>& m = model[tableIndex(kd, t)];
            const double t0 = anchorValue(amp, m, t, kd, 0);
            const double t90 = anchorValue(amp, m, t, kd, 90);
            const double t180 = anchorValue(amp, m, t, kd, 180);
            out[tableIndex(kd, t)] = applyCorrection(kd, m, solveCorrection(kd, m, t0, t90, t180));
            ratio0[j] = t0 / m[0];
            ratio180[j] = t180 / m[180];
            if (kd != kV)
                ratio0[j] = ratio180[j] = 0.5 * (ratio0[j] + ratio180[j]);
            centreShift[j] = t90 - m[90];
        }
        // The untabulated triples take the end ratios of the tabulated triple with the same plate
        // supply (the column: the plate supply sets the load line, and with it the plateau and the
        // saturated currents) and the centre shift of the one with the same screen supply (the
        // row: the screen supply sets the idle current, and with it the offset that unequal tubes
        // leave at the output).
        for (int t = 1; t <= kTriples; ++t) {
            if (t == 1 || t == 5 || t == 9)
                continue;
            const std::vector<double>& m = model[tableIndex(kd, t)];
            const int column = (t - 1) % 3;
            const Correction c =
                solveCorrection(kd, m, ratio0[column] * m[0], m[90] + centreShift[(t - 1) / 3],
                                ratio180[column] * m[180]);
            out[tableIndex(kd, t)] = applyCorrection(kd, m, c);
        }
    }

    std::vector<double>& fifth = out[tableIndex(kV, 5)];
    const int kneeNeg = kneeOf(fifth, 45, 0);
    const int kneePos = kneeOf(fifth, 135, 180);
    meetInnerPins(amp, fifth, kneeNeg, kneePos);
    setExtreme(fifth, 45, 0, kneeNeg, amp.vMin);
    setExtreme(fifth, 135, 180, kneePos, amp.vMax);

    for (const Pin& p : amp.pins)
        out[tableIndex(p.kind, p.triple)][p.k] = p.value;
    return out;
}

} // namespace power_curves
