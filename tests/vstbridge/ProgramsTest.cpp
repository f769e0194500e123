// The 100 programs, banks and chunks: exact loads and saves over the
// recording stand-in, round trips over the real module.

#include "VstTestHost.h"

#include <optional>

namespace {

using namespace test;

struct Record {
    std::string name;
    std::string chunk;
    bool operator==(const Record&) const = default;
};

void putInt32(std::string& out, std::int64_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFFu));
}

std::int32_t int32At(const std::string& bank, std::size_t at)
{
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(
                    static_cast<unsigned char>(bank[at + static_cast<std::size_t>(i)]))
                << (8 * i);
    return static_cast<std::int32_t>(bits);
}

std::string makeBank(const std::vector<Record>& records, std::optional<std::int32_t> count = {})
{
    std::string bank;
    putInt32(bank, count.value_or(static_cast<std::int32_t>(records.size())));
    for (const Record& record : records) {
        putInt32(bank, static_cast<std::int64_t>(record.name.size()));
        bank += record.name;
        putInt32(bank, static_cast<std::int64_t>(record.chunk.size()));
        bank += record.chunk;
    }
    return bank;
}

// The records of a bank, read the way its format is written down: count,
// then per record name length, name, chunk length, chunk, little-endian.
std::vector<Record> parseBank(const std::string& bank)
{
    std::vector<Record> records;
    if (bank.size() < 4)
        return records;
    const std::int32_t count = int32At(bank, 0);
    std::size_t at = 4;
    for (std::int32_t i = 0; i < count; ++i) {
        Record record;
        const auto n = static_cast<std::size_t>(int32At(bank, at));
        record.name = bank.substr(at + 4, n);
        at += 4 + n;
        const auto m = static_cast<std::size_t>(int32At(bank, at));
        record.chunk = bank.substr(at + 4, m);
        at += 4 + m;
        records.push_back(record);
    }
    EXPECT_EQ(at, bank.size()) << "nothing after the last record";
    return records;
}

const std::string kStart = RecordingStub::Settings{}.initialState;

class ProgramsTest : public BridgeTest {
protected:
    void SetUp() override
    {
        BridgeTest::SetUp();
        recorder = &useStub();
    }
    RecordingStub* recorder = nullptr;
};

TEST_F(ProgramsTest, freshProgramsAreNamedByIndexAndHoldTheStartingState)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    const std::string bank = effect.chunk(false);
    ASSERT_GE(bank.size(), 4u);
    EXPECT_EQ(int32At(bank, 0), 100);
    const auto records = parseBank(bank);
    ASSERT_EQ(records.size(), 100u);
    std::size_t expectedSize = 4;
    for (int i = 0; i < 100; ++i) {
        const Record& record = records[static_cast<std::size_t>(i)];
        EXPECT_EQ(record.name, "Program " + std::to_string(i));
        EXPECT_EQ(record.chunk, kStart) << i;
        expectedSize += 8 + record.name.size() + record.chunk.size();
    }
    EXPECT_EQ(bank.size(), expectedSize);
    EXPECT_EQ(effect.chunk(true), kStart) << "a preset chunk is the processor's own";
}

TEST_F(ProgramsTest, switchingSavesTheCurrentStateAndLoadsTheNewProgram)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    recorder->clearJournal();
    effect(effSetProgram, 0, 0);
    EXPECT_TRUE(recorder->journal().empty()) << "the current program again: no save, no load";

    recorder->setState("<?xml edited 0?>");
    effect(effSetProgram, 0, 5);
    EXPECT_EQ(effect(effGetProgram), 5);
    EXPECT_EQ(recorder->journal(),
              (std::vector<std::string>{"getChunk", "releaseChunk", "setChunk " + kStart}));
    recorder->setState("<?xml edited 5?>");
    effect(effSetProgram, 0, 0);
    EXPECT_EQ(recorder->state(), "<?xml edited 0?>") << "program 0 comes back unchanged";
    effect(effSetProgram, 0, 5);
    EXPECT_EQ(recorder->state(), "<?xml edited 5?>");
}

TEST_F(ProgramsTest, aProgramWithoutChunkLeavesTheProcessorAlone)
{
    recorder->settings().emptyChunk = true;
    Effect effect(open());
    ASSERT_TRUE(effect);
    recorder->clearJournal();
    effect(effSetProgram, 0, 7);
    EXPECT_EQ(recorder->journal(), std::vector<std::string>{"getChunk"});
    const auto records = parseBank(effect.chunk(false));
    ASSERT_EQ(records.size(), 100u);
    EXPECT_EQ(records[7], (Record{"Program 7", ""}));
}

