// Synthesises the sampled transfer curves of the preamp stages, the limiter, the
// compressor and the peak LEDs from device models fitted to the circuits'
// measured points, checks them with the engine's own spline code, and writes
// models/amps/stages/StageCurveTables.cpp. See README.md.
#include "DeviceModels.h"
#include "Numerics.h"
#include "StageCurveLaws.h"

#include "engine/math/Curve2.h"
#include "engine/math/SplineCubic.h"
#include "models/amps/stages/StageCurveTables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace PreampCurves;
namespace tables = AudioEngine::BorvanQom::StageCurveTables;

// A measured point, kept as printed: the check allows half a unit of its last
// digit.
struct Row {
    const char* x;
    const char* y;
};

double parse(const char* text)
{
    return std::strtod(text, nullptr);
}

enum class Shape {
    Falling,           // strictly falling from knot to knot
    Rising,            // strictly rising
    FallingThenRising, // falling up to the turning knot, then rising
    RectifierFullWave, // falling for x <= 0, rising for x >= 0
    RisingNonNegative, // rising (not falling) from knot to knot, never below 0
};

// The rest point that the stage's following high-pass is preset to.
struct Pin {
    const char* what;
    std::function<float(float)> transform; // the stage's input transform
    float value;
};

struct Table {
    std::string name;
    std::int32_t count;
    float x0;
    float x1;
    float startSlope;
    float endSlope;
    std::vector<Row> rows;
    Shape shape;
    float turningX = 0.0f; // FallingThenRising only
    std::vector<Pin> pins;
    std::string model; // the law and its fitted constants, for the generated file
    std::vector<float> samples;
};

template <class T> Table describe(const std::string& name, std::vector<Row> rows, Shape shape)
{
    return Table{name, T::count, T::x0, T::x1, T::startSlope, T::endSlope, std::move(rows), shape,
                 0.0f, {},       {},    {}};
}

// The knot x positions exactly as the stage's Curve2 makes them.
std::vector<float> knotX(const Table& t)
{
    std::vector<float> zeros(static_cast<std::size_t>(t.count), 0.0f);
    const Knots k(zeros.data(), t.count, t.x0, t.x1);
    std::vector<float> x;
    for (const auto& p : k)
        x.push_back(p.x);
    return x;
}

Spline spline(const Table& t, const std::vector<float>& samples)
{
    return Spline(Knots(samples.data(), t.count, t.x0, t.x1), t.startSlope, t.endSlope);
}

std::size_t rowIndex(const Table& t, double x)
{
    const double step = (static_cast<double>(t.x1) - t.x0) / (t.count - 1);
    return static_cast<std::size_t>(std::lround((x - t.x0) / step));
}

std::string format(double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6g", v);
    return buffer;
}

// The data the curve must pass through: the rows, with a pin's value replacing
// the rounded row at the same input and pins between knots added as points.
struct Points {
    Vec x;
    Vec y;
};

Points fitPoints(const Table& t)
{
    std::vector<std::pair<double, double>> p;
    for (const Row& r : t.rows)
        p.emplace_back(parse(r.x), parse(r.y));
    for (const Pin& pin : t.pins) {
        const double x = pin.transform(0.0f);
        bool replaced = false;
        for (auto& q : p)
            if (std::fabs(q.first - x) < 1e-6) {
                q.second = pin.value;
                replaced = true;
            }
        if (!replaced)
            p.emplace_back(x, pin.value);
    }
    std::sort(p.begin(), p.end());
    Points out;
    for (const auto& q : p) {
        out.x.push_back(q.first);
        out.y.push_back(q.second);
    }
    return out;
}

