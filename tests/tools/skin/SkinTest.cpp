#include "tests/support/TempFolder.h"

#include "SkinArt.h"
#include "SkinFiles.h"
#include "editor/graphics/Font.h"
#include "editor/graphics/ImageReader.h"
#include "editor/resources/PlugInResourceProvider.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using Zq::Application::Graphics::Bitmap;
using Zq::Application::Res::PlugInResourceProvider;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file of a folder by name.
std::map<std::string, std::string> folderFiles(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = readFile(entry.path());
    return files;
}

bool isImage(const std::string& name)
{
    return name.ends_with(".tga") || name.ends_with(".tgz");
}

TEST(SkinFiles, theBuiltSkinHoldsTheSharedControlsAndFontsAsTheEditorNamesThem)
{
    const auto files = folderFiles(SKIN_DIR);
    for (const char* name :
         {"KnobSmall.tgz", "KnobMedium.tgz", "KnobLarge.tgz", "LampRed.tga", "LampGreen.tga",
          "LampAmber.tga", "ToggleOff.tga", "ToggleOnPressed.tga", "FootSwitchReleased.tgz",
          "ButtonLeftReleased.tga", "ButtonMenuHighlight.tga", "ButtonPlainPressed.tga",
          "MeterLadder.tgz", "FaderTrack.tgz", "FaderHandle.tga", "LabelFont.tgz",
          "DisplayFont.tgz", "Controls.xml"})
        EXPECT_TRUE(files.count(name)) << name;
    for (const auto& [name, bytes] : files) {
        if (!name.ends_with(".tgz"))
            continue;
        // A gzip member carrying its file name and nothing else, dated 0.
        ASSERT_GE(bytes.size(), 10u) << name;
        EXPECT_EQ(bytes.substr(0, 8), std::string("\x1f\x8b\x08\x08\0\0\0\0", 8)) << name;
        EXPECT_EQ(bytes.substr(10, name.size()), name.substr(0, name.size() - 1) + "a") << name;
    }
    EXPECT_EQ(files.at("Controls.xml"), readFile(fs::path(SKIN_LAYOUTS_DIR) / "Controls.xml"));
}

TEST(SkinFiles, folderAndPackHoldTheSameResources)
{
    const auto files = folderFiles(SKIN_DIR);
    PlugInResourceProvider folder;
    folder.addLocation(SKIN_DIR);
    PlugInResourceProvider pack;
    pack.addLocation(SKIN_PAK);

    Zq::Application::Res::ResourcePack raw(SKIN_PAK);
    EXPECT_EQ(raw.entryCount(), files.size());
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        std::istream* stream = nullptr;
        std::size_t size = 0;
        ASSERT_TRUE(raw.open(name, stream, size));
        std::string entry(size, '\0');
        stream->read(entry.data(), static_cast<std::streamsize>(size));
        EXPECT_EQ(entry, bytes);
        if (!isImage(name))
            continue;
        const Bitmap* a = folder.getImageCache().get(name);
        const Bitmap* b = pack.getImageCache().get(name);
        ASSERT_TRUE(a && b);
        ASSERT_FALSE(a->empty());
        ASSERT_EQ(a->width, b->width);
        ASSERT_EQ(a->height, b->height);
        EXPECT_EQ(a->hasAlpha, b->hasAlpha);
        const std::size_t count = static_cast<std::size_t>(a->width) * a->height;
        EXPECT_TRUE(std::equal(a->pixels.get(), a->pixels.get() + count, b->pixels.get()));
    }
}

// Premultiplies a straight-alpha pixel as cairo stores it.
std::uint32_t premultiplied(std::uint32_t p)
{
    const std::uint32_t a = p >> 24;
    auto channel = [&](int shift) { return (((p >> shift) & 0xFF) * a + 127) / 255 << shift; };
    return (a << 24) | channel(16) | channel(8) | channel(0);
}

TEST(SkinFiles, imagesReadBackAsDrawnInStraightAlpha)
{
    const std::vector<skin::Art> drawn = skin::drawControls();
    int translucent = 0;
    for (const skin::Art& art : drawn) {
        SCOPED_TRACE(art.name);
        const auto [name, bytes] = skin::imageFile(art);
        std::istringstream stream(bytes);
        const Bitmap read = Zq::Application::Graphics::readImageFromStream(stream, bytes.size());
        ASSERT_EQ(read.width, art.width);
        ASSERT_EQ(read.height, art.height);
        EXPECT_EQ(read.hasAlpha, !art.opaque());
        EXPECT_EQ(art.height % art.frames, 0);
        int worst = 0;
        for (std::size_t i = 0; i < art.pixels.size(); ++i) {
            const std::uint32_t back = premultiplied(read.pixels[i]);
            for (int shift = 0; shift < 32; shift += 8) {
                const int d = int((back >> shift) & 0xFF) - int((art.pixels[i] >> shift) & 0xFF);
                worst = std::max(worst, std::abs(d));
            }
            const std::uint32_t alpha = read.pixels[i] >> 24;
            translucent += alpha > 0 && alpha < 255;
        }
        EXPECT_LE(worst, 1);
    }
    EXPECT_GT(translucent, 0) << "antialiased edges are stored with their alpha";
}