TEST_F(ProgramsTest, copyProgramCopiesTheStoredNameAndChunk)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    std::string name = "Slap";
    effect(effSetProgramName, 0, 0, name.data());
    effect.setChunk(makeBank({{"Slap", "<?xml slap?>"}}), false);
    recorder->setState("<?xml not saved?>");
    EXPECT_EQ(effect(effCopyProgram, 42), 1);
    const auto records = parseBank(effect.chunk(false));
    ASSERT_EQ(records.size(), 100u);
    EXPECT_EQ(records[42], (Record{"Slap", "<?xml slap?>"}))
        << "the stored chunk, not the processor's";
}

TEST_F(ProgramsTest, aChunkBeginningAsXmlLoadsAsAProgramWhateverTheFlag)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    const std::string bank = effect.chunk(false);
    recorder->clearJournal();
    const std::string preset = "<?xml version=\"1.0\"?><Preset Name=\"other\"/>";
    EXPECT_EQ(effect.setChunk(preset, false), 0);
    EXPECT_EQ(effect.setChunk("<?xm", false), 0);
    EXPECT_EQ(effect.setChunk("not xml", true), 0);
    EXPECT_EQ(recorder->journal(), (std::vector<std::string>{"setChunk " + preset, "setChunk <?xm",
                                                             "setChunk not xml"}));
    recorder->setState(kStart);
    EXPECT_EQ(effect.chunk(false), bank) << "the programs stay as they were";
}

TEST_F(ProgramsTest, aBankRoundTripRestoresEveryProgramAndReloadsTheCurrentOne)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    for (std::int32_t i : {0, 3, 99}) {
        effect(effSetProgram, 0, i);
        std::string name = "Name " + std::to_string(i * 7);
        effect(effSetProgramName, 0, 0, name.data());
        recorder->setState("<?xml state " + std::to_string(i) + "?>");
    }
    effect(effSetProgram, 0, 3);
    const std::string bank = effect.chunk(false);
    const auto written = parseBank(bank);
    ASSERT_EQ(written.size(), 100u);
    EXPECT_EQ(written[99], (Record{"Name 693", "<?xml state 99?>"}));

    // Scramble every program, then load the bank back.
    std::vector<Record> other(100, Record{"x", "<?xml x?>"});
    effect.setChunk(makeBank(other), false);
    ASSERT_EQ(parseBank(effect.chunk(false)), other);

    recorder->clearJournal();
    EXPECT_EQ(effect.setChunk(bank, false), 0);
    EXPECT_EQ(recorder->journal(), std::vector<std::string>{"setChunk <?xml state 3?>"});
    EXPECT_EQ(effect(effGetProgram), 3);
    EXPECT_EQ(parseBank(effect.chunk(false)), written);
}

TEST_F(ProgramsTest, aShortBankChangesOnlyItsOwnPrograms)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    effect.setChunk(makeBank({{"a", "<?xml a?>"}, {"", ""}, {"c", "<?xml c?>"}}), false);
    const auto records = parseBank(effect.chunk(false));
    ASSERT_EQ(records.size(), 100u);
    EXPECT_EQ(records[0], (Record{"a", "<?xml a?>"}));
    EXPECT_EQ(records[1], (Record{"", ""})) << "an empty name, no chunk";
    EXPECT_EQ(records[2], (Record{"c", "<?xml c?>"}));
    EXPECT_EQ(records[3], (Record{"Program 3", kStart}));
    EXPECT_EQ(records[99], (Record{"Program 99", kStart}));

    // More than 100 records: the rest is not read.
    std::vector<Record> many(120, Record{"m", "<?xml m?>"});
    effect.setChunk(makeBank(many), false);
    EXPECT_EQ(parseBank(effect.chunk(false)), std::vector<Record>(100, Record{"m", "<?xml m?>"}));
}