// Samples a fitted law at the knots with a shape-preserving correction that
// takes it exactly through the data: added to the law (volts), or multiplied
// onto the law's part above a leakage floor as e^c (currents, whose data span
// ten decades). The correction is flat at both ends, so the ends keep the law's
// own slopes.
void sample(Table& t, const std::function<double(double)>& law, bool multiplicative,
            double floor = 0.0)
{
    const Points p = fitPoints(t);
    Vec cx, cy;
    for (std::size_t k = 0; k < p.x.size(); ++k) {
        const double m = law(p.x[k]) - floor;
        if (multiplicative) {
            if (p.y[k] - floor <= 0.0 || m <= 0.0)
                continue; // a zero of the law and the data alike
            cx.push_back(p.x[k]);
            cy.push_back(std::log((p.y[k] - floor) / m));
        } else {
            cx.push_back(p.x[k]);
            cy.push_back(p.y[k] - m);
        }
    }
    const Pchip correction(cx, cy, 0.0, 0.0);
    double largest = 0.0;
    for (double c : cy)
        largest = std::max(largest, std::fabs(c));
    t.model += std::string(multiplicative ? "; largest log correction " : "; largest correction ") +
               format(largest) + (multiplicative ? "" : " V");

    t.samples.clear();
    for (float xf : knotX(t)) {
        const double x = xf;
        const double m = law(x) - floor;
        const double v = floor + (multiplicative ? (m > 0.0 ? m * std::exp(correction(x)) : 0.0)
                                                 : m + correction(x));
        t.samples.push_back(static_cast<float>(v));
    }
    // The measured points exactly as printed.
    for (const Row& r : t.rows)
        t.samples[rowIndex(t, parse(r.x))] = static_cast<float>(parse(r.y));
}

// Moves the knot nearest the rest input, one float step at a time, until the
// engine's spline gives the pin bit for bit at that input.
bool pin(Table& t, const Pin& p)
{
    const float x = p.transform(0.0f);
    const std::vector<float> xs = knotX(t);
    std::size_t j = 0;
    for (std::size_t i = 1; i < xs.size(); ++i)
        if (std::fabs(xs[i] - x) < std::fabs(xs[j] - x))
            j = i;
    for (int attempt = 0; attempt < 4000; ++attempt) {
        const float got = spline(t, t.samples).evaluate(x);
        if (got == p.value)
            return true;
        t.samples[j] = std::nextafter(t.samples[j], got < p.value ? INFINITY : -INFINITY);
    }
    return false;
}

// --- the tables and their laws --------------------------------------------

double sumSquares(const Points& p, const std::function<double(double)>& law, double scale)
{
    double s = 0.0;
    for (std::size_t k = 0; k < p.x.size(); ++k) {
        const double e = (law(p.x[k]) - p.y[k]) / scale;
        s += e * e;
    }
    return s;
}

// Least squares over constants held inside their bounds; returns the constants.
Vec fit(const std::vector<Bound>& bounds, const Vec& guess,
        const std::function<double(const Vec&)>& cost)
{
    auto constants = [&](const Vec& v) {
        Vec k;
        for (std::size_t i = 0; i < bounds.size(); ++i)
            k.push_back(bounds[i](v[i]));
        return k;
    };
    Vec start;
    for (std::size_t i = 0; i < bounds.size(); ++i)
        start.push_back(bounds[i].start(guess[i]));
    return constants(
        minimise([&](const Vec& v) { return cost(constants(v)); }, start, Vec(bounds.size(), 0.5)));
}

TriodeStage triodeFrom(const Vec& k)
{
    TriodeStage s;
    s.supply = k[0];
    s.plateLoad = k[1];
    s.bias = k[2];
    s.inputScale = k[3];
    s.gridLimit = k[4];
    s.gridKnee = k[5];
    s.cathodeLoad = k[6];
    s.triode.kp = k[7];
    s.triode.ex = k[8];
    return s;
}

