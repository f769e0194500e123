#include "StompRig.h"

#include "models/stomps/Dynacomp.h"
#include "models/stomps/DynacompCurveTables.h"
#include "models/stomps/StompSet.h"
#include "tests/support/ElementRig.h"
#include "tools/dynacomp-tables/DynacompCurveLaws.h"

#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace AudioEngine;
using namespace AudioEngine::CX2;
using AudioEngine::BorvanQom::Application::StompElement;
using Model = Dynacomp<DynacompTraits<float>>;
using Element = StompElement<Model>;
using SectionTraits = DynacompCompSectionTraits<float>;
using Section = DynacompTraits<float>::CompSection;
using Stage = Section::Stage;
namespace Tables = DynacompCompSectionTraitsDetails::Tables;

namespace {

constexpr double kTwoPi = 6.283185307179586;
using test::rms;
const Section::Splines& splines()
{
    return Section::Splines::get();
}

// One compressor as a stomp element, fed through a test buffer.
struct CompressorRig : rig::ElementRig<Element> {
    explicit CompressorRig(float sensitivity = 0.0f, float rate = 44100.0f) : ElementRig(rate)
    {
        element.setParameter("Sensitivity_Compressor", sensitivity);
        section().prepare(); // the operating point of this sensitivity
    }
    Section& section() { return element.getCompSection(); }

    // Plays x in pieces of `piece` samples; returns the element's output.
    std::vector<float> play(const std::vector<float>& x, std::uint32_t piece = 64)
    {
        std::vector<float> y;
        for (std::size_t at = 0; at < x.size(); at += piece) {
            const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(piece, x.size() - at));
            environment.chunk = n;
            std::copy_n(x.begin() + at, n, feed.data());
            element.process();
            const float* out = element.getOutput("Out").getBuffer();
            y.insert(y.end(), out, out + n);
        }
        return y;
    }
};

// Steady output level in dB of a 200 Hz sine of the given amplitude, from rest.
double steadyLevelDb(float sensitivity, float amplitude)
{
    CompressorRig rig(sensitivity);
    const std::vector<float> y = rig.play(test::sine(64 * 1200, amplitude, 200.0));
    return 20.0 * std::log10(rms(y, y.size() - 64 * 200));
}

} // namespace

TEST(DynacompTables, TheCommittedTablesAreWhatTheGeneratorWrites)
{
    const dynacomp_tables::Tables t = dynacomp_tables::tabulate(dynacomp_tables::calibrate());
    ASSERT_EQ(t.clipPos.size(), std::size(Tables::clipCurvePos));
    ASSERT_EQ(t.clipNeg.size(), std::size(Tables::clipCurveNeg));
    ASSERT_EQ(t.rOn.size(), std::size(Tables::rOnCurve));
    ASSERT_EQ(t.kMethod.size(), std::size(Tables::kMethodCurve));
    // Printed with round-trip precision; a few units of the last place allow
    // for another maths library.
    auto near = [](double a, double b) {
        return std::fabs(a - b) <= 1e-14 * std::fabs(b) + 1e-300;
    };
    for (std::size_t i = 0; i < t.clipPos.size(); ++i) {
        ASSERT_TRUE(near(t.clipPos[i], Tables::clipCurvePos[i])) << i;
        ASSERT_TRUE(near(t.clipNeg[i], Tables::clipCurveNeg[i])) << i;
    }
    for (std::size_t i = 0; i < t.rOn.size(); ++i) {
        ASSERT_TRUE(near(t.rOn[i], Tables::rOnCurve[i])) << i;
        ASSERT_NEAR(t.kMethod[i], Tables::kMethodCurve[i],
                    1e-6f * std::fabs(Tables::kMethodCurve[i]))
            << i;
    }
    // The model's curves sit on the generator's knots.
    const auto& pos = splines().pos.getKnots();
    for (std::size_t i : {std::size_t(0), std::size_t(18), std::size_t(1017)})
        EXPECT_EQ(pos[i].x, dynacomp_tables::knotDouble(i, 1018, -1.8e-5f, 0.000999f));
}

