#include "StageHarness.h"

#include "models/amps/stages/Function.h"
#include "models/amps/stages/HeadClippers.h"
#include "models/amps/stages/RKM4ProStages.h"
#include "models/amps/stages/RKMClassicStages.h"
#include "models/amps/stages/V9EStages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using stagetest::Harness;

namespace {

namespace Classic = BorvanRKMClassicHeadTraitsDetails;
namespace Pro = BorvanRKM4ProTraitsDetails;
namespace V9E = BorvanV9ETraitsDetails;

// One spline clipper seen through what every stage shares.
struct Clipper {
    std::string name;
    std::function<float(float)> stage;    // the whole stage, input transform included
    std::function<float(float)> curve;    // the stage at a curve input
    std::function<float(float)> searched; // the same spline, its segment found by search
    std::vector<std::pair<float, float>> knots;
    float startSlope;
    float endSlope;
};

template <class C> Clipper clipper(std::string name)
{
    auto c = std::make_shared<const C>();
    std::vector<std::pair<float, float>> knots;
    for (const auto& p : c->getKnots())
        knots.emplace_back(p.x, p.y);
    return {std::move(name),
            [c](float in) { return (*c)(in); },
            [c](float x) { return c->shape(x); },
            [c](float x) { return c->evaluate(x); },
            std::move(knots),
            c->getStartSlope(),
            c->getEndSlope()};
}

const std::vector<Clipper>& clippers()
{
    static const std::vector<Clipper> list = {
        clipper<Classic::ClipperDetails::Clipper1>("RKMClassic ClipperStage1"),
        clipper<Classic::ClipperDetails::Clipper2>("RKMClassic ClipperStage2"),
        clipper<Classic::ClipperDetails::Clipper4>("RKMClassic ClipperStage4"),
        clipper<Pro::ClipperDetails::Clipper1>("RKM4Pro ClipperStage1"),
        clipper<Pro::ClipperDetails::Clipper2>("RKM4Pro ClipperStage2"),
        clipper<Pro::ClipperDetails::Clipper3>("RKM4Pro ClipperStage3"),
        clipper<V9E::ClipperDetails::Clipper1>("V9E ClipperStage1"),
        clipper<V9E::ClipperDetails::Clipper4>("V9E ClipperStage4"),
    };
    return list;
}

// The end knots take the straight branch and return their samples exactly;
// inside, the cubic of a segment meets its knots up to float rounding.
TEST(SplineClipper, KnotsReturnTheirTableValuesAndEndsExactly)
{
    for (const Clipper& c : clippers()) {
        const auto& k = c.knots;
        EXPECT_EQ(c.curve(k.front().first), k.front().second) << c.name;
        EXPECT_EQ(c.curve(k.back().first), k.back().second) << c.name;
        for (std::size_t i = 1; i + 1 < k.size(); ++i)
            ASSERT_NEAR(c.curve(k[i].first), k[i].second, 4e-7f * std::fabs(k[i].second) + 1e-6f)
                << c.name << " knot " << i;
    }
}

// Beyond its table a curve goes on straight with its end slope; an end of slope
// 0 holds its value exactly, however far the input goes.
TEST(SplineClipper, BeyondTheTableTheCurveGoesOnStraightOrHoldsAFlatEnd)
{
    for (const Clipper& c : clippers()) {
        const auto& [x0, y0] = c.knots.front();
        const auto& [xN, yN] = c.knots.back();
        for (float d : {0.5f, 10.0f, 1e4f, 1e30f}) {
            if (c.startSlope == 0.0f) {
                EXPECT_EQ(c.curve(x0 - d), y0) << c.name << " " << d << " below";
            } else if (d < 1e30f) {
                const float line = y0 - c.startSlope * d;
                EXPECT_NEAR(c.curve(x0 - d), line, 1e-5f * (1.0f + std::fabs(line)))
                    << c.name << " " << d << " below";
            }
            if (c.endSlope == 0.0f) {
                EXPECT_EQ(c.curve(xN + d), yN) << c.name << " " << d << " above";
            } else if (d < 1e30f) {
                const float line = yN + c.endSlope * d;
                EXPECT_NEAR(c.curve(xN + d), line, 1e-5f * (1.0f + std::fabs(line)))
                    << c.name << " " << d << " above";
            }
        }
    }
}

// The stages find a segment by its direct index on the evenly spaced knots.
// Rounding may put an x at a knot into the neighbouring segment, whose cubic
// meets the knot as well; anywhere inside, the stage stays with the spline whose
// segment is searched for, up to float rounding - at the knots, a hair off
// either side of them, midway and just inside both ends.
TEST(SplineClipper, DirectSegmentIndexAgreesWithTheSearchedSpline)
{
    for (const Clipper& c : clippers()) {
        const auto& k = c.knots;
        std::vector<float> xs = {std::nextafter(k.front().first, k.back().first),
                                 std::nextafter(k.back().first, k.front().first)};
        for (std::size_t i = 0; i + 1 < k.size(); ++i) {
            const float x = k[i].first;
            xs.insert(xs.end(), {x, std::nextafter(x, -1e30f), std::nextafter(x, 1e30f),
                                 0.5f * (x + k[i + 1].first), x + 0.9f * (k[i + 1].first - x)});
        }
        for (float x : xs) {
            if (!(k.front().first < x && x < k.back().first))
                continue;
            const float want = c.searched(x);
            ASSERT_NEAR(c.curve(x), want, 1e-6f * std::fabs(want) + 1e-6f) << c.name << " at " << x;
        }
    }
}

TEST(SplineClipper, RKMClassicStagesAtTheirEdgeCases)
{
    const Classic::ClipperDetails::Clipper1 stage1;
    // in = 10 drives x = 20, far above the last knot (5.7, 36.786).
    EXPECT_NEAR(stage1(10.0f), 36.786f + 0.07f * (20.0f - 5.7f), 1e-3f);

    const Classic::ClipperDetails::Clipper4 stage4;
    EXPECT_NEAR(stage4(0.0f), 119.448f, 3e-4f);
    // x = -8.5, the sixth knot.
    EXPECT_NEAR(stage4(-126.255f), -4.27064f, 1e-4f);
    // x = -8.55, between the fifth and the sixth knot.
    const float between = stage4(-126.305f);
    EXPECT_GT(between, -4.34950f);
    EXPECT_LT(between, -4.27064f);
}

TEST(SplineClipper, V9EFirstStageHoldsItsEndsBeyondTheTable)
{
    const V9E::ClipperDetails::Clipper1 stage1;
    for (float in : {-5.0f / 3.2f, -1.6f, -3.0f, -1e6f, -1e30f})
        EXPECT_NEAR(stage1(in), 354.965f, 1e-3f) << in;
    for (float in : {6.5f / 3.2f, 2.1f, 5.0f, 1e6f, 1e30f})
        EXPECT_NEAR(stage1(in), 38.7294f, 1e-4f) << in;
    EXPECT_EQ(stage1(-1e30f), stage1(-5.0f / 3.2f));
    EXPECT_EQ(stage1(1e30f), stage1(6.5f / 3.2f));
}

// A silent head: each tube stage rests at a plate voltage and the coupling
// filter after it, preset to that voltage, puts out exact zeros from the first
// sample on.
TEST(SplineClipper, SilentStagesLeaveTheirCouplingFiltersAtZero)
{
    struct Pair {
        std::string name;
        std::function<std::unique_ptr<ModuleBasic>()> clipper;
        std::function<std::unique_ptr<ModuleBasic>()> coupling;
    };
    const Pair pairs[] = {
        {"RKMClassic 1",
         [] { return std::make_unique<Function<Classic::ClipperDetails::Clipper1>>(); },
         [] { return std::make_unique<Classic::HPF1>(); }},
        {"RKMClassic 2",
         [] { return std::make_unique<Function<Classic::ClipperDetails::Clipper2>>(); },
         [] { return std::make_unique<Classic::HPF2>(); }},
        {"RKMClassic 4",
         [] { return std::make_unique<Function<Classic::ClipperDetails::Clipper4>>(); },
         [] { return std::make_unique<Classic::HPF4>(); }},
        {"RKM4Pro 1", [] { return std::make_unique<Function<Pro::ClipperDetails::Clipper1>>(); },
         [] { return std::make_unique<Pro::HPF1>(); }},
        {"RKM4Pro 2", [] { return std::make_unique<Function<Pro::ClipperDetails::Clipper2>>(); },
         [] { return std::make_unique<Pro::HPF2>(); }},
        {"RKM4Pro 3", [] { return std::make_unique<Function<Pro::ClipperDetails::Clipper3>>(); },
         [] { return std::make_unique<Pro::HPF3>(); }},
        {"V9E 1", [] { return std::make_unique<Function<V9E::ClipperDetails::Clipper1>>(); },
         [] { return std::make_unique<V9E::HPF1>(); }},
        {"V9E 2", [] { return std::make_unique<Function<V9E::ClipperDetails::UClipper2>>(); },
         [] { return std::make_unique<V9E::HPF2>(); }},
        {"V9E 4", [] { return std::make_unique<Function<V9E::ClipperDetails::Clipper4>>(); },
         [] { return std::make_unique<V9E::HPF4>(); }},
    };
    for (const Pair& p : pairs) {
        auto clipper = p.clipper();
        auto coupling = p.coupling();
        Harness tube(*clipper);
        Harness filter(*coupling);
        for (const char* when : {"after prepare", "after reset"}) {
            const std::vector<float> plate = tube.runConstant(0.0f, 2048);
            const std::vector<float> out = filter.run(plate);
            for (std::size_t i = 0; i < out.size(); ++i)
                ASSERT_EQ(out[i], 0.0f) << p.name << " " << when << " sample " << i;
            filter.run(std::vector<float>(100, 3.0f));
            coupling->reset();
        }
    }
}

} // namespace