// A curve that levels off at its last knots and then rises slightly (grid
// current holding the grid) keeps the law flat beyond flatFrom; the rise of a
// few tens of millivolts comes from the correction through the measured points.
void triode(Table& t, double slopeGuess, double flatFrom = INFINITY)
{
    const Points p = fitPoints(t);
    // The end slopes weigh in as well: flat at cut-off, the listed slope in
    // saturation, each across one knot step.
    const double step = (static_cast<double>(t.x1) - t.x0) / (t.count - 1);
    // The supply lies just above the first sample, where the tube is all but
    // cut off: the little current left makes the first knots fall.
    const std::vector<Bound> bounds{{p.y.front() + 0.02, p.y.front() + 5.0, false},
                                    {30e3, 1e6, true},
                                    {-4.0, 0.0, false},
                                    {0.05, 3.0, true},
                                    {-0.5, 1.5, false},
                                    {0.002, 1.0, true},
                                    {10.0, 10e3, true},
                                    {100.0, 5000.0, true},
                                    {1.0, 1.8, false}};
    // A 12AX7 stage with a 100k load has a gain of about 60.
    const Vec guess{
        p.y.front() + 1.0, 100e3, -1.0, std::fabs(slopeGuess) / 40.0, 0.5, 0.2, 1e3, 600.0, 1.4};
    auto law = [flatFrom](const TriodeStage& s) {
        return [s, flatFrom](double x) { return s.plateVoltage(std::min(x, flatFrom)); };
    };
    const TriodeStage s = triodeFrom(fit(bounds, guess, [&](const Vec& k) {
        const auto f = law(triodeFrom(k));
        const double d0 = (f(t.x0 + step) - f(t.x0)) / step - t.startSlope;
        const double d1 = (f(t.x1) - f(t.x1 - step)) / step - t.endSlope;
        return sumSquares(p, f, 1.0) + (d0 * d0 + d1 * d1) * step * step;
    }));
    char text[512];
    std::snprintf(text, sizeof text,
                  "12AX7 common-cathode stage (Koren's law, load line solved per input): supply "
                  "%.6g V, plate load "
                  "%.6g ohm, cathode resistor %.6g ohm, grid bias %.6g V, input scale %.6g, grid "
                  "limit %.6g V, knee "
                  "%.6g V, kp %.6g, ex %.6g; rms fit error %.3g V",
                  s.supply, s.plateLoad, s.cathodeLoad, s.bias, s.inputScale, s.gridLimit,
                  s.gridKnee, s.triode.kp, s.triode.ex,
                  std::sqrt(sumSquares(p, law(s), 1.0) / p.x.size()));
    t.model = text;
    if (std::isfinite(flatFrom))
        t.model += ", held beyond " + format(flatFrom) + " V";
    sample(t, law(s), false);
}

void follower(Table& t)
{
    const Points p = fitPoints(t);
    auto make = [](const Vec& k) { return FollowerKnee{k[0], k[1], k[2], k[3], k[4]}; };
    const std::vector<Bound> bounds{{-50.0, 50.0, false},
                                    {0.0, 0.5, false},
                                    {0.5, 1.0, false},
                                    {-200.0, 100.0, false},
                                    {0.5, 100.0, true}};
    const FollowerKnee f = make(fit(bounds, {0.0, 0.18, 0.985, -30.0, 10.0}, [&](const Vec& k) {
        const FollowerKnee g = make(k);
        return sumSquares(
            p, [&](double x) { return g.output(x); }, 1.0);
    }));
    char text[512];
    std::snprintf(
        text, sizeof text,
        "cathode follower leaving cut-off, two asymptotes with a softplus knee: offset %.6g V, "
        "gain %.6g below and %.6g above the knee at %.6g V, knee width %.6g V; rms fit error %.3g "
        "V",
        f.offset, f.lowGain, f.highGain, f.xKnee, f.knee,
        std::sqrt(sumSquares(
                      p, [&](double x) { return f.output(x); }, 1.0) /
                  p.x.size()));
    t.model = text;
    sample(
        t, [f](double x) { return f.output(x); }, false);
}

