#include "plugin/docview/Converter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

using namespace Zq::Application::DocView;

TEST(Converters, MapBothWaysAsTheirFormulasSay)
{
    const ConverterNorm norm(20.0f, 20000.0f);
    const ConverterInv inv(0.0f, 10.0f);
    const ConverterdBNorm dBNorm(-60.0f, 0.0f);
    const ConverterPowNorm powNorm(2.0f, 0.0f, 100.0f);
    const ConverterCombiner dBThenNorm(ConverterdB(), ConverterNorm(-40.0f, 0.0f));
    const ConverterLinear linear(1.0f, 5.0f, 0.0f, 4.0f);
    const ConverterNull null;

    enum Direction { toNormalized, fromNormalized };
    const struct {
        std::string name;
        const Converter& converter;
        Direction direction;
        float in, out;
    } cases[] = {
        {"norm: the minimum is 0", norm, toNormalized, 20.0f, 0.0f},
        {"norm: the maximum is 1", norm, toNormalized, 20000.0f, 1.0f},
        {"norm: halfway", norm, fromNormalized, 0.5f, 10010.0f},
        {"inv: 0 is the maximum", inv, fromNormalized, 0.0f, 10.0f},
        {"inv: 1 is the minimum", inv, fromNormalized, 1.0f, 0.0f},
        {"inv: back", inv, toNormalized, 2.5f, 0.75f},
        {"dB norm: 1 is 0 dB", dBNorm, fromNormalized, 1.0f, 1.0f},
        {"dB norm: 0 is -60 dB", dBNorm, fromNormalized, 0.0f, 0.001f},
        {"dB norm: -20 dB is two thirds up", dBNorm, toNormalized, 0.1f, 2.0f / 3.0f},
        {"pow norm: squares", powNorm, fromNormalized, 0.5f, 25.0f},
        {"pow norm: back", powNorm, toNormalized, 25.0f, 0.5f},
        {"combiner: dB first, then norm", dBThenNorm, toNormalized, 0.1f, 0.5f},
        {"combiner: norm first, then dB", dBThenNorm, fromNormalized, 0.5f, 0.1f},
        {"linear: [1, 5] onto [0, 4]", linear, toNormalized, 3.0f, 2.0f},
        {"linear: back", linear, fromNormalized, 2.0f, 3.0f},
        {"null: as it is", null, fromNormalized, -7.25f, -7.25f},
    };
    for (const auto& c : cases) {
        const float out = c.direction == toNormalized ? c.converter.toNormalized(c.in)
                                                      : c.converter.fromNormalized(c.in);
        EXPECT_FLOAT_EQ(out, c.out) << c.name;
    }
}

TEST(Converters, LogarithmsAreUnguardedForDirectCallers)
{
    EXPECT_EQ(ConverterdB().toNormalized(0.0f), -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(ConverterdBNorm(-60.0f, 0.0f).toNormalized(-1.0f)));
}

TEST(Converters, ACloneOfACombinerOutlivesItsSource)
{
    auto source = std::make_unique<ConverterCombiner>(ConverterdB(), ConverterNorm(-40.0f, 0.0f));
    const auto copy = source->clone();
    const auto copyOfCopy = copy->clone();
    source.reset();
    EXPECT_FLOAT_EQ(copy->toNormalized(0.1f), 0.5f);
    EXPECT_FLOAT_EQ(copyOfCopy->fromNormalized(0.5f), 0.1f);
}