TEST(DynacompTables, TheOutputCurvesPassTheirRowsWithTheirShapes)
{
    const auto& pos = splines().pos;
    const auto& neg = splines().neg;
    // Rows on the knots 0, 254, 509, 1017 (w = -1.8e-5, 0.000236, 0.000491, 0.000999).
    const struct {
        std::size_t knot;
        double pos, neg;
    } rows[] = {{0, 9.8e-8, 9.0}, {254, 5.572, 5.585}, {509, 6.811, 6.820}, {1017, 9.277, 9.283}};
    for (const auto& row : rows) {
        EXPECT_NEAR(pos.getKnots()[row.knot].y, row.pos, row.knot == 0 ? 5e-10 : 5e-4) << row.knot;
        EXPECT_NEAR(neg.getKnots()[row.knot].y, row.neg, 5e-4) << row.knot;
    }
    EXPECT_NEAR(pos.evaluateUniform(0.0), 2.1421764, 2.4e-7)
        << "the rest level the output filter assumes";
    EXPECT_NEAR(neg.evaluateUniform(0.0), 6.864, 5e-4) << "the second junction's rest state";

    const auto& p = pos.getKnots();
    const auto& n = neg.getKnots();
    std::size_t minima = 0, lowest = 0;
    for (std::size_t i = 1; i < p.size(); ++i) {
        ASSERT_GT(p[i].y, p[i - 1].y) << i;
        if (i + 1 < n.size() && n[i].y < n[i - 1].y && n[i].y <= n[i + 1].y)
            ++minima;
        if (n[i].y < n[lowest].y)
            lowest = i;
    }
    EXPECT_EQ(minima, 1u);
    EXPECT_LE(n[lowest].y, 5.585);
    // Flat at the left, about 4854 and 4851 per unit w at the right.
    const double step = p[1].x - p[0].x;
    EXPECT_LT((p[1].y - p[0].y) / step, 1.0);
    EXPECT_LT(std::fabs(n[1].y - n[0].y) / step, 1.0);
    EXPECT_NEAR((p[1017].y - p[1016].y) / step, 4854.0, 5.0);
    EXPECT_NEAR((n[1017].y - n[1016].y) / step, 4851.0, 5.0);

    // Currents beyond the tables follow the straight extensions.
    for (double w : {-1e-4, -5e-5, 0.0015, 0.003}) {
        const double edge = w < 0.0 ? pos.getXFirst() : pos.getXLast();
        const double y0 = w < 0.0 ? pos.getYFirst() : pos.getYLast();
        const double slope = w < 0.0 ? 0.0 : 4854.0;
        EXPECT_NEAR(pos.evaluateUniform(w), y0 + slope * (w - edge),
                    1e-9 + 1e-9 * std::fabs(w - edge) * 4854.0)
            << w;
        const double yn = w < 0.0 ? neg.getYFirst() : neg.getYLast();
        EXPECT_NEAR(neg.evaluateUniform(w), yn + (w < 0.0 ? 0.0 : 4851.0) * (w - edge), 1e-9 + 1e-5)
            << w;
    }
}

TEST(DynacompTables, TheJunctionCurvesStayPositiveAndIncreasing)
{
    const auto& rOn = splines().rOn;
    const struct {
        double v, r;
    } rows[] = {{-1.0, 7.248e11}, {0.0, 7.451e11}, {0.5, 3.2e6}, {1.0, 128.8}};
    for (const auto& row : rows)
        EXPECT_NEAR(rOn.evaluateUniform(row.v) / row.r, 1.0, 1e-9) << row.v;
    double lowest = std::numeric_limits<double>::infinity();
    for (int k = -1000000; k <= 1000000; ++k)
        lowest = std::fmin(lowest, rOn.evaluateUniform(k * 1e-5));
    EXPECT_GT(lowest, 0.0) << "on a 1e-5 grid over the extensions out to +-10 V";

    const DynacompCompSectionTraitsDetails::KMethodCurve<float> k;
    ASSERT_EQ(k.size(), 2001u);
    EXPECT_EQ(k[1000].x, 0.0f);
    EXPECT_EQ(k[1000].y, 0.0f);
    for (std::size_t i = 1; i < k.size(); ++i)
        ASSERT_GT(k[i].y, k[i - 1].y) << i;
    const struct {
        std::size_t knot;
        float i;
    } currents[] = {{0, -0.282f}, {500, -0.000156f}, {1500, 1.08e-8f}, {2000, 0.01189f}};
    for (const auto& c : currents)
        EXPECT_NEAR(k[c.knot].y / c.i, 1.0f, 1e-6f) << c.knot;
    // The sheared abscissae rise at every rate (the sheared spline refuses
    // them otherwise).
    for (float rate : {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f}) {
        const Stage stage(rate, 2.142f);
        const auto& sheared = stage.getSpline().getKnots();
        for (std::size_t i = 1; i < sheared.size(); ++i)
            ASSERT_GT(sheared[i].x, sheared[i - 1].x) << rate << " at " << i;
    }
}

