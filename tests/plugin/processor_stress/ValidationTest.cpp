// ctest-label: tsan
// What a plug-in validator puts a processor through: blocks of any length
// before and after set-up, set-up calls between runs, suspend and resume,
// state loaded while audio plays, host writes from the audio thread, and no
// allocation on the audio thread once it plays steadily.
#include "StressFixtures.h"

#include "platform/CriticalSection.h"
#include "plugin/module/Process.h"
#include "tests/support/CountingAllocator.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <thread>

namespace {

using Zq::DUZ2::ProcessTable;

// A stereo 110 Hz tone through one processor, block by block.
class Player {
public:
    explicit Player(ProcessTable* t, float rate = 44100.0f) : t_(t), rate_(rate) {}

    // Plays frames; true when every output sample was finite.
    bool play(int frames)
    {
        if (static_cast<int>(inL_.size()) < frames) {
            inL_.resize(frames);
            inR_.resize(frames);
            outL_.resize(frames);
            outR_.resize(frames);
        }
        for (int i = 0; i < frames; ++i) {
            inL_[i] = inR_[i] =
                0.5f * static_cast<float>(std::sin(phase_ + 2.0 * M_PI * 110.0 * i / rate_));
        }
        phase_ = std::fmod(phase_ + 2.0 * M_PI * 110.0 * frames / rate_, 2.0 * M_PI);
        float* ins[2] = {inL_.data(), inR_.data()};
        float* outs[2] = {outL_.data(), outR_.data()};
        t_->process(t_, ins, outs, frames, nullptr);
        peak_ = 0.0f;
        for (int i = 0; i < frames; ++i)
            peak_ = std::max({peak_, std::abs(outL_[i]), std::abs(outR_[i])});
        return test::allFinite(outL_.data(), frames) && test::allFinite(outR_.data(), frames);
    }
    float peak() const { return peak_; }
    const std::vector<float>& left() const { return outL_; }
    void setRate(float rate) { rate_ = rate; }

private:
    ProcessTable* t_;
    float rate_;
    double phase_ = 0.0;
    float peak_ = 0.0f;
    std::vector<float> inL_, inR_, outL_, outR_;
};

class ProcessorValidation : public ::testing::Test {
protected:
    ProcessTable* create()
    {
        ProcessTable* t = module.create(host.getHostTable());
        created.push_back(t);
        return t;
    }
    void TearDown() override
    {
        for (ProcessTable* t : created)
            module.destroy(t);
    }

