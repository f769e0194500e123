#include "hostfw/core/epiRamFile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(RamFile, ReadsWhatIsLeftAndSeeksWithinTheBlock)
{
    char block[10] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
    epiRamFile file;
    EXPECT_FALSE(file.isOpen());
    char ten[10];
    EXPECT_FALSE(file.read(ten, 1));
    ASSERT_TRUE(file.attachBlock(static_cast<void*>(block), sizeof block));
    EXPECT_FALSE(file.attachBlock(static_cast<void*>(nullptr), 3) && false);
    ASSERT_TRUE(file.attachBlock(static_cast<void*>(block), sizeof block));

    struct Seek {
        std::int64_t distance;
        int origin;
        bool ok;
        std::int64_t position;
    } seeks[] = {
        {6, 0, true, 6},   {1, 1, true, 7},  {-1, 0, false, 0}, {3, 2, true, 7},
        {11, 0, false, 0}, {0, 2, true, 10}, {4, 7, true, 4},   {-5, 1, false, 0},
    };
    for (const Seek& s : seeks) {
        EXPECT_EQ(file.seek(s.distance, s.origin), s.ok) << s.distance << "/" << s.origin;
        EXPECT_EQ(file.tell(), s.position) << s.distance << "/" << s.origin;
    }

    ASSERT_TRUE(file.seek(6, 0));
    std::size_t got = 99;
    EXPECT_TRUE(file.read(ten, 10, &got)); // 10 asked, 4 left
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(std::memcmp(ten, "6789", 4), 0);
    EXPECT_EQ(file.tell(), 10);
    EXPECT_TRUE(file.close());
    EXPECT_FALSE(file.isOpen());
}

TEST(RamFile, CopiesAnAttachedBlockBeforeGrowingItAndNeverFreesIt)
{
    static const unsigned char pack[4] = {'p', 'a', 'c', 'k'}; // read-only, like the linked pack
    epiRamFile file;
    ASSERT_TRUE(file.attachBlock(static_cast<const void*>(pack), sizeof pack));
    ASSERT_TRUE(file.seek(0, 2));
    EXPECT_TRUE(file.write("!!", 2)); // grows: a copy of the memory file's own
    EXPECT_TRUE(file.ownsBlock());
    EXPECT_EQ(file.getSize(), static_cast<std::int64_t>(4 + 2 + epiRamFile::kStep));
    void* data = nullptr;
    std::size_t length = 0;
    file.getData(&data, &length);
    EXPECT_NE(data, static_cast<const void*>(pack));
    EXPECT_EQ(length, 6u);
    EXPECT_EQ(std::memcmp(data, "pack!!", 6), 0);
    EXPECT_EQ(std::memcmp(pack, "pack", 4), 0);
    file.freeData(); // frees the copy only

    // A read-only block is copied before any write, even one that fits.
    ASSERT_TRUE(file.attachBlock(static_cast<const void*>(pack), sizeof pack));
    EXPECT_TRUE(file.write("P", 1));
    EXPECT_TRUE(file.ownsBlock());
    EXPECT_EQ(file.getSize(), 4);
    file.freeData();
    EXPECT_EQ(pack[0], 'p');

    // A writable attached block is written in place while it fits, and only
    // forgotten by freeData.
    char mine[4] = {};
    ASSERT_TRUE(file.attachBlock(static_cast<void*>(mine), sizeof mine));
    EXPECT_TRUE(file.write("ab", 2));
    EXPECT_FALSE(file.ownsBlock());
    EXPECT_EQ(mine[1], 'b');
    file.freeData();
    EXPECT_FALSE(file.isOpen());
}

TEST(RamFile, CreatesAndGrowsItsOwnBlock)
{
    epiRamFile file;
    ASSERT_TRUE(file.createBlock());
    EXPECT_EQ(file.getSize(), static_cast<std::int64_t>(epiRamFile::kStep));
    const std::string big(epiRamFile::kStep + 10, 'z');
    EXPECT_TRUE(file.write(big.data(), big.size()));
    EXPECT_EQ(file.getSize(), static_cast<std::int64_t>(big.size() + epiRamFile::kStep));
    void* data = nullptr;
    std::size_t length = 0;
    file.getData(&data, &length);
    EXPECT_EQ(length, big.size());
    // Destroyed without freeData: the owned block goes with it (the leak
    // checker would say otherwise).
}

} // namespace