TEST(DynacompTables, LookupsFarOutsideOrNotANumberNeverLeaveTheTables)
{
    // The uniform splines find the segment by a direct index; whatever comes
    // in, that index stays within the table: a NaN gives NaN, anything beyond
    // the knots the straight extension (NaN for an infinity on a flat end).
    const double inf = std::numeric_limits<double>::infinity();
    auto probe = [&](const auto& spline, const char* name) {
        using Value = typename std::decay_t<decltype(spline)>::Value;
        const Value first = spline.getXFirst();
        const Value last = spline.getXLast();
        const Value xs[] = {Value(std::numeric_limits<double>::quiet_NaN()),
                            Value(inf),
                            Value(-inf),
                            std::numeric_limits<Value>::max(),
                            std::numeric_limits<Value>::lowest(),
                            Value(1e30),
                            Value(-1e30),
                            std::nextafter(last, first),
                            std::nextafter(first, last),
                            first,
                            last};
        for (Value x : xs) {
            const std::int32_t segment = spline.findUniformSegment(x);
            EXPECT_GE(segment, 0) << name << " at " << x;
            EXPECT_LE(segment, spline.getLastSegment()) << name << " at " << x;
            const Value y = spline.evaluateUniform(x);
            if (std::isnan(x)) {
                EXPECT_TRUE(std::isnan(y)) << name;
            } else if (std::isfinite(x) && (x <= first || x >= last) && std::isfinite(y)) {
                EXPECT_EQ(y, spline.evaluate(x)) << name << " at " << x;
            }
        }
    };
    probe(splines().tanh, "tanh");
    probe(splines().neg, "ClipCurveNeg");
    probe(splines().pos, "ClipCurvePos");
    probe(splines().rOn, "ROnCurve");
}

TEST(Dynacomp, OperatingPointFollowsTheSensitivity)
{
    const struct {
        float sensitivity, r, v, i;
    } cases[] = {{1.0f, 27000.0f, 8.858182f, 4.40678e-5f},
                 {0.0f, 527000.0f, 8.992607f, 1.15214e-5f}};
    for (const auto& c : cases) {
        CompressorRig rig(c.sensitivity);
        EXPECT_EQ(rig.section().resistance(), c.r);
        EXPECT_NEAR(rig.section().getV(), c.v, 1e-6f);
        EXPECT_NEAR(rig.section().getI(), c.i, 1e-10f);
        EXPECT_EQ(rig.section().getFirstStage().getState(), 2.142f);
        EXPECT_EQ(rig.section().getSecondStage().getState(), 6.864f);
    }
    CompressorRig rig;
    std::set<std::string> exposed;
    for (const auto& [name, parameter] : rig.element.getParameters())
        exposed.insert(name);
    EXPECT_EQ(exposed,
              (std::set<std::string>{"Process", "Sensitivity_Compressor", "Volume_FilterOut"}));
    EXPECT_EQ(rig.element.getParameter("Volume_FilterOut").getDefault(), 0.5f);
    EXPECT_EQ(rig.element.getParameter("Sensitivity_Compressor").getDefault(), 0.0f);
    EXPECT_EQ(rig.element.getInfo().type, "Dynacomp");
}

TEST(Dynacomp, SilenceIsSilentFromTheFirstSample)
{
    for (float sensitivity : {0.0f, 1.0f}) {
        for (float volume : {0.5f, 1.0f}) {
            CompressorRig rig(sensitivity);
            rig.element.setParameter("Volume_FilterOut", volume);
            for (float y : rig.play(std::vector<float>(64 * 100, 0.0f)))
                ASSERT_LE(std::fabs(y), 1e-6f) << sensitivity << ", " << volume;
        }
    }
}

