#include "hostfw/core/epiFileDump.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/core/epiRamFile.h"
#include "hostfw/core/epiText.h"
#include "hostfw/res/epiAtomsFile.h"

#include <gtest/gtest.h>

#include "support/AtomBytes.h"
#include "support/TempFolder.h"

using namespace atombytes;

namespace {

// An atoms file reading hand-made bytes through a memory file.
struct Reader {
    explicit Reader(const std::string& bytes) : bytes(bytes)
    {
        memory.attachBlock(static_cast<const void*>(this->bytes.data()), this->bytes.size());
        opened = atoms.attachFile(&memory, epiFile::kRead);
    }
    std::string bytes;
    epiRamFile memory;
    epiAtomsFile atoms;
    bool opened = false;
};

TEST(AtomsFile, WritesLittleEndianAndReadsItBack)
{
    testsupport::TempFolder temp;
    const epiPath path(temp.path("x.atoms"));
    {
        epiAtomsFile atoms;
        ASSERT_TRUE(atoms.open(path, epiFile::kWrite));
        EXPECT_FALSE(atoms.open(path, epiFile::kWrite)); // already open
        EXPECT_TRUE(atoms.writeUInt32(epiCode("numb"), 68));
        EXPECT_TRUE(atoms.writeByte(epiCode("byte"), 7));
        EXPECT_TRUE(atoms.writeText(epiCode("text"), epiText("hello")));
        epiFileDump dump;
        ASSERT_TRUE(dump.copyFrom("dumped", 6));
        EXPECT_TRUE(dump.writeAtoms(atoms));
        EXPECT_TRUE(atoms.close());
    }
    const std::string bytes = temp.read("x.atoms");
    EXPECT_EQ(bytes.substr(0, 12), std::string("\x73\x6D\x74\x61\0\0\0\0\x01\0\0\0", 12));
    EXPECT_EQ(bytes.substr(12, 4), "bmun"); // tags show their characters reversed

    epiAtomsFile atoms;
    ASSERT_TRUE(atoms.open(path, epiFile::kRead));
    EXPECT_FALSE(atoms.isSwapped());
    std::uint32_t number = 0;
    std::uint8_t byte = 0;
    epiText text;
    epiFileDump dump;
    EXPECT_TRUE(atoms.readUInt32(epiCode("numb"), number));
    EXPECT_EQ(number, 68u);
    EXPECT_TRUE(atoms.readByte(epiCode("byte"), byte));
    EXPECT_EQ(byte, 7);
    EXPECT_TRUE(atoms.readText(epiCode("text"), text));
    EXPECT_EQ(text.str(), "hello");
    EXPECT_TRUE(dump.readAtoms(atoms));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dump.getData()), dump.getSize()), "dumped");
    EXPECT_FALSE(atoms.readUInt32(epiCode("more"), number)); // the end reads as a mismatch
}

TEST(AtomsFile, ABigEndianFileReadsSwapped)
{
    const std::string bytes = std::string("\x61\x74\x6D\x73\0\0\0\0\0\0\0\x01", 12) +
                              atom(true, epiCode("numb"), std::string("\0\0\0\x44", 4));
    Reader r(bytes);
    ASSERT_TRUE(r.opened);
    EXPECT_TRUE(r.atoms.isSwapped());
    std::uint32_t number = 0;
    EXPECT_TRUE(r.atoms.readUInt32(epiCode("numb"), number));
    EXPECT_EQ(number, 68u);
}

TEST(AtomsFile, RefusesABadHeader)
{
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"version 2", header(false, 0, 2)},
        {"version 2, big-endian", header(true, 0, 2)},
        {"reserved field set", header(false, 1, 1)},
        {"another magic", u32(false, epiCode("smta")) + u32(false, 0) + u32(false, 1)},
        {"cut header", header(false).substr(0, 11)},
    };
    for (const Case& c : cases) {
        Reader r(c.bytes);
        EXPECT_FALSE(r.opened) << c.what;
    }
}

TEST(AtomsFile, AFailedReadZeroesTheTargetAndKeepsThePosition)
{
    for (bool big : {false, true}) {
        Reader r(header(big) + number(big, epiCode("nxt1"), 5) +
                 atom(big, epiCode("long"), "ABCDEFGH") + atom(big, epiCode("empt"), "") +
                 atom(big, epiCode("shrt"), "ab") + number(big, epiCode("last"), 9));
        ASSERT_TRUE(r.opened);
        std::uint32_t value = 1234;
        EXPECT_FALSE(r.atoms.readUInt32(epiCode("othr"), value));
        EXPECT_EQ(value, 0u);
        EXPECT_TRUE(r.atoms.readUInt32(epiCode("nxt1"), value)); // the same atom is still next
        EXPECT_EQ(value, 5u);

        // An 8-byte atom read as 4 gives its first 4; the next read finds the
        // next atom.
        char four[4];
        EXPECT_TRUE(r.atoms.readAtom(epiCode("long"), four, 4));
        EXPECT_EQ(std::string(four, 4), "ABCD");

        epiText text("stale");
        EXPECT_TRUE(r.atoms.readText(epiCode("empt"), text));
        EXPECT_EQ(text.str(), "");

        // A shorter atom is zero-padded.
        char padded[4] = {'x', 'x', 'x', 'x'};
        EXPECT_TRUE(r.atoms.readAtom(epiCode("shrt"), padded, 4));
        EXPECT_EQ(std::string(padded, 4), std::string("ab\0\0", 4));

        text.assign("kept");
        EXPECT_FALSE(r.atoms.readText(epiCode("nope"), text)); // not next: unchanged
        EXPECT_EQ(text.str(), "kept");
        EXPECT_TRUE(r.atoms.readUInt32(epiCode("last"), value));
        EXPECT_EQ(value, 9u);
    }
}

TEST(AtomsFile, StoredLengthsBeyondTheFileFailWithoutSizingAnything)
{
    for (bool big : {false, true}) {
        // Each claims far more than the file holds; the reads fail, clear
        // their targets, and the atom stays next.
        Reader text(header(big) + atomClaiming(big, epiCode("Name"), 0xFFFFFFFFu, "abc"));
        ASSERT_TRUE(text.opened);
        epiText name("stale");
        EXPECT_FALSE(text.atoms.readText(epiCode("Name"), name));
        EXPECT_EQ(name.str(), "");
        EXPECT_EQ(name.storage().capacity() < 1000, true);
        std::uint32_t length = 0;
        EXPECT_TRUE(text.atoms.peekAtomLength(epiCode("Name"), length));
        EXPECT_EQ(length, 0xFFFFFFFFu);
        std::int64_t position = 0;
        EXPECT_FALSE(text.atoms.skipAtom(epiCode("Name"), length, position));
        EXPECT_EQ(length, 0u);

        // One byte too many is enough.
        Reader cut(header(big) + atomClaiming(big, epiCode("Data"), 4, "abc"));
        char bytes[4] = {1, 1, 1, 1};
        EXPECT_FALSE(cut.atoms.readAtom(epiCode("Data"), bytes, 4));
        EXPECT_EQ(std::string(bytes, 4), std::string(4, '\0'));

        // A dump whose stored size exceeds the file allocates nothing.
        Reader dump(header(big) + number(big, epiCode("size"), 0xFFFFFFF0u) +
                    atom(big, epiCode("data"), "tiny"));
        epiFileDump target;
        EXPECT_FALSE(target.readAtoms(dump.atoms));
        EXPECT_EQ(target.getData(), nullptr);
    }
}

} // namespace
