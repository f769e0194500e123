#pragma once

// The preset panel on the built skin, in a headless editor window, with a
// preset folder of its own, a settings root of its own and a scripted
// message sink that writes down every box and answers from a queue.

#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editor/graphics/Painter.h"
#include "editor/graphics/Window.h"
#include "editor/panels/Preset.h"
#include "editor/panels/PresetSave.h"
#include "editor/resources/PlugInResourceProvider.h"
#include "editor/widgets/Root.h"
#include "editor/widgets/StaticText.h"
#include "editor/widgets/WidgetManager.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Native.h"
#include "plugin/rig/Rig.h"
#include "tests/support/TempFolder.h"

namespace test::presets {

using namespace Zq::Application;
using Zq::BorvanRAZ::Document::Rig;
using Zq::BorvanRAZ::GUI::Preset;
using Zq::BorvanRAZ::GUI::PresetContext;
using Zq::BorvanRAZ::GUI::PresetSave;

constexpr int kWidth = 520;
constexpr int kHeight = 260;

class PresetFixture : public testing::Test {
protected:
    static std::int64_t fixedClock() { return 0; }

    void SetUp() override
    {
        namespace pw = platform::window;
        pw::setBackend(pw::Backend::Headless);
        pw::setClock(&PresetFixture::fixedClock);
        ::setenv("ZQ_SETTINGS_ROOT", settings.path("").c_str(), 1);
        presets = temp.path("Presets");
        previousHandler = platform::setMessageHandler(
            [this](const std::string& text, const std::string& caption, int kind) {
                messages.push_back(caption + "|" + text + "|" + std::to_string(kind));
                if (answers.empty())
                    return kind == 0;
                const bool answer = answers.front();
                answers.pop_front();
                return answer;
            });
        provider.addLocation(SKIN_DIR);
        root = std::make_unique<Widgets::Root>(Graphics::BasicPoint<int>{kWidth, kHeight});
        root->callbacks().paint.connect(
            [](GUI::Widget*, Graphics::Painter* painter, const GUI::Widget::Rect& area) {
                painter->fillRect(0xFF303236u, area);
            });
        context.rootWidget = root.get();
        area = new GUI::Widget(root.get(), {20, 20, 300, 44});
    }
    void TearDown() override
    {
        panel.reset();
        window.reset();
        root.reset();
        platform::setMessageHandler(previousHandler);
        ::unsetenv("ZQ_SETTINGS_ROOT");
        platform::window::setClock(nullptr);
        platform::window::setBackend(platform::window::Backend::Default);
    }

    // The lookup the editor root hands over: the install error and "" when
    // the test took "PresetPath" away.
    std::string lookUpPresetPath()
    {
        ++lookups;
        if (!hasPresetPath) {
            platform::showInstallError();
            return {};
        }
        return presets;
    }

    void build()
    {
        panel = std::make_unique<Preset>(context, area);
        window = std::make_unique<Graphics::Window>(root->getManager(), &parentId,
                                                    GUI::Widget::Rect{0, 0, kWidth, kHeight}, true,
                                                    true, nullptr);
        native = platform::window::HeadlessWindow::find(
            *static_cast<unsigned long*>(window->getWindowHandle()));
        ASSERT_NE(native, nullptr);
        window->pump();
    }

    template <class T = GUI::Widget> T* widget(DocView::UnitGUI& view, const std::string& name)
    {
        T* found = nullptr;
        view.find(name, found);
        return found;
    }
    // A left click in the middle of the widget, through the window.
    void click(GUI::Widget* target)
    {
        const auto at = target->absolutePosition();
        const auto size = target->getSize();
        const int x = at.x + size.x / 2;
        const int y = at.y + size.y / 2;
        native->mouseMove(x, y, 0);
        native->mouseDown(x, y, Graphics::LeftButton, Graphics::LeftButton);
        native->mouseUp(x, y, Graphics::LeftButton, 0);
        window->pump();
    }
    void click(const std::string& name) { click(widget(*panel, name)); }
    void clickIn(DocView::UnitGUI& view, const std::string& name) { click(widget(view, name)); }
    void type(const std::string& text)
    {
        for (char c : text)
            native->key(platform::window::Key::Character, c);
        window->pump();
    }
    void backspaces(int count)
    {
        for (int i = 0; i < count; ++i)
            native->key(platform::window::Key::Backspace, 0);
        window->pump();
    }

    std::string shown() { return widget<Widgets::StaticText>(*panel, "PresetText")->getText(); }
    std::string currentName() { return rig.getPresetName(); }

    // A preset file of the rig's present state (or of the text given).
    void writePreset(const std::string& relative, const std::string& text = {})
    {
        std::ostringstream out;
        rig.save(out);
        temp.write("Presets/" + relative, text.empty() ? out.str() : text);
    }
    std::string readPreset(const std::string& relative) { return temp.read("Presets/" + relative); }
    std::string path(const std::string& relative) { return presets + "/" + relative; }

    std::int32_t overwriteSetting(bool& present)
    {
        std::int32_t value = -1;
        present = platform::readRegistryNumber("BorvanQom", "Overwrite Preset", value);
        return value;
    }

    std::string take()
    {
        std::string joined;
        for (const auto& message : messages)
            joined += (joined.empty() ? "" : "\n") + message;
        messages.clear();
        return joined;
    }

    testsupport::TempFolder temp;
    testsupport::TempFolder settings;
    std::string presets;
    bool hasPresetPath = true;
    int lookups = 0;
    std::vector<std::string> messages;
    std::deque<bool> answers;
    platform::MessageHandler previousHandler;
    Res::PlugInResourceProvider provider;
    Rig rig;
    std::unique_ptr<Widgets::Root> root;
    GUI::Widget* area = nullptr;
    PresetContext context{provider,    rig, nullptr, [this] { return lookUpPresetPath(); },
                          "BorvanQom", {}};
    std::unique_ptr<Preset> panel;
    unsigned long parentId = 0x4343;
    std::unique_ptr<Graphics::Window> window;
    platform::window::HeadlessWindow* native = nullptr;
};

} // namespace test::presets