TEST(Dynacomp, TheJunctionStepLeavesVEqualToUMinusS)
{
    Stage stage(44100.0f, 6.864f);
    float largest = 0.0f;
    for (int n = 0; n < 4000; ++n) {
        const float u =
            6.864f + 3.0f * static_cast<float>(std::sin(0.01 * n)) + (n % 97 == 0 ? 2.0f : 0.0f);
        const float v = stage.step(u);
        largest = std::fmax(largest, std::fabs(v));
        ASSERT_NEAR(v, u - stage.getState(), 2e-5f) << n;
    }
    EXPECT_GT(largest, 0.5f) << "the junction conducted";
    EXPECT_FLOAT_EQ(stage.getK(), -stage.getF0());
}

TEST(Dynacomp, TheControlCurrentNeverGoesNegative)
{
    // A loud step from rest gives the deepest, fastest pull on the control
    // node; the current follows it down but stops short of the clamp at 0.
    for (float sensitivity : {0.0f, 1.0f}) {
        for (float amplitude : {0.3f, 3.0f, 1e6f}) {
            CompressorRig rig(sensitivity);
            const float rest = rig.section().getI();
            const std::vector<float> loud = test::sine(44100 / 2, amplitude, 200.0);
            float lowest = rest;
            for (std::size_t at = 0; at + 4 <= loud.size(); at += 4) {
                rig.play(std::vector<float>(loud.begin() + at, loud.begin() + at + 4), 4);
                ASSERT_GE(rig.section().getI(), 0.0f)
                    << sensitivity << ", " << amplitude << " at " << at;
                lowest = std::fmin(lowest, rig.section().getI());
            }
            EXPECT_LT(lowest, 0.5f * rest) << "the loop compressed";
        }
    }
}

TEST(Dynacomp, TheOutputFilterCornerIs50HzAtEveryRate)
{
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        CompressorRig rig(0.0f, 44100.0f);
        rig.environment.rate = rate;
        rig.element.update();
        for (float volume : {0.25f, 1.0f}) {
            rig.element.setParameter("Volume_FilterOut", volume);
            const auto& k = rig.element.getFilterOut().getCoefficients();
            auto gain = [&](double hertz) {
                const std::complex<double> z1 = std::polar(1.0, -kTwoPi * hertz / rate);
                return std::abs((double(k.b0) + double(k.b1) * z1) / (1.0 + double(k.a1) * z1));
            };
            EXPECT_NEAR(gain(50.0) / volume, 1.0 / std::sqrt(2.0), 2e-5) << rate;
            EXPECT_NEAR(gain(rate / 2.0) / volume, 1.0, 1e-5) << rate;
            EXPECT_EQ(gain(0.0), 0.0) << rate;
        }
    }
}

TEST(Dynacomp, A40DbRiseComesOutSmallerAndMoreSoAtFullSensitivity)
{
    double rise[2];
    for (int s = 0; s < 2; ++s) {
        const double quiet = steadyLevelDb(float(s), 0.01f);
        const double loud = steadyLevelDb(float(s), 1.0f);
        rise[s] = loud - quiet;
        EXPECT_LT(rise[s], 40.0) << "sensitivity " << s;
        EXPECT_GT(rise[s], 0.0) << "sensitivity " << s;
    }
    EXPECT_LT(rise[1], rise[0]);
}

TEST(Dynacomp, RateChangesRebuildTheStagesAndKeepTheControlNode)
{
    CompressorRig rig(1.0f);
    rig.play(test::sine(64 * 50, 0.3f, 200.0));
    const float v = rig.section().getV();
    const float i = rig.section().getI();
    rig.environment.rate = 96000.0f;
    rig.element.update();
    EXPECT_EQ(rig.section().getV(), v);
    EXPECT_EQ(rig.section().getI(), i);
    const Stage fresh(96000.0f, 2.142f);
    EXPECT_EQ(rig.section().getFirstStage().getF0(), fresh.getF0());
    EXPECT_EQ(rig.section().getFirstStage().getF1(), fresh.getF1());
    EXPECT_EQ(rig.section().getFirstStage().getState(), 2.142f);
}