// Least squares on the logarithm: the currents span ten decades.
double logCost(const Points& p, const std::function<double(double)>& law)
{
    double s = 0.0;
    for (std::size_t k = 0; k < p.x.size(); ++k) {
        if (p.y[k] <= 0.0)
            continue;
        const double m = law(p.x[k]);
        const double e = m > 0.0 ? std::log(m / p.y[k]) : 50.0;
        s += e * e;
    }
    return s;
}

std::string describeDiode(const DiodeWithSeriesR& d)
{
    char text[256];
    std::snprintf(text, sizeof text, "is %.6g A, nVt %.6g V, r %.6g ohm", d.is, d.nVt, d.r);
    return text;
}

const std::vector<Bound> kDiodeBounds{{1e-22, 1e-2, true}, {0.02, 2.0, true}, {0.01, 1e4, true}};

// A diode with series resistance through the data of one sign of x; the other
// sign takes its mirror image.
DiodeWithSeriesR fitDiode(const Points& p, double sign, const DiodeWithSeriesR& guess)
{
    Points half;
    for (std::size_t k = 0; k < p.x.size(); ++k)
        if (p.x[k] * sign > 0.0) {
            half.x.push_back(p.x[k] * sign);
            half.y.push_back(p.y[k]);
        }
    const Vec k = fit(kDiodeBounds, {guess.is, guess.nVt, guess.r}, [&](const Vec& c) {
        const DiodeWithSeriesR d{c[0], c[1], c[2]};
        return logCost(half, [&](double x) { return d.current(x); });
    });
    return DiodeWithSeriesR{k[0], k[1], k[2]};
}

void fullWave(Table& t)
{
    const Points p = fitPoints(t);
    // Each half-wave has its own path; the output is in volts, so r is the
    // path's resistance over its gain.
    const DiodeWithSeriesR pos = fitDiode(p, 1.0, {1e-4, 0.2, 0.4});
    const DiodeWithSeriesR neg = fitDiode(p, -1.0, {1e-4, 0.2, 0.25});
    t.model = "full-wave rectifier, a diode with series resistance per half-wave: x > 0: " +
              describeDiode(pos) + "; x < 0: " + describeDiode(neg);
    sample(
        t, [pos, neg](double x) { return x >= 0.0 ? pos.current(x) : neg.current(-x); }, true);
}

void diode(Table& t, const DiodeWithSeriesR& guess)
{
    const DiodeWithSeriesR d = fitDiode(fitPoints(t), 1.0, guess);
    t.model = "diode with series resistance: " + describeDiode(d);
    sample(
        t, [d](double x) { return d.current(x); }, true);
}

void led(Table& t, const DiodeWithSeriesR& guess)
{
    const Points p = fitPoints(t);
    const double top = p.y.back();
    auto make = [&](const Vec& k) {
        LedDriver l;
        l.diode = DiodeWithSeriesR{k[0], k[1], k[2]};
        l.floorA = p.y.front(); // the leakage is the first sample
        l.limitA = k[3];
        l.limitOrder = k[4];
        return l;
    };
    std::vector<Bound> bounds = kDiodeBounds;
    bounds.push_back({top, 10.0 * top, true});
    bounds.push_back({1.0, 30.0, true});
    const LedDriver l =
        make(fit(bounds, {guess.is, guess.nVt, guess.r, 1.5 * top, 4.0}, [&](const Vec& k) {
            const LedDriver m = make(k);
            return logCost(p, [&](double x) { return m.current(x); });
        }));
    char text[512];
    std::snprintf(text, sizeof text,
                  "LED behind a current-limited driver: %s, floor %.6g A, limit %.6g A, order %.6g",
                  describeDiode(l.diode).c_str(), l.floorA, l.limitA, l.limitOrder);
    t.model = text;
    sample(
        t, [l](double x) { return l.current(x); }, true, l.floorA);
}

