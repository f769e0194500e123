#include <gtest/gtest.h>

#include "platform/x11/X11Hints.h"

namespace pui = platform::ui;
namespace x11 = platform::ui::x11;
using M = x11::MotifHints;

namespace {

TEST(X11HintsTest, DecorationsAndFunctionsFollowTheOptions)
{
    struct Case {
        const char* name;
        void (*set)(pui::WindowOptions&);
        unsigned long decorations;
        unsigned long functions;
    };
    const unsigned long all = M::kDecorBorder | M::kDecorTitle | M::kDecorResize | M::kDecorMenu |
                              M::kDecorMinimize | M::kDecorMaximize;
    const unsigned long allFunctions =
        M::kFuncMove | M::kFuncResize | M::kFuncClose | M::kFuncMinimize | M::kFuncMaximize;
    const Case cases[] = {
        {"defaults", [](pui::WindowOptions&) {}, all, allFunctions},
        {"no minimize box", [](pui::WindowOptions& o) { o.minimizeBox = false; },
         all & ~M::kDecorMinimize, allFunctions & ~M::kFuncMinimize},
        {"no close box", [](pui::WindowOptions& o) { o.closeBox = false; }, all & ~M::kDecorMenu,
         allFunctions & ~M::kFuncClose},
        {"fixed size",
         [](pui::WindowOptions& o) {
             o.resizableX = o.resizableY = false;
             o.maximizeBox = false;
         },
         all & ~(M::kDecorResize | M::kDecorMaximize),
         allFunctions & ~(M::kFuncResize | M::kFuncMaximize)},
        {"plain", [](pui::WindowOptions& o) { o.decorations = pui::Decorations::Plain; }, 0,
         M::kFuncMove | M::kFuncClose},
        {"frame", [](pui::WindowOptions& o) { o.decorations = pui::Decorations::Frame; },
         M::kDecorBorder | M::kDecorResize, M::kFuncMove | M::kFuncResize | M::kFuncClose},
    };
    for (const Case& c : cases) {
        pui::WindowOptions options;
        c.set(options);
        const M hints = x11::motifHintsFor(options);
        EXPECT_EQ(hints.flags, M::kFunctions | M::kDecorations) << c.name;
        EXPECT_EQ(hints.decorations, c.decorations) << c.name;
        EXPECT_EQ(hints.functions, c.functions) << c.name;
    }
}

TEST(X11HintsTest, SizeLimitsHoldAFixedDimensionAndCountTheMenuStrip)
{
    struct Case {
        const char* name;
        bool resizableX, resizableY, strip;
        int minW, minH, maxW, maxH;
        int hintMinW, hintMinH, hintMaxW, hintMaxH;
    };
    const Case cases[] = {
        {"free", true, true, false, 0, 0, 0, 0, 1, 1, 32767, 32767},
        {"limits", true, true, false, 200, 100, 800, 600, 200, 100, 800, 600},
        {"width fixed", false, true, false, 200, 0, 0, 0, 300, 1, 300, 32767},
        {"height fixed", true, false, false, 0, 0, 0, 0, 1, 150, 32767, 150},
        {"strip", true, true, true, 0, 100, 0, 400, 1, 120, 32767, 420},
    };
    for (const Case& c : cases) {
        pui::WindowOptions options;
        options.resizableX = c.resizableX;
        options.resizableY = c.resizableY;
        options.menuStrip = c.strip;
        options.minWidth = c.minW;
        options.minHeight = c.minH;
        options.maxWidth = c.maxW;
        options.maxHeight = c.maxH;
        const XSizeHints hints = x11::sizeHintsFor(options, 300, 150);
        EXPECT_EQ(hints.min_width, c.hintMinW) << c.name;
        EXPECT_EQ(hints.min_height, c.hintMinH) << c.name;
        EXPECT_EQ(hints.max_width, c.hintMaxW) << c.name;
        EXPECT_EQ(hints.max_height, c.hintMaxH) << c.name;
        EXPECT_TRUE(hints.flags & USPosition) << c.name;
    }
}

TEST(X11HintsTest, UriListsGiveTheLocalPathsOfTheirFileEntries)
{
    const std::string list = "# dragged from a file manager\r\n"
                             "file:///home/me/My%20Song.wav\r\n"
                             "http://example.org/remote.wav\r\n"
                             "file://localhost/tmp/a%2"
                             "\r\n"
                             "file:///tmp/%41%zz.mp3\n"
                             "\r\n"
                             "file://no-path-here\r\n";
    EXPECT_EQ(x11::filePathsFromUriList(list),
              (std::vector<std::string>{"/home/me/My Song.wav", "/tmp/a%2", "/tmp/A%zz.mp3"}));
    // A %00 would cut the path where a C string ends: such an entry goes.
    EXPECT_TRUE(x11::filePathsFromUriList("file:///tmp/a%00b").empty());
}

} // namespace
