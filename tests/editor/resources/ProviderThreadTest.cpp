// ctest-label: tsan
#include "PackFiles.h"
#include "tests/editor/graphics/TgaFiles.h"
#include "tests/support/TempFolder.h"

#include "editor/graphics/Bitmap.h"
#include "editor/graphics/Font.h"
#include "editor/resources/PlugInResourceProvider.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <thread>

namespace {

using Zq::Application::Res::PlugInResourceProvider;

// Two editors building panels at once, one on the UI thread and one on the
// thread that changed the document: both take and give back the same images,
// fonts and layouts, moving the same pack stream.
TEST(ProviderThreads, twoThreadsShareOneProviderOverAPackAndOverAFolder)
{
    using test::tga::Header;
    testsupport::TempFolder temp;
    std::vector<std::uint32_t> glyphs(6 * 8, 0xFF000000u);
    glyphs[6 * 6] = glyphs[6 * 6 + 2] = 0xFFFFFFFFu;
    const std::string font = test::tga::file(Header{.width = 6, .height = 8, .bits = 24}, glyphs);
    const std::string knob = test::tga::file(Header{.width = 4, .height = 4},
                                             std::vector<std::uint32_t>(16, 0x80FF8000u));
    const std::vector<test::pack::Entry> entries = {
        {"Label.tga", font},
        {"Knob.tgz", test::tga::gzip(knob, "Knob.tga")},
        {"Lamp.tga", knob},
        {"Panel.xml", "<Panel><Knob x=\"1\"/></Panel>"}};
    temp.write("skin.pak", test::pack::file(entries));
    for (const auto& e : entries)
        temp.write("skin/" + e.name, e.data);

    for (const char* location : {"skin.pak", "skin"}) {
        SCOPED_TRACE(location);
        PlugInResourceProvider provider;
        provider.addLocation(temp.path(location));
        auto work = [&provider](int& wrong) {
            for (int round = 0; round < 200; ++round) {
                const auto* image = provider.getImageCache().get("Knob.tgz");
                const auto* lamp = provider.getImageCache().get("Lamp.tga");
                const auto* label = provider.getFontCache().get("Label.tga");
                const auto* layout = provider.getXmlCache().get("Panel.xml");
                if (!image || image->width != 4 || image->pixels[15] != 0x80FF8000u)
                    ++wrong;
                if (!lamp || lamp->height != 4 || !label || label->getCell(1).x != 2)
                    ++wrong;
                if (!layout || !layout->RootElement())
                    ++wrong;
                provider.getXmlCache().release(layout);
                provider.getFontCache().release(label);
                provider.getImageCache().release(lamp);
                provider.getImageCache().release(image);
            }
        };
        int wrongUi = 0;
        int wrongWorker = 0;
        std::thread worker(work, std::ref(wrongWorker));
        work(wrongUi);
        worker.join();
        EXPECT_EQ(wrongUi, 0);
        EXPECT_EQ(wrongWorker, 0);
        EXPECT_EQ(provider.getImageCache().size(), 0u);
        EXPECT_EQ(provider.getFontCache().size(), 0u);
        EXPECT_EQ(provider.getXmlCache().size(), 0u);
    }
}

} // namespace
