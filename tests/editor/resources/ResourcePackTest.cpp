#include "PackFiles.h"
#include "tests/editor/graphics/TgaFiles.h"
#include "tests/support/TempFolder.h"

#include "editor/graphics/ImageReader.h"
#include "editor/resources/ResourcePack.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

using Zq::Application::Graphics::readImageFromStream;
using Zq::Application::Res::ResourcePack;

class ResourcePackTest : public ::testing::Test {
protected:
    ResourcePack& make(const std::string& bytes)
    {
        temp.write("test.pak", bytes);
        pack = std::make_unique<ResourcePack>(temp.path("test.pak"));
        return *pack;
    }
    // The whole entry as read through the pack's stream; nullopt when absent.
    std::optional<std::string> read(const std::string& name)
    {
        std::istream* stream = nullptr;
        std::size_t size = 0;
        if (!pack->open(name, stream, size))
            return std::nullopt;
        std::string bytes(size, '\0');
        stream->read(bytes.data(), static_cast<std::streamsize>(size));
        bytes.resize(static_cast<std::size_t>(stream->gcount()));
        return bytes;
    }

    testsupport::TempFolder temp;
    std::unique_ptr<ResourcePack> pack;
};

TEST_F(ResourcePackTest, headersThatAreNotVersionOneGiveEmptyPacks)
{
    const std::string good = test::pack::file({{"a.xml", "<a/>"}});
    struct Case {
        const char* what;
        std::string bytes;
        bool valid;
    };
    std::string version2 = good;
    version2[6] = 2;
    std::string magic = good;
    magic[0] = 'r';
    const Case cases[] = {
        {"version 2", version2, false},
        {"wrong magic", magic, false},
        {"13 bytes", good.substr(0, 13), false},
        {"no file", "", false},
        {"no entries", test::pack::header(0), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.bytes.empty())
            pack = std::make_unique<ResourcePack>(temp.path("missing.pak"));
        else
            make(c.bytes);
        EXPECT_EQ(pack->isValid(), c.valid);
        EXPECT_EQ(pack->entryCount(), 0u);
        EXPECT_EQ(read("a.xml"), std::nullopt);
    }
    make(good);
    EXPECT_TRUE(pack->isValid());
    EXPECT_EQ(read("a.xml"), "<a/>");
}

TEST_F(ResourcePackTest, namesMatchByteForByteAndTheLaterOfTwoWins)
{
    make(test::pack::file({{"Tuner.xml", "first"}, {"Amp.xml", "amp"}, {"Tuner.xml", "second"}}));
    EXPECT_EQ(read("Tuner.xml"), "second");
    EXPECT_EQ(read("tuner.xml"), std::nullopt);
    EXPECT_EQ(read("Tuner.xml "), std::nullopt);

    // Outputs are left alone for a name the pack lacks.
    std::istream* stream = nullptr;
    std::size_t size = 77;
    EXPECT_FALSE(pack->open("Cab.xml", stream, size));
    EXPECT_EQ(stream, nullptr);
    EXPECT_EQ(size, 77u);
}

TEST_F(ResourcePackTest, aSecondOpenRepositionsAndAReaderStopsAtTheEntrysEnd)
{
    make(test::pack::file({{"one", "11111111"}, {"two", "22"}, {"three", "333"}}));
    std::istream* stream = nullptr;
    std::size_t size = 0;
    ASSERT_TRUE(pack->open("one", stream, size));
    char head[3] = {};
    stream->read(head, 2);
    EXPECT_EQ(std::string(head), "11");
    ASSERT_TRUE(pack->open("two", stream, size));
    // Asking for more than the entry gives the entry and no byte of the next.
    const std::string rest(std::istreambuf_iterator<char>(*stream), {});
    EXPECT_EQ(rest, "22");
    EXPECT_EQ(read("one"), "11111111");
    EXPECT_EQ(read("three"), "333");
}

