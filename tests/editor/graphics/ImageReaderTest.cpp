#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "editor/graphics/ImageReader.h"
#include "tests/editor/graphics/TgaFiles.h"

using namespace Zq::Application::Graphics;
namespace tga = test::tga;

namespace {

const std::vector<std::uint32_t> kPixels = {0x80102030, 0xFF405060, 0x00708090, //
                                            0x11A0B0C0, 0x22D0E0F0, 0x33010203};

std::vector<std::uint32_t> opaque(std::vector<std::uint32_t> pixels)
{
    for (auto& p : pixels)
        p |= 0xFF000000u;
    return pixels;
}

std::vector<std::uint32_t> contents(const Bitmap& b)
{
    return b.empty()
               ? std::vector<std::uint32_t>{}
               : std::vector<std::uint32_t>(b.pixels.get(), b.pixels.get() + b.width * b.height);
}

Bitmap fromStream(const std::string& bytes)
{
    std::istringstream stream(bytes);
    return readImageFromStream(stream, bytes.size());
}

std::string tempPath(const std::string& name)
{
    return (std::filesystem::temp_directory_path() /
            ("editor-image-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

} // namespace

TEST(ImageReader, HeaderVariantsAsOneTable)
{
    const tga::Header base{.width = 3, .height = 2};
    auto with = [&](auto change) {
        tga::Header h = base;
        change(h);
        return h;
    };
    const std::string map768(768, '\x5A');
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::uint32_t> expected; // empty: an empty bitmap
        bool hasAlpha;
    };
    const Case cases[] = {
        {"32-bit keeps its alpha", tga::file(base, kPixels), kPixels, true},
        {"24-bit gets alpha 255", tga::file(with([](auto& h) { h.bits = 24; }), kPixels),
         opaque(kPixels), false},
        {"bottom-up equals top-down",
         tga::file(with([](auto& h) { h.descriptor = 0x00; }), kPixels), kPixels, true},
        {"24-bit bottom-up",
         tga::file(with([](auto& h) { h.bits = 24, h.descriptor = 0x08; }), kPixels),
         opaque(kPixels), false},
        {"a 256-entry 24-bit colour map skips 768 bytes",
         tga::file(with([](auto& h) { h.mapType = 1, h.mapLength = 256, h.mapEntryBits = 24; }),
                   kPixels, map768),
         kPixels, true},
        {"the ID field is skipped",
         tga::file(with([](auto& h) { h.idLength = 5; }), kPixels, "hello"), kPixels, true},
        {"run-length type 10 is refused",
         tga::file(with([](auto& h) { h.imageType = 10; }), kPixels),
         {},
         false},
        {"colour-mapped type 1 is refused",
         tga::file(with([](auto& h) { h.imageType = 1; }), kPixels),
         {},
         false},
        {"grey type 3 is refused",
         tga::file(with([](auto& h) { h.imageType = 3; }), kPixels),
         {},
         false},
        {"16 bits per pixel is refused",
         tga::file(with([](auto& h) { h.bits = 16; }), kPixels),
         {},
         false},
        {"colour-map type 2 is refused",
         tga::file(with([](auto& h) { h.mapType = 2; }), kPixels),
         {},
         false},
        {"a short header is refused", tga::header(base).substr(0, 17), {}, false},
        {"a gzip entry without the name flag is read raw",
         tga::gzip(tga::file(base, kPixels)),
         {},
         false},
        {"a gzip entry with the name flag is decompressed",
         tga::gzip(tga::file(base, kPixels), "a.tga"), kPixels, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bitmap b = fromStream(c.bytes);
        EXPECT_EQ(contents(b), c.expected);
        EXPECT_EQ(b.hasAlpha, c.hasAlpha);
        EXPECT_EQ(b.width, c.expected.empty() ? 0 : 3);
        EXPECT_EQ(b.height, c.expected.empty() ? 0 : 2);
    }
}

TEST(ImageReader, GzipHeaderCheckIsExactlyOneFourBytePattern)
{
    const std::string plain = tga::gzip(tga::file({.width = 3, .height = 2}, kPixels));
    ASSERT_EQ(plain.substr(0, 4), std::string("\x1F\x8B\x08\x00", 4));
    const std::string named = tga::gzip(tga::file({.width = 3, .height = 2}, kPixels), "n");
    ASSERT_EQ(named.substr(0, 4), std::string("\x1F\x8B\x08\x08", 4));
}

TEST(ImageReader, StreamEntryLeavesTheStreamWhereThePackExpects)
{
    // Two entries back to back: the first read must not consume the second.
    const std::string first = tga::file({.width = 3, .height = 2}, kPixels);
    const std::string second =
        tga::gzip(tga::file({.width = 3, .height = 2, .bits = 24}, kPixels), "b");
    std::istringstream pack(first + second);
    EXPECT_EQ(contents(readImageFromStream(pack, first.size())), kPixels);
    pack.seekg(static_cast<std::streamoff>(first.size()));
    EXPECT_EQ(contents(readImageFromStream(pack, second.size())), opaque(kPixels));
}

TEST(ImageReader, FilesDecompressByTheLastCharacterOfThePath)
{
    const std::string gz = tga::gzip(tga::file({.width = 3, .height = 2}, kPixels));
    const std::string raw = tga::file({.width = 3, .height = 2}, kPixels);
    struct Case {
        const char* suffix;
        std::string bytes;
        bool readable;
    };
    const Case cases[] = {
        {"image.tgz", gz, true},   // 'z': decompressed, gzip with or without a name
        {"image.tga", gz, false},  // 'a': read raw, gzip bytes are no TGA
        {"plain.tga", raw, true},  //
        {"plain.tgz", raw, false}, // raw bytes through the decompressor: nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.suffix);
        const std::string path = tempPath(c.suffix);
        tga::write(path, c.bytes);
        EXPECT_EQ(contents(readImageFromFile(path)),
                  c.readable ? kPixels : std::vector<std::uint32_t>{});
        std::filesystem::remove(path);
    }
    EXPECT_TRUE(readImageFromFile(tempPath("missing.tga")).empty());
}

// Hostile headers and damaged data: every case gives an empty or a partly
// zero-filled bitmap, allocates nothing outrageous and reads nothing out of
// bounds (this test runs under AddressSanitizer too).
TEST(ImageReader, HostileFilesGiveEmptyOrZeroFilledBitmaps)
{
    std::vector<std::uint32_t> big(64 * 64);
    std::uint32_t seed = 12345;
    for (auto& p : big)
        p = (seed =
                 seed * 1664525u + 1013904223u); // poorly compressible, so damage lands mid-image
    const std::string whole = tga::file({.width = 64, .height = 64}, big);
    const std::size_t rowBytes = 64 * 4;

    // A header claiming 65535 x 65535 (17 GB at 4 bytes a pixel) over a few bytes.
    const std::string huge =
        tga::header({.width = 65535, .height = 65535}) + std::string(100, '\x01');
    EXPECT_TRUE(fromStream(huge).empty());
    EXPECT_TRUE(fromStream(tga::gzip(huge, "h")).empty());
    const std::string hugePath = tempPath("huge.tgz");
    tga::write(hugePath, tga::gzip(huge));
    EXPECT_TRUE(readImageFromFile(hugePath).empty());
    std::filesystem::remove(hugePath);
    // Wider than the largest side accepted, even with every byte present.
    const std::string wide =
        tga::file({.width = 20000, .height = 1}, std::vector<std::uint32_t>(20000, 1));
    EXPECT_TRUE(fromStream(wide).empty());

    // An ID field and colour map running past the end of the file.
    tga::Header pastEnd{.idLength = 255,
                        .mapType = 1,
                        .mapLength = 65535,
                        .mapEntryBits = 32,
                        .width = 2,
                        .height = 2};
    EXPECT_TRUE(fromStream(tga::header(pastEnd) + "abc").empty());

    // A seekable file shorter than its header claims is refused up front; a
    // gzip stream cut short cannot be measured, so the rows it supplies stay
    // and the rows it lacks read as zero, in both row orders.
    for (const std::uint8_t descriptor : {std::uint8_t{0x20}, std::uint8_t{0x00}}) {
        SCOPED_TRACE(descriptor);
        const std::string file =
            tga::file({.width = 64, .height = 64, .descriptor = descriptor}, big);
        const std::string cut = file.substr(0, 18 + rowBytes * 10 + 7);
        std::istringstream stream(cut);
        Bitmap b;
        readTga(stream, b, UINT64_MAX);
        // A string stream can seek, so the reader knows the file is short.
        EXPECT_TRUE(b.empty());

        const std::string gz = tga::gzip(file, "c");
        const std::string gzCut = gz.substr(0, gz.size() / 2);
        std::string damaged = gz;
        for (std::size_t i = gz.size() / 3; i < gz.size() / 3 + 16; ++i)
            damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
        // Bottom-up files fill from the last row; the first stored row is
        // always complete.
        const std::size_t firstStored = descriptor ? 0 : 63;
        const std::size_t lastStored = descriptor ? 63 : 0;
        const auto cutPixels = contents(fromStream(gzCut));
        ASSERT_EQ(cutPixels.size(), big.size());
        EXPECT_EQ(cutPixels[firstStored * 64], big[firstStored * 64]);
        EXPECT_EQ(cutPixels[lastStored * 64 + 63], 0u);
        // Damaged data decodes up to the damage; what comes after it is not
        // defined, only that the read ends safely with the first rows in place.
        const auto damagedPixels = contents(fromStream(damaged));
        ASSERT_EQ(damagedPixels.size(), big.size());
        EXPECT_EQ(damagedPixels[firstStored * 64], big[firstStored * 64]);
    }
    EXPECT_EQ(contents(fromStream(whole)), big);
}