    test::ModuleUse module;
    test::StressHost host;
    std::vector<ProcessTable*> created;
};

TEST_F(ProcessorValidation, blocksOfAnyLengthBeforeAndAfterSetUp)
{
    ProcessTable* t = create();
    Player player(t);
    // No set-up call at all yet; then a block size far below the blocks.
    for (int frames : {1, 3, 17, 333, 1000, 4096, 8192, 8193, 20000})
        ASSERT_TRUE(player.play(frames)) << frames;
    EXPECT_GT(player.peak(), 1e-4f) << "the tone comes through";
    t->setBlockSize(t, 64);
    t->setSampleRate(t, 44100.0f);
    for (int frames : {8192, 65, 63, 1, 4099})
        ASSERT_TRUE(player.play(frames)) << frames;
    EXPECT_GT(player.peak(), 1e-4f);
    // A block size of 0 keeps a processor able to play.
    t->setBlockSize(t, 0);
    ASSERT_TRUE(player.play(700));

    // A block of no frames writes nothing.
    float in[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float outL[4] = {7.0f, 7.0f, 7.0f, 7.0f};
    float outR[4] = {7.0f, 7.0f, 7.0f, 7.0f};
    float* ins[2] = {in, in};
    float* outs[2] = {outL, outR};
    t->process(t, ins, outs, 0, nullptr);
    t->processInPlace(t, ins, 0, nullptr);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(outL[i] == 7.0f && outR[i] == 7.0f && in[i] == 1.0f);
}

// Suspend, resume, start, stop and new block sizes between runs change no
// sample: a twin that never hears them plays the same.
TEST_F(ProcessorValidation, setUpCallsBetweenRunsAndSuspendResumeCyclesChangeNothingAudible)
{
    ProcessTable* cycled = create();
    ProcessTable* twin = create();
    for (ProcessTable* t : {cycled, twin}) {
        t->setBlockSize(t, 256);
        t->setSampleRate(t, 44100.0f);
        t->resume(t);
    }
    Player a(cycled), b(twin);
    const int sizes[] = {256, 256, 100, 4096, 1, 512};
    const int blockSizes[] = {64, 4096, 1, 512, 256, 8192};
    for (int round = 0; round < 12; ++round) {
        cycled->suspend(cycled);
        cycled->stopProcess(cycled);
        cycled->setBlockSize(cycled, blockSizes[round % 6]);
        cycled->setSampleRate(cycled, 44100.0f);
        cycled->resume(cycled);
        cycled->startProcess(cycled);
        for (int frames : sizes) {
            ASSERT_TRUE(a.play(frames));
            ASSERT_TRUE(b.play(frames));
            for (int i = 0; i < frames; ++i)
                ASSERT_NEAR(a.left()[i], b.left()[i], 1e-6f) << "round " << round << " frame " << i;
        }
    }
    EXPECT_GT(a.peak(), 1e-4f);

    // New rates between runs, down and up again: the tone still comes through.
    for (float rate : {48000.0f, 96000.0f, 22050.0f, 192000.0f, 44100.0f}) {
        cycled->suspend(cycled);
        cycled->setSampleRate(cycled, rate);
        cycled->resume(cycled);
        a.setRate(rate);
        for (int block = 0; block < 8; ++block)
            ASSERT_TRUE(a.play(1024)) << rate;
        EXPECT_GT(a.peak(), 1e-4f) << rate;
    }
}

// The audio thread plays and writes host parameters while the UI thread loads
// states; then the last state loaded is the state the processor holds.
TEST_F(ProcessorValidation, stateLoadedMidStreamWithHostWritesFromTheAudioThread)
{
    ProcessTable* t = create();
    t->setBlockSize(t, 512);
    std::atomic<bool> stop{false};
    std::atomic<long> progress{0};
    std::atomic<long> blocks{0};
    std::atomic<bool> finite{true};
    {
        test::Watchdog watchdog(progress);
        std::thread audio([&] {
            Player player(t);
            std::mt19937 random(5);
            while (!stop.load()) {
                // Host automation arrives on the audio thread, between blocks.
                const int index = static_cast<int>(random() % test::kParameterCount);
                t->setParameterNormalized(t, index, static_cast<float>(random() % 101) / 100.0f);
                t->setParameterValue(t, static_cast<int>(random() % test::kParameterCount),
                                     static_cast<float>(random() % 2000) / 10.0f - 50.0f);
                if (!player.play(1 + static_cast<int>(random() % 512)))
                    finite.store(false);
                blocks.fetch_add(1);
                progress.fetch_add(1);
            }
        });
        const std::vector<std::string>& chunks = test::switchingChunks();
        for (int round = 0; round < 40 || blocks.load() < 200; ++round) {
            test::loadChunk(t, chunks[round % chunks.size()]);
            test::chunkOf(t);
            progress.fetch_add(1);
        }
        stop.store(true);
        audio.join();
    }
    EXPECT_TRUE(finite.load());
    test::expectParametersInRange(t);
    test::expectChunkInRange(test::chunkOf(t));

    // Loaded while audio plays, with no writes after it: exactly that state.
    std::atomic<bool> quiet{false};
    std::thread audio([&] {
        Player player(t);
        while (!quiet.load())
            player.play(256);
    });
    test::loadChunk(t, test::fullRigChunk());
    const std::string loaded = test::chunkOf(t);
    quiet.store(true);
    audio.join();
    // A tempo-synchronised delay follows the tempo the processor last heard.
    ProcessTable* reference = create();
    Player(reference).play(64);
    test::loadChunk(reference, test::fullRigChunk());
    EXPECT_EQ(loaded, test::chunkOf(reference));
}

// A host rendering back to back (a bounce: no pacing between blocks) that
// writes parameters every block: saves still come through (the settle waits
// only for the writes made before it, and applying a write never waits for
// a block), the host-write queue never grows past its capacity, and neither
// the writes nor the blocks allocate on the audio thread. Once with one
// control written every block, once with all 107 parameters (selectors moved
// within their present choice, so no model is rebuilt).
TEST_F(ProcessorValidation, backToBackAudioWithWritesEveryBlockNeverStallsASave)
{
    using Zq::BorvanRAZ::Automation::Main;
    for (const bool everyParameter : {false, true}) {
        SCOPED_TRACE(everyParameter ? "all parameters" : "one parameter");
        ProcessTable* t = create();
        t->setBlockSize(t, 256);
        t->setSampleRate(t, 44100.0f);
        Zq::BorvanRAZ::Process& processor = test::processorOf(t);
        Main& manager = processor.getAutomation();
        std::vector<float> base(test::kParameterCount);
        for (int i = 0; i < test::kParameterCount; ++i) {
            const float value = t->getParameterNormalized(t, i);
            base[static_cast<std::size_t>(i)] = value > 0.5f ? value - 0.002f : value + 0.002f;
        }
        // The index the one-parameter run writes: the output mix.
        const int control = 2;

        std::atomic<bool> stop{false};
        std::atomic<long> progress{0};
        std::atomic<long> allocations{0};
        std::atomic<std::size_t> mostQueued{0};
        test::Watchdog watchdog(progress);
        std::thread audio([&] {
            Player player(t);
            auto write = [&](int index, long block) {
                const float nudge = block % 2 == 0 ? 0.0f : 0.001f;
                t->setParameterNormalized(t, index, base[static_cast<std::size_t>(index)] + nudge);
            };
            for (long block = 0; !stop.load(); ++block) {
                // The first blocks warm up: the graph's first piece sizes its
                // buffers.
                test::allocations::countingThisThread = block >= 50;
                if (everyParameter) {
                    for (int i = 0; i < test::kParameterCount; ++i)
                        write(i, block);
                } else {
                    write(control, block);
                }
                player.play(256);
                test::allocations::countingThisThread = false;
                mostQueued = std::max(mostQueued.load(), manager.getQueuedEvents());
                progress.fetch_add(1);
            }
        });
        // Saves while the audio runs on; none meets the settle's bound.
        ::testing::internal::CaptureStderr();
        for (int save = 0; save < 20; ++save) {
            const long before = progress.load();
            test::chunkOf(t);
            while (progress.load() < before + 20) // some blocks between saves
                std::this_thread::yield();
        }
        stop = true;
        audio.join();
        allocations = test::allocations::take();
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.find("still waiting"), std::string::npos) << said;
        EXPECT_EQ(allocations.load(), 0);
        EXPECT_LE(mostQueued.load(), Main::kQueueCapacity);
        EXPECT_EQ(manager.getDroppedWrites(), 0u);
        // The last writes reached the document.
        manager.waitUntilApplied();
        EXPECT_NEAR(t->getParameterNormalized(t, control),
                    processor.getAutomation().getList().getNormalized(control), 1e-6f);
    }
}

// Once a rig plays steadily, nothing on the audio thread allocates: not the
// block, the tempo changes it passes on (the analog delay follows the tempo),
// the meter and tuner read-backs it copies, nor the host writes it makes.
TEST_F(ProcessorValidation, steadyStateAllocatesNothingOnTheAudioThread)
{
    {
        {
            test::allocations::Counting counting;
            int* volatile probe = new int[16];
            delete[] probe;
        }
        ASSERT_EQ(test::allocations::take(), 1) << "the counter sees allocations";
    }

    ProcessTable* t = create();
    t->setBlockSize(t, 256);
    t->setSampleRate(t, 44100.0f);
    test::loadChunk(t, test::fullRigChunk());
    {
        Zq::BorvanRAZ::Process& process = test::processorOf(t);
        platform::ScopedEnter guard(*process.getDocument().getLock());
        process.getDocument().getTuner().bypass.setValue(0.0f, true);
    }
    // Host writes to controls only: a model switch relinks the graph.
    std::vector<int> controls;
    for (int i = 0; i < test::kParameterCount; ++i) {
        const std::string name = t->getParameterName(t, i);
        if (name.find("Stomp") == std::string::npos && name.find("Model") == std::string::npos &&
            name.find("Cabinet") == std::string::npos && name.find("Mic") == std::string::npos)
            controls.push_back(i);
    }
    ASSERT_GT(controls.size(), 50u);

    Player player(t);
    const float tempos[] = {120.0f, 97.5f, 140.0f, 60.0f};
    auto run = [&](int blocks, bool counted) {
        std::mt19937 random(11);
        for (int block = 0; block < blocks; ++block) {
            if (block % 40 == 0)
                host.tempo.store(tempos[(block / 40) % 4]);
            const int index = controls[random() % controls.size()];
            const float value = static_cast<float>(random() % 101) / 100.0f;
            test::allocations::countingThisThread = counted;
            t->setParameterNormalized(t, index, value);
            player.play(256);
            t->getParameterValue(t, index);
            test::allocations::countingThisThread = false;
            // Now and then the worker catches up with the writes.
            if (block % 10 == 0)
                test::chunkOf(t);
        }
    };
    // Warm up with the same traffic: every write value and tempo seen once.
    run(200, false);
    run(400, true);
    EXPECT_EQ(test::allocations::take(), 0);
    EXPECT_GT(player.peak(), 1e-5f);

    Zq::BorvanRAZ::Process& process = test::processorOf(t);
    platform::ScopedEnter guard(*process.getDocument().getLock());
    EXPECT_NE(process.getDocument().getOutput().outputLevelMeterL.getValue(), 0.0f)
        << "the meters were read back";
}

} // namespace