// The device splines and the sheared junction curve are built once and
// shared read-only: two compressors read the same tables (both stages of
// each the one sheared curve of their rate, another rate its own), and a
// compressor made after both are gone plays exactly what they played.
TEST(Dynacomp, CompressorsShareTheirTablesAndALaterOnePlaysTheSame)
{
    const std::vector<float> input = test::noise(64 * 80, 11, 0.5f);
    std::vector<float> first;
    {
        auto a = std::make_unique<CompressorRig>(0.7f);
        auto b = std::make_unique<CompressorRig>(0.7f);
        EXPECT_EQ(&a->section().getFirstStage().getSpline(),
                  &b->section().getFirstStage().getSpline());
        EXPECT_EQ(&a->section().getFirstStage().getSpline(),
                  &a->section().getSecondStage().getSpline());
        EXPECT_EQ(&a->section().getSecondStage().getSpline(),
                  &b->section().getSecondStage().getSpline());
        CompressorRig other(0.7f, 96000.0f);
        EXPECT_NE(&other.section().getFirstStage().getSpline(),
                  &a->section().getFirstStage().getSpline());
        first = a->play(input);
        EXPECT_EQ(b->play(input), first);
    }
    CompressorRig later(0.7f);
    EXPECT_EQ(later.play(input), first);
}

TEST(Dynacomp, WildInputsRunCleanAndAResetForgetsThem)
{
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> music = test::sine(64 * 60, 0.2f, 200.0);
    for (float sensitivity : {0.0f, 1.0f}) {
        for (float wild :
             {100.0f, -100.0f, 1e6f, inf, -inf, std::numeric_limits<float>::quiet_NaN()}) {
            CompressorRig burst(sensitivity), twin(sensitivity);
            std::vector<float> loud(64 * 20, wild);
            for (std::size_t i = 0; i < loud.size(); i += 2)
                loud[i] = 0.5f; // wild samples among ordinary ones
            for (float y : burst.play(loud))
                ASSERT_FALSE(std::isnan(y)) << wild;
            EXPECT_TRUE(std::isfinite(burst.section().getV())) << wild;
            twin.play(std::vector<float>(loud.size(), 0.0f));
            burst.element.reset();
            twin.element.reset();
            const std::vector<float> a = burst.play(music);
            const std::vector<float> b = twin.play(music);
            for (std::size_t i = 0; i < a.size(); ++i)
                ASSERT_EQ(a[i], b[i]) << wild << " at " << i;
        }
    }
}

TEST(Dynacomp, InASlotItsKnobsJoinTheUnionAndReachTheModel)
{
    stomps::ChainRig rig;
    EXPECT_NO_THROW(rig.value("Sensitivity_Compressor_4_StompModule"));
    EXPECT_NO_THROW(rig.value("Volume_FilterOut_4_StompModule"));
    rig.set("Stomp_4_StompModule", 1.0f); // "Compressor"
    rig.set("Sensitivity_Compressor_4_StompModule", 1.0f);
    rig.set("Volume_FilterOut_4_StompModule", 0.75f);
    auto& model = rig.model<Element>(4);
    EXPECT_EQ(model.getCompSection().getParameter("Sensitivity").getValue(), 1.0f);
    EXPECT_EQ(model.getCompSection().resistance(), 27000.0f);
    EXPECT_EQ(model.getFilterOut().getParameter("Volume").getValue(), 0.75f);
    for (float y : rig.run(64 * 4, 0.0f))
        EXPECT_LE(std::fabs(y), 1e-6f);
    const std::vector<float> y = rig.run(test::sine(64 * 100, 0.2f, 200.0));
    EXPECT_GT(rms(y, y.size() / 2), 0.01);
}

