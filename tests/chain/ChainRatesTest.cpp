// The host changes the rate between blocks, the engine's way (every module
// updated in place): the chain keeps playing and every model follows.
#include "ChainHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace chain;

TEST(ChainRates, EveryRateInRandomOrderKeepsTheModelsRateFacts)
{
    std::vector<float> rates = {22050.0f, 32000.0f, 44100.0f,  48000.0f,
                                88200.0f, 96000.0f, 176400.0f, 192000.0f};
    std::mt19937 rng(5);
    std::vector<float> order;
    for (int pass = 0; pass < 2; ++pass) {
        std::shuffle(rates.begin(), rates.end(), rng);
        order.insert(order.end(), rates.begin(), rates.end());
    }

    Rig r;
    loadFull(r); // compressor 0, octaver 1, chorus 4, analog delay 5 at 120 ms
    r.run(phrase(2205), {256});
    const double halfPower = 1.0 / std::sqrt(2.0);
    for (float rate : order) {
        SCOPED_TRACE(rate);
        ASSERT_TRUE(r.host.setSampleRate(rate));
        const rig::Stereo y =
            r.run(phrase(static_cast<std::size_t>(rate * 0.04f), rate), {200, 73});
        ASSERT_TRUE(allFinite(y));
        EXPECT_GT(rms(y.left), 1e-4);

        const auto& lp2 = dynamic_cast<OctaverTraitsDetails::FilterOctaveLP2&>(
                              current<OctaverElement>(r, 1).getSubModule("OctaveLP2"))
                              .getCoefficients();
        EXPECT_NEAR(magnitude(lp2, 72.38, rate) / magnitude(lp2, 0.0, rate), halfPower, 2e-4);

        const auto& out = current<CompressorElement>(r, 0).getFilterOut().getCoefficients();
        EXPECT_NEAR(magnitude(out, 50.0, rate) / magnitude(out, rate / 2.0, rate), halfPower, 2e-4);

        const auto ring = static_cast<std::uint32_t>(std::trunc(double(rate) * 0.5)) + 1;
        const DelayElement& delay = current<DelayElement>(r, 5);
        EXPECT_EQ(delay.getDelayLine().getBufferSize(), ring);
        EXPECT_FLOAT_EQ(delay.getDelayLine().getTargetLength(), rate * 0.12f);
        EXPECT_EQ(r.value(stompName("Delay", 5)), 120.0f);
        // A model switched away follows as well.
        EXPECT_EQ(
            dynamic_cast<DelayElement&>(slot(r, 0).getElement(8)).getDelayLine().getBufferSize(),
            ring);

        const auto chorusRing = static_cast<std::uint32_t>(rate) + 1;
        EXPECT_EQ(current<ChorusElement>(r, 4).getChorus().getDelayLine().getBufferSize(),
                  chorusRing);
        EXPECT_EQ(dynamic_cast<ChorusElement&>(slot(r, 0).getElement(2))
                      .getChorus()
                      .getDelayLine()
                      .getBufferSize(),
                  chorusRing);

        // The cabinet holds what one built at this rate holds.
        Rig fresh(rate);
        loadFull(fresh);
        const Cabinet& cabinet = r.module<Cabinet>("CabModule");
        const Cabinet& built = fresh.module<Cabinet>("CabModule");
        ASSERT_EQ(cabinet.getWooferSet().getResponseLength(),
                  built.getWooferSet().getResponseLength());
        ASSERT_EQ(cabinet.getTweeterSet().getResponseLength(),
                  built.getTweeterSet().getResponseLength());
        EXPECT_TRUE(
            std::equal(cabinet.getWooferResponse(),
                       cabinet.getWooferResponse() + cabinet.getWooferSet().getResponseLength(),
                       built.getWooferResponse()));
        EXPECT_TRUE(
            std::equal(cabinet.getTweeterResponse(),
                       cabinet.getTweeterResponse() + cabinet.getTweeterSet().getResponseLength(),
                       built.getTweeterResponse()));
        // And plays it: the same impulse through the cabinet alone (no stomps,
        // no amp) gives the same answer from both.
        std::vector<float> impulse(512, 0.0f);
        impulse[0] = 0.25f;
        r.run(64); // what the host still holds of the phrase enters before the reset
        r.set().reset();
        fresh.set().reset();
        r.setNow("Mix_MainMixer", 0.0f);
        fresh.setNow("Mix_MainMixer", 0.0f);
        for (Rig* each : {&r, &fresh}) {
            each->setNow("Process_StompModule", each->state("Process_StompModule", "Bypass"));
            each->setNow("Model_0_AmpModule", static_cast<float>(amps::Model::Empty));
        }
        const rig::Stereo a = r.run(impulse, {64});
        const rig::Stereo b = fresh.run(impulse, {64});
        for (std::size_t i = rig::kLatency; i < impulse.size();
             ++i) // after what was made before the reset
            ASSERT_NEAR(a.left[i], b.left[i], 1e-6f) << i;
        EXPECT_GT(rms(a.left), 1e-4);
        r.setNow("Mix_MainMixer", 0.5f);
        r.setNow("Process_StompModule", r.state("Process_StompModule", "Normal"));
        r.setNow("Model_0_AmpModule", static_cast<float>(amps::Model::V9E));
    }
}

} // namespace
