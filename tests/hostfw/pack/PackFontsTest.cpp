#include "hostfw/core/epiText.h"
#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/gfx/epiFontStrip.h"
#include "hostfw/gfx/epiFontSystem.h"
#include "hostfw/res/epiResources.h"

#include <gtest/gtest.h>

// The fonts the program carries: the strip the build renders and the
// hand-written system font descriptions.
TEST(PackFonts, TheRenderedStripCutsIntoTheGeneratorsGlyphs)
{
    epiResources resources;
    ASSERT_TRUE(resources.openEmbedded(0, nullptr));
    auto* strip = dynamic_cast<epiFont_FontStrip*>(resources.fonts().getFont(epiCode("aa10")));
    ASSERT_NE(strip, nullptr);
    EXPECT_GE(strip->glyphHeight(), 9);
    for (int c = ' '; c <= '~'; ++c)
        EXPECT_GE(strip->glyphWidth(static_cast<unsigned char>(c)), 1) << c;
    // Wide and narrow glyphs keep their proportions.
    EXPECT_GT(strip->glyphWidth('W'), strip->glyphWidth('i'));
    EXPECT_EQ(strip->glyphWidth('0'), strip->glyphWidth('8'));

    epiBitmap target;
    ASSERT_TRUE(target.create(60, 20));
    epiColor white;
    white.setWhite();
    strip->drawOnBitmap(target, 0, epiRect(2, 2, 60, 20), white, "Bass", nullptr);
    int lit = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            lit += (target.getPixel(x, y) & 0xFF) > 200;
    EXPECT_GT(lit, 10);
    EXPECT_EQ(strip->measure(0, "Bass"),
              strip->glyphWidth('B') + strip->glyphWidth('a') + 2 * strip->glyphWidth('s'));
}

TEST(PackFonts, TheSystemFontDescriptionsLoad)
{
    epiResources resources;
    ASSERT_TRUE(resources.openEmbedded(0, nullptr));
    struct Case {
        const char* code;
        int size;
        bool bold;
    };
    for (const Case& c : {Case{"gen9", 9, false}, Case{"AB10", 10, true}, Case{"Aria", 8, false},
                          Case{"hnl7", 5, false}}) {
        const epiFourCC code = epiText(c.code).toFourCC();
        testing::internal::CaptureStdout();
        auto* font = dynamic_cast<epiFont_FontSystem*>(resources.fonts().getFont(code));
        testing::internal::GetCapturedStdout();
        ASSERT_NE(font, nullptr) << c.code;
        EXPECT_EQ(font->size(), c.size) << c.code;
        EXPECT_EQ(font->bold(), c.bold) << c.code;
        EXPECT_GT(font->measure(0, "00:30"), 5) << c.code;
    }
}
