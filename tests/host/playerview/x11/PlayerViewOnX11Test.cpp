#include <gtest/gtest.h>

#include "tests/hostfw/win/WinTestSupport.h"

#include "host/audio/MPAudio.h"
#include "host/audio/MPAudioFake.h"
#include "host/player/ejpPlayerView.h"
#include "host/player/ejpWave.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/widgets/epiWidgetKinds.h"
#include "platform/window/Png.h"
#include "platform/x11/X11WindowSystem.h"
#include "tests/host/player/AudioFiles.h"
#include "tests/platform/x11/SharedXvfb.h"

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "support/TempFolder.h"

// After gtest: Xlib defines names such as None and Bool that gtest uses.
#include "tests/platform/x11/X11Probe.h"

namespace pui = platform::ui;
using player::ejpPlayerView;
using test::win::WinApp;

namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 120;
constexpr int kRate = 44100;
constexpr int kBlock = 512;

const char* kWindow = "<epi><content><name>plwn</name><position>40,50</position>"
                      "<size>760,120</size><attributes>"
                      "<attribute><name>aupo</name><value>0</value></attribute>"
                      "<attribute><name>grBk</name><value>1</value></attribute>"
                      "</attributes><itemslist></itemslist></content></epi>";

// The host's audio callback over the fake device: the panel's player and its
// metronome mixed into the two outputs.
class PanelAudio : public MPAudio {
public:
    explicit PanelAudio(player::ejpPlayerOutput& output) : output_(output)
    {
        setDeviceFactory([](int) { return std::make_unique<MPAudioFake>(); });
        createDevice(0);
    }
    MPAudioFake& fake() { return *static_cast<MPAudioFake*>(device()); }
    void process(float**, int, float** out, int outCount, int frames) override
    {
        if (outCount < 2)
            return;
        for (int k = 0; k < frames; ++k)
            out[0][k] = out[1][k] = 0.0f;
        output_.mix(out[0], out[1], frames);
        output_.mixClicks(out[0], out[1], frames);
    }

private:
    player::ejpPlayerOutput& output_;
};

// The panel in a window of the application, a generated song loaded and
// played for a fixed number of device blocks.
struct PlayingPanel {
    PlayingPanel(WinApp& app, const std::string& song)
    {
        app.getResources()->openEmbedded(0, nullptr);
        window = dynamic_cast<epiUiEventsBase*>(app.buildWindowFromLayoutText(epiText(kWindow)));
        if (!window || !window->hostWindow())
            return;
        view = new ejpPlayerView;
        view->enableReferenceCount();
        window->addChild(view);
        view->loadLayout("PlayerView.xml");
        view->setVisible(true, true);
        view->setSampleRate(kRate);
        const auto tick = [&] {
            app.clock += ejpPlayerView::kTickSeconds;
            app.settle(1);
        };
        if (!view->loadFile(song.c_str()))
            return;
        for (int i = 0; i < 4000 && view->isLoading(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            tick();
        }
        audio = std::make_unique<PanelAudio>(view->output());
        MPAudioConfig config;
        config.inputDevice = -1;
        config.outputDevice = -2;
        config.bufferSize = kBlock;
        config.outputChannels[0] = {true, 0};
        config.outputChannels[1] = {true, 1};
        if (!audio->open(config))
            return;
        view->onCommand(epiCode("zmin"));
        view->onCommand(epiCode("play"));
        for (int i = 0; i < 60; ++i)
            audio->fake().step(kBlock);
        for (int i = 0; i < 3; ++i)
            tick();
        ready = !view->isLoading() && view->output().engine().isPlaying();
    }
    ~PlayingPanel()
    {
        if (audio)
            audio->close();
    }

    epiUiEventsBase* window = nullptr;
    ejpPlayerView* view = nullptr;
    std::unique_ptr<PanelAudio> audio;
    bool ready = false;
};

TEST(PlayerViewOnX11, APlayingPanelRendersAlikeHeadlessAndOnX11)
{
    epiRegisterWidgetKinds();
    testsupport::TempFolder temp;
    const std::string song = temp.path("song.wav");
    test::audiofiles::writeTone(song, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate, kRate * 3);
    const std::string dir = testing::TempDir();

    std::vector<std::uint32_t> expected;
    {
        WinApp app;
        PlayingPanel panel(app, song);
        ASSERT_TRUE(panel.ready);
        app.settle();
        auto& headless = static_cast<pui::HeadlessWindow&>(*panel.window->hostWindow());
        expected = headless.screen();
        ASSERT_EQ(expected.size(), std::size_t(kWidth) * kHeight);
        EXPECT_TRUE(platform::window::writePng(dir + "player-headless.png", expected.data(), kWidth,
                                               kHeight));
        // The waveform's background shows inside the panel.
        EXPECT_EQ(expected[30 * kWidth + 100] & 0xFFFFFFu, 0x2B2416u);
        EXPECT_GT(panel.view->output().engine().positionFraction(), 0.0);
    }

    if (!test::x11::sharedXvfb().running())
        GTEST_SKIP() << "Xvfb is not available";
    auto system = pui::X11WindowSystem::open();
    ASSERT_TRUE(system);
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    {
        WinApp app(system.get());
        PlayingPanel panel(app, song);
        ASSERT_TRUE(panel.ready);
        auto& native = static_cast<pui::X11HostWindow&>(*panel.window->hostWindow());
        std::vector<std::uint32_t> shown;
        const bool same = test::x11::turnUntil(
            {other, system->display()}, [&] { app.settle(4); },
            [&] {
                shown = test::x11::readBack(other, native.client(), kWidth, kHeight);
                return shown == expected;
            });
        if (!shown.empty())
            EXPECT_TRUE(
                platform::window::writePng(dir + "player-x11.png", shown.data(), kWidth, kHeight));
        EXPECT_TRUE(same);
    }
    XCloseDisplay(other);
}

} // namespace
