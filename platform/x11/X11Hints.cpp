#include "platform/x11/X11Hints.h"

#include <algorithm>

namespace platform::ui::x11 {

MotifHints motifHintsFor(const WindowOptions& options)
{
    MotifHints hints;
    const bool resizable = options.resizableX || options.resizableY;
    switch (options.decorations) {
    case Decorations::Plain:
        hints.decorations = 0;
        hints.functions = MotifHints::kFuncMove | MotifHints::kFuncClose;
        break;
    case Decorations::Frame:
        hints.decorations = MotifHints::kDecorBorder | MotifHints::kDecorResize;
        hints.functions = MotifHints::kFuncMove | MotifHints::kFuncClose |
                          (resizable ? static_cast<unsigned long>(MotifHints::kFuncResize) : 0ul);
        break;
    case Decorations::Normal:
        hints.decorations = MotifHints::kDecorBorder | MotifHints::kDecorTitle;
        hints.functions = MotifHints::kFuncMove;
        if (resizable) {
            hints.decorations |= MotifHints::kDecorResize;
            hints.functions |= MotifHints::kFuncResize;
        }
        if (options.closeBox) {
            hints.decorations |= MotifHints::kDecorMenu;
            hints.functions |= MotifHints::kFuncClose;
        }
        if (options.minimizeBox) {
            hints.decorations |= MotifHints::kDecorMinimize;
            hints.functions |= MotifHints::kFuncMinimize;
        }
        if (options.maximizeBox) {
            hints.decorations |= MotifHints::kDecorMaximize;
            hints.functions |= MotifHints::kFuncMaximize;
        }
        break;
    }
    return hints;
}

XSizeHints sizeHintsFor(const WindowOptions& options, int width, int height)
{
    const int strip = options.menuStrip ? WindowSystem::kMenuStripHeight : 0;
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    if (options.kind != WindowKind::Child)
        hints.flags |= PPosition | USPosition;
    // X has no "no limit": the largest size a window can take stands for it.
    constexpr int unlimited = 32767;
    hints.min_width = std::max(options.minWidth, 1);
    hints.min_height = std::max(options.minHeight, 1);
    hints.max_width = options.maxWidth > 0 ? options.maxWidth : unlimited;
    hints.max_height = options.maxHeight > 0 ? options.maxHeight : unlimited;
    if (!options.resizableX)
        hints.min_width = hints.max_width = std::max(width, 1);
    if (!options.resizableY)
        hints.min_height = hints.max_height = std::max(height, 1);
    hints.min_height += strip;
    if (hints.max_height < unlimited)
        hints.max_height += strip;
    return hints;
}

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace

std::vector<std::string> filePathsFromUriList(const std::string& list)
{
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find('\n', start);
        if (end == std::string::npos)
            end = list.size();
        std::string line = list.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        const std::string scheme = "file://";
        if (line.empty() || line[0] == '#' || line.compare(0, scheme.size(), scheme) != 0)
            continue;
        // file://host/path: the path starts at the first slash after the host.
        const std::size_t slash = line.find('/', scheme.size());
        if (slash == std::string::npos)
            continue;
        std::string path = percentDecoded(line.substr(slash));
        if (!path.empty() && path.find('\0') == std::string::npos)
            paths.push_back(std::move(path));
    }
    return paths;
}

} // namespace platform::ui::x11
