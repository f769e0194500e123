#include <gtest/gtest.h>

#include "tests/hostfw/win/WinTestSupport.h"

#include "hostfw/app/epiMenu.h"
#include "hostfw/controls/epiControlKinds.h"
#include "hostfw/controls/epiMenuBar.h"
#include "hostfw/controls/epiUiSystemEditText.h"
#include "hostfw/controls/epiUiSystemPopup.h"
#include "hostfw/controls/epiUiSystemScroll.h"
#include "hostfw/controls/epiUiSystemStaticText.h"
#include "hostfw/controls/epiUiSystemToggles.h"
#include "hostfw/win/epiUiSystemContainer.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/window/Png.h"
#include "platform/x11/X11WindowSystem.h"
#include "tests/platform/x11/SharedXvfb.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// After gtest: Xlib defines names such as None and Bool that gtest uses.
#include "tests/hostfw/controls/MenuDocument.h"
#include "tests/platform/x11/X11Probe.h"

namespace pui = platform::ui;
using test::win::WinApp;

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 260;
constexpr int kStrip = pui::WindowSystem::kMenuStripHeight;

using testmenus::kMenuDocument;

template <class C>
C* place(epiUbo& parent, C* control, const epiRect& frame,
         std::vector<std::pair<epiFourCC, const char*>> attributes = {}, const char* text = nullptr)
{
    for (const auto& [code, value] : attributes)
        control->setAttributeText(code, epiText(value));
    if (text)
        control->setText(text);
    return test::win::addChild(parent, control, frame);
}

// A window with a menu bar and one of every control, its File menu open.
struct Scene {
    test::win::LogWindow* window = nullptr;
    epiMenuBar* bar = nullptr;
};

Scene buildScene(WinApp& app, const std::function<void(Scene&)>& beforeOpening = nullptr)
{
    epiRegisterControlKinds();
    Scene scene;
    if (!app.getMenu()->buildFromText(epiText(kMenuDocument)))
        return scene;
    auto* window = new test::win::LogWindow;
    window->enableReferenceCount();
    window->setAttribute(epiCode("aupo"), 0);
    window->setAttribute(epiCode("mBar"), 1);
    window->setAttribute(epiCode("grBk"), 1);
    window->setRect(epiRect(60, 80, 60 + kWidth, 80 + kHeight));
    if (!window->openAs(&app, epiCode("main")))
        return scene;
    scene.window = window;
    place(*window, new epiUiSystemButton, epiRect(10, 10, 90, 33), {{epiCode("defa"), "1"}}, "OK");
    place(*window, new epiUiSystemButton, epiRect(100, 10, 180, 33), {}, "Cancel")
        ->setEnabled(false);
    auto* popup = place(*window, new epiUiSystemPopup, epiRect(190, 10, 330, 31),
                        {{epiCode("cont"), "Clean|Crunch|Fuzz"}});
    popup->setText("Crunch");
    place(*window, new epiUiSystemPopupArrow, epiRect(340, 10, 357, 31),
          {{epiCode("cont"), "a|b"}});
    const char* alignments[] = {"0", "1", "2"};
    for (int i = 0; i < 3; ++i)
        place(*window, new epiUiSystemStaticText, epiRect(10, 45 + 16 * i, 200, 61 + 16 * i),
              {{epiCode("txAl"), alignments[i]}, {epiCode("teBo"), i == 1 ? "1" : "0"}},
              "Tempo 120 BPM");
    auto* roll = place(*window, new epiUiSystemRollingText, epiRect(210, 45, 330, 61),
                       {{epiCode("cont"), "Verse\nChorus\nBridge"}});
    roll->setValue(1);
    auto* edit =
        place(*window, new epiUiSystemEditText, epiRect(10, 100, 200, 121), {}, "take 3.wav");
    edit->takeFocus();
    place(*window, new epiUiSystemScroll, epiRect(390, 10, 406, 200),
          {{epiCode("min_"), "0"}, {epiCode("max_"), "100"}})
        ->setValue(30);
    place(*window, new epiUiSystemScroll, epiRect(210, 100, 380, 116),
          {{epiCode("min_"), "0"}, {epiCode("max_"), "10"}})
        ->setValue(7);
    auto* group = new epiUiSystemContainer;
    group->setAttribute(epiCode("Grup"), 1);
    place(*window, group, epiRect(10, 130, 250, 230), {}, "Metronome");
    auto* first = place(*group, new epiUiSystemRadio, epiRect(10, 20, 110, 36),
                        {{epiCode("fagr"), "1"}, {epiCode("fain"), "0"}}, "Click");
    place(*group, new epiUiSystemRadio, epiRect(10, 40, 110, 56),
          {{epiCode("fagr"), "1"}, {epiCode("fain"), "1"}}, "Beep");
    first->setValue(1);
    place(*group, new epiUiSystemCheckBox, epiRect(120, 20, 230, 36), {}, "Count in")->setValue(1);
    place(*group, new epiUiSystemProgressBar, epiRect(10, 70, 230, 86))->setValue(40);
    app.settle();
    scene.bar = dynamic_cast<epiMenuBar*>(window->strip());
    if (beforeOpening)
        beforeOpening(scene);
    if (scene.bar)
        scene.bar->openMenu(0);
    app.settle();
    return scene;
}

