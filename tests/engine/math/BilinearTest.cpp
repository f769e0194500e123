#include "FilterHarness.h"

#include "engine/math/BiquadFilter.h"
#include "engine/math/FilterZeroPole.h"
#include "engine/math/utils/BilinFilter.h"
#include "engine/math/utils/BiquadFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace AudioEngine;

namespace {

using BiquadS = BiquadFilterDetails::CoeffsS<float>;
using BiquadZ = BiquadFilterDetails::CoeffsZ<float>;
using BiquadTransform = BiquadFilterDetails::CoeffsSToZBilinear<BiquadZ, BiquadS>;
using FirstS = FilterZeroPoleDetails::CoeffsS<float>;
using FirstZ = FilterZeroPoleDetails::CoeffsZ<float>;
using FirstTransform = FilterZeroPoleDetails::CoeffsSToZBilinear<FirstZ, FirstS>;

const float kRates[] = {8000.0f, 22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f};

TEST(Bilinear, UnityPrototypeGivesAUnityFilterAtAnyRate)
{
    for (float fs : kRates) {
        const BiquadZ z = BiquadTransform(BiquadS(1, 0, 0, 1, 0, 0)).transform(fs);
        EXPECT_EQ(z.b0, 1.0f) << fs;
        EXPECT_EQ(z.b1, 0.0f) << fs;
        EXPECT_EQ(z.b2, 0.0f) << fs;
        EXPECT_EQ(z.a1, 0.0f) << fs;
        EXPECT_EQ(z.a2, 0.0f) << fs;

        const FirstZ f = FirstTransform(FirstS(1, 0, 1, 0)).transform(fs);
        EXPECT_EQ(f.b0, 1.0f) << fs;
        EXPECT_EQ(f.b1, 0.0f) << fs;
        EXPECT_EQ(f.a1, 0.0f) << fs;

        utils::BiquadFilter u;
        u.setup(1, static_cast<int>(fs));
        u.designFromS(0, 0, 1, 0, 0, 1);
        EXPECT_EQ(u.getCoefficients().b0, 1.0f);
        EXPECT_EQ(u.getCoefficients().a1, 0.0f);
        EXPECT_EQ(u.getCoefficients().a2, 0.0f);
    }
}

TEST(Bilinear, AFirstOrderPrototypeInASecondOrderSectionStaysFirstOrder)
{
    const float w = 2000.0f;
    const BiquadZ z = BiquadTransform(BiquadS(w, 0, 0, w, 1, 0)).transform(44100.0f);
    const FirstZ f = FirstTransform(FirstS(w, 0, w, 1)).transform(44100.0f);
    EXPECT_EQ(z.b0, f.b0);
    EXPECT_EQ(z.b1, f.b1);
    EXPECT_EQ(z.a1, f.a1);
    EXPECT_EQ(z.b2, 0.0f); // no pole or zero left at z = -1
    EXPECT_EQ(z.a2, 0.0f);
}

TEST(Bilinear, GainAtDcIsTheAnaloguePrototypesGainAtDc)
{
    const BiquadS prototypes[] = {
        BiquadS(3.0f, 0.0f, 0.0f, 1.0f, 1e-3f, 1e-7f),    // low-pass, gain 3
        BiquadS(0.5f, 2e-4f, 1e-8f, 2.0f, 3e-4f, 2e-8f),  // shelf, gain 0.25
        BiquadS(1e6f, 500.0f, 1.0f, 4e6f, 2000.0f, 1.0f), // notch-like, gain 0.25
    };
    // The coefficients are single precision by design, and the sums b0 + b1 + b2
    // and 1 + a1 + a2 shrink as poles and zeros crowd towards z = 1 (low corners,
    // high rates), so the gain holds to float precision only: within 0.01 dB up
    // to 48 kHz, 0.05 dB above.
    for (float fs : kRates) {
        for (const BiquadS& s : prototypes) {
            const BiquadZ z = BiquadTransform(s).transform(fs);
            const double dc = (double(z.b0) + z.b1 + z.b2) / (1.0 + z.a1 + z.a2);
            EXPECT_NEAR(dc / (double(s.B0) / s.A0), 1.0, fs > 48000.0f ? 5e-3 : 1e-3) << fs;
        }
        const FirstZ f = FirstTransform(FirstS(2.0f, 1e-3f, 4.0f, 5e-4f)).transform(fs);
        EXPECT_NEAR((double(f.b0) + f.b1) / (1.0 + f.a1), 0.5, 1e-4) << fs;
    }
}

TEST(Bilinear, AnAnalogueCornerLandsWhereTheTransformWarpsIt)
{
    // Butterworth corners: |H| = 1/sqrt(2) at the corner. Without prewarping the
    // digital corner is 2 atan(w / (2 fs)), below the analogue one.
    const double halfPower = std::numbers::sqrt2 / 2.0;
    for (float fs : {44100.0f, 96000.0f}) {
        for (double hertz : {100.0, 1000.0, 5000.0, 12000.0}) {
            const auto w = static_cast<float>(2.0 * std::numbers::pi * hertz);
            const double digital =
                2.0 * std::atan(double(w) / (2.0 * fs)) * fs / (2.0 * std::numbers::pi);
            const BiquadZ z =
                BiquadTransform(BiquadS(w * w, 0, 0, w * w, std::numbers::sqrt2_v<float> * w, 1))
                    .transform(fs);
            EXPECT_NEAR(mathtest::biquadMagnitude(z, digital, fs), halfPower, 2e-3)
                << hertz << " at " << fs;
            const FirstZ f = FirstTransform(FirstS(w, 0, w, 1)).transform(fs);
            const BiquadZ asBiquad{f.b0, f.b1, 0.0f, f.a1, 0.0f};
            EXPECT_NEAR(mathtest::biquadMagnitude(asBiquad, digital, fs), halfPower, 2e-3)
                << hertz << " at " << fs;
            EXPECT_LT(digital, hertz);
        }
    }
}

TEST(Bilinear, UtilityZeroPoleDesignHasUnityGainAtDc)
{
    struct Design {
        float z1, z2, p1, p2;
    };
    for (const Design& d :
         {Design{100.0f, 300.0f, 2000.0f, 5000.0f}, Design{5000.0f, 9000.0f, 200.0f, 700.0f},
          Design{50.0f, 800.0f, 3000.0f, 12000.0f}}) {
        utils::BiquadFilter u;
        u.setup(1, 48000);
        u.designZeroPole(d.z1, d.z2, d.p1, d.p2);
        const auto& k = u.getCoefficients();
        // Within single-precision coefficient error (0.05 dB), as above.
        EXPECT_NEAR((double(k.b0) + k.b1 + k.b2) / (1.0 + k.a1 + k.a2), 1.0, 5e-3) << d.z1;
    }
}

// Every recursive step here, fed a signal that decays into the subnormal range
// and then stops, ends in exact zeros in its output and its state.
TEST(Bilinear, ADecayingInputEndsInExactZerosInOutputAndState)
{
    const float w = 2.0f * std::numbers::pi_v<float> * 200.0f;
    BiquadFilter<> biquad;
    biquad.setCoefficients(
        BiquadTransform(BiquadS(w * w, 0, 0, w * w, 0.2f * w, 1)).transform(44100.0f)); // resonant
    FilterZeroPole<> zeroPole;
    zeroPole.setCoefficients(FirstTransform(FirstS(w, 0, w, 1)).transform(44100.0f));
    utils::BiquadFilter uBiquad;
    uBiquad.designLowPass(w, 0.2f);
    utils::BilinFilter uBilin;
    uBilin.designLowPass(w);

    float x = 1.0f;
    float last[4] = {};
    for (int k = 0; k < 200000; ++k) {
        last[0] = biquad.tick(x);
        last[1] = zeroPole.tick(x);
        uBiquad.processFrame(&last[2], &x);
        uBilin.processFrame(&last[3], &x);
        for (float y : last)
            ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL) << k;
        x *= 0.9f; // through the subnormals to zero
    }
    for (float y : last)
        EXPECT_EQ(y, 0.0f);
    const auto& b = biquad.getState();
    EXPECT_TRUE(b.x1 == 0.0f && b.x2 == 0.0f && b.y1 == 0.0f && b.y2 == 0.0f);
    EXPECT_TRUE(zeroPole.getState().x1 == 0.0f && zeroPole.getState().y1 == 0.0f);
    const auto& ub = uBiquad.getState(0);
    EXPECT_TRUE(ub.x1 == 0.0f && ub.x2 == 0.0f && ub.y1 == 0.0f && ub.y2 == 0.0f);
    EXPECT_TRUE(uBilin.getState(0).x1 == 0.0f && uBilin.getState(0).y1 == 0.0f);
}

