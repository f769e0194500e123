// Writes the compressor stomp's four device tables as C++ source:
//   DynacompTableGenerator <output folder>
// (models/stomps in the rig's tree). Prints the calibrated laws and the checks;
// writes nothing when a check fails.

#include "DynacompCurveLaws.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

using namespace dynacomp_tables;

namespace {

int failures = 0;

void check(bool ok, const std::string& what)
{
    std::printf("  %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok)
        ++failures;
}

std::string number(double v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

std::string label(double v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

std::string number(float v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.8ef",
                  static_cast<double>(v)); // 9 digits, always a float literal
    return text;
}

template <class T>
void writeArray(std::ostringstream& out, const char* type, const char* name,
                const std::vector<T>& values)
{
    out << "const " << type << ' ' << name << '[' << values.size() << "] = {\n";
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << (i % 4 == 0 ? "    " : " ") << number(values[i]) << ',';
        if (i % 4 == 3 || i + 1 == values.size())
            out << '\n';
    }
    out << "};\n\n";
}

// Within half a unit of the row's last printed digit.
bool matches(double value, double row, double halfUnit)
{
    return std::fabs(value - row) <= halfUnit;
}

void checkLaws(const Laws& laws, const Tables& t)
{
    std::printf("checks:\n");
    const auto& pos = clipPosRows();
    const auto& neg = clipNegRows();
    check(matches(laws.pos(pos[0].x), 9.8e-8, 5e-10), "ClipCurvePos 9.8e-8 at the left end");
    check(std::fabs(laws.pos(0.0) - 2.1421764) < 1e-9, "ClipCurvePos 2.1421764 at w = 0");
    for (std::size_t k = 2; k < 5; ++k) {
        check(matches(laws.pos(pos[k].x), pos[k].y, 5e-4), "ClipCurvePos row " + label(pos[k].x));
        check(matches(laws.neg(neg[k].x), neg[k].y, 5e-4), "ClipCurveNeg row " + label(neg[k].x));
    }
    check(matches(laws.neg(neg[0].x), 9.0, 5e-4), "ClipCurveNeg 9.0 at the left end");
    check(matches(laws.neg(0.0), 6.864, 5e-4), "ClipCurveNeg 6.864 at w = 0");

    bool rising = true;
    for (std::size_t i = 1; i < t.clipPos.size(); ++i)
        rising = rising && t.clipPos[i] > t.clipPos[i - 1];
    check(rising, "ClipCurvePos rises monotonically");
    std::size_t minima = 0, lowest = 0;
    for (std::size_t i = 1; i + 1 < t.clipNeg.size(); ++i) {
        minima += t.clipNeg[i] < t.clipNeg[i - 1] && t.clipNeg[i] <= t.clipNeg[i + 1];
        if (t.clipNeg[i] < t.clipNeg[lowest])
            lowest = i;
    }
    check(minima == 1 && t.clipNeg[lowest] <= 5.585,
          "ClipCurveNeg falls to one minimum no higher than 5.585");
    const double step = knotDouble(1, kClipCount, kClipFirst, kClipLast) -
                        knotDouble(0, kClipCount, kClipFirst, kClipLast);
    const double posStart = (t.clipPos[1] - t.clipPos[0]) / step;
    const double negStart = (t.clipNeg[1] - t.clipNeg[0]) / step;
    const double posEnd = (t.clipPos[kClipCount - 1] - t.clipPos[kClipCount - 2]) / step;
    const double negEnd = (t.clipNeg[kClipCount - 1] - t.clipNeg[kClipCount - 2]) / step;
    check(std::fabs(posStart) < 1.0 && std::fabs(negStart) < 1.0,
          "both clip curves flat at the left end");
    check(std::fabs(posEnd - 4854.0) < 5.0 && std::fabs(negEnd - 4851.0) < 5.0,
          "clip curves rise at about 4854 and 4851 per unit w at the right end");

    for (const auto& row : rOnRows())
        check(std::fabs(laws.rOn(row.x) / row.y - 1.0) < 1e-9, "ROnCurve row " + label(row.x));
    check(std::fabs(laws.rOn.slope(-1.0) / kROnStartSlope - 1.0) < 1e-9,
          "ROnCurve slope 1.627e10 at -1");
    bool positive = true;
    for (double r : t.rOn)
        positive = positive && r > 0.0;
    check(positive, "ROnCurve positive");

    for (const auto& row : kMethodRows())
        check(std::fabs(laws.kMethod(row.x) / row.y - 1.0) < 1e-9,
              "KMethodCurve row " + label(row.x));
    check(t.kMethod[(kJunctionCount - 1) / 2] == 0.0f, "KMethodCurve exactly 0 at v = 0");
    bool increasing = true;
    for (std::size_t i = 1; i < t.kMethod.size(); ++i)
        increasing = increasing && t.kMethod[i] > t.kMethod[i - 1];
    check(increasing, "KMethodCurve strictly increasing");
}

bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];

