#pragma once

// A widget tree shown through a headless editor window, with widgets that
// write down what reaches them and images of one solid colour each, so that
// every pixel on the screen says which widget drew it.

#include <cstdint>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <boost/bind/bind.hpp>
#include <gtest/gtest.h>

#include "editor/graphics/Bitmap.h"
#include "editor/graphics/Font.h"
#include "editor/graphics/Painter.h"
#include "editor/graphics/Window.h"
#include "editor/widgets/Root.h"
#include "editor/widgets/Widget.h"
#include "editor/widgets/WidgetManager.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Native.h"
#include "tests/editor/graphics/TgaFiles.h"

namespace test::widgets {

using namespace Zq::Application;
using Graphics::BasicPoint;
using Graphics::BasicRect;
using Point = BasicPoint<int>;
using Rect = BasicRect<int>;

// A w x h image of one opaque colour, copied as it stands when drawn.
inline std::unique_ptr<Graphics::Bitmap> solid(int w, int h, std::uint32_t rgb)
{
    auto image = std::make_unique<Graphics::Bitmap>();
    image->allocate(w, h);
    for (int i = 0; i < w * h; ++i)
        image->pixels[i] = 0xFF000000u | rgb;
    return image;
}

// A font whose printable glyphs are `glyphWidth` wide and cover the rows
// 0..2 of a 5-row cell, whose "." is one pixel covering only row 4, and
// whose space covers nothing: digits and points are told apart by row.
inline std::unique_ptr<Graphics::Font> cellFont(int glyphWidth = 3)
{
    constexpr int height = 10; // cells 5 high, marker row 8
    std::vector<std::pair<int, int>> runs;
    int x = 0;
    for (int code = 0; code < 128; ++code) {
        x += 1;
        const int w = code == '.' ? 1 : glyphWidth;
        runs.push_back({x, w});
        x += w;
    }
    const int width = x + 1;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0xFF000000u);
    for (int code = 0; code < 128; ++code)
        for (int cx = runs[code].first; cx < runs[code].first + runs[code].second; ++cx) {
            pixels[static_cast<std::size_t>(height - 2) * width + cx] = 0xFFFFFFFFu;
            if (code == ' ')
                continue;
            const int top = code == '.' ? 4 : 0;
            const int bottom = code == '.' ? 5 : 3;
            for (int y = top; y < bottom; ++y)
                pixels[static_cast<std::size_t>(y) * width + cx] = 0xFFFF0000u;
        }
    const std::string file = test::tga::file(
        {.width = static_cast<std::uint16_t>(width), .height = static_cast<std::uint16_t>(height)},
        pixels);
    std::istringstream stream(file);
    return std::make_unique<Graphics::Font>(stream, file.size());
}

// A widget that writes every event reaching it into a shared log as
// "name:event", and paints itself in its colour: its own rectangle, or with
// `overdraw` a rectangle 5 pixels larger on every side.
class Probe : public GUI::Widget {
public:
    Probe(GUI::Widget* parent, const Rect& rect, std::string name, std::vector<std::string>& log,
          std::uint32_t rgb = 0)
        : Widget(parent, rect), name(std::move(name)), log(log), rgb(rgb),
          image(solid(rect.width + 10, rect.height + 10, rgb))
    {
        using namespace boost::placeholders;
        auto& events = callbacks();
        events.paint.connect(boost::bind(&Probe::onPaint, this, _1, _2, _3));
        events.mouseMove.connect(boost::bind(&Probe::onMove, this, _2));
        events.mouseDown.connect(boost::bind(&Probe::onButton, this, "down", _2, _3));
        events.mouseUp.connect(boost::bind(&Probe::onButton, this, "up", _2, _3));
        events.key.connect(boost::bind(&Probe::onKey, this, _2, _3));
        events.mouseEnter.connect(boost::bind(&Probe::note, this, "enter"));
        events.mouseLeave.connect(boost::bind(&Probe::note, this, "leave"));
        focusGained.connect(boost::bind(&Probe::note, this, "focusGained"));
        focusLost.connect(boost::bind(&Probe::note, this, "focusLost"));
        captureGained.connect(boost::bind(&Probe::note, this, "captureGained"));
        captureLost.connect(boost::bind(&Probe::note, this, "captureLost"));
    }
    ~Probe() override
    {
        log.push_back(name + ":deleted");
        if (onDeleteDo)
            onDeleteDo();
    }

    void note(const std::string& what) { log.push_back(name + ":" + what); }
    void onMove(const Point& p)
    {
        note("move " + std::to_string(p.x) + "," + std::to_string(p.y));
        if (onMoveDo)
            onMoveDo();
    }
    void onButton(const char* what, const Point& p, int button)
    {
        note(std::string(what) + " " + std::to_string(p.x) + "," + std::to_string(p.y) + " " +
             std::to_string(button));
        if (std::string(what) == "up" && onUpDo)
            onUpDo();
    }
    void onKey(Graphics::KeyboardButtons key, char character)
    {
        note("key " + std::to_string(int(key)) + " " + std::to_string(int(character)));
    }
    void onPaint(GUI::Widget*, Graphics::Painter* painter, const Rect&)
    {
        if (!rgb)
            return;
        const Point size = getSize();
        if (overdraw)
            painter->drawBitmap(*image, {-5, -5}, {0, 0, size.x + 10, size.y + 10});
        else
            painter->drawBitmap(*image, {0, 0}, {0, 0, size.x, size.y});
    }

