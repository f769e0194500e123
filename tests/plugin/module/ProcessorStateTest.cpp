#include "ModuleFixtures.h"

#include "plugin/module/Process.h"

#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>
#include <thread>

namespace {

using Zq::BorvanRAZ::Process;

class ProcessorStateTest : public ::testing::Test {
protected:
    std::string chunk()
    {
        void* data = nullptr;
        const std::int32_t size = t->getChunk(t, &data);
        return data ? std::string(static_cast<const char*>(data), static_cast<std::size_t>(size))
                    : std::string();
    }

    test::RecordingHost host;
    Process processor{host.getHostTable()};
    Zq::DUZ2::ProcessTable* t = processor.getTable();
};

TEST_F(ProcessorStateTest, getChunkHandsOutTheStateWithoutATerminatingZero)
{
    void* first = nullptr;
    const std::int32_t size = t->getChunk(t, &first);
    ASSERT_NE(first, nullptr);
    const std::string& state = processor.getDocument().saveChunk();
    EXPECT_EQ(size, static_cast<std::int32_t>(state.size()));
    EXPECT_EQ(std::memcmp(first, state.data(), state.size()), 0);

    // A second getChunk without a release frees the first buffer (the leak
    // checker sees it otherwise).
    void* second = nullptr;
    EXPECT_EQ(t->getChunk(t, &second), size);
    ASSERT_NE(second, nullptr);
    t->releaseChunk(t);
    t->releaseChunk(t);
    EXPECT_EQ(t->getChunk(t, nullptr), 0);
}

TEST_F(ProcessorStateTest, setChunkRoundTripsAndIgnoresEmptyInput)
{
    const std::string state = "<?xml version=\"1.0\" standalone=\"no\" ?><Preset "
                              "PresetName=\"Slap\"><Output Mix=\"40.0\" /></Preset>";
    t->setChunk(t, state.data(), static_cast<std::int32_t>(state.size()));
    EXPECT_EQ(processor.getDocument().getPresetName(), "Slap");
    EXPECT_EQ(processor.getDocument().getOutput().mix.getValue(), 40.0f);
    const std::string saved = chunk();
    EXPECT_NE(saved.find("PresetName=\"Slap\""), std::string::npos);
    t->setChunk(t, saved.data(), static_cast<std::int32_t>(saved.size()));
    EXPECT_EQ(chunk(), saved);

    struct Case {
        const char* name;
        const void* data;
        std::int32_t size;
    };
    for (const Case& c : {Case{"null", nullptr, 40}, Case{"size 0", "<Preset/>", 0},
                          Case{"negative size", "<Preset/>", -9}}) {
        t->setChunk(t, c.data, c.size);
        EXPECT_EQ(chunk(), saved) << c.name;
    }

    const char withZero[] = "<Preset PresetName=\"Cut\" />\0garbage";
    t->setChunk(t, withZero, sizeof withZero);
    EXPECT_EQ(processor.getDocument().getPresetName(), "Cut");
}

TEST_F(ProcessorStateTest, setChunkReadsNothingPastItsSize)
{
    // The chunk ends exactly where an unreadable page begins.
    const long page = ::sysconf(_SC_PAGESIZE);
    void* mapped =
        ::mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    char* pages = static_cast<char*>(mapped);
    ASSERT_EQ(::mprotect(pages + page, page, PROT_NONE), 0);
    const std::string state = "<Preset PresetName=\"Edge\" />";
    char* text = pages + page - state.size();
    std::memcpy(text, state.data(), state.size());

    t->setChunk(t, text, static_cast<std::int32_t>(state.size()));
    EXPECT_EQ(processor.getDocument().getPresetName(), "Edge");
    ::munmap(mapped, 2 * page);
}

TEST_F(ProcessorStateTest, parameterIndicesOutsideTheListReadNothingAndWriteNothing)
{
    const std::string before = chunk();
    ASSERT_EQ(t->getNumParameters(t), 107);
    for (std::int32_t index : {-1, 107, INT32_MAX, INT32_MIN}) {
        SCOPED_TRACE(index);
        EXPECT_STREQ(t->getParameterName(t, index), "");
        EXPECT_STREQ(t->getParameterDisplay(t, index), "");
        EXPECT_STREQ(t->getParameterTextForNormalized(t, index, 0.5f), "");
        EXPECT_EQ(t->getParameterValue(t, index), 0.0f);
        EXPECT_EQ(t->getParameterNormalized(t, index), 0.0f);
        EXPECT_EQ(t->convertNormalizedToPlain(t, index, 0.5f), 0.0f);
        t->setParameterValue(t, index, 0.9f);
        t->setParameterNormalized(t, index, 0.9f);
    }
    processor.getAutomation().waitUntilApplied();
    EXPECT_EQ(chunk(), before);
    EXPECT_STREQ(t->getParameterName(t, 106), "Cab Output Volume");
}

TEST_F(ProcessorStateTest, aTextStaysIntactWhileAnotherThreadCallsTheSameEntry)
{
    struct Entry {
        const char* name;
        const char* (*read)(Zq::DUZ2::ProcessTable*, std::int32_t index);
        const char* first;
    };
    const Entry entries[] = {
        {"getParameterName",
         [](Zq::DUZ2::ProcessTable* p, std::int32_t i) { return p->getParameterName(p, i); },
         "Master Level"},
        {"getParameterDisplay",
         [](Zq::DUZ2::ProcessTable* p, std::int32_t i) { return p->getParameterDisplay(p, i); },
         "0.0 dB"},
        {"getParameterTextForNormalized",
         [](Zq::DUZ2::ProcessTable* p, std::int32_t i) {
             return p->getParameterTextForNormalized(p, i, 0.5f);
         },
         "0.0 dB"},
    };
    for (const Entry& entry : entries) {
        SCOPED_TRACE(entry.name);
        const char* mine = entry.read(t, 0);
        std::thread other([&] {
            for (int i = 0; i < 2000; ++i)
                entry.read(t, 1);
        });
        other.join();
        EXPECT_STREQ(mine, entry.first);
    }
}

TEST_F(ProcessorStateTest, changesMadeInsideReachTheHostUnchanged)
{
    host.changes.clear(); // the amp head's parameters, bound at construction
    processor.notifyHostParameter(5, 12.5f, 0.625f);
    ASSERT_EQ(host.changes.size(), 1u);
    EXPECT_EQ(host.changes[0].index, 5);
    EXPECT_EQ(host.changes[0].plain, 12.5f);
    EXPECT_EQ(host.changes[0].normalized, 0.625f);

    Process hostless(nullptr);
    hostless.notifyHostParameter(5, 12.5f, 0.625f); // reported to nobody
}

} // namespace

TEST_F(ProcessorStateTest, aHostWriteJustBeforeAChunkSaveIsInTheChunk)
{
    const std::string before = chunk();
    t->releaseChunk(t);
    const float original = t->getParameterNormalized(t, 0);
    const float other = original < 0.5f ? 1.0f : 0.0f;
    for (int round = 0; round < 20; ++round) {
        // Every round changes parameter 0 and saves at once: the worker has
        // had no time of its own to apply the write.
        const bool changed = round % 2 == 0;
        t->setParameterNormalized(t, 0, changed ? other : original);
        const std::string saved = chunk();
        t->releaseChunk(t);
        if (changed) {
            EXPECT_NE(saved, before)
                << "round " << round << ": the write is missing from the chunk";
        } else {
            EXPECT_EQ(saved, before) << "round " << round;
        }
    }
}
