#pragma once

// The editor where users meet it, on a private Xvfb of 1280 x 1024: opened
// by a host into a window of its own, pumped only by the host's idle calls,
// driven only through XTest. Beside it, in this process, a headless twin of
// the same editor over a rig loaded from the same chunk: what the screen must
// show, and where each widget sits.

#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "editor/graphics/Window.h"
#include "editor/panels/AmpModule.h"
#include "editor/panels/ChainNavigator.h"
#include "editor/panels/LowerPanel.h"
#include "editor/panels/Main.h"
#include "editor/panels/Output.h"
#include "editor/panels/Panel.h"
#include "editor/panels/Preset.h"
#include "editor/panels/PresetSave.h"
#include "editor/panels/UpperPanel.h"
#include "editor/resources/PlugInResourceProvider.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/Root.h"
#include "editor/widgets/StaticText.h"
#include "platform/CriticalSection.h"
#include "platform/Settings.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Native.h"
#include "platform/window/Png.h"
#include "plugin/rig/Rig.h"
#include "tests/editor/x11/XTestDriver.h"
#include "tests/editor/x11/XvfbServer.h"

namespace test::onscreen {

using Zq::BorvanRAZ::GUI::Main;
using Widget = Zq::Application::GUI::Widget;
namespace pw = platform::window;

// No colour of the skin: whatever keeps it after the first paint was never
// painted.
constexpr std::uint32_t kSentinel = 0xFFFF00FFu;

// The head a fresh rig shows and the layout that draws it.
constexpr const char* kFreshHeadLayout = "AmpRKM-Classic.xml";
// Its "GainKnob"'s parameter as a host lists it.
constexpr const char* kFreshGain = "Amp RKM-CL Gain";

// The centre of a widget, in editor coordinates.
struct Spot {
    int x;
    int y;
};

inline Spot centre(const Widget* widget)
{
    const auto at = widget->absolutePosition();
    auto* self = const_cast<Widget*>(widget);
    const auto size = self->getSize();
    return {at.x + size.x / 2, at.y + size.y / 2};
}

// A knob's "MouseRange" as its layout gives it (its frame count otherwise).
inline int mouseRange(const std::string& layout, const std::string& name)
{
    TiXmlDocument document((std::filesystem::path(SKIN_DIR) / layout).string());
    if (!document.LoadFile())
        return 0;
    const std::function<int(const TiXmlElement*)> search = [&](const TiXmlElement* e) -> int {
        for (; e; e = e->NextSiblingElement()) {
            const char* n = e->Attribute("Name");
            if (n && name == n) {
                int range = 0;
                if (e->QueryIntAttribute("MouseRange", &range) != TIXML_SUCCESS)
                    e->QueryIntAttribute("Frames", &range);
                return range;
            }
            if (const int inner = search(e->FirstChildElement()))
                return inner;
        }
        return 0;
    };
    return search(document.FirstChildElement() ? document.FirstChildElement()->FirstChildElement()
                                               : nullptr);
}

inline std::string presetFolderSetting()
{
    std::string folder;
    platform::readRegistryString("BorvanQom", "PresetPath", folder);
    return folder;
}

// The editor drawn headless from the built skin over its own rig, with the
// same services a module's editor gets. Its first paint starts from the
// sentinel colour.
class HeadlessTwin {
public:
    explicit HeadlessTwin(const std::string& chunk)
    {
        provider_.addLocation(SKIN_DIR);
        if (!chunk.empty()) {
            platform::ScopedEnter guard(*rig_.getLock());
            rig_.loadChunk(chunk.data(), static_cast<std::int32_t>(chunk.size()));
        }
        main_ = std::make_unique<Main>(provider_, rig_, Main::Services{},
                                       Main::PresetServices{&presetFolderSetting, "BorvanQom"});
        pw::setBackend(pw::Backend::Headless);
        pw::setFirstFill(kSentinel);
        main_->open(&fakeParent_);
        main_->idle();
        pw::setFirstFill(0);
    }
    ~HeadlessTwin() { main_.reset(); }

    Main& main() { return *main_; }
    Zq::BorvanRAZ::Document::Rig& rig() { return rig_; }
    pw::HeadlessWindow& window()
    {
        return *pw::HeadlessWindow::find(
            *static_cast<unsigned long*>(main_->getWindow()->getWindowHandle()));
    }
    // The screen after every pending change is painted, 0x00RRGGBB.
    std::vector<std::uint32_t> screen()
    {
        main_->idle();
        std::vector<std::uint32_t> out = window().screen();
        for (auto& p : out)
            p &= 0xFFFFFFu;
        return out;
    }
    // A click the twin takes as the one on the screen.
    void click(Spot at, int modifiers = 0)
    {
        window().mouseMove(at.x, at.y, modifiers);
        window().mouseDown(at.x, at.y, 1, modifiers | 1);
        window().mouseUp(at.x, at.y, 1, modifiers);
        main_->idle();
    }
    template <class T = Widget>
    T* find(Zq::Application::DocView::UnitGUI* panel, const std::string& name)
    {
        T* found = nullptr;
        try {
            if (panel)
                panel->find(name, found);
        } catch (const std::exception&) {
            found = nullptr; // not in that layout
        }
        return found;
    }
    // The amp head shown, when the amp module is.
    Zq::BorvanRAZ::GUI::Panel* head()
    {
        auto* amp = dynamic_cast<Zq::BorvanRAZ::GUI::AmpModule*>(main_->getModulePanel());
        return amp ? amp->getHead() : nullptr;
    }
    // The shown menu item with that text, where it is on the editor.
    static bool itemSpot(Zq::Application::Widgets::Menu* menu, const std::string& text, Spot& at)
    {
        // Unscrolled, items sit 2 pixels inside the menu's bevel.
        if (!menu || !menu->isVisible() || menu->isScrolling())
            return false;
        const auto origin = menu->absolutePosition();
        for (int i = 0; i < menu->getItemCount(); ++i)
            if (menu->getItem(i).text == text) {
                const auto& r = menu->getItem(i).rect;
                at = {origin.x + 2 + r.x + r.width / 2, origin.y + 2 + r.y + r.height / 2};
                return true;
            }
        return false;
    }

private:
    Zq::Application::Res::PlugInResourceProvider provider_;
    Zq::BorvanRAZ::Document::Rig rig_;
    std::unique_ptr<Main> main_;
    unsigned long fakeParent_ = 0x3c00007;
};

inline std::size_t differing(const std::vector<std::uint32_t>& a,
                             const std::vector<std::uint32_t>& b)
{
    if (a.size() != b.size())
        return std::max(a.size(), b.size());
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i];
    return n;
}

inline std::size_t count(const std::vector<std::uint32_t>& pixels, std::uint32_t colour)
{
    return static_cast<std::size_t>(std::count(pixels.begin(), pixels.end(), colour));
}

inline bool save(const std::vector<std::uint32_t>& pixels, int width, int height,
                 const std::string& name)
{
    const std::string path = test::x11::screenshotPath(name);
    return !pixels.empty() && pw::writePng(path, pixels.data(), width, height);
}

} // namespace test::onscreen
