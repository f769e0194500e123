#include "StompRig.h"

#include "models/stomps/Octaver.h"
#include "models/stomps/StompSet.h"
#include "tests/support/ElementRig.h"

#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using namespace AudioEngine::BorvanQom::OctaverTraitsDetails;
using AudioEngine::BorvanQom::Application::StompElement;
using Model = Octaver<OctaverTraits>;
using Element = StompElement<Model>;

namespace {

constexpr double kTwoPi = 6.283185307179586;

// One octaver as a stomp element in 64-sample pieces.
struct OctaverRig : rig::ElementRig<Element> {
    using ElementRig::ElementRig;

    Module& sub(const std::string& name) { return element.getSubModule(name); }
    const float* out(const std::string& module, const std::string& port = "Out")
    {
        return sub(module).getOutput(port).getBuffer();
    }

    // Plays the signal piece by piece; `watch` sees each piece after it ran.
    template <class Watch> void play(const std::vector<float>& x, Watch watch)
    {
        for (std::size_t at = 0; at + 64 <= x.size(); at += 64) {
            std::copy(x.begin() + at, x.begin() + at + 64, feed.data());
            element.process();
            watch(at);
        }
    }
    std::vector<float> play(const std::vector<float>& x, const std::string& module = "",
                            const std::string& port = "Out")
    {
        std::vector<float> y(x.size());
        play(x, [&](std::size_t at) {
            const float* p =
                module.empty() ? element.getOutput("Out").getBuffer() : out(module, port);
            std::copy(p, p + 64, y.begin() + at);
        });
        return y;
    }
};

// Magnitude of one frequency in a stretch of samples (a single DFT bin).
double amplitudeAt(const std::vector<float>& y, std::size_t from, std::size_t to, double hertz,
                   float rate = 44100.0f)
{
    std::complex<double> sum;
    for (std::size_t i = from; i < to; ++i)
        sum += double(y[i]) * std::polar(1.0, -kTwoPi * hertz * double(i) / rate);
    return 2.0 * std::abs(sum) / double(to - from);
}

// Rising crossings of zero in a stretch.
int risingSteps(const std::vector<float>& y, std::size_t from, std::size_t to)
{
    int count = 0;
    for (std::size_t i = from + 1; i < to; ++i)
        count += y[i - 1] < 0.0f && y[i] >= 0.0f;
    return count;
}

// H(e^jw) of installed coefficients at f hertz.
template <class Z> std::complex<double> response(const Z& k, double hertz, double rate)
{
    const std::complex<double> z1 = std::polar(1.0, -kTwoPi * hertz / rate);
    if constexpr (requires { k.b2; })
        return (double(k.b0) + double(k.b1) * z1 + double(k.b2) * z1 * z1) /
               (1.0 + double(k.a1) * z1 + double(k.a2) * z1 * z1);
    else
        return (double(k.b0) + double(k.b1) * z1) / (1.0 + double(k.a1) * z1);
}

// H(jw) of an analogue prototype at f hertz.
template <class S> std::complex<double> analog(const S& p, double hertz)
{
    const std::complex<double> s(0.0, kTwoPi * hertz);
    if constexpr (requires { p.B2; })
        return (double(p.B0) + double(p.B1) * s + double(p.B2) * s * s) /
               (double(p.A0) + double(p.A1) * s + double(p.A2) * s * s);
    else
        return (double(p.B0) + double(p.B1) * s) / (double(p.A0) + double(p.A1) * s);
}

// The real roots, in hertz, of c0 + c1 s + c2 s^2 (c2 may be 0).
std::vector<double> rootsHz(double c0, double c1, double c2)
{
    if (c2 == 0.0)
        return {c0 / c1 / kTwoPi};
    const double d = std::sqrt(c1 * c1 - 4.0 * c0 * c2);
    return {(c1 - d) / (2.0 * c2) / kTwoPi, (c1 + d) / (2.0 * c2) / kTwoPi};
}

} // namespace

TEST(Octaver, IsTheSixteenStageGraphWithItsTwoLevels)
{
    OctaverRig rig;
    std::vector<std::string> names;
    for (const auto& entry : rig.element.getSubModules())
        names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Level", "FilterOpAmp", "FilterPreLP", "FilterRectPre", "FilterRef",
                         "EnvPos", "EnvNeg", "CompSet", "CompReset", "Latch", "Divider", "Ring",
                         "OctaveLP1", "OctaveLP2", "OctaveLevel", "MixerOut"}));
    std::set<std::string> exposed;
    for (const auto& [name, parameter] : rig.element.getParameters())
        exposed.insert(name);
    EXPECT_EQ(exposed, (std::set<std::string>{"Level", "OctaveLevel", "Process"}));
    for (const char* level : {"Level", "OctaveLevel"}) {
        const ParameterBase& p = rig.element.getParameter(level);
        EXPECT_EQ(p.getMinimum(), 0.0f);
        EXPECT_EQ(p.getMaximum(), 1.0f);
        EXPECT_EQ(p.getDefault(), 0.0f);
    }
    EXPECT_EQ(rig.element.getInfo().type, "Octaver");
    EXPECT_EQ(rig.sub("EnvPos").getParameter("Attack").getDefault(), 0.1f);
    EXPECT_EQ(rig.sub("EnvNeg").getParameter("Release").getDefault(), 1.0f);
    EXPECT_EQ(rig.sub("EnvNeg").getParameter("Release").getMaximum(), 10.0f);
}