// ---------------------------------------------------------------------------
// The phrase-onset envelope against the circuit solved apart from the model.
//
// The control node V holds the gain (the pair's current I = (V - 1.2)/R). Its
// equation, from the component values:
//   dV/dt = Gs (9 - V) + Ge (1.2 - V) - V / (Rp Cc),
//   Gs = 1 / (Cc 150 k), Ge = 1 / (R Cc 300), Cc = 10 uF,
// Rp the two junctions' on-resistances in parallel. Release: in silence the
// junctions block (Rp about 3.7e11 ohms, a leak of 3e-7 per second) and V
// returns to its rest value with tau = 1 / (Gs + Ge): 1.4986 s at Sensitivity
// 0 (R = 527 k), 1.4727 s at 1 (R = 27 k). Attack: on a note the junctions'
// coupling capacitors (10 nF through 1 M, 10 ms) let each junction conduct
// on the swings; the clamp keeps the junction voltage near 0.6 .. 0.8 V,
// where Rp Cc is milliseconds to seconds, so V falls over tens of
// milliseconds (90 % of the way in about 85 ms on a 55 Hz note at 0.5): a
// note after a long rest comes out at the full resting gain first, then
// settles 13.5 dB lower (36.5 dB at full Sensitivity).
namespace onset {

constexpr double kCc = 1e-5;
constexpr double kSupply = 9.0;
constexpr double kEmitter = 1.2;
constexpr double kFeed = 150000.0;
constexpr double kBeta = 300.0;
constexpr double kJunctionR = 1e6;
constexpr double kJunctionC = 1e-8;

double controlResistance(double sensitivity)
{
    return (1.0 - sensitivity) * 500000.0 + 27000.0;
}
double releaseSeconds(double sensitivity)
{
    const double gs = 1.0 / (kCc * kFeed);
    const double ge = 1.0 / (controlResistance(sensitivity) * kCc * kBeta);
    return 1.0 / (gs + ge);
}
// Where V rests: the supply feed against the emitter path.
double restV(double sensitivity)
{
    const double r = controlResistance(sensitivity);
    return (r * kBeta * kSupply + kFeed * kEmitter) / (r * kBeta + kFeed);
}

// The loop integrated by backward Euler in kSub steps per sample, with the
// smooth device laws the model's tables were sampled from (no spline, no
// sheared junction curve, no trapezoid): an independent solution of the
// same circuit.
class ReferenceLoop {
public:
    static constexpr int kSub = 8;

    ReferenceLoop(double sensitivity, double rate)
        : laws_(dynacomp_tables::calibrate()), r_(controlResistance(sensitivity)), rate_(rate),
          v_(restV(sensitivity)), i_((kSupply - kEmitter) / (r_ + kFeed))
    {
    }

    // One input sample; returns the output transistor's voltage.
    double step(double x)
    {
        const double w = -std::tanh(-0.1 / (2.0 * 0.026) * x) * i_;
        const double r1 = laws_.neg(w), r2 = laws_.pos(w);
        const double h = 1.0 / (rate_ * kSub);
        const double gs = 1.0 / (kCc * kFeed), ge = 1.0 / (r_ * kCc * kBeta);
        for (int k = 1; k <= kSub; ++k) {
            const double a = static_cast<double>(k) / kSub;
            const double k1 = second_.step(u1_ + a * (r1 - u1_), h, laws_.kMethod);
            const double k2 = first_.step(u2_ + a * (r2 - u2_), h, laws_.kMethod);
            const double g1 = laws_.rOn(k1), g2 = laws_.rOn(k2);
            const double rp = g1 * g2 / (g1 + g2);
            v_ = (v_ + h * (kSupply * gs + kEmitter * ge)) /
                 (1.0 + h * (gs + ge + 1.0 / (rp * kCc)));
        }
        u1_ = r1;
        u2_ = r2;
        i_ = std::max(0.0, (v_ - kEmitter) / r_);
        return r2;
    }
    double v() const { return v_; }

private:
    // C ds/dt = (u - s)/R + i(u - s), solved for v = u - s each step.
    struct Junction {
        double s;
        double step(double u, double h, const dynacomp_tables::KMethodLaw& law)
        {
            const double g = h / kJunctionC;
            auto f = [&](double v) { return u - v - s - g * (v / kJunctionR + law(v)); };
            double lo = -3.0, hi = 3.0; // f falls with v: f(lo) > 0 > f(hi)
            double v = std::clamp(u - s, lo, hi);
            for (int n = 0; n < 60 && hi - lo > 1e-13; ++n) {
                const double fv = f(v);
                (fv > 0.0 ? lo : hi) = v;
                const double dv = 1e-7;
                const double slope = (f(v + dv) - fv) / dv;
                const double next = v - fv / slope;
                v = next > lo && next < hi ? next : 0.5 * (lo + hi);
            }
            s = u - v;
            return v;
        }
    };