    const Laws laws = calibrate();
    std::printf("ClipCurvePos: d1 %.9g w1 %.9g A %.9g tau %.9g S %.9g n %.9g\n", ClipPosLaw::d1,
                laws.pos.w1, laws.pos.a, laws.pos.tau, laws.pos.s, laws.pos.n);
    std::printf("ClipCurveNeg: B %.9g S2 %.9g w2 %.9g c %.9g (da %.9g, lam %.9g)\n", laws.neg.b,
                laws.neg.s, laws.neg.w2, laws.neg.c, ClipNegLaw::da, ClipNegLaw::lam);
    std::printf("ROnCurve: ln Rl = %.9g + %.9g v + %.9g v^2, Gj = e^(%.9g + v / %.9g), Rs %.9g\n",
                laws.rOn.a, laws.rOn.b, laws.rOn.c, laws.rOn.g, ROnLaw::nVt, laws.rOn.rs);
    std::printf("KMethodCurve: Is %.9g a %.9g, Ir %.9g b %.9g\n", laws.kMethod.is, laws.kMethod.a,
                laws.kMethod.ir, laws.kMethod.b);

    const Tables t = tabulate(laws);
    checkLaws(laws, t);
    if (failures != 0) {
        std::fprintf(stderr, "%d check(s) failed: nothing written\n", failures);
        return 1;
    }

    std::ostringstream header;
    header << "#pragma once\n\n"
              "// Generated by tools/dynacomp-tables (DynacompTableGenerator); do not edit.\n"
              "// The compressor stomp's device tables, sampled at evenly spaced knots:\n"
              "// clipCurvePos and clipCurveNeg over w = -1.8e-5 .. 0.000999, rOnCurve and\n"
              "// kMethodCurve over v = -1 .. 1 (bounds as float constants).\n\n"
              "namespace AudioEngine::CX2::DynacompCompSectionTraitsDetails::Tables {\n\n"
           << "extern const double clipCurvePos[" << kClipCount << "];\n"
           << "extern const double clipCurveNeg[" << kClipCount << "];\n"
           << "extern const double rOnCurve[" << kJunctionCount << "];\n"
           << "extern const float kMethodCurve[" << kJunctionCount << "];\n\n"
           << "} // namespace AudioEngine::CX2::DynacompCompSectionTraitsDetails::Tables\n";

    std::ostringstream source;
    source << "// Generated by tools/dynacomp-tables (DynacompTableGenerator); do not edit.\n\n"
              "#include \"models/stomps/DynacompCurveTables.h\"\n\n"
              "namespace AudioEngine::CX2::DynacompCompSectionTraitsDetails::Tables {\n\n";
    writeArray(source, "double", "clipCurvePos", t.clipPos);
    writeArray(source, "double", "clipCurveNeg", t.clipNeg);
    writeArray(source, "double", "rOnCurve", t.rOn);
    writeArray(source, "float", "kMethodCurve", t.kMethod);
    source << "} // namespace AudioEngine::CX2::DynacompCompSectionTraitsDetails::Tables\n";

    if (!writeFile(folder + "/DynacompCurveTables.h", header.str()) ||
        !writeFile(folder + "/DynacompCurveTables.cpp", source.str())) {
        std::fprintf(stderr, "cannot write to %s\n", folder.c_str());
        return 1;
    }
    std::printf("wrote %s/DynacompCurveTables.h and .cpp\n", folder.c_str());
    return 0;
}
