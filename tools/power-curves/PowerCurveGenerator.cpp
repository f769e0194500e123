// Calibrates the push-pull output stage of each tube power amp to its stored values, samples the
// 27 curve tables of each (output voltage, plate current and screen current at the nine supply
// grid points), brings them onto the stored values, checks them, and writes
//   <out>/PowerCurveTables.h           the declarations of all 81 tables with their input ranges;
//   <out>/PowerCurvesV9E_50W.cpp       the tables of the V9E 50W,
//   <out>/PowerCurvesV9E_100W.cpp      of the V9E 100W,
//   <out>/PowerCurvesRKMClassic.cpp    of the RKM Classic.
// Usage: PowerCurveGenerator <models/amps/power directory>. Nothing is written when a check fails.

#include "AmpData.h"
#include "Calibration.h"
#include "PushPullStage.h"
#include "Shaping.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace power_curves;

namespace {

const char* const kKindNames[3] = {"VOutClipperCurve", "I1ClipperCurve", "I2ClipperCurve"};
const char* const kFileNames[3] = {"PowerCurvesV9E_50W.cpp", "PowerCurvesV9E_100W.cpp",
                                   "PowerCurvesRKMClassic.cpp"};

using FloatTables = std::array<std::vector<float>, 3 * kTriples>;

void fail(const std::string& message)
{
    throw std::runtime_error(message);
}

std::string tableName(int kind, int triple)
{
    return std::string(kKindNames[kind]) + std::to_string(triple);
}

Range rangeOf(const AmpData& amp, int kind, int triple)
{
    return kind == kV ? amp.vRange : amp.currentRanges[triple - 1];
}

// A float literal that reads back as the same float: nine significant digits.
std::string literal(float v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
    std::string s = buffer;
    if (s.find_first_of(".e") == std::string::npos)
        s += ".0";
    return s + "f";
}

// Half a unit of the last printed digit of a value as written in the data.
double halfUnit(double value)
{
    std::ostringstream out;
    out.precision(12);
    out << value;
    const std::string s = out.str();
    const auto dot = s.find('.');
    const int decimals = dot == std::string::npos ? 0 : static_cast<int>(s.size() - dot - 1);
    return 0.5 * std::pow(10.0, -decimals);
}

// The small-signal slope of a stored output table at x = 0 (knot 90), by the central difference.
double storedSlope(const AmpData& amp, const std::vector<float>& v)
{
    const double h = (amp.vRange.x1 - amp.vRange.x0) / 180.0;
    return (static_cast<double>(v[91]) - v[89]) / (2.0 * h);
}

void check(const AmpData& amp, const FloatTables& t)
{
    for (const Pin& p : amp.pins) {
        const double stored = t[tableIndex(p.kind, p.triple)][p.k];
        if (std::fabs(stored - p.value) > halfUnit(p.value))
            fail(amp.label + ": " + tableName(p.kind, p.triple) + " misses its stored value at " +
                 std::to_string(p.k));
    }
    const std::vector<float>& fifth = t[tableIndex(kV, 5)];
    const double lo = *std::min_element(fifth.begin(), fifth.end());
    const double hi = *std::max_element(fifth.begin(), fifth.end());
    if (std::fabs(lo - amp.vMin) > halfUnit(amp.vMin) ||
        std::fabs(hi - amp.vMax) > halfUnit(amp.vMax))
        fail(amp.label + ": extremes of the fifth output table");
    const double slope = storedSlope(amp, fifth);
    if (std::fabs(slope / amp.slopeAtZero - 1.0) > 0.02)
        fail(amp.label + ": slope at 0 of the fifth output table");
    for (int triple = 1; triple <= kTriples; ++triple) {
        if (amp.zeroAtOrigin && t[tableIndex(kV, triple)][90] != 0.0f)
            fail(amp.label + ": output not zero at x = 0");
        for (int kind = kI1; kind <= kI2; ++kind) {
            const std::vector<float>& c = t[tableIndex(static_cast<Kind>(kind), triple)];
            for (int k = 0; k < kPoints; ++k) {
                const bool lone = std::any_of(amp.pins.begin(), amp.pins.end(), [&](const Pin& p) {
                    return p.triple == triple && p.kind == kind && p.k == k && p.value > 0.0;
                });
                if (c[k] > 0.0f && !lone)
                    fail(amp.label + ": " + tableName(kind, triple) + " positive at " +
                         std::to_string(k));
            }
            if (std::fabs(c[0] / c[180] - 1.0f) > 0.05f)
                fail(amp.label + ": " + tableName(kind, triple) + " ends differ by more than 5 %");
        }
    }
    // The plateau never falls from a lower to a higher supply along either axis.
    for (int k : {0, 180})
        for (int triple = 1; triple <= kTriples; ++triple) {
            const int i0 = (triple - 1) % 3;
            const int i1 = (triple - 1) / 3;
            const double here = std::fabs(t[tableIndex(kV, triple)][k]);
            if (i0 < 2 && std::fabs(t[tableIndex(kV, triple + 1)][k]) < here)
                fail(amp.label + ": plateau falls along the plate supply at triple " +
                     std::to_string(triple));
            if (i1 < 2 && std::fabs(t[tableIndex(kV, triple + 3)][k]) < here)
                fail(amp.label + ": plateau falls along the screen supply at triple " +
                     std::to_string(triple));
        }
}

void report(const AmpData& amp, const Stage& stage, double rms, const Tables& model,
            const FloatTables& t)
{
    std::printf("%s: relative rms error of the calibrated model %.4f\n", amp.label.c_str(), rms);
    for (int index : amp.freeParameters)
        std::printf("  %-13s %.6g\n", parameterName(index), parameterValue(stage, index));
    double worst = 0.0;
    const Pin* worstPin = nullptr;
    for (const Pin& p : amp.pins) {
        const double d = std::fabs(model[tableIndex(p.kind, p.triple)][p.k] - p.value);
        if (d > worst) {
            worst = d;
            worstPin = &p;
        }
    }
    if (worstPin)
        std::printf(
            "  largest model deviation from a stored value: %.6g at %s k = %d (stored %.6g)\n",
            worst, tableName(worstPin->kind, worstPin->triple).c_str(), worstPin->k,
            worstPin->value);
    const std::vector<float>& fifth = t[tableIndex(kV, 5)];
    std::printf("  fifth output: min %.6g max %.6g, slope at 0 %.4g (model %.4g)\n",
                static_cast<double>(*std::min_element(fifth.begin(), fifth.end())),
                static_cast<double>(*std::max_element(fifth.begin(), fifth.end())),
                storedSlope(amp, fifth), modelSlopeAtZero(amp, stage, 5));
    for (int triple = 1; triple <= kTriples; ++triple) {
        const auto& v = t[tableIndex(kV, triple)];
        const auto& i1 = t[tableIndex(kI1, triple)];
        const auto& i2 = t[tableIndex(kI2, triple)];
        std::printf(
            "  triple %d: v %9.4f %9.4f %9.4f  i1 %8.4f %8.4f %8.4f  i2 %8.5f %8.5f %8.5f\n",
            triple, v[0], v[90], v[180], i1[0], i1[90], i1[180], i2[0], i2[90], i2[180]);
    }
}

std::string headerText(const std::vector<AmpData>& amps)
{
    std::ostringstream h;
    h << "#pragma once\n\n"
         "// Generated by tools/power-curves/PowerCurveGenerator; do not edit. Regenerate with the "
         "tool\n"
         "// (see its README) and commit this header together with the three PowerCurves*.cpp "
         "files.\n\n"
         "#include <cstdint>\n\n"
         "namespace AudioEngine::BorvanQom {\n\n"
         "// The output stage of a tube power amp as sampled curves over the drive x: at each "
         "point of\n"
         "// its 3 x 3 supply grid (triple n at s0 = axis0[(n - 1) % 3], s1 = axis1[(n - 1) / 3]) "
         "the\n"
         "// scaled output voltage (VOutClipperCurve), minus the summed plate currents "
         "(I1ClipperCurve)\n"
         "// and minus the summed screen currents (I2ClipperCurve), in amperes. Each table holds\n"
         "// kPowerCurvePoints samples at x_k = x0 + k (x1 - x0) / 180, in increasing x.\n"
         "inline constexpr std::int32_t kPowerCurvePoints = 181;\n"
         "inline constexpr std::int32_t kPowerCurveTablesPerModel = 27;\n\n"
         "struct PowerCurveTable {\n"
         "    const char* name;\n"
         "    const float* samples; // kPowerCurvePoints values\n"
         "    float x0;\n"
         "    float x1;\n"
         "};\n";
    for (const AmpData& amp : amps) {
        h << "\n// " << amp.label << ".\nnamespace " << amp.name << "::CurveTables {\n\n";
        for (int kind = kV; kind <= kI2; ++kind)
            for (int triple = 1; triple <= kTriples; ++triple) {
                const std::string name = tableName(kind, triple);
                const Range r = rangeOf(amp, kind, triple);
                h << "extern const float " << name << "[kPowerCurvePoints];\n"
                  << "inline constexpr float " << name << "X0 = " << literal(r.x0) << ";\n"
                  << "inline constexpr float " << name << "X1 = " << literal(r.x1) << ";\n";
            }
        h << "\n// The 27 tables in the order VOutClipperCurve1..9, I1ClipperCurve1..9, "
             "I2ClipperCurve1..9.\n"
             "extern const PowerCurveTable kTables[kPowerCurveTablesPerModel];\n\n"
             "} // namespace "
          << amp.name << "::CurveTables\n";
    }
    h << "\n} // namespace AudioEngine::BorvanQom\n";
    return h.str();
}

std::string sourceText(const AmpData& amp, const FloatTables& t)
{
    std::ostringstream s;
    s << "// Generated by tools/power-curves/PowerCurveGenerator; do not edit. Regenerate with the "
         "tool\n"
         "// (see its README) and commit this file together with PowerCurveTables.h.\n"
         "// "
      << amp.label
      << ": the 27 curve tables of its output stage.\n"
         "#include \"models/amps/power/PowerCurveTables.h\"\n\n"
         "namespace AudioEngine::BorvanQom::"
      << amp.name << "::CurveTables {\n";
    for (int kind = kV; kind <= kI2; ++kind)
        for (int triple = 1; triple <= kTriples; ++triple) {
            const std::vector<float>& values = t[tableIndex(static_cast<Kind>(kind), triple)];
            s << "\nconst float " << tableName(kind, triple) << "[kPowerCurvePoints] = {\n";
            for (int k = 0; k < kPoints; ++k) {
                s << (k % 6 == 0 ? "    " : " ") << literal(values[k]) << ",";
                if (k % 6 == 5 || k == kPoints - 1)
                    s << "\n";
            }
            s << "};\n";
        }
    s << "\nconst PowerCurveTable kTables[kPowerCurveTablesPerModel] = {\n";
    for (int kind = kV; kind <= kI2; ++kind)
        for (int triple = 1; triple <= kTriples; ++triple) {
            const std::string name = tableName(kind, triple);
            s << "    {\"" << name << "\", " << name << ", " << name << "X0, " << name << "X1},\n";
        }
    s << "};\n\n} // namespace AudioEngine::BorvanQom::" << amp.name << "::CurveTables\n";
    return s.str();
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out)
        fail("cannot write " + path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <models/amps/power directory>\n", argv[0]);
        return 2;
    }
    try {
        const std::vector<AmpData> amps = ampData();
        std::vector<std::string> sources;
        for (const AmpData& amp : amps) {
            double rms = 0.0;
            const Stage stage = calibrate(amp, rms);
            const Tables model = sampleModel(amp, stage);
            const Tables shaped = shapeTables(amp, model);
            FloatTables stored;
            for (std::size_t i = 0; i < shaped.size(); ++i)
                for (double v : shaped[i])
                    stored[i].push_back(static_cast<float>(v));
            report(amp, stage, rms, model, stored);
            check(amp, stored);
            sources.push_back(sourceText(amp, stored));
        }
        const std::string dir = argv[1];
        writeFile(dir + "/PowerCurveTables.h", headerText(amps));
        for (std::size_t i = 0; i < sources.size(); ++i)
            writeFile(dir + "/" + kFileNames[i], sources[i]);
        std::printf("wrote %s/PowerCurveTables.h and the three tables\n", dir.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