TEST(Octaver, LevelOnePassesTheInputExactlyAndTheDefaultsAreSilent)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    std::vector<float> x(64 * 40);
    for (float& v : x)
        v = uniform(random);

    OctaverRig quiet;
    for (float y : quiet.play(x))
        ASSERT_EQ(y, 0.0f);

    OctaverRig dry;
    dry.element.setParameter("Level", 1.0f);
    const std::vector<float> y = dry.play(x);
    for (std::size_t i = 0; i < x.size(); ++i)
        ASSERT_EQ(y[i], x[i]) << i;
}

TEST(Octaver, SilenceRestsTheSquaringCircuitAndTheOctavePath)
{
    OctaverRig rig;
    rig.element.setParameter("OctaveLevel", 1.0f);
    const std::vector<float> silence(64 * 4, 0.0f);
    bool first = true;
    rig.play(silence, [&](std::size_t) {
        for (int i = 0; i < 64; ++i) {
            ASSERT_EQ(rig.out("CompSet")[i], 0.0f);
            ASSERT_EQ(rig.out("CompReset")[i], 0.0f);
            ASSERT_EQ(rig.out("Latch", "OutQ")[i], -1.0f);
            ASSERT_EQ(rig.out("Latch", "OutNotQ")[i], 1.0f);
            ASSERT_EQ(rig.out("Divider")[i], 1.0f) << "the first +1 after rest is a rising step";
            ASSERT_EQ(rig.out("OctaveLP2")[i], 0.0f);
            ASSERT_EQ(rig.element.getOutput("Out").getBuffer()[i], 0.0f);
        }
        first = false;
    });
    EXPECT_FALSE(first);
}

TEST(Octaver, An82HzToneSquaresAtItsPitchAndDividesToAnOctaveBelow)
{
    OctaverRig rig;
    rig.element.setParameter("OctaveLevel", 1.0f);
    const std::size_t n = 64 * 1378; // two seconds, whole pieces
    const std::vector<float> x = test::sine(n, 0.25f, 82.0);
    std::vector<float> square(n), divided(n), octave(n);
    rig.play(x, [&](std::size_t at) {
        std::copy_n(rig.out("Latch", "OutNotQ"), 64, square.begin() + at);
        std::copy_n(rig.out("Divider"), 64, divided.begin() + at);
        std::copy_n(rig.out("OctaveLP2"), 64, octave.begin() + at);
    });
    // The second second, once the filters and followers have settled.
    const std::size_t from = 44100, to = n;
    for (std::size_t i = from; i < to; ++i) {
        ASSERT_EQ(std::fabs(square[i]), 1.0f) << i;
        ASSERT_EQ(std::fabs(divided[i]), 1.0f) << i;
    }
    EXPECT_NEAR(risingSteps(square, from, to), 82, 1);
    EXPECT_NEAR(risingSteps(divided, from, to), 41, 1);
    EXPECT_GT(amplitudeAt(square, from, to, 82.0), 1.0) << "a +-1 square's fundamental is 4/pi";
    EXPECT_GT(amplitudeAt(divided, from, to, 41.0), 1.0);

    // The octave path: a clear 41 Hz line, well above its neighbours.
    const double sub = amplitudeAt(octave, from, to, 41.0);
    EXPECT_GT(sub, 0.05);
    for (double other : {30.0, 35.0, 47.0, 55.0})
        EXPECT_GT(sub, 10.0 * amplitudeAt(octave, from, to, other)) << other;
}