// Nine significant digits round-trip a float; the literal always carries a
// point or an exponent so that the f suffix is legal.
std::string literal(float v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
    std::string s = buffer;
    if (s.find_first_of(".e") == std::string::npos)
        s += ".0";
    return s + "f";
}

// --- checks ------------------------------------------------------------------

int failures = 0;

void fail(const Table& t, const std::string& what)
{
    std::fprintf(stderr, "%s: %s\n", t.name.c_str(), what.c_str());
    ++failures;
}

void check(const Table& t)
{
    const std::vector<float>& y = t.samples;
    const std::vector<float> x = knotX(t);
    if (static_cast<std::int32_t>(y.size()) != t.count)
        fail(t, "wrong count");
    for (float v : y)
        if (!std::isfinite(v))
            fail(t, "non-finite sample");

    double worstRow = 0.0;
    for (const Row& r : t.rows) {
        const float v = y[rowIndex(t, parse(r.x))];
        const double off = std::fabs(v - parse(r.y));
        const double allowed = halfUnit(r.y);
        worstRow = std::max(worstRow, allowed > 0.0 ? off / allowed : off);
        if (off > allowed)
            fail(t, std::string("row at ") + r.x + " is " + format(v) + ", not " + r.y);
    }

    const Spline s = spline(t, y);
    for (const Pin& p : t.pins) {
        const float got = s.evaluate(p.transform(0.0f));
        if (got != p.value)
            fail(t, std::string("rest output ") + format(got) + " misses " + p.what);
    }

    for (std::size_t i = 1; i < y.size(); ++i) {
        const bool falls = y[i]<y[i - 1], rises = y[i]> y[i - 1];
        bool ok = true;
        switch (t.shape) {
        case Shape::Falling:
            ok = falls;
            break;
        case Shape::Rising:
            ok = rises;
            break;
        case Shape::FallingThenRising:
            ok = x[i] <= t.turningX ? falls : rises;
            break;
        case Shape::RectifierFullWave:
            ok = x[i] <= 0.0f ? falls : rises;
            break;
        case Shape::RisingNonNegative:
            ok = !falls && y[i] >= 0.0f;
            break;
        }
        if (!ok)
            fail(t, "shape broken at x = " + format(x[i]) + ": " + literal(y[i - 1]) + " -> " +
                        literal(y[i]));
    }

    if (t.shape == Shape::RisingNonNegative || t.shape == Shape::RectifierFullWave) {
        // No undershoot between the knots: at most 0.1 % of the last sample
        // below zero on a grid ten times finer.
        double lowest = 0.0;
        for (std::size_t i = 0; i + 1 < x.size(); ++i)
            for (int k = 0; k < 10; ++k) {
                const float xf = static_cast<float>(x[i] + (x[i + 1] - x[i]) * k / 10.0);
                lowest = std::min(lowest, static_cast<double>(s.evaluate(xf)));
            }
        if (lowest < -1e-3 * y.back())
            fail(t, "spline undershoots to " + format(lowest));
    }

    std::printf("%-34s worst row %.3f half-units; end slopes %.7g / %.7g (listed %.7g / %.7g)\n",
                t.name.c_str(), worstRow, s.getSlopeFirst(), s.getSlopeLast(), t.startSlope,
                t.endSlope);
}

// --- output ------------------------------------------------------------------

void writeArray(std::ostream& out, const std::string& name, const std::vector<float>& values)
{
    out << "const float " << name << "[" << values.size() << "] = {\n";
    for (std::size_t i = 0; i < values.size(); i += 6) {
        out << "   ";
        for (std::size_t k = i; k < std::min(values.size(), i + 6); ++k)
            out << " " << literal(values[k]) << ",";
        out << "\n";
    }
    out << "};\n";
}

