// Garbage from the host: bursts of NaN, infinities and huge values leave the
// chain playing, and the module set's reset brings it back to where a twin
// that heard silence instead stands.
#include "ChainHelpers.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

using namespace chain;

struct Config {
    std::string name;
    std::function<void(Rig&)> load;
};

std::vector<Config> configs()
{
    std::vector<Config> list;
    for (const std::string& model : stompModels())
        list.push_back({"slot 0 " + model, [model](Rig& r) {
                            r.applyDefaults();
                            chooseStomp(r, 0, model);
                            // The octaver's module levels are both zero, and
                            // the start-up mixer plays no dry signal beside
                            // the chain: give it the levels the rig document
                            // starts it with ("Octave" 7, "Direct" 6 of 10).
                            if (model == "Octaver") {
                                r.setNow(stompName("OctaveLevel", 0), 0.7f);
                                r.setNow(stompName("Level", 0), 0.6f);
                            }
                            r.set().reset();
                        }});
    list.push_back({"loaded", loadFull});
    return list;
}

rig::Stereo afterLatency(rig::Stereo y)
{
    for (auto* channel : {&y.left, &y.right})
        channel->erase(channel->begin(), channel->begin() + rig::kLatency);
    return y;
}

TEST(ChainRobustness, BurstsOfGarbageLeaveNoTrace)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float bursts[] = {std::numeric_limits<float>::quiet_NaN(), inf, -inf, 1e6f};
    const std::vector<float> before = phrase(2205, 44100.0f, 3);
    const std::vector<float> after = phrase(4410, 44100.0f, 4);
    const std::size_t burstLength = 700;
    const std::vector<std::uint32_t> blocks = {256, 61};

    for (const Config& config : configs()) {
        SCOPED_TRACE(config.name);
        Rig twin;
        config.load(twin);
        twin.run(before, blocks);
        twin.run(burstLength, 0.0f);
        twin.run(64, 0.0f);
        twin.set().reset();
        const rig::Stereo reference = afterLatency(twin.run(after, blocks));
        ASSERT_TRUE(allFinite(reference));
        ASSERT_GT(rms(reference.left), 1e-4);

        for (float burst : bursts) {
            SCOPED_TRACE(burst);
            Rig r;
            config.load(r);
            r.run(before, blocks);
            r.run(burstLength, burst);
            // Silence pushes the burst's last samples out of the host's
            // latency into the graph before the reset; the first samples out
            // after it were made before it.
            r.run(64, 0.0f);
            r.set().reset();
            const rig::Stereo y = afterLatency(r.run(after, blocks));
            ASSERT_TRUE(allFinite(y));
            EXPECT_NEAR(20.0 * std::log10(rms(y.left) / rms(reference.left)), 0.0, 1.0);
            EXPECT_NEAR(20.0 * std::log10(rms(y.right) / rms(reference.right)), 0.0, 1.0);

            // Without a reset as well, nothing stays poisoned: once the burst
            // has left the delays it is heard in, the output is finite again.
            r.run(burstLength, burst);
            const rig::Stereo healed = r.run(after, blocks);
            const std::size_t settled = 2205;
            for (std::size_t i = settled; i < healed.left.size(); ++i) {
                ASSERT_TRUE(std::isfinite(healed.left[i])) << i;
                ASSERT_TRUE(std::isfinite(healed.right[i])) << i;
            }
        }
    }
}

} // namespace
