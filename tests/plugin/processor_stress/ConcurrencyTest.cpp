// ctest-label: tsan
// Two processors of one module, each driven as a host drives it from three
// threads at once: audio, host automation and the UI.
#include "StressFixtures.h"

#include "plugin/rig/DsmActivePreference.h"

#include <array>
#include <cmath>
#include <limits>
#include <random>

namespace {

using Zq::DUZ2::ProcessTable;

struct Counters {
    std::atomic<long> progress{0};
    std::atomic<long> blocks{0};
    std::atomic<long> loads{0};
    std::atomic<long> nonFiniteBlocks{0};
    std::atomic<long> emptyChunks{0};
    std::atomic<bool> stop{false};
};

void audioThread(ProcessTable* t, unsigned seed, Counters& c)
{
    constexpr int kLongest = 4096;
    const std::vector<float> tone = test::sine(kLongest, 0.5f, 110.0f, 44100.0f);
    std::vector<float> inL = tone, inR = tone, outL(kLongest), outR(kLongest);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> frames(0, 1024);
    while (!c.stop.load()) {
        const int n = random() % 50 == 0 ? kLongest : frames(random);
        float* ins[2] = {inL.data(), inR.data()};
        float* outs[2] = {outL.data(), outR.data()};
        t->process(t, ins, outs, n, nullptr);
        if (!test::allFinite(outL.data(), n) || !test::allFinite(outR.data(), n))
            c.nonFiniteBlocks.fetch_add(1);
        c.blocks.fetch_add(1);
        c.progress.fetch_add(1);
    }
}

void automationThread(ProcessTable* t, unsigned seed, Counters& c)
{
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> index(-1, test::kParameterCount);
    std::uniform_real_distribution<float> normalized(-0.1f, 1.1f);
    std::uniform_real_distribution<float> plain(-100.0f, 1000.0f);
    std::size_t characters = 0;
    long writes = 0;
    while (!c.stop.load()) {
        const int i = index(random);
        const int pick = random() % 40;
        const float value = pick == 0 ? kNaN : pick == 1 ? kInf : pick == 2 ? -kInf : 0.0f;
        if (random() % 2)
            t->setParameterNormalized(t, i, pick < 3 ? value : normalized(random));
        else
            t->setParameterValue(t, i, pick < 3 ? value : plain(random));
        // Texts are copied at once: the next call on this thread reuses them.
        const std::string display = t->getParameterDisplay(t, i);
        const std::string text = t->getParameterTextForNormalized(t, i, normalized(random));
        const std::string name = t->getParameterName(t, i);
        characters += display.size() + text.size() + name.size();
        t->getParameterValue(t, i);
        t->getParameterNormalized(t, i);
        t->convertNormalizedToPlain(t, i, pick < 3 ? value : normalized(random));
        c.progress.fetch_add(1);
        // Bursts at a host's pace: each write the worker applies waits for
        // the audio block that holds the engine, so an endless flood would
        // only grow the queue that chunk calls wait for.
        if (++writes % 16 == 0)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    EXPECT_GT(characters, 0u);
}

void uiThread(ProcessTable* t, test::StressHost& host, unsigned seed, bool togglesPreference,
              Counters& c)
{
    const std::vector<std::string>& chunks = test::switchingChunks();
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> tempo(40.0f, 240.0f);
    for (unsigned round = seed; !c.stop.load(); ++round) {
        test::loadChunk(t, chunks[round % chunks.size()]);
        c.loads.fetch_add(1);
        if (test::chunkOf(t).empty())
            c.emptyChunks.fetch_add(1);
        if (togglesPreference && round % 3 == 0) {
            // Module-wide, set on one UI thread only, as the preferences
            // panel does; every processor's heads follow it.
            auto& preference = Zq::BorvanRAZ::Document::findDsmActivePreference()->getParameter();
            preference.setValue(preference.getValue() >= 1.0f ? 0.0f : 1.0f, true);
        }
        host.tempo.store(tempo(random));
        c.progress.fetch_add(1);
    }
}

TEST(ProcessorConcurrency, twoProcessorsUnderAudioAutomationAndUIThreads)
{
    ASSERT_NE(Zq::BorvanRAZ::Document::findDsmActivePreference(), nullptr);
    test::ModuleUse module;
    std::array<test::StressHost, 2> hosts;
    std::array<ProcessTable*, 2> processors{};
    for (int p = 0; p < 2; ++p) {
        processors[p] = module.create(hosts[p].getHostTable());
        ASSERT_NE(processors[p], nullptr);
        processors[p]->setBlockSize(processors[p], 512);
        processors[p]->setSampleRate(processors[p], 44100.0f);
    }

    Counters c;
    {
        test::Watchdog watchdog(c.progress);
        std::vector<std::thread> threads;
        for (int p = 0; p < 2; ++p) {
            const unsigned seed = 100u * static_cast<unsigned>(p + 1);
            threads.emplace_back(audioThread, processors[p], seed + 1, std::ref(c));
            threads.emplace_back(automationThread, processors[p], seed + 2, std::ref(c));
            threads.emplace_back(uiThread, processors[p], std::ref(hosts[p]), seed + 3, p == 0,
                                 std::ref(c));
        }
        // Bounded by time; a fast build ends once every side had its share.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline &&
               (c.loads.load() < 200 || c.blocks.load() < 4000))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        c.stop.store(true);
        for (std::thread& thread : threads)
            thread.join();

        // The second processor goes with host writes still queued.
        ProcessTable* doomed = processors[1];
        for (int i = 0; i < 2000; ++i)
            doomed->setParameterNormalized(doomed, i % test::kParameterCount,
                                           static_cast<float>(i % 11) / 10.0f);
        module.destroy(doomed);
    }

    EXPECT_GT(c.loads.load(), 0);
    EXPECT_GT(c.blocks.load(), 0);
    EXPECT_EQ(c.nonFiniteBlocks.load(), 0);
    EXPECT_EQ(c.emptyChunks.load(), 0);
    for (const test::StressHost& host : hosts)
        EXPECT_EQ(host.badChanges.load(), 0);

    ProcessTable* survivor = processors[0];
    EXPECT_EQ(survivor->getNumParameters(survivor), test::kParameterCount);
    test::expectChunkInRange(test::chunkOf(survivor));
    test::expectParametersInRange(survivor);
    module.destroy(survivor);
}

} // namespace