TEST(Octaver, FilterDesignsHitTheirCircuitValues)
{
    const float rate = 44100.0f;
    const auto preLP = FilterPreLP::prototype(rate);
    EXPECT_NEAR(std::abs(analog(preLP, std::sqrt(20.0 * 40.0))), 12.086, 5e-4);
    for (double f : {25.0, 27.0, 29.5, 32.0})
        EXPECT_LT(std::abs(analog(preLP, f)), std::abs(analog(preLP, 28.284))) << f;

    const auto rect = FilterRectPre::prototype(rate);
    const auto poles = rootsHz(rect.A0, rect.A1, rect.A2);
    EXPECT_NEAR(poles[0], 118.5, 0.1);
    EXPECT_NEAR(poles[1], 19430.0, 5.0);
    EXPECT_NEAR(rootsHz(rect.B0, rect.B1, rect.B2)[0], 234.1, 0.1);
    const auto ref = FilterRef::prototype(rate);
    EXPECT_NEAR(rootsHz(ref.B0, ref.B1, ref.B2)[0], 157.6, 0.1);
    EXPECT_EQ(rootsHz(ref.A0, ref.A1, ref.A2), poles);

    const auto lp1 = FilterOctaveLP1::prototype(rate);
    EXPECT_NEAR(1.0 / (kTwoPi * std::sqrt(double(lp1.A2))), 125.93, 0.01);
    EXPECT_NEAR(std::sqrt(double(lp1.A2)) / lp1.A1, 1.915, 5e-4);
    EXPECT_EQ(lp1.B0, 1.0f);

    const auto opAmp = FilterOpAmp::prototype(rate);
    EXPECT_NEAR(std::abs(analog(opAmp, 20000.0)), 2.0, 1e-4);
    EXPECT_EQ(opAmp.B0, 0.0f);
    EXPECT_EQ(opAmp.B1, 0.0f);
    const auto opPoles = rootsHz(opAmp.A0, opAmp.A1, opAmp.A2);
    EXPECT_NEAR(opPoles[0], 5.0, 1e-4);
    EXPECT_NEAR(opPoles[1], 30.0, 1e-4);
}

TEST(Octaver, PrewarpedCornersAreExactAtEveryRateAndTheOthersFollowTheRate)
{
    const float gain = std::pow(10.0f, -0.6f);
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        // Built at 44100 Hz, then moved to the rate as the host does: update.
        OctaverRig rig;
        rig.environment.rate = rate;
        rig.element.update();
        auto& lp2 = dynamic_cast<FilterOctaveLP2&>(rig.sub("OctaveLP2"));
        const auto& lp2k = lp2.getCoefficients();
        // Exact up to the float coefficients: a pole near z = 1 magnifies their rounding.
        const double tolerance = 5e-5;
        EXPECT_NEAR(std::abs(response(lp2k, 0.0, rate)) / gain, 1.0, tolerance) << rate;
        EXPECT_NEAR(std::abs(response(lp2k, 72.38, rate)) / gain, 1.0 / std::sqrt(2.0), tolerance)
            << rate;

        auto& follower = rig.element.getEnvPos();
        EXPECT_NEAR(std::abs(response(follower.getAttackFilter().getCoefficients(), 159.23, rate)),
                    1.0 / std::sqrt(2.0), tolerance)
            << rate;
        EXPECT_NEAR(std::abs(response(follower.getReleaseFilter().getCoefficients(), 14.475, rate)),
                    1.0 / std::sqrt(2.0), tolerance)
            << rate;

        // Every filter holds the plain transform of its prototype at the new rate.
        auto expectDesign = [&](const char* name, auto* filter, auto prototype) {
            ASSERT_NE(filter, nullptr) << name;
            using Filter = std::remove_pointer_t<decltype(filter)>;
            const auto want = typename Filter::Bilinear(prototype).transform(rate);
            const auto& got = filter->getCoefficients();
            EXPECT_EQ(got.b0, want.b0) << name << " at " << rate;
            EXPECT_EQ(got.a1, want.a1) << name << " at " << rate;
        };
        expectDesign("FilterOpAmp", dynamic_cast<FilterOpAmp*>(&rig.sub("FilterOpAmp")),
                     FilterOpAmp::prototype(rate));
        expectDesign("FilterPreLP", dynamic_cast<FilterPreLP*>(&rig.sub("FilterPreLP")),
                     FilterPreLP::prototype(rate));
        expectDesign("FilterRectPre", dynamic_cast<FilterRectPre*>(&rig.sub("FilterRectPre")),
                     FilterRectPre::prototype(rate));
        expectDesign("FilterRef", dynamic_cast<FilterRef*>(&rig.sub("FilterRef")),
                     FilterRef::prototype(rate));
        expectDesign("OctaveLP1", dynamic_cast<FilterOctaveLP1*>(&rig.sub("OctaveLP1")),
                     FilterOctaveLP1::prototype(rate));
        expectDesign("OctaveLP2", &lp2, FilterOctaveLP2::prototype(rate));
        expectDesign("FilterRelease", &rig.element.getEnvNeg().getReleaseFilter(),
                     EnvelopeReleaseFilter::prototype(rate));

        // The knobs of the followers are carried, not designed with.
        const auto before = follower.getAttackFilter().getCoefficients();
        rig.sub("EnvPos").setParameter("Attack", 0.9f);
        rig.sub("EnvPos").setParameter("Release", 7.0f);
        EXPECT_EQ(follower.getAttackFilter().getCoefficients().b0, before.b0);
        EXPECT_EQ(follower.getAttackFilter().getCoefficients().a1, before.a1);
        EXPECT_EQ(rig.sub("EnvPos").getParameter("Attack").getValue(), 0.9f);
    }
    // The unwarped corner of the Sallen-Key stage moves with the rate.
    OctaverRig at44(44100.0f), at96(96000.0f);
    const auto k44 = dynamic_cast<FilterOctaveLP1&>(at44.sub("OctaveLP1")).getCoefficients();
    const auto k96 = dynamic_cast<FilterOctaveLP1&>(at96.sub("OctaveLP1")).getCoefficients();
    EXPECT_NE(std::abs(response(k44, 2000.0, 44100.0)), std::abs(response(k96, 2000.0, 96000.0)));
}

