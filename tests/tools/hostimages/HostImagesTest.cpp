#include "hostfw/core/epiPath.h"
#include "hostfw/gfx/epiBitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

// Runs the generator into a fresh folder of the test's own.
fs::path generate(const std::string& name)
{
    const fs::path folder =
        fs::temp_directory_path() / ("host_images_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string command = std::string(HOST_IMAGES_PATH) + " " + folder.string();
    EXPECT_EQ(std::system(command.c_str()), 0);
    return folder;
}

std::string bytesOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct HostImagesTest : ::testing::Test {
    static void SetUpTestSuite() { first = generate("a"); }
    static void TearDownTestSuite() { fs::remove_all(first); }
    static fs::path first;
};
fs::path HostImagesTest::first;

TEST_F(HostImagesTest, EveryRunWritesTheSameBytes)
{
    const fs::path second = generate("b");
    int files = 0;
    for (const auto& entry : fs::directory_iterator(first)) {
        ++files;
        const fs::path twin = second / entry.path().filename();
        ASSERT_TRUE(fs::exists(twin)) << entry.path();
        EXPECT_EQ(bytesOf(entry.path()), bytesOf(twin)) << entry.path().filename();
    }
    EXPECT_EQ(files, 25);
    fs::remove_all(second);
}

TEST_F(HostImagesTest, ImagesLoadAtTheirSizesAndMasksGiveAlpha)
{
    struct Case {
        const char* name;
        int width, height;
    };
    const Case cases[] = {
        {"knob.png", 48, 48 * 64},         {"meter.png", 12, 100},
        {"button_on_pressed.png", 64, 24}, {"popup_item.png", 140, 20},
        {"popup_top.png", 140, 6},         {"popup_scroll_down_off.png", 140, 12},
    };
    for (const Case& c : cases) {
        epiBitmap image;
        const epiPath path((first / c.name).string().c_str());
        ASSERT_TRUE(image.loadFromFiles(path, nullptr)) << c.name;
        EXPECT_EQ(image.getWidth(), c.width) << c.name;
        EXPECT_EQ(image.getHeight(), c.height) << c.name;
    }
    // The lamp: transparent corners and an opaque centre through its mask.
    epiBitmap lamp;
    const epiPath lampPath((first / "lamp.png").string().c_str());
    const epiPath maskPath((first / "lamp_alpha.png").string().c_str());
    ASSERT_TRUE(lamp.loadFromFiles(lampPath, &maskPath));
    EXPECT_EQ(lamp.getPixel(0, 0) >> 24, 0u);
    EXPECT_EQ(lamp.getPixel(8, 8) >> 24, 255u);
    EXPECT_EQ(lamp.getPixel(8, 24) >> 24, 255u);
    // The knob's first frame points to the lower left, its last to the
    // lower right: the orange pointer shows there.
    epiBitmap knob;
    ASSERT_TRUE(knob.loadFromFiles(epiPath((first / "knob.png").string().c_str()), nullptr));
    auto orange = [&](int x, int y) { return ((knob.getPixel(x, y) >> 16) & 0xFF) > 200; };
    EXPECT_TRUE(orange(13, 34));
    EXPECT_FALSE(orange(34, 34));
    EXPECT_TRUE(orange(34, 63 * 48 + 34));
}

} // namespace
