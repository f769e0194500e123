#pragma once

// The rig's editor over a fresh rig document, drawn from the built skin in a
// headless window: the window's clock stands still, so timer ticks come only
// when a test asks, and the panels' own clock is a number the test sets.

#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "editor/graphics/Window.h"
#include "editor/panels/LowerPanel.h"
#include "editor/panels/Main.h"
#include "editor/panels/TunerModule.h"
#include "editor/panels/UpperPanel.h"
#include "editor/widgets/Root.h"
#include "platform/SettingsFixture.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Native.h"
#include "plugin/rig/Rig.h"
#include "tests/support/TempFolder.h"

namespace test::panels {

using namespace Zq::Application;
using Zq::BorvanRAZ::GUI::Main;
using Zq::BorvanRAZ::GUI::Panel;
namespace pw = platform::window;

class EditorTest : public SettingsRootTest {
protected:
    static std::int64_t frozenClock() { return 1000; }

    void SetUp() override
    {
        SettingsRootTest::SetUp();
        pw::setBackend(pw::Backend::Headless);
        pw::setClock(&frozenClock);
    }
    void TearDown() override
    {
        editor.reset();
        pw::setClock(nullptr);
        pw::setBackend(pw::Backend::Default);
        SettingsRootTest::TearDown();
    }

    // Layouts written into `overrides` win over the skin's.
    void build(const std::string& buildDate = "Jun 24 2009")
    {
        provider.addLocation(overrides.path());
        provider.addLocation(SKIN_DIR);
        Main::Services services{[this] { return seconds; }, buildDate};
        editor = std::make_unique<Main>(provider, rig, services);
    }
    void open()
    {
        editor->open(&parent);
        editor->idle();
    }
    pw::HeadlessWindow& window()
    {
        return *pw::HeadlessWindow::find(
            *static_cast<unsigned long*>(editor->getWindow()->getWindowHandle()));
    }
    // One tick of the window's timer, as its 40 ms would bring.
    void tick()
    {
        window().timer();
        editor->idle();
    }
    // A left click in the middle of the widget, through the window.
    void click(GUI::Widget* widget)
    {
        const auto at = widget->absolutePosition();
        const auto size = widget->getSize();
        const int x = at.x + size.x / 2;
        const int y = at.y + size.y / 2;
        window().mouseMove(x, y, 0);
        window().mouseDown(x, y, 1, 0);
        window().mouseUp(x, y, 1, 0);
        editor->idle();
    }
    template <class T> static T* widget(Panel* panel, const std::string& name)
    {
        T* found = nullptr;
        panel->find(name, found);
        return found;
    }
    Zq::BorvanRAZ::GUI::LowerPanel& lower() { return *editor->getLowerPanel(); }
    Zq::BorvanRAZ::GUI::UpperPanel& upper() { return *editor->getUpperPanel(); }
    // Holds the document lock as the window and the automation worker do.
    void load(const std::string& chunk)
    {
        platform::ScopedEnter guard(*rig.getLock());
        rig.loadChunk(chunk.data(), static_cast<std::int32_t>(chunk.size()));
    }

    testsupport::TempFolder overrides;
    Res::PlugInResourceProvider provider;
    Zq::BorvanRAZ::Document::Rig rig;
    double seconds = 100.0;
    std::unique_ptr<Main> editor;
    unsigned long parent = 0x3c00007;
};

} // namespace test::panels