    std::string name;
    std::vector<std::string>& log;
    std::uint32_t rgb;
    std::unique_ptr<Graphics::Bitmap> image;
    bool overdraw = false;
    std::function<void()> onUpDo;
    std::function<void()> onMoveDo;
    std::function<void()> onDeleteDo;
};

constexpr int kWidth = 100;
constexpr int kHeight = 80;
constexpr std::uint32_t kBackground = 0x202020;

// A root of 100 x 80 painting a dark background, shown in a headless window.
class WidgetFixture : public testing::Test {
protected:
    static std::int64_t fixedClock() { return 0; }

    void SetUp() override
    {
        namespace pw = platform::window;
        pw::setBackend(pw::Backend::Headless);
        // A clock that stands still: no timer ticks between the events.
        pw::setClock(&WidgetFixture::fixedClock);
        root = std::make_unique<Widgets::Root>(Point{kWidth, kHeight});
        manager = root->getManager();
        root->callbacks().paint.connect([this](GUI::Widget*, Graphics::Painter* p, const Rect& r) {
            painted.push_back(r);
            p->drawBitmap(*background, {r.x, r.y}, r);
        });
    }
    void TearDown() override
    {
        window.reset();
        root.reset();
        platform::window::setClock(nullptr);
        platform::window::setBackend(platform::window::Backend::Default);
    }

    void open()
    {
        window = std::make_unique<Graphics::Window>(manager, &parentId, Rect{0, 0, kWidth, kHeight},
                                                    true, true, nullptr);
        native = platform::window::HeadlessWindow::find(
            *static_cast<unsigned long*>(window->getWindowHandle()));
        ASSERT_NE(native, nullptr);
        window->pump();
        painted.clear();
    }
    void close() { window.reset(); }

    // Delivers what is pending and answers the area repainted (the bounding
    // rectangle of what was asked for), empty when nothing was.
    Rect flush()
    {
        painted.clear();
        window->pump();
        if (painted.size() > 1)
            ADD_FAILURE() << "one repaint per pump expected";
        return painted.empty() ? Rect{} : painted.front();
    }
    // Repaints everything and answers the screen's colour at (x, y).
    std::uint32_t pixel(int x, int y)
    {
        return native->screen()[static_cast<std::size_t>(y) * kWidth + x] & 0xFFFFFFu;
    }
    void repaintAll()
    {
        window->invalidate({0, 0, kWidth, kHeight});
        window->pump();
    }
    // Writes the root's pointer events into the log as "root:...".
    void logRoot()
    {
        auto& events = root->callbacks();
        events.mouseEnter.connect([this](GUI::Widget*) { log.push_back("root:enter"); });
        events.mouseLeave.connect([this](GUI::Widget*) { log.push_back("root:leave"); });
        events.mouseMove.connect([this](GUI::Widget*, const Point& p, int) {
            log.push_back("root:move " + std::to_string(p.x) + "," + std::to_string(p.y));
        });
        events.mouseDown.connect([this](GUI::Widget*, const Point& p, int button, int) {
            log.push_back("root:down " + std::to_string(p.x) + "," + std::to_string(p.y) + " " +
                          std::to_string(button));
        });
    }
    // The log so far, joined by "|", and forgotten.
    std::string take()
    {
        std::string joined;
        for (const auto& entry : log)
            joined += (joined.empty() ? "" : "|") + entry;
        log.clear();
        return joined;
    }

    unsigned long parentId = 0x4242;
    std::unique_ptr<Graphics::Bitmap> background = solid(kWidth, kHeight, kBackground);
    std::unique_ptr<Widgets::Root> root;
    GUI::WidgetManager* manager = nullptr;
    std::unique_ptr<Graphics::Window> window;
    platform::window::HeadlessWindow* native = nullptr;
    std::vector<Rect> painted;
    std::vector<std::string> log;
};

} // namespace test::widgets

namespace Zq::Application::Graphics {
inline bool operator==(const BasicRect<int>& a, const BasicRect<int>& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
inline std::ostream& operator<<(std::ostream& out, const BasicRect<int>& r)
{
    return out << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
}
} // namespace Zq::Application::Graphics

namespace test::widgets {

// A film strip of `frames` frames of w x h, frame f in the colour
// 0x8000FF + f * 16 in green: frameAt() reads the frame back from a pixel.
inline std::unique_ptr<Graphics::Bitmap> strip(int w, int h, int frames)
{
    auto image = solid(w, h * frames, 0);
    for (int f = 0; f < frames; ++f)
        for (int i = 0; i < w * h; ++i)
            image->pixels[static_cast<std::size_t>(f) * w * h + i] =
                0xFF8000FFu | static_cast<std::uint32_t>(f * 16) << 8;
    return image;
}
inline int frameAt(std::uint32_t pixel)
{
    return static_cast<int>((pixel >> 8) & 0xFF) / 16;
}

} // namespace test::widgets