TEST(Bilinear, ANonFiniteInputSampleIsForgotten)
{
    BiquadFilter<> biquad;
    biquad.setCoefficients(
        BiquadTransform(BiquadS(1e6f, 0, 0, 1e6f, 1400.0f, 1)).transform(44100.0f));
    FilterZeroPole<> zeroPole;
    zeroPole.setCoefficients(0.5f, 0.5f, -0.2f);
    for (float bad :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        biquad.reset();
        zeroPole.reset();
        biquad.tick(0.5f);
        zeroPole.tick(0.5f);
        EXPECT_TRUE(std::isfinite(biquad.tick(bad)));
        EXPECT_TRUE(std::isfinite(zeroPole.tick(bad)));
        for (int k = 0; k < 20000; ++k) {
            ASSERT_TRUE(std::isfinite(biquad.tick(0.0f)));
            ASSERT_TRUE(std::isfinite(zeroPole.tick(0.0f)));
        }
        EXPECT_EQ(biquad.tick(0.0f), 0.0f);
        EXPECT_EQ(zeroPole.tick(0.0f), 0.0f);
    }
}

TEST(Bilinear, AFreshZeroPoleFilterPassesItsInput)
{
    FilterZeroPole<> filter;
    for (float x : {0.0f, 1.0f, -0.5f, 0.123f, 1e-3f, -2.0f, 1e-30f})
        EXPECT_EQ(filter.tick(x), x);
}

} // namespace