// The strip, the client area under it and the open drop-down over both, as
// the screen shows them together.
std::vector<std::uint32_t> compose(const std::vector<std::uint32_t>& strip,
                                   const std::vector<std::uint32_t>& client,
                                   const std::vector<std::uint32_t>& list, const epiRect& listFrame,
                                   const epiRect& windowFrame)
{
    std::vector<std::uint32_t> image(static_cast<std::size_t>(kWidth) * (kStrip + kHeight));
    std::copy(strip.begin(), strip.end(), image.begin());
    std::copy(client.begin(), client.end(), image.begin() + kWidth * kStrip);
    const int left = listFrame.left - windowFrame.left;
    const int top = listFrame.top - windowFrame.top + kStrip;
    for (int y = 0; y < listFrame.getHeight(); ++y)
        for (int x = 0; x < listFrame.getWidth(); ++x) {
            const int ix = left + x, iy = top + y;
            if (ix >= 0 && ix < kWidth && iy >= 0 && iy < kStrip + kHeight)
                image[static_cast<std::size_t>(iy) * kWidth + ix] =
                    list[static_cast<std::size_t>(y) * listFrame.getWidth() + x];
        }
    return image;
}

TEST(ControlsOnX11Test, EveryControlWithTheMenuBarAndADropDownRendersAlikeHeadlessAndOnX11)
{
    std::vector<std::uint32_t> expected;
    epiRect listFrame;
    {
        WinApp app;
        // The whole window once before the drop-down covers part of it.
        Scene scene = buildScene(app, [](Scene& shown) {
            auto& client = static_cast<pui::HeadlessWindow&>(*shown.window->hostWindow());
            const auto image = compose(client.strip(), client.screen(), {}, epiRect(), epiRect());
            EXPECT_TRUE(platform::window::writePng(testing::TempDir() + "controls-closed.png",
                                                   image.data(), kWidth, kStrip + kHeight));
        });
        ASSERT_TRUE(scene.window && scene.bar);
        ASSERT_EQ(scene.bar->openIndex(), 0);
        auto& client = static_cast<pui::HeadlessWindow&>(*scene.window->hostWindow());
        epiUiEventsBase* list = scene.bar->popupList().window(0);
        ASSERT_TRUE(list);
        listFrame = list->getFrame();
        expected = compose(client.strip(), client.screen(),
                           static_cast<pui::HeadlessWindow&>(*list->hostWindow()).screen(),
                           listFrame, scene.window->getFrame());
        scene.bar->popupList().close();
    }
    const std::string dir = testing::TempDir();
    EXPECT_TRUE(platform::window::writePng(dir + "controls-headless.png", expected.data(), kWidth,
                                           kStrip + kHeight));

    if (!test::x11::sharedXvfb().running())
        GTEST_SKIP() << "Xvfb is not available";
    auto system = pui::X11WindowSystem::open();
    ASSERT_TRUE(system);
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    {
        WinApp app(system.get());
        Scene scene = buildScene(app);
        ASSERT_TRUE(scene.window && scene.bar);
        auto& native = static_cast<pui::X11HostWindow&>(*scene.window->hostWindow());
        epiUiEventsBase* list = scene.bar->popupList().window(0);
        ASSERT_TRUE(list);
        EXPECT_EQ(list->getFrame().left, listFrame.left);
        EXPECT_EQ(list->getFrame().top, listFrame.top);
        auto& listNative = static_cast<pui::X11HostWindow&>(*list->hostWindow());
        std::vector<std::uint32_t> shown;
        const bool same = test::x11::turnUntil(
            {other, system->display()}, [&] { app.settle(4); },
            [&] {
                const auto strip = test::x11::readBack(other, native.outer(), kWidth, kStrip);
                const auto client = test::x11::readBack(other, native.client(), kWidth, kHeight);
                const auto pixels = test::x11::readBack(
                    other, listNative.client(), listFrame.getWidth(), listFrame.getHeight());
                if (strip.empty() || client.empty() || pixels.empty())
                    return false;
                shown = compose(strip, client, pixels, listFrame, scene.window->getFrame());
                return shown == expected;
            });
        if (!shown.empty())
            EXPECT_TRUE(platform::window::writePng(dir + "controls-x11.png", shown.data(), kWidth,
                                                   kStrip + kHeight));
        EXPECT_TRUE(same);
        scene.bar->popupList().close();
    }
    XCloseDisplay(other);
}

} // namespace
