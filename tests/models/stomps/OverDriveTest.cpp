#include "FilterResponse.h"
#include "StompRig.h"

#include "models/stomps/OverDrive.h"
#include "models/stomps/StompSet.h"
#include "tests/support/ElementRig.h"
#include "tools/overdrive-curve/ClipperCurveFill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <set>

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using AudioEngine::BorvanQom::Application::StompElement;
using Model = OverDrive<OverDriveTraits>;
using Element = StompElement<Model>;
using OverDriveTraitsDetails::ClipperDetails::Clipper;
using OverDriveTraitsDetails::ClipperDetails::ClipperCurveTable;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// One overdrive as a stomp element at 44100 Hz in 64-sample pieces.
struct DriveRig : rig::ElementRig<Element> {
    std::vector<float> run(const std::vector<float>& x)
    {
        feed.set(x);
        element.process();
        return rig::samples(element.getOutput("Out"), 64);
    }
    std::vector<float> run(float level) { return run(std::vector<float>(64, level)); }
    // A 64-sample block of a sine continuing from the last one.
    std::vector<float> sine(float amplitude, float hertz)
    {
        std::vector<float> x(64);
        for (float& v : x)
            v = amplitude *
                std::sin(2.0f * std::numbers::pi_v<float> * hertz * float(played++) / 44100.0f);
        return x;
    }

    std::uint32_t played = 0;
};

} // namespace

TEST(Overdrive, IsPreFilterClipperHighPassAndMixerWithFourControls)
{
    DriveRig rig;
    const struct {
        const char* name;
        const char* type;
        std::uint32_t flags;
    } children[] = {{"PreFilter", "BiquadFilter", 0x52},
                    {"Clipper", "Function", 0x13},
                    {"HPF", "FilterZeroPole", 0x53},
                    {"Mixer", "LinearCombinator2", 0x193}};
    const auto& subModules = rig.element.getSubModules();
    ASSERT_EQ(subModules.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(subModules[i].name, children[i].name);
        EXPECT_EQ(subModules[i].module->getInfo().type, children[i].type);
        EXPECT_EQ(subModules[i].module->getInfo().flags, children[i].flags);
    }
    EXPECT_EQ(rig.element.getInfo().type, "OverDrive");

    std::set<std::string> exposed;
    for (const auto& [name, parameter] : rig.element.getParameters())
        exposed.insert(name);
    EXPECT_EQ(exposed, (std::set<std::string>{"A1", "A2", "Blend", "Process", "Texture"}));
    for (const char* name : {"A1", "A2", "Blend", "Texture"}) {
        ParameterBase& p = rig.element.getParameter(name);
        EXPECT_EQ(p.getMinimum(), 0.0f) << name;
        EXPECT_EQ(p.getMaximum(), 1.0f) << name;
        EXPECT_EQ(p.getDefault(), 0.5f) << name;
    }
    // The element's reset to defaults reaches the clipper's T and the weights.
    EXPECT_EQ(rig.element.getClipper().getTexture(), 0.5f);
    EXPECT_EQ(rig.element.getMixer().getParameter("A1").getValue(), 0.5f);
    EXPECT_EQ(rig.element.getMixer().getParameter("A2").getValue(), 0.5f);
    EXPECT_EQ(rig.element.getOutput("Out").getBuffer(),
              rig.element.getMixer().getOutput("Out").getBuffer());
}

TEST(Overdrive, TheCommittedCurveIsTheMonotoneFillThroughTheMeasuredPoints)
{
    const auto fill = overdrive_curve::fillClipperCurve();
    ASSERT_EQ(ClipperCurveTable::count, static_cast<std::int32_t>(fill.size()));
    for (std::size_t i = 0; i < fill.size(); ++i)
        ASSERT_EQ(ClipperCurveTable::samples[i], fill[i])
            << "sample " << i << ": regenerate the table";

    const struct {
        int index;
        float y;
    } rows[] = {{0, 0.0f},       {1, 0.00129218f}, {2, 0.0323449f}, {3, 0.131311f},
                {4, 0.256999f},  {5, 0.36725f},    {6, 0.426729f},  {8, 0.477651f},
                {10, 0.503024f}, {20, 0.556975f},  {30, 0.581535f}, {50, 0.609707f},
                {70, 0.627274f}, {100, 0.645502f}};
    for (const auto& row : rows)
        EXPECT_EQ(ClipperCurveTable::samples[row.index], row.y) << row.index;
    for (int i = 1; i < ClipperCurveTable::count; ++i)
        EXPECT_GT(ClipperCurveTable::samples[i], ClipperCurveTable::samples[i - 1]) << i;

    // The clamped spline undershoots once, between the first two knots.
    const Clipper clipper;
    float lowest = 0.0f, at = 0.0f;
    for (int j = 0; j <= 2000; ++j) {
        const float x = 0.02f * float(j) / 2000.0f;
        if (const float y = clipper(x); y < lowest) {
            lowest = y;
            at = x;
        }
    }
    EXPECT_NEAR(lowest, -0.000345f, 2e-6f);
    EXPECT_NEAR(at, 0.005f, 5e-4f);
    EXPECT_EQ(clipper.getStartSlope(), 0.0f);
    EXPECT_EQ(clipper.getEndSlope(), 0.0518f);
}

