#include "hostfw/core/epiFile.h"
#include "hostfw/core/epiFileDump.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/res/epiTextFile.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace {

struct WriteBudget {
    explicit WriteBudget(std::int64_t bytes) { epiSetWriteBudgetForTesting(bytes); }
    ~WriteBudget() { epiSetWriteBudgetForTesting(-1); }
};

TEST(File, ThreeBytesSavedOverALongerFileLeaveThreeBytes)
{
    testsupport::TempFolder temp;
    temp.write("session", "a much longer old content");
    epiFileDump dump;
    EXPECT_TRUE(dump.save(epiPath(temp.path("session")), "abc", 3));
    EXPECT_EQ(temp.read("session"), "abc");
    EXPECT_FALSE(dump.save(epiPath(temp.path("session")), nullptr, 0)); // nothing to write
    EXPECT_EQ(temp.countEntries(), 1u);

    ASSERT_TRUE(dump.load(epiPath(temp.path("session"))));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dump.getData()), dump.getSize()), "abc");
    EXPECT_FALSE(dump.load(epiPath(temp.path("missing"))));
    EXPECT_EQ(dump.getSize(), 0u);
}

TEST(File, OpenModes)
{
    testsupport::TempFolder temp;
    epiFile file;
    EXPECT_FALSE(file.open(epiPath(temp.path("new")), epiFile::kRead));
    EXPECT_FALSE(file.open(epiPath(temp.path("new")), epiFile::kWrite | epiFile::kMustExist));
    EXPECT_FALSE(temp.exists("new"));
    ASSERT_TRUE(file.open(epiPath(temp.path("new")), epiFile::kWrite));
    EXPECT_FALSE(file.open(epiPath(temp.path("new")), epiFile::kWrite)); // already open
    EXPECT_TRUE(file.write("hello", 5));
    EXPECT_EQ(file.tell(), 5);
    EXPECT_TRUE(file.seek(-2, 2));
    char two[2];
    EXPECT_TRUE(file.read(two, 2));
    EXPECT_EQ(std::string(two, 2), "lo");
    EXPECT_TRUE(file.close());
    EXPECT_FALSE(file.close());
    EXPECT_EQ(temp.read("new"), "hello");

    // A write-mode open that only reads keeps the length.
    ASSERT_TRUE(file.open(epiPath(temp.path("new")), epiFile::kWrite | epiFile::kMustExist));
    EXPECT_TRUE(file.read(two, 2));
    EXPECT_TRUE(file.close());
    EXPECT_EQ(temp.read("new"), "hello");

    // One that writes ends where the writing ended.
    ASSERT_TRUE(file.open(epiPath(temp.path("new")), epiFile::kWrite));
    EXPECT_TRUE(file.write("HE", 2));
    EXPECT_TRUE(file.close());
    EXPECT_EQ(temp.read("new"), "HE");

    ASSERT_TRUE(file.open(epiPath(temp.path("new")), epiFile::kWrite | epiFile::kDeleteFirst));
    EXPECT_EQ(file.getSize(), 0);
    EXPECT_TRUE(file.close());

    // Partial reads with a count out.
    temp.write("four", "1234");
    ASSERT_TRUE(file.open(epiPath(temp.path("four")), epiFile::kRead));
    char ten[10];
    std::size_t got = 0;
    EXPECT_TRUE(file.read(ten, 10, &got));
    EXPECT_EQ(got, 4u);
    EXPECT_FALSE(file.read(ten, 10, &got));
    EXPECT_FALSE(file.read(ten, 1));
}

TEST(File, AFailedSaveLeavesTheOldFileAndNoTemporary)
{
    testsupport::TempFolder temp;
    const std::string old = "the old session, byte for byte";
    temp.write("session", old);
    const std::string bigger(4096, 'n');
    {
        WriteBudget full(100); // the disk fills after 100 bytes
        epiFileDump dump;
        EXPECT_FALSE(dump.save(epiPath(temp.path("session")), bigger.data(), bigger.size()));
        epiTextFile text;
        text.assign(bigger.c_str());
        EXPECT_FALSE(text.saveTo(epiPath(temp.path("session"))));
    }
    EXPECT_EQ(temp.read("session"), old);
    EXPECT_EQ(temp.countEntries(), 1u);

    epiTextFile text;
    text.assign("new");
    EXPECT_TRUE(text.saveTo(epiPath(temp.path("session"))));
    EXPECT_EQ(temp.read("session"), "new");
    epiTextFile loaded;
    EXPECT_TRUE(loaded.loadFrom(epiPath(temp.path("session"))));
    EXPECT_EQ(loaded.str(), "new");
    EXPECT_EQ(temp.countEntries(), 1u);
}

TEST(File, DumpOwnsWhatItAllocatesAndBorrowsWhatItIsGiven)
{
    char borrowed[4] = {'w', 'x', 'y', 'z'};
    {
        epiFileDump dump;
        dump.attach(borrowed, 4, false);
        EXPECT_EQ(dump.getData(), reinterpret_cast<unsigned char*>(borrowed));
        char two[2];
        EXPECT_EQ(dump.readAt(2, two, 2), 2u);
        EXPECT_EQ(two[0], 'y');
        EXPECT_TRUE(dump.copyFrom("abc", 3));
        EXPECT_NE(dump.getData(), reinterpret_cast<unsigned char*>(borrowed));
        EXPECT_FALSE(dump.copyFrom(nullptr, 3));
        EXPECT_EQ(dump.getSize(), 0u);
    }
    EXPECT_EQ(borrowed[0], 'w');
}

} // namespace