// Breaks a long comment at spaces.
void writeComment(std::ostream& out, const std::string& text)
{
    std::istringstream words(text);
    std::string line = "//", word;
    while (words >> word) {
        if (line.size() + 1 + word.size() > 100) {
            out << line << "\n";
            line = "//";
        }
        line += " " + word;
    }
    out << line << "\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <models/amps/stages directory>\n", argv[0]);
        return 2;
    }

    std::vector<Table> all;

    // RKM Classic: two inverting triodes, supply about 345 V.
    {
        Table t = describe<tables::RKMClassicClipCurve1>("RKMClassicClipCurve1",
                                                         {{"-4.4", "344.96"},
                                                          {"-4.3", "344.88"},
                                                          {"-4.2", "343.40"},
                                                          {"-4", "339.3"},
                                                          {"-3", "313.5"},
                                                          {"-2", "284.3"},
                                                          {"-1", "253.6"},
                                                          {"0", "222.0"},
                                                          {"1", "189.7"},
                                                          {"2", "157.0"},
                                                          {"3", "122.7"},
                                                          {"4", "89.55"},
                                                          {"5", "57.62"},
                                                          {"5.6", "38.771"},
                                                          {"5.7", "36.786"}},
                                                         Shape::Falling);
        t.pins.push_back({"221.996", [](float in) { return in + in; }, 221.996f});
        triode(t, -31.0);
        all.push_back(std::move(t));
    }
    {
        Table t = describe<tables::RKMClassicClipCurve2>("RKMClassicClipCurve2",
                                                         {{"-4.3", "344.97"},
                                                          {"-4.2", "343.98"},
                                                          {"-4", "341.1"},
                                                          {"-3", "323.5"},
                                                          {"-2", "304.2"},
                                                          {"-1", "284.2"},
                                                          {"0", "263.6"},
                                                          {"1", "242.8"},
                                                          {"2", "221.6"},
                                                          {"3", "200.3"},
                                                          {"4", "178.9"},
                                                          {"5", "157.3"},
                                                          {"6", "135.1"},
                                                          {"7", "112.6"},
                                                          {"8", "90.1"},
                                                          {"9", "67.58"},
                                                          {"10", "45.01"},
                                                          {"10.1", "42.754"},
                                                          {"10.2", "42.183"}},
                                                         Shape::Falling);
        t.pins.push_back({"226.361", [](float in) { return in + 1.77745f; }, 226.361f});
        triode(t, -21.0);
        all.push_back(std::move(t));
    }
    {
        // Committed as measured.
        Table t = describe<tables::RKMClassicClipCurve4>("RKMClassicClipCurve4",
                                                         {{"-9.0", "-4.54948"},
                                                          {"-8.9", "-4.49948"},
                                                          {"-8.8", "-4.44949"},
                                                          {"-8.7", "-4.39950"},
                                                          {"-8.6", "-4.34950"},
                                                          {"-8.5", "-4.27064"},
                                                          {"-8.4", "-4.17583"},
                                                          {"-8.3", "-4.08025"},
                                                          {"-8.2", "-3.98428"},
                                                          {"-8.1", "-3.88805"},
                                                          {"-8.0", "-3.79163"}},
                                                         Shape::Rising);
        t.model = "measured values, as given";
        for (const Row& r : t.rows)
            t.samples.push_back(static_cast<float>(parse(r.y)));
        all.push_back(std::move(t));
    }

    // RKM4Pro: three inverting triodes, supply about 288 V.
    {
        Table t = describe<tables::RKM4ProClipCurve1>("RKM4ProClipCurve1",
                                                      {{"-3.8", "287.971"},
                                                       {"-1.4", "228.449"},
                                                       {"1.0", "156.743"},
                                                       {"3.4", "83.9275"},
                                                       {"5.7", "33.22"}},
                                                      Shape::Falling);
        t.pins.push_back({"187.16620", [](float in) { return in; }, 187.16620f});
        triode(t, -30.0);
        all.push_back(std::move(t));
    }
    {
        Table t = describe<tables::RKM4ProClipCurve2>("RKM4ProClipCurve2",
                                                      {{"-28.1", "287.863"},
                                                       {"-15.7", "223.579"},
                                                       {"-3.2", "153.072"},
                                                       {"9.3", "81.5832"},
                                                       {"21.7", "13.644"}},
                                                      Shape::Falling);
        t.pins.push_back({"134.81880", [](float in) { return in * 0.84881991f; }, 134.81880f});
        triode(t, -5.7);
        all.push_back(std::move(t));
    }
    {
        Table t = describe<tables::RKM4ProClipCurve3>("RKM4ProClipCurve3",
                                                      {{"-3.8", "287.971"},
                                                       {"1.2", "231.194"},
                                                       {"6.2", "169.653"},
                                                       {"11.2", "106.535"},
                                                       {"16.2", "43.926"}},
                                                      Shape::Falling);
        t.pins.push_back({"188.70256", [](float in) { return in + 4.665f; }, 188.70256f});
        triode(t, -12.5);
        all.push_back(std::move(t));
    }

    // V9E: an inverting triode and a cathode follower, supply about 355 V.
    {
        Table t = describe<tables::V9EClipCurve1>("V9EClipCurve1",
                                                  {{"-5.0", "354.965"},
                                                   {"0.0", "232.497"},
                                                   {"2.0", "169.173"},
                                                   {"6.2", "38.7086"},
                                                   {"6.5", "38.7294"}},
                                                  Shape::FallingThenRising);
        t.turningX = 6.25f;
        t.pins.push_back({"232.4967", [](float in) { return 3.2f * in; }, 232.4967f});
        triode(t, -31.0, 6.2);
        all.push_back(std::move(t));
    }
    {
        Table t = describe<tables::V9EClipCurve4>("V9EClipCurve4",
                                                  {{"-240", "-43.4317"},
                                                   {"-60", "-10.8579"},
                                                   {"30", "33.9588"},
                                                   {"120", "122.62"},
                                                   {"300", "300.204"},
                                                   {"480", "478.049"}},
                                                  Shape::Rising);
        t.pins.push_back({"120.40674", [](float in) { return in + 117.755f; }, 120.40674f});
        follower(t);
        all.push_back(std::move(t));
    }

    // Limiter.
    {
        Table t = describe<tables::LimiterFullWaveRectifier>("LimiterFullWaveRectifier",
                                                             {{"-5", "12.83824"},
                                                              {"-3", "4.287754"},
                                                              {"-2", "0.905613"},
                                                              {"-1", "0.010985"},
                                                              {"-0.5", "0.000184"},
                                                              {"0", "0"},
                                                              {"0.5", "0.008089"},
                                                              {"1", "0.10372"},
                                                              {"2", "1.411412"},
                                                              {"3", "3.520909"},
                                                              {"4", "5.82501"},
                                                              {"5", "8.205352"},
                                                              {"6", "10.62559"},
                                                              {"7", "13.0702"}},
                                                             Shape::RectifierFullWave);
        fullWave(t);
        all.push_back(std::move(t));
    }
    {
        // An exact law: zero at 1.2 V, then 0.003 (x - 1.25) / 3.25 A.
        Table t =
            describe<tables::LimiterPhotoDiodeTransferFunction>("LimiterPhotoDiodeTransferFunction",
                                                                {{"1.2", "0"},
                                                                 {"1.3", "4.62e-5"},
                                                                 {"1.4", "1.385e-4"},
                                                                 {"2.0", "6.923e-4"},
                                                                 {"4.5", "0.003"}},
                                                                Shape::RisingNonNegative);
        t.model = "0 at 1.2 V, then 0.003 (x - 1.25) / 3.25 A at x = 1.2 + 0.1 k";
        for (int k = 0; k < t.count; ++k)
            t.samples.push_back(static_cast<float>(limiterPhotoDiodeAmps(k)));
        all.push_back(std::move(t));
    }
    {
        Table t = describe<tables::LimiterPeakLedRectifier>("LimiterPeakLedRectifier",
                                                            {{"0", "9.52445e-11"},
                                                             {"0.3", "1.43963e-10"},
                                                             {"0.7", "1.93616e-6"},
                                                             {"1.1", "0.00287634"},
                                                             {"1.3", "0.0188253"},
                                                             {"1.4", "0.0267177"}},
                                                            Shape::RisingNonNegative);
        led(t, {1e-14, 0.03, 10.0});
        all.push_back(std::move(t));
    }

    // Compressor.
    {
        Table t = describe<tables::CompressorPhotoDiodeRectifier>("CompressorPhotoDiodeRectifier",
                                                                  {{"0", "0"},
                                                                   {"0.1", "4.608e-9"},
                                                                   {"0.2", "1.589e-8"},
                                                                   {"2.5", "1.56422e-4"},
                                                                   {"5.0", "0.008607"},
                                                                   {"7.5", "0.0187925"},
                                                                   {"9.9", "0.0286947"},
                                                                   {"10", "0.0291085"}},
                                                                  Shape::RisingNonNegative);
        diode(t, {3e-9, 0.11, 240.0});
        all.push_back(std::move(t));
    }

    // Peak LEDs.
    {
        Table t = describe<tables::RE500PeakLedRectifier>("RE500PeakLedRectifier",
                                                          {{"0", "9.66228e-11"},
                                                           {"2.5", "1.05737e-10"},
                                                           {"5.1", "1.32728e-7"},
                                                           {"7.7", "2.00056e-4"},
                                                           {"10.1", "0.0244"},
                                                           {"10.2", "0.0244262"}},
                                                          Shape::RisingNonNegative);
        led(t, {1e-16, 0.3, 50.0});
        all.push_back(std::move(t));
    }
    {
        Table t = describe<tables::RKM4ProPeakLedRectifier>("RKM4ProPeakLedRectifier",
                                                            {{"0", "7.76478e-11"},
                                                             {"7", "8.42929e-11"},
                                                             {"15", "1.02499e-6"},
                                                             {"23", "0.00866226"},
                                                             {"29", "0.0225373"},
                                                             {"30", "0.0225449"}},
                                                            Shape::RisingNonNegative);
        led(t, {1e-16, 0.6, 200.0});
        all.push_back(std::move(t));
    }

    for (Table& t : all)
        for (const Pin& p : t.pins)
            if (!pin(t, p))
                fail(t, std::string("could not pin ") + p.what);
    for (const Table& t : all) {
        std::printf("%-34s %s\n", t.name.c_str(), t.model.c_str());
        check(t);
    }
    if (failures > 0) {
        std::fprintf(stderr, "%d check(s) failed; nothing written\n", failures);
        return 1;
    }

    std::ostringstream out;
    out << "// Generated by tools/preamp-curves (PreampCurveGenerator); do not edit by hand.\n"
           "// Each table: the device law the samples come from and its fitted constants.\n"
           "#include \"models/amps/stages/StageCurveTables.h\"\n\n"
           "namespace AudioEngine::BorvanQom::StageCurveTables {\n";
    for (const Table& t : all) {
        out << "\n";
        writeComment(out, t.name + ": " + t.model + ".");
        writeArray(out, t.name + "::samples", t.samples);
    }
    out << "\n// VTL5C7 opto-coupler, as measured.\n";
    writeArray(out, "VTL5C7Points::currentA", {1e-4f, 2e-4f, 3e-4f, 1e-3f, 1e-2f, 4e-2f});
    writeArray(out, "VTL5C7Points::resistanceOhm",
               {100000.0f, 7000.0f, 3000.0f, 1000.0f, 200.0f, 100.0f});
    out << "\n} // namespace AudioEngine::BorvanQom::StageCurveTables\n";

    const std::string path = std::string(argv[1]) + "/StageCurveTables.cpp";
    std::ofstream file(path, std::ios::binary);
    file << out.str();
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("wrote %s\n", path.c_str());
    return 0;
}