TEST(Octaver, PrepareRestsTheLogicAndKeepsFiltersResetClearsOnlyFilters)
{
    OctaverRig rig;
    rig.element.setParameter("OctaveLevel", 1.0f);
    rig.play(test::sine(64 * 300, 0.25f, 82.0));
    auto& lp2 = dynamic_cast<FilterOctaveLP2&>(rig.sub("OctaveLP2"));
    Model& model = rig.element;

    const float envelope = model.getEnvPos().getEnvelope();
    const auto filterState = lp2.getState();
    ASSERT_NE(envelope, 0.0f);
    ASSERT_NE(filterState.y1, 0.0f);
    const float divided = model.getDivider().getOutputState();

    rig.element.reset();
    EXPECT_EQ(lp2.getState().y1, 0.0f);
    EXPECT_EQ(lp2.getState().x1, 0.0f);
    EXPECT_EQ(model.getEnvPos().getFilterState().y1, 0.0f);
    EXPECT_EQ(model.getEnvPos().getEnvelope(), envelope) << "the envelope stays";
    EXPECT_EQ(model.getDivider().getOutputState(), divided);

    rig.play(test::sine(64 * 10, 0.25f, 82.0));
    const auto running = lp2.getState();
    rig.element.prepare();
    EXPECT_EQ(lp2.getState().y1, running.y1) << "prepare keeps the filter states";
    EXPECT_EQ(model.getEnvPos().getEnvelope(), 0.0f);
    EXPECT_EQ(model.getEnvNeg().getEnvelope(), 0.0f);
    EXPECT_EQ(model.getLatch().getQ(), -1.0f);
    EXPECT_EQ(model.getLatch().getNotQ(), 1.0f);
    EXPECT_EQ(model.getDivider().getOutputState(), 0.0f);
    EXPECT_EQ(model.getDivider().getPrevious(), 0.0f);
}

TEST(Octaver, WildInputsStayContainedAndAResetRecovers)
{
    const float inf = std::numeric_limits<float>::infinity();
    for (float wild : {100.0f, -100.0f, 1e6f, inf, -inf, std::numeric_limits<float>::quiet_NaN()}) {
        OctaverRig rig;
        rig.element.setParameter("Level", 0.5f);
        rig.element.setParameter("OctaveLevel", 1.0f);
        std::vector<float> burst = test::sine(64 * 20, 0.25f, 82.0);
        for (std::size_t i = 300; i < 700; i += 3)
            burst[i] = wild;
        rig.play(burst);
        rig.element.reset();
        const std::vector<float> after = rig.play(test::sine(64 * 200, 0.25f, 82.0));
        for (float y : after)
            ASSERT_TRUE(std::isfinite(y)) << wild;
        // Within a few seconds everything is back to the size of the signal.
        EXPECT_LT(std::fabs(after.back()), 10.0f) << wild;
    }
}

TEST(Octaver, InASlotTheLevelsJoinTheUnionAndReachTheModel)
{
    stomps::ChainRig rig;
    EXPECT_NO_THROW(rig.value("Level_3_StompModule"));
    EXPECT_NO_THROW(rig.value("OctaveLevel_3_StompModule"));
    rig.set("Stomp_3_StompModule", 7.0f); // "Octaver"
    rig.set("Level_3_StompModule", 1.0f);
    rig.set("OctaveLevel_3_StompModule", 0.25f);
    auto& model = rig.model<Element>(3);
    EXPECT_EQ(model.getParameter("Level").getValue(), 1.0f);
    EXPECT_EQ(model.getSubModule("OctaveLevel").getParameter("Gain").getValue(), 0.25f);
    const std::vector<float> y = rig.run(64, 0.5f);
    EXPECT_NEAR(y[63], 0.5f, 0.5f) << "the dry path passes";
    rig.set("OctaveLevel_3_StompModule", 0.0f);
    rig.run(64, 0.5f);
    EXPECT_EQ(rig.run(64, 0.5f)[63], 0.5f);
}
