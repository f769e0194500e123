#include "tests/models/amps/AmpRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <numeric>

using namespace amps;

namespace {

std::vector<float> sine(std::size_t n, float amplitude, float hz, float rate = 44100.0f)
{
    std::vector<float> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = amplitude * std::sin(2.0f * std::numbers::pi_v<float> * hz * float(i) / rate);
    return x;
}

float peak(const std::vector<float>& x, std::size_t from = 0)
{
    float p = 0.0f;
    for (std::size_t i = from; i < x.size(); ++i)
        p = std::max(p, std::fabs(x[i]));
    return p;
}

TEST(AmpChainSmoke, EveryHeadPlaysAfterASwitch)
{
    for (Model m : {Model::RKMClassic, Model::RE500, Model::RKM4Pro, Model::V9E}) {
        AmpRig rig;
        rig.choose(m);
        rig.run(44100);
        const auto y = rig.run(sine(44100, 0.3f, 82.4f));
        EXPECT_GT(peak(y), 1e-3f) << int(m);
        for (float v : y)
            ASSERT_TRUE(std::isfinite(v)) << int(m);
        const auto rest = rig.run(44100);
        EXPECT_LT(peak(rest, 22050), 1e-2f) << int(m);
    }
}

} // namespace
