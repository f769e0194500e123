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
    const std::string state =
        "<?xml version=\"1.0\" standalone=\"no\" ?><Preset PresetName=\"Slap\" />";
    t->setChunk(t, state.data(), static_cast<std::int32_t>(state.size()));
    EXPECT_EQ(chunk(), state);
    const std::string saved = chunk();
    t->setChunk(t, saved.data(), static_cast<std::int32_t>(saved.size()));
    EXPECT_EQ(chunk(), state);

    struct Case {
        const char* name;
        const void* data;
        std::int32_t size;
    };
    for (const Case& c : {Case{"null", nullptr, 40}, Case{"size 0", "<Preset/>", 0},
                          Case{"negative size", "<Preset/>", -9}}) {
        t->setChunk(t, c.data, c.size);
        EXPECT_EQ(chunk(), state) << c.name;
    }

    const char withZero[] = "<Preset A=\"1\" />\0garbage";
    t->setChunk(t, withZero, sizeof withZero);
    EXPECT_EQ(chunk(), "<Preset A=\"1\" />");
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
    EXPECT_EQ(chunk(), state);
    ::munmap(mapped, 2 * page);
}

TEST_F(ProcessorStateTest, parameterIndicesOutsideTheListReadNothingAndWriteNothing)
{
    auto expectNeutral = [&](std::int32_t index) {
        SCOPED_TRACE(index);
        EXPECT_STREQ(t->getParameterName(t, index), "");
        EXPECT_STREQ(t->getParameterDisplay(t, index), "");
        EXPECT_STREQ(t->getParameterTextForNormalized(t, index, 0.5f), "");
        EXPECT_EQ(t->getParameterValue(t, index), 0.0f);
        EXPECT_EQ(t->getParameterNormalized(t, index), 0.0f);
        EXPECT_EQ(t->convertNormalizedToPlain(t, index, 0.5f), 0.0f);
        t->setParameterValue(t, index, 0.9f);
        t->setParameterNormalized(t, index, 0.9f);
    };
    EXPECT_EQ(t->getNumParameters(t), 0);
    for (std::int32_t index : {-1, 0, INT32_MAX, INT32_MIN})
        expectNeutral(index);

    processor.getAutomation().addParameter("Master Volume", 0.25f);
    processor.getAutomation().addParameter("Amp Gain", 0.75f);
    EXPECT_EQ(t->getNumParameters(t), 2);
    for (std::int32_t index : {-1, 2, INT32_MAX})
        expectNeutral(index);
    EXPECT_STREQ(t->getParameterName(t, 1), "Amp Gain");
    t->setParameterNormalized(t, 0, 0.5f);
    EXPECT_EQ(t->getParameterValue(t, 0), 0.5f);
    EXPECT_EQ(t->getParameterValue(t, 1), 0.75f);
    EXPECT_EQ(processor.getAutomation().getOutOfRangeCalls(), 0);
}

TEST_F(ProcessorStateTest, aTextStaysIntactWhileAnotherThreadCallsTheSameEntry)
{
    processor.getAutomation().addParameter("Master Volume", 0.25f);
    processor.getAutomation().addParameter("Amp Gain", 0.75f);
    struct Entry {
        const char* name;
        const char* (*read)(Zq::DUZ2::ProcessTable*, std::int32_t index);
        const char* first;
    };
    const Entry entries[] = {
        {"getParameterName",
         [](Zq::DUZ2::ProcessTable* p, std::int32_t i) { return p->getParameterName(p, i); },
         "Master Volume"},
        {"getParameterDisplay",
         [](Zq::DUZ2::ProcessTable* p, std::int32_t i) { return p->getParameterDisplay(p, i); },
         "0.25"},
        {"getParameterTextForNormalized",
         [](Zq::DUZ2::ProcessTable* p, std::int32_t i) {
             return p->getParameterTextForNormalized(p, i, i == 0 ? 0.25f : 0.75f);
         },
         "0.25"},
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
    processor.notifyHostParameter(5, 12.5f, 0.625f);
    ASSERT_EQ(host.changes.size(), 1u);
    EXPECT_EQ(host.changes[0].index, 5);
    EXPECT_EQ(host.changes[0].plain, 12.5f);
    EXPECT_EQ(host.changes[0].normalized, 0.625f);

    Process hostless(nullptr);
    hostless.notifyHostParameter(5, 12.5f, 0.625f); // reported to nobody
}

} // namespace