TEST(Overdrive, TheClipperRectifiesByTextureThroughTheCurve)
{
    Clipper clipper;
    // Knots are met (to the rounding of the spline's float coefficients, a few
    // 1e-9); beyond 1.0 the curve goes on with slope 0.0518.
    EXPECT_NEAR(clipper(0.01f), 0.00129218f, 1e-8f);
    EXPECT_NEAR(clipper(0.05f), 0.36725f, 1e-8f);
    EXPECT_NEAR(clipper(2.0f), 0.697302f, 1e-6f);
    EXPECT_EQ(clipper(0.0f), 0.0f);

    const float inputs[] = {0.003f, 0.02f, 0.047f, 0.3f, 0.99f, 1.7f};
    clipper.setTexture(0.0f); // half-wave: the negative half gives C(0) = 0
    for (float x : inputs)
        EXPECT_EQ(clipper(-x), 0.0f) << x;
    clipper.setTexture(1.0f); // full-wave
    for (float x : inputs)
        EXPECT_EQ(clipper(-x), clipper(x)) << x;
    clipper.setTexture(0.5f); // the negative half at half size
    for (float x : inputs)
        EXPECT_EQ(clipper(-x), clipper(0.5f * x)) << x;
    EXPECT_TRUE(std::isnan(clipper(kNaN))) << "NaN takes the positive way, unfolded";

    // As a stage: T takes a finite value unclamped, the parameter shows it
    // clamped; NaN and infinities change neither.
    DriveRig rig;
    const struct {
        float sent, texture, shown;
    } cases[] = {{2.0f, 2.0f, 1.0f},   {-1.0f, -1.0f, 0.0f}, {0.25f, 0.25f, 0.25f},
                 {kNaN, 0.25f, 0.25f}, {kInf, 0.25f, 1.0f},  {-kInf, 0.25f, 0.0f}};
    for (const auto& c : cases) {
        rig.element.setParameter("Texture", c.sent);
        EXPECT_EQ(rig.element.getClipper().getTexture(), c.texture) << c.sent;
        EXPECT_EQ(rig.element.getParameter("Texture").getValue(), c.shown) << c.sent;
    }
}

TEST(Overdrive, BlendSetsTheDryAndWetWeights)
{
    DriveRig rig;
    const struct {
        float blend, a1, a2;
    } cases[] = {{0.0f, 1.0f, 0.0f},
                 {0.3f, 0.7f, 0.3f},
                 {1.0f, 0.0f, 1.0f},
                 {1.5f, 0.0f, 1.0f},
                 {kNaN, 0.0f, 1.0f}};
    for (const auto& c : cases) {
        rig.element.setParameter("Blend", c.blend);
        EXPECT_FLOAT_EQ(rig.element.getParameter("A1").getValue(), c.a1) << c.blend;
        EXPECT_FLOAT_EQ(rig.element.getParameter("A2").getValue(), c.a2) << c.blend;
    }
    rig.element.setParameter("A1", 0.2f); // a weight alone moves only itself
    EXPECT_EQ(rig.element.getParameter("A2").getValue(), 1.0f);

    // "Blend" 0 is a wire, sample for sample.
    rig.element.setParameter("Blend", 0.0f);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> level(-1.5f, 1.5f);
    for (int block = 0; block < 20; ++block) {
        std::vector<float> x(64);
        for (float& v : x)
            v = level(random);
        ASSERT_EQ(rig.run(x), x) << block;
    }
}

TEST(Overdrive, TheWetPathRectifiesAndLosesItsDC)
{
    DriveRig rig;
    rig.element.setParameter("Blend", 1.0f);
    rig.element.setParameter("Texture", 0.0f);
    const Port& pre = rig.element.getPreFilter().getOutput("Out");
    const Port& clip = rig.element.getClipper().getOutput("Out");
    for (int block = 0; block < 200; ++block) {
        rig.run(rig.sine(0.5f, 220.0f));
        for (int i = 0; i < 64; ++i) {
            if (pre.getBuffer()[i] < 0.0f) {
                ASSERT_EQ(clip.getBuffer()[i], 0.0f) << "only positive half-waves pass";
            }
            ASSERT_GE(clip.getBuffer()[i], -0.000346f);
        }
    }
    // The rectified wave's DC is gone after the high-pass: a second's mean is ~0.
    double sum = 0.0, peak = 0.0;
    for (int block = 0; block < 689; ++block)
        for (float y : rig.run(rig.sine(0.5f, 220.0f))) {
            sum += y;
            peak = std::max(peak, double(std::fabs(y)));
        }
    EXPECT_GT(peak, 0.2);
    EXPECT_LT(std::fabs(sum / (689 * 64)), 1e-3 * peak);

    // Silence in, silence out.
    DriveRig quiet;
    for (int block = 0; block < 10; ++block)
        for (float y : quiet.run(0.0f))
            ASSERT_EQ(y, 0.0f);
    // A constant: the pre-filter blocks it, so the wet path decays to 0.
    quiet.element.setParameter("Blend", 1.0f);
    std::vector<float> y;
    for (int block = 0; block < 3 * 689; ++block)
        y = quiet.run(0.8f);
    for (float v : y)
        EXPECT_LT(std::fabs(v), 1e-6f);
}