    dynacomp_tables::Laws laws_;
    double r_, rate_, v_, i_;
    Junction second_{6.864}, first_{2.142};
    double u1_ = 6.864, u2_ = 2.142;
};

} // namespace onset

// A 55 Hz note at 0.5 after rest, for half a second, then silence. V rides on
// the note's peaks with a ripple whose phase the two solutions place a little
// apart, so V is compared as its mean over one period of the note (after the
// first 5 ms, which are compared sample by sample). The attack is the time the
// mean takes to cover 90 % of its fall over the note.
TEST(DynacompOnset, TheControlNodeFollowsTheCircuitThroughANoteAndItsRelease)
{
    constexpr double kRate = 44100.0;
    const auto period = static_cast<std::size_t>(kRate / 55.0);
    const auto at = [&](double seconds) { return static_cast<std::size_t>(seconds * kRate); };
    struct Case {
        float sensitivity;
        double attackMs; // the reference's, rounded; the module's must match it
    } cases[] = {{0.0f, 83.2}, {1.0f, 66.6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sensitivity);
        CompressorRig rig(c.sensitivity);
        onset::ReferenceLoop reference(c.sensitivity, kRate);
        const double rest = rig.section().getV();
        EXPECT_NEAR(rest, onset::restV(c.sensitivity), 1e-5);

        const std::vector<float> note = test::sine(at(0.5), 0.5f, 55.0);
        std::vector<double> ours, theirs;
        for (float x : note) {
            rig.play({x}, 1); // one sample a piece, so V is read at every sample
            reference.step(x);
            ours.push_back(rig.section().getV());
            theirs.push_back(reference.v());
        }
        const auto mean = [&](const std::vector<double>& v, std::size_t end) {
            double sum = 0.0;
            for (std::size_t k = end - period; k < end; ++k)
                sum += v[k];
            return sum / static_cast<double>(period);
        };
        const double settled = mean(theirs, note.size());
        const double drop = rest - settled;
        ASSERT_GT(drop, 4.0) << "the note compresses";
        for (std::size_t n = 0; n < at(0.005); ++n)
            ASSERT_NEAR(ours[n], theirs[n], 0.01 * drop) << n;
        double worst = 0.0;
        std::size_t attack[2] = {0, 0};
        for (std::size_t n = period; n <= note.size(); ++n) {
            const double a = mean(ours, n), b = mean(theirs, n);
            worst = std::max(worst, std::fabs(a - b));
            for (int k = 0; k < 2; ++k)
                if (attack[k] == 0 && (k == 0 ? a : b) <= rest - 0.9 * drop)
                    attack[k] = n;
        }
        EXPECT_LT(worst, 0.05 * drop);
        const double attackMs[2] = {1000.0 * attack[0] / kRate, 1000.0 * attack[1] / kRate};
        EXPECT_NEAR(attackMs[0], attackMs[1], 0.1 * attackMs[1]);
        EXPECT_NEAR(attackMs[1], c.attackMs, 0.05 * c.attackMs);
        std::printf("sensitivity %.0f: rest %.4f V, settled %.4f V (%.1f dB of gain), attack "
                    "%.1f ms (reference %.1f ms)\n",
                    c.sensitivity, rest, settled,
                    20.0 * std::log10((settled - onset::kEmitter) / (rest - onset::kEmitter)),
                    attackMs[0], attackMs[1]);

        // The release: V climbs back with tau = 1 / (Gs + Ge).
        const std::vector<float> silence(at(0.5), 0.0f);
        rig.play(silence);
        const double early = rig.section().getV();
        rig.play(silence);
        rig.play(silence);
        const double late = rig.section().getV();
        const double target = onset::restV(c.sensitivity);
        const double tau = 1.0 / std::log((target - early) / (target - late));
        EXPECT_NEAR(tau, onset::releaseSeconds(c.sensitivity),
                    0.01 * onset::releaseSeconds(c.sensitivity));
        std::printf("sensitivity %.0f: release tau %.4f s (from the components %.4f s)\n",
                    c.sensitivity, tau, onset::releaseSeconds(c.sensitivity));
    }
}
