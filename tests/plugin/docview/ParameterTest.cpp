#include "plugin/docview/Parameter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

using namespace Zq::Application::DocView;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct ChangeCount {
    explicit ChangeCount(Parameter& parameter)
        : connection(parameter.changed.connect([this](Parameter*) { ++count; }))
    {
    }
    int count = 0;
    boost::signals2::scoped_connection connection;
};

} // namespace

TEST(Ranges, ConstrainAsTheirKindSays)
{
    const RangeInt zeroToThree(0, 3);
    const RangeInt minusFiveToFive(-5, 5);
    const RangeFloat unit(0.0f, 1.0f);
    const struct {
        std::string name;
        const Range& range;
        float in, out;
    } cases[] = {
        {"int drops the fraction", zeroToThree, 2.9f, 2.0f},
        {"int truncates toward zero, not down", minusFiveToFive, -2.7f, -2.0f},
        {"int: -0.5 truncates to 0", zeroToThree, -0.5f, 0.0f},
        {"int clamps above", zeroToThree, 7.0f, 3.0f},
        {"int keeps its maximum", zeroToThree, 3.0f, 3.0f},
        {"int: NaN gives the minimum", zeroToThree, kNaN, 0.0f},
        {"int: beyond the int range clamps to the maximum", zeroToThree, 1e30f, 3.0f},
        {"int: beyond the int range clamps to the minimum", zeroToThree, -1e30f, 0.0f},
        {"int: infinity clamps", minusFiveToFive, -kInf, -5.0f},
        {"float clamps below", unit, -2.0f, 0.0f},
        {"float clamps above", unit, 1.5f, 1.0f},
        {"float: infinity clamps", unit, kInf, 1.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.range.constrain(c.in), c.out) << c.name;

    EXPECT_TRUE(std::isnan(unit.constrain(kNaN))) << "a float range passes NaN";
    EXPECT_EQ(zeroToThree.getMax(), 3.0f);
}

TEST(Parameters, NormalizedSideIsClampedBothWays)
{
    Parameter level;
    level.setRange(RangeFloat(0.0f, 100.0f));
    level.setConverter(ConverterNorm(0.0f, 100.0f));
    level.setValue(50.0f, false);
    level.setNormalized(1.7f, false);
    EXPECT_EQ(level.getValue(), 100.0f) << "1.7 acts as 1";
    level.setValue(50.0f, false);
    level.setNormalized(kNaN, false);
    EXPECT_EQ(level.getValue(), 0.0f) << "NaN acts as 0";

    // Converters whose formulas leave [0, 1]: getNormalized never does.
    Parameter wide;
    wide.setRange(RangeFloat(-1.0f, 100.0f));
    wide.setConverter(ConverterLinear(0.0f, 1.0f, 0.0f, 1.0f));
    for (const float v : {50.0f, -1.0f, 0.25f}) {
        wide.setValue(v, false);
        EXPECT_EQ(wide.getNormalized(), std::clamp(v, 0.0f, 1.0f)) << v;
    }
    wide.setConverter(ConverterdB());
    for (const float v : {0.0f /* -inf dB */, -1.0f /* NaN */, 10.0f /* +20 dB */}) {
        wide.setValue(v, false);
        EXPECT_GE(wide.getNormalized(), 0.0f) << v;
        EXPECT_LE(wide.getNormalized(), 1.0f) << v;
    }
    wide.setDefault(10.0f);
    EXPECT_FLOAT_EQ(wide.getDefaultNormalized(), 20.0f)
        << "the default's normalised form is not clamped";
}

TEST(Parameters, FireOnlyOnRealChanges)
{
    Parameter gain;
    gain.setRange(RangeFloat(0.0f, 1.0f));
    ChangeCount changes(gain);

    gain.setValue(0.5f, true);
    EXPECT_EQ(changes.count, 1);
    gain.setValue(0.5f, true);
    EXPECT_EQ(changes.count, 1) << "the stored value again fires nothing";
    gain.setValue(3.0f, true);
    gain.setValue(4.0f, true);
    EXPECT_EQ(changes.count, 2) << "both clamp to 1: one change";
    gain.setValue(0.25f, false);
    EXPECT_EQ(changes.count, 2);
    EXPECT_EQ(gain.getValue(), 0.25f);
    gain.notifyChanged();
    EXPECT_EQ(changes.count, 3);
}

TEST(Parameters, SetRangeKeepsTheStoredValue)
{
    Parameter p;
    p.setValue(0.8f, false);
    p.setRange(RangeFloat(0.0f, 0.5f));
    EXPECT_EQ(p.getValue(), 0.8f);
    ChangeCount changes(p);
    p.setValue(0.8f, true);
    EXPECT_EQ(p.getValue(), 0.5f);
    EXPECT_EQ(changes.count, 1);

    p.setRange(p.getRange()); // its own range, by reference
    p.setConverter(ConverterNorm(0.0f, 2.0f));
    p.setConverter(p.getConverter());
    EXPECT_EQ(p.getRange().getMax(), 0.5f);
    EXPECT_FLOAT_EQ(p.getNormalized(), 0.25f);
}

TEST(Parameters, SharedDefaultsSurviveEveryParameter)
{
    {
        auto first = std::make_unique<Parameter>();
        first->setRange(RangeInt(0, 3));
        first->setConverter(ConverterdB());
        Parameter other;
        other.setValue(1.5f, false);
        EXPECT_EQ(other.getValue(), 1.0f) << "a replaced range leaves the shared [0, 1] intact";
        first.reset();
        other.setValue(-1.0f, false);
        EXPECT_EQ(other.getValue(), 0.0f);
    }
    // Every parameter is gone now; a new one still finds working defaults.
    Parameter fresh;
    EXPECT_EQ(fresh.getValue(), 0.0f);
    fresh.setValue(2.0f, false);
    EXPECT_EQ(fresh.getValue(), 1.0f);
    fresh.setNormalized(0.25f, false);
    EXPECT_EQ(fresh.getValue(), 0.25f);
    EXPECT_EQ(fresh.getRange().getMin(), 0.0f);
}