TEST_F(ResourcePackTest, aDirectoryCutShortKeepsItsEarlierEntriesReadable)
{
    // Five entries announced, two written; the third name runs into the
    // entries' bytes (no zero byte there) and off the end of the file.
    make(test::pack::file({{"a.xml", "<alpha/>"}, {"b.xml", "<beta/>"}}, 5));
    EXPECT_TRUE(pack->isValid());
    EXPECT_EQ(pack->entryCount(), 2u);
    EXPECT_EQ(read("a.xml"), "<alpha/>");
    EXPECT_EQ(read("b.xml"), "<beta/>");

    // A directory ending in an empty name ends there too.
    make(test::pack::file({{"a.xml", "<alpha/>"}, {"", "zz"}, {"c.xml", "<c/>"}}));
    EXPECT_EQ(pack->entryCount(), 1u);
    EXPECT_EQ(read("a.xml"), "<alpha/>");
}

TEST_F(ResourcePackTest, entriesReachingPastTheEndOfTheFileAreNotOffered)
{
    // "long" is the last entry and claims one byte more than the file holds.
    const std::string bytes = test::pack::file({{"good", "abcd"},
                                                {"far", "ijkl", 0xFFFFFFF0u},
                                                {"wrap", "mnop", 0x10u, 0xFFFFFFF8u},
                                                {"long", "efgh", std::nullopt, 5}});
    make(bytes);
    EXPECT_EQ(read("good"), "abcd");
    for (const char* name : {"long", "far", "wrap"})
        EXPECT_EQ(read(name), std::nullopt) << name;

    // An entry ending exactly at the end of the file is whole.
    make(test::pack::file({{"good", "abcd"}, {"last", "efgh"}}));
    EXPECT_EQ(read("last"), "efgh");
}

TEST_F(ResourcePackTest, aFailedReadOfOneEntryLeavesEveryOtherEntryReadable)
{
    using test::tga::Header;
    const std::string image =
        test::tga::file(Header{.width = 2, .height = 1}, {0x80102030u, 0xFF405060u});
    // "tiny" sits at the end of the file: the image reader's 4-byte gzip
    // probe fails on it, and a raw image claiming more rows than its entry
    // holds must not read the entry after it.
    Header tall{.width = 2, .height = 3};
    const std::string cut = test::tga::header(tall) + std::string(8, '\x7f');
    make(test::pack::file({{"image.tga", image}, {"cut.tga", cut}, {"tiny", "\x1f\x8b"}}));

    for (int round = 0; round < 2; ++round) {
        std::istream* stream = nullptr;
        std::size_t size = 0;
        ASSERT_TRUE(pack->open("tiny", stream, size));
        EXPECT_TRUE(readImageFromStream(*stream, size).empty());
        ASSERT_TRUE(pack->open("cut.tga", stream, size));
        EXPECT_TRUE(readImageFromStream(*stream, size).empty());
        // Reading past an entry's end fails that read only.
        ASSERT_TRUE(pack->open("image.tga", stream, size));
        std::string past(size + 10, '\0');
        stream->read(past.data(), static_cast<std::streamsize>(past.size()));
        EXPECT_TRUE(stream->fail());

        ASSERT_TRUE(pack->open("image.tga", stream, size));
        const auto bitmap = readImageFromStream(*stream, size);
        ASSERT_EQ(bitmap.width, 2);
        EXPECT_EQ(bitmap.pixels[0], 0x80102030u);
        EXPECT_EQ(bitmap.pixels[1], 0xFF405060u);
        EXPECT_EQ(read("tiny"), std::string("\x1f\x8b"));
    }
}

TEST_F(ResourcePackTest, aGzipImageEntryReadsThroughTheEntryStream)
{
    using test::tga::Header;
    const std::vector<std::uint32_t> pixels = {0xFF000000u, 0xFFFFFFFFu, 0xFF123456u, 0xFF654321u};
    const std::string image = test::tga::file(Header{.width = 2, .height = 2, .bits = 24}, pixels);
    make(test::pack::file({{"a.tgz", test::tga::gzip(image, "a.tga")}, {"b", "after"}}));
    std::istream* stream = nullptr;
    std::size_t size = 0;
    ASSERT_TRUE(pack->open("a.tgz", stream, size));
    const auto bitmap = readImageFromStream(*stream, size);
    ASSERT_EQ(bitmap.height, 2);
    EXPECT_EQ(std::vector<std::uint32_t>(bitmap.pixels.get(), bitmap.pixels.get() + 4), pixels);
    EXPECT_EQ(read("b"), "after");
}

} // namespace