TEST(Overdrive, FilterCornersAndWhatAPreparationKeeps)
{
    DriveRig rig;
    const double fs = 44100.0;
    const auto& pre = rig.element.getPreFilter().getCoefficients();
    const double centre = std::sqrt(100.0 * 11000.0); // 1048.8 Hz
    EXPECT_NEAR(centre, 1048.81, 5e-3);
    EXPECT_NEAR(stomps::biquadGain(pre, stomps::bilinearImage(centre, fs), fs), 1.0, 1e-5);
    EXPECT_NEAR(stomps::biquadGain(pre, stomps::bilinearImage(100.0, fs), fs), std::sqrt(0.5),
                0.02);
    const auto& hpf = rig.element.getHPF().getCoefficients();
    const double w = 2.0 * std::numbers::pi * stomps::bilinearImage(3.5, fs) / fs;
    const std::complex<double> z1 = std::polar(1.0, -w);
    EXPECT_NEAR(std::abs((double(hpf.b0) + double(hpf.b1) * z1) / (1.0 + double(hpf.a1) * z1)),
                std::sqrt(0.5), 1e-4)
        << "3 dB down at 3.5 Hz";

    for (int block = 0; block < 50; ++block)
        rig.run(rig.sine(0.7f, 300.0f));
    const auto preState = rig.element.getPreFilter().getState();
    ASSERT_NE(rig.element.getHPF().getState().y1, 0.0f);
    ASSERT_NE(preState.y1, 0.0f);
    rig.element.getPreFilter().prepare();
    rig.element.getHPF().prepare();
    EXPECT_EQ(rig.element.getPreFilter().getState().y1, preState.y1);
    EXPECT_EQ(rig.element.getPreFilter().getState().x2, preState.x2);
    EXPECT_EQ(rig.element.getHPF().getState().x1, 0.0f);
    EXPECT_EQ(rig.element.getHPF().getState().y1, 0.0f);

    // A reset clears both.
    rig.run(rig.sine(0.7f, 300.0f));
    rig.element.reset();
    EXPECT_EQ(rig.element.getPreFilter().getState().y1, 0.0f);
    EXPECT_EQ(rig.element.getPreFilter().getState().x1, 0.0f);
    EXPECT_EQ(rig.element.getHPF().getState().y1, 0.0f);
}

TEST(Overdrive, ANonFiniteBlockLeavesTheWetPathAsSilenceWould)
{
    for (float bad : {kNaN, kInf, -kInf}) {
        DriveRig rig, twin;
        for (DriveRig* r : {&rig, &twin}) {
            r->element.setParameter("Blend", 1.0f);
            for (int block = 0; block < 10; ++block)
                r->run(r->sine(0.4f, 200.0f));
        }
        rig.run(bad);
        twin.run(0.0f);
        for (int block = 0; block < 10; ++block) {
            const std::vector<float> x = rig.sine(0.4f, 200.0f);
            twin.played = rig.played;
            ASSERT_EQ(rig.run(x), twin.run(x)) << bad;
        }
    }
}

TEST(Overdrive, InASlotBlendAndTextureReachTheModel)
{
    stomps::ChainRig rig;
    EXPECT_NO_THROW(rig.value("Blend_2_StompModule")) << "the overdrive's names join every slot";
    rig.set("Stomp_2_StompModule", 6.0f); // "Overdrive"
    auto& model = rig.model<Element>(2);
    rig.set("Blend_2_StompModule", 0.0f);
    rig.set("Texture_2_StompModule", 0.8f);
    EXPECT_EQ(model.getParameter("A1").getValue(), 1.0f);
    EXPECT_EQ(model.getClipper().getTexture(), 0.8f);
    EXPECT_EQ(rig.run(64, 0.25f)[63], 0.25f) << "\"Blend\" 0 passes the input";
    rig.set("Blend_2_StompModule", 1.0f);
    EXPECT_EQ(model.getParameter("A2").getValue(), 1.0f);
}
