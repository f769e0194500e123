#pragma once

#include "tests/hostfw/win/WinTestSupport.h"

#include "hostfw/controls/epiControlKinds.h"
#include "hostfw/controls/epiUiSystemButton.h"
#include "platform/EventPump.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace test::controls {

// The four-character code of a text of four characters.
inline epiFourCC code(const char* text)
{
    epiFourCC value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(text[i]);
    return value;
}

// A window at (100, 100) of 400 x 300 on the headless system, recording the
// commands its controls' hits give; the user's pointer and keys go through
// the event loop.
struct ControlsFixture {
    ControlsFixture()
    {
        epiRegisterControlKinds();
        window = new test::win::LogWindow;
        window->enableReferenceCount();
        window->setAttribute(epiCode("aupo"), 0);
        window->setRect(epiRect(100, 100, 500, 400));
        window->openAs(&app, epiCode("test"));
        app.settle();
    }

    // Attributes go in before the control is created, as a layout gives them.
    template <class C>
    C* add(C* control, const epiRect& frame, const char* id,
           std::vector<std::pair<const char*, const char*>> attributes = {},
           epiUbo* parent = nullptr)
    {
        for (const auto& [name, value] : attributes)
            control->setAttributeText(test::controls::code(name), epiText(value));
        C* added = test::win::addChild(parent ? *parent : static_cast<epiUbo&>(*window), control,
                                       frame, code(id));
        app.settle();
        return added;
    }

    platform::ui::HostWindow& native() { return *window->hostWindow(); }
    void press(int x, int y)
    {
        app.headless.press(native(), x, y);
        app.settle();
    }
    void drag(int x, int y)
    {
        app.headless.motion(native(), x, y, platform::kButton1Mask);
        app.settle();
    }
    void release(int x, int y)
    {
        app.headless.release(native(), x, y);
        app.settle();
    }
    void click(int x, int y)
    {
        press(x, y);
        release(x, y);
    }
    // A key as the X layer reports it; printable keys give their character.
    void key(std::uint32_t character, std::uint32_t keysym = 0, unsigned modifiers = 0)
    {
        app.headless.key(native(), 40, keysym ? keysym : character, character, modifiers);
        app.settle();
    }
    void type(const char* text)
    {
        for (const char* c = text; *c; ++c)
            key(static_cast<unsigned char>(*c));
    }
    int hits(const char* id) const
    {
        return static_cast<int>(
            std::count(window->commands.begin(), window->commands.end(), code(id)));
    }

    test::win::WinApp app;
    test::win::LogWindow* window = nullptr;
};

} // namespace test::controls