TEST(SkinFiles, eachFontCutsIntoCellsWithAVisiblePlaceholder)
{
    for (const char* name : {"LabelFont.tgz", "DisplayFont.tgz"}) {
        SCOPED_TRACE(name);
        const Zq::Application::Graphics::Font font((fs::path(SKIN_DIR) / name).string());
        const Bitmap& image = font.image();
        ASSERT_GT(image.height, 10);
        for (int code = 32; code < 127; ++code)
            EXPECT_GT(font.getCell(static_cast<char>(code)).width, 0) << code;
        for (int code = 1; code < 32; ++code)
            EXPECT_EQ(font.getCell(static_cast<char>(code)).width, 1) << code;
        EXPECT_EQ(&font.getCell(static_cast<char>(200)), &font.getCell(0));
        const auto& box = font.getCell(0);
        ASSERT_GT(box.width, 2);
        EXPECT_EQ(box.height, image.height - 5);
        int covered = 0;
        for (int y = box.y; y < box.y + box.height; ++y)
            for (int x = box.x; x < box.x + box.width; ++x)
                covered +=
                    (image.pixels[static_cast<std::size_t>(y) * image.width + x] >> 24) > 128;
        EXPECT_GT(covered, box.height) << "the placeholder is seen";
        // 'M' is inked inside its cell, 'space' is not.
        const auto& m = font.getCell('M');
        const auto& space = font.getCell(' ');
        auto ink = [&](const auto& cell) {
            int sum = 0;
            for (int y = cell.y; y < cell.y + cell.height; ++y)
                for (int x = cell.x; x < cell.x + cell.width; ++x)
                    sum += image.pixels[static_cast<std::size_t>(y) * image.width + x] >> 24;
            return sum;
        };
        EXPECT_GT(ink(m), 255 * 10);
        EXPECT_EQ(ink(space), 0);
    }
}

TEST(SkinPackWriter, theDirectoryIsSortedByNameAndEntriesAreStoredAsGiven)
{
    testsupport::TempFolder temp;
    const std::string bytes =
        skin::packBytes({{"b.xml", "<b/>"}, {"a.tgz", std::string("\x1f\x8b\0z", 4)}});
    // Magic, version 1, count 2, then "a.tgz" before "b.xml".
    EXPECT_EQ(bytes.substr(0, 14), std::string("RUZOZO\1\0\0\0\2\0\0\0", 14));
    EXPECT_EQ(bytes.substr(14, 6), std::string("a.tgz\0", 6));
    temp.write("t.pak", bytes);
    Zq::Application::Res::ResourcePack pack(temp.path("t.pak"));
    std::istream* stream = nullptr;
    std::size_t size = 0;
    ASSERT_TRUE(pack.open("a.tgz", stream, size));
    std::string entry(size, '\0');
    stream->read(entry.data(), static_cast<std::streamsize>(size));
    EXPECT_EQ(entry, std::string("\x1f\x8b\0z", 4));
    EXPECT_EQ(bytes.size(), 14u + 2 * 8 + 6 + 6 + 4 + 4);

    temp.write("empty.pak", skin::packBytes({}));
    Zq::Application::Res::ResourcePack empty(temp.path("empty.pak"));
    EXPECT_TRUE(empty.isValid());
    EXPECT_EQ(empty.entryCount(), 0u);
}

TEST(SkinTools, aSecondRunGivesByteIdenticalFiles)
{
#ifndef SKIN_RERUN_TOOLS
    GTEST_SKIP() << "reruns the build's tools: plain build only";
#else
    testsupport::TempFolder temp;
    const std::string generate = std::string("'") + SKIN_GENERATOR_PATH + "' '" +
                                 temp.path("skin") + "' '" + SKIN_LAYOUTS_DIR + "' '" +
                                 SKIN_FONTS_DIR + "' '" + temp.path("sheet.png") + "'";
    ASSERT_EQ(std::system(generate.c_str()), 0);
    const std::string pack = std::string("'") + SKIN_PACK_PATH + "' '" + temp.path("skin.pak") +
                             "' '" + temp.path("skin") + "'";
    ASSERT_EQ(std::system(pack.c_str()), 0);
    EXPECT_EQ(folderFiles(temp.path("skin")), folderFiles(SKIN_DIR));
    EXPECT_EQ(temp.read("skin.pak"), readFile(SKIN_PAK));
#endif
}

} // namespace
