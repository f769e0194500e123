#pragma once

// Before Xlib, whose macros take the names KeyPress, ButtonPress ...
#include "platform/headless/WindowLayer.h"

#include <string>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

// What the window options become for the window manager: pure functions, so
// the mapping is tested without a display.
namespace platform::ui::x11 {

// The _MOTIF_WM_HINTS property: which functions the window manager offers and
// which decorations it draws.
struct MotifHints {
    enum : unsigned long { kFunctions = 1, kDecorations = 2 };
    enum : unsigned long {
        kFuncResize = 2,
        kFuncMove = 4,
        kFuncMinimize = 8,
        kFuncMaximize = 16,
        kFuncClose = 32,
    };
    enum : unsigned long {
        kDecorBorder = 2,
        kDecorResize = 4,
        kDecorTitle = 8,
        kDecorMenu = 16,
        kDecorMinimize = 32,
        kDecorMaximize = 64,
    };
    unsigned long flags = kFunctions | kDecorations;
    unsigned long functions = 0;
    unsigned long decorations = 0;
    long inputMode = 0;
    unsigned long status = 0;
};

MotifHints motifHintsFor(const WindowOptions& options);

// WM_NORMAL_HINTS for a client area of that size: the limits of the outer
// window (the menu strip included), a fixed dimension held at its size.
XSizeHints sizeHintsFor(const WindowOptions& options, int width, int height);

// The local paths of the file:// entries of a text/uri-list (comment lines
// and other schemes skipped, %XX decoded, an optional host part dropped).
std::vector<std::string> filePathsFromUriList(const std::string& list);

} // namespace platform::ui::x11