TEST_F(ProgramsTest, aMalformedBankChangesNothing)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    const std::string bank = effect.chunk(false);
    const std::string good = makeBank({{"a", "<?xml a?>"}, {"b", "<?xml b?>"}});

    std::string negativeName = good;
    negativeName.replace(4, 4, "\xFF\xFF\xFF\xFF");
    std::string negativeChunk = good;
    negativeChunk.replace(4 + 4 + 1, 4, "\xFF\xFF\xFF\xFF");
    std::string overrunning = good;
    overrunning.replace(4 + 4 + 1, 4, std::string("\x00\x00\x00\x40", 4)); // 1 GiB chunk
    std::string hugeName = good;
    hugeName.replace(4, 4, std::string("\xFF\xFF\xFF\x7F", 4));

    struct Case {
        const char* name;
        std::string data;
        std::optional<std::int32_t> size; // none: the data's own
    };
    const std::vector<Case> cases = {
        {"empty", "", {}},
        {"three bytes", std::string("\x02\x00\x00", 3), {}},
        {"size smaller than the data", good, 3},
        {"negative size", good, -5},
        {"negative count", makeBank({{"a", "<?xml a?>"}}, -1), {}},
        {"count beyond the records", makeBank({{"a", "<?xml a?>"}}, 2), {}},
        {"negative name length", negativeName, {}},
        {"negative chunk length", negativeChunk, {}},
        {"chunk running past the end", overrunning, {}},
        {"name running past the end", hugeName, {}},
        {"last record cut short", good.substr(0, good.size() - 1), {}},
        {"last record without its chunk length", good.substr(0, 4 + 4 + 1 + 4 + 9 + 4 + 1 + 2), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder->clearJournal();
        const std::int32_t given = c.size.value_or(static_cast<std::int32_t>(c.data.size()));
        EXPECT_EQ(effect(effSetChunk, 0, given, const_cast<char*>(c.data.data())), 0);
        EXPECT_EQ(recorder->journal(), std::vector<std::string>{}) << "nothing loaded";
        EXPECT_EQ(effect.chunk(false), bank);
    }
    EXPECT_EQ(effect(effSetChunk, 0, 64, nullptr), 0);
    EXPECT_EQ(effect.chunk(false), bank);
}

// Oversized names and banks at entry: a program name is cut to the 24
// characters the interface gives (nothing past them is read), bank names are
// cut as they are read, and a bank over 128 MiB is refused whole.
TEST_F(ProgramsTest, longNamesAreCutAndAnOversizedBankIsRefused)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    std::string huge(16 << 20, 'n');
    effect(effSetProgramName, 0, 0, huge.data());
    EXPECT_EQ(parseBank(effect.chunk(false))[0].name, std::string(24, 'n'));

    effect.setChunk(makeBank({{std::string(1000, 'b'), "<?xml b?>"}}), false);
    const std::string bank = effect.chunk(false);
    EXPECT_EQ(parseBank(bank)[0], (Record{std::string(24, 'b'), "<?xml b?>"}));

    // Over the limit by one byte: a valid bank of one record, padded.
    std::string oversized = makeBank({{"x", "<?xml x?>"}});
    oversized.resize((std::size_t{128} << 20) + 1, '\0');
    recorder->clearJournal();
    effect(effSetChunk, 0, static_cast<std::intptr_t>(oversized.size()), oversized.data());
    EXPECT_EQ(recorder->journal(), std::vector<std::string>{}) << "nothing loaded";
    EXPECT_EQ(effect.chunk(false), bank);
}

TEST_F(ProgramsTest, theRealModuleGetsItsProgramsBack)
{
    platform::writeRegistryString("Carapace", "DUZ2Path", BORVANRAZ_MODULE_PATH);
    Effect effect(open());
    ASSERT_TRUE(effect);
    const std::string start = effect.chunk(true);
    ASSERT_EQ(start.rfind("<?xml", 0), 0u);

    // Program 5 gets another state; program 0 comes back exactly.
    effect(effSetProgram, 0, 5);
    std::string edited = start;
    const auto name = edited.find("Name=\"");
    ASSERT_NE(name, std::string::npos);
    edited.insert(name + 6, "Edited ");
    effect.setChunk(edited, true);
    const std::string five = effect.chunk(true);
    ASSERT_NE(five, start);
    effect(effSetProgram, 0, 0);
    EXPECT_EQ(effect.chunk(true), start);

    // A bank of both round-trips through a second instance.
    const std::string bank = effect.chunk(false);
    Effect other(open());
    ASSERT_TRUE(other);
    other.setChunk(bank, false);
    EXPECT_EQ(other.chunk(false), bank);
    other(effSetProgram, 0, 5);
    EXPECT_EQ(other.chunk(true), five);
}

} // namespace
