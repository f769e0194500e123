// ctest-label: tsan
// Model, detail and power-mode switches while audio runs and the control side
// reads values, as the engine facade arranges it: the audio thread runs the
// host and the control thread pushes changes under one lock; readers read
// parameters by name without it. Run under the address and thread sanitizers
// as well.

#include "tests/models/amps/AmpRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>

using namespace amps;

namespace {

using Clock = std::chrono::steady_clock;

// Fails the run when no thread has made progress for ten seconds.
class Watchdog {
public:
    explicit Watchdog(std::atomic<std::uint64_t>& progress)
        : progress_(progress), thread_([this] { watch(); })
    {
    }
    ~Watchdog()
    {
        done_ = true;
        thread_.join();
    }

private:
    void watch()
    {
        std::uint64_t seen = progress_.load();
        auto since = Clock::now();
        while (!done_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const std::uint64_t now = progress_.load();
            if (now != seen) {
                seen = now;
                since = Clock::now();
            } else if (Clock::now() - since > std::chrono::seconds(10)) {
                std::fprintf(stderr, "amp switch stress: no progress for 10 s\n");
                std::abort();
            }
        }
    }

    std::atomic<std::uint64_t>& progress_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

} // namespace

TEST(AmpSwitchStress, SwitchesWhileAudioRunsAndTheControlSideReads)
{
    AmpRig rig;
    std::mutex lock;
    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> progress{0};
    std::atomic<std::uint64_t> switches{0};
    std::atomic<std::uint64_t> blocks{0};
    std::atomic<std::uint64_t> reads{0};
    std::atomic<bool> nonFinite{false};
    Watchdog watchdog(progress);

    std::thread audio([&] {
        std::mt19937 random(1);
        std::uniform_int_distribution<std::uint32_t> size(1, 8192);
        std::vector<float> x(8192), y(8192);
        double phase = 0.0;
        while (!stop) {
            const std::uint32_t n = size(random);
            for (std::uint32_t i = 0; i < n; ++i) {
                phase += 2.0 * std::numbers::pi * 82.4 / 44100.0;
                x[i] = 0.5f * static_cast<float>(std::sin(phase));
            }
            const float* in[] = {x.data()};
            float* out[] = {y.data()};
            {
                std::lock_guard<std::mutex> guard(lock);
                rig.host.processHost(in, out, n);
            }
            for (std::uint32_t i = 0; i < n; ++i)
                if (!std::isfinite(y[i]))
                    nonFinite = true;
            ++blocks;
            ++progress;
        }
    });

    std::thread control([&] {
        std::mt19937 random(2);
        std::uniform_int_distribution<int> model(0, 4);
        std::uniform_int_distribution<int> binary(0, 1);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        const char* knobs[] = {"Gain",     "Master",     "Bass",      "Treble",
                               "UltraMid", "CompAmount", "GainAdjPre"};
        int current = 0;
        while (!stop) {
            {
                std::lock_guard<std::mutex> guard(lock);
                for (int k = 0; k < 16; ++k) {
                    const int next = model(random);
                    rig.push("Model_0_AmpModule", float(next) + 0.5f * unit(random));
                    if (next != current)
                        ++switches;
                    current = next;
                }
                rig.pushHead("DSM", float(binary(random)));
                rig.pushHead("PowerMode", float(binary(random)));
                for (const char* knob : knobs)
                    rig.pushHead(knob, unit(random));
            }
            ++progress;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });

    // Without the lock, by name, through the module set and the host.
    std::thread reader([&] {
        const std::string names[] = {
            ampName("PreampPeak"), ampName("LimitPeak"), ampName("Gain"),    ampName("Master"),
            ampName("DSM"),        ampName("PowerMode"), "Model_0_AmpModule"};
        while (!stop) {
            for (const std::string& name : names) {
                const float a = rig.set().getParameter(name).getValue();
                const float b = rig.host.readValue(name);
                if (!std::isfinite(a) || !std::isfinite(b))
                    nonFinite = true;
            }
            ++reads;
            ++progress;
        }
    });

    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(5) && switches < 20000)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop = true;
    audio.join();
    control.join();
    reader.join();

    std::printf("%llu model switches, %llu host blocks, %llu read rounds\n",
                static_cast<unsigned long long>(switches.load()),
                static_cast<unsigned long long>(blocks.load()),
                static_cast<unsigned long long>(reads.load()));
    EXPECT_FALSE(nonFinite);
    EXPECT_GE(switches.load(), 1000u);
    EXPECT_GE(blocks.load(), 50u);
}
