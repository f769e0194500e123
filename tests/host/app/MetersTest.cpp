#include "FakeClock.h"

#include "host/app/vphoCpuMeter.h"
#include "host/app/vphoTapTempo.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Runs blocks of 1000 us (48 frames at 48 kHz) that each take busy us.
void runBlocks(vphoCpuMeter& meter, test::FakeClock& clock, int blocks, int busy)
{
    for (int i = 0; i < blocks; ++i) {
        meter.startBlock();
        clock.advance(busy);
        meter.measure();
        clock.advance(1000 - busy);
    }
}

TEST(CpuMeter, theLoadIsTheMeanShareOfTheLast32Blocks)
{
    test::FakeClock clock;
    vphoCpuMeter meter(clock);
    meter.setBlock(48, 48000);
    runBlocks(meter, clock, 16, 500);
    EXPECT_EQ(meter.currentLoad(), 25) << "16 of 32 blocks at 50 %";
    runBlocks(meter, clock, 32, 300);
    EXPECT_EQ(meter.currentLoad(), 30);
    runBlocks(meter, clock, 32, 5000);
    EXPECT_EQ(meter.currentLoad(), 100) << "a block over its time counts as 100 %";
    meter.clear();
    EXPECT_EQ(meter.currentLoad(), 0);
}

TEST(CpuMeter, aBlockSizeOrRateOfZeroMeasuresNothing)
{
    for (const auto& [frames, rate] : {std::pair{0, 48000}, std::pair{128, 0}, std::pair{-1, -1}}) {
        test::FakeClock clock;
        vphoCpuMeter meter(clock);
        meter.setBlock(frames, rate);
        runBlocks(meter, clock, 40, 700);
        EXPECT_EQ(meter.currentLoad(), 0) << frames << " frames at " << rate;
    }
}

TEST(CpuMeter, theDisplayJumpsUpAtOnceAndFallsSlowlyInGrowingSteps)
{
    test::FakeClock clock;
    vphoCpuMeter meter(clock);
    meter.setBlock(48, 48000);
    runBlocks(meter, clock, 32, 800); // load 80
    struct Poll {
        bool changed;
        int value;
    };
    std::vector<Poll> polls;
    auto pollTimes = [&](int n) {
        for (int i = 0; i < n; ++i) {
            int value = -1;
            const bool changed = meter.poll(value);
            polls.push_back({changed, value});
        }
    };
    pollTimes(1);
    runBlocks(meter, clock, 32, 200); // load 20
    pollTimes(12);
    const std::vector<Poll> expected = {
        {true, 80},                                                                  // jump
        {false, 80}, {false, 80}, {false, 80}, {false, 80}, {false, 80},             // hold
        {true, 79},                                                                  // step 1
        {false, 79}, {false, 79}, {false, 79}, {false, 79}, {false, 79}, {true, 77}, // step 2
    };
    ASSERT_EQ(polls.size(), expected.size());
    for (std::size_t i = 0; i < polls.size(); ++i) {
        EXPECT_EQ(polls[i].changed, expected[i].changed) << "poll " << i;
        EXPECT_EQ(polls[i].value, expected[i].value) << "poll " << i;
    }

    // Never below the load: from 77 with a growing step it lands on 20.
    int value = 0;
    for (int i = 0; i < 200; ++i)
        meter.poll(value);
    EXPECT_EQ(value, 20);
}

TEST(CpuMeter, aValueWithinOneIsTakenAfter200Polls)
{
    test::FakeClock clock;
    vphoCpuMeter meter(clock);
    meter.setBlock(48, 48000);
    runBlocks(meter, clock, 32, 300);
    int value = 0;
    ASSERT_TRUE(meter.poll(value));
    ASSERT_EQ(value, 30);
    runBlocks(meter, clock, 32, 310); // 31: within one of the display
    for (int i = 0; i < 200; ++i) {
        ASSERT_FALSE(meter.poll(value)) << "poll " << i;
        ASSERT_EQ(value, 30);
    }
    EXPECT_TRUE(meter.poll(value));
    EXPECT_EQ(value, 31);
}

TEST(TapTempo, theFifthTapGivesTheFirstTempoAndAPauseStartsAgain)
{
    test::FakeClock clock;
    vphoTapTempo taps(clock);
    std::vector<bool> available;
    for (int i = 0; i < 6; ++i) {
        available.push_back(taps.tap());
        clock.advance(500'000); // 120 BPM
    }
    EXPECT_EQ(available, (std::vector<bool>{false, false, false, false, true, true}));
    EXPECT_FLOAT_EQ(taps.getTempo(), 120.0f);

    clock.advance(3'000'000 - 500'000); // 3 s after the last tap
    EXPECT_FALSE(taps.tap()) << "a pause of 3 s starts a new series";
    available.clear();
    for (int i = 0; i < 5; ++i) {
        clock.advance(400'000); // 150 BPM
        available.push_back(taps.tap());
    }
    EXPECT_EQ(available, (std::vector<bool>{false, false, false, true, true}));
    EXPECT_FLOAT_EQ(taps.getTempo(), 150.0f);
}

TEST(TapTempo, theMeanCoversTheLast16IntervalsAndSameInstantTapsAreIgnored)
{
    test::FakeClock clock;
    vphoTapTempo taps(clock);
    taps.tap();
    for (int i = 0; i < 16; ++i) {
        clock.advance(1'000'000); // 60 BPM
        taps.tap();
    }
    for (int i = 0; i < 8; ++i) {
        clock.advance(500'000); // 120 BPM
        taps.tap();
    }
    EXPECT_FLOAT_EQ(taps.getTempo(), 90.0f);
    EXPECT_FALSE(taps.tap()) << "no interval, no division by zero";
    EXPECT_FLOAT_EQ(taps.getTempo(), 90.0f);
    clock.advance(500'000);
    EXPECT_TRUE(taps.tap());
    EXPECT_FLOAT_EQ(taps.getTempo(), (7 * 60.0f + 9 * 120.0f) / 16.0f);
}

} // namespace
