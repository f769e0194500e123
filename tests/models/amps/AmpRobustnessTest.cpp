// Every head at every supported rate, built at that rate and moved to it from
// another, and every head after a burst of non-finite host samples.

#include "tests/models/amps/AmpRig.h"

#include <gtest/gtest.h>

#include <limits>

using namespace amps;

namespace {

std::string describe(const HeadSetup& s, float rate)
{
    return describe(s) + " at " + std::to_string(int(rate)) + " Hz";
}

constexpr float kRates[] = {11025.0f, 22050.0f, 32000.0f, 44100.0f,  48000.0f, 64000.0f,
                            72000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f};

// A loud sweep, then silence: finite throughout, and one second into the
// silence the output is below 1e-4.
void expectSweepDiesAway(AmpRig& rig, const HeadSetup& s, float rate, const char* how)
{
    const auto n = static_cast<std::size_t>(rate);
    const auto y = rig.run(sweep(n * 3 / 10, 0.9f, rate), {1024});
    EXPECT_TRUE(std::isfinite(peak(y))) << describe(s, rate) << how;
    EXPECT_GT(peak(y), 1e-2f) << describe(s, rate) << how;
    const auto tail = rig.run(std::vector<float>(n + n / 20), {1024});
    EXPECT_TRUE(std::isfinite(peak(tail))) << describe(s, rate) << how;
    EXPECT_LT(peak(tail, n), 1e-4f) << describe(s, rate) << how;
}

class AmpRates : public testing::TestWithParam<HeadSetup> {};

TEST_P(AmpRates, ASweepIsFiniteAndDiesAwayAtEveryRate)
{
    const HeadSetup s = GetParam();
    for (float rate : kRates) {
        AmpRig rig(rate);
        rig.choose(s.model, headDefaults(s.model, s.dsm, s.watts));
        rig.run(static_cast<std::size_t>(rate / 10));
        expectSweepDiesAway(rig, s, rate, " built there");
    }
    // One rig through every rate in turn, each change through the module
    // set's update while the head is current.
    AmpRig rig;
    rig.choose(s.model, headDefaults(s.model, s.dsm, s.watts));
    rig.run(4410);
    for (float rate : kRates) {
        ASSERT_TRUE(rig.host.setSampleRate(rate));
        expectSweepDiesAway(rig, s, rate, " after a change");
    }
}

std::string setupName(const testing::TestParamInfo<HeadSetup>& info)
{
    static const char* const names[] = {"Empty", "RKMClassic", "RE500", "RKM4Pro", "V9E"};
    return std::string(names[int(info.param.model)]) + "_DSM" +
           std::to_string(int(info.param.dsm)) + "_Mode" + std::to_string(int(info.param.watts));
}

INSTANTIATE_TEST_SUITE_P(Heads, AmpRates, testing::ValuesIn(kHeadSetups), setupName);

// NaN and both infinities mixed into a played note: within a second after the
// burst every head is finite again and still plays.
TEST(AmpNonFinite, EveryHeadRecoversFromABurstOfNonFiniteSamples)
{
    constexpr float inf = std::numeric_limits<float>::infinity();
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), inf, -inf};
    for (const HeadSetup& s :
         {HeadSetup{Model::RKMClassic, 0, 1}, HeadSetup{Model::RKMClassic, 1, 1},
          HeadSetup{Model::RE500, 0, 1}, HeadSetup{Model::RKM4Pro, 0, 1},
          HeadSetup{Model::V9E, 0, 0}, HeadSetup{Model::V9E, 1, 1}}) {
        AmpRig rig;
        rig.choose(s.model, headDefaults(s.model, s.dsm, s.watts));
        auto burst = sine(22050, 0.3f, 82.4f);
        for (std::size_t i = 4410; i < 6615; ++i)
            burst[i] = i % 7 == 0 ? burst[i] : bad[i % 3];
        rig.run(burst, {100, 64, 1});
        const auto after = rig.run(sine(88200, 0.3f, 82.4f));
        // One second after the burst ended.
        const std::size_t from = 44100 - (22050 - 6615);
        EXPECT_TRUE(std::isfinite(peak(after, from))) << describe(s, 44100);
        EXPECT_GT(peak(after, from), 1e-3f) << describe(s, 44100);
    }
}

} // namespace
