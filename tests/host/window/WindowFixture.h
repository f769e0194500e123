#pragma once

// The plug-in window's logic over the recording stand-in for the module, a
// fake audio device and a recording native side, in a temporary settings
// root with a clock the test moves.

#include "tests/host/app/FakeClock.h"
#include "tests/host/window/RecordingStubTest.h"
#include "tests/platform/SettingsFixture.h"
#include "tests/vstbridge/recording/RecordingStub.h"

#include "host/app/vphoPluginWindow.h"
#include "host/audio/MPAudioFake.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"

#include <dlfcn.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace test {

inline std::string codeText(epiFourCC code)
{
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i)
        text[static_cast<std::size_t>(i)] = static_cast<char>((code >> (8 * (3 - i))) & 0xFF);
    return text;
}

// Keeps what the window asked of its native side.
class RecordingSide : public vphoWindowSide {
public:
    unsigned long createNativeWindow() override
    {
        calls.push_back("createNativeWindow");
        return 4242;
    }
    void destroyNativeWindow() override { calls.push_back("destroyNativeWindow"); }
    void setTitle(const std::string& text) override { title = text; }
    void setClientSize(int w, int h) override
    {
        width = w;
        height = h;
    }
    int playerViewHeight() override { return 120; }
    void hideLoadingWindow() override { calls.push_back("hideLoadingWindow"); }
    void openWindow(epiFourCC kind, const std::string& layout) override
    {
        windows.push_back(codeText(kind) + " " + layout);
    }
    void quit() override { calls.push_back("quit"); }
    int statusBarHeight() override { return 24; }
    void placeStatusBar(int x, int y) override
    {
        barX = x;
        barY = y;
    }
    void showStatusBar(bool visible) override { barShown = visible; }
    void setStatusText(epiFourCC id, const std::string& text) override
    {
        texts[codeText(id)] = text;
    }
    void setStatusValue(epiFourCC id, int value) override { values[codeText(id)] = value; }
    void setStatusVisible(epiFourCC id, bool visible) override { visible_[codeText(id)] = visible; }

    bool visible(const std::string& id) const
    {
        auto found = visible_.find(id);
        return found != visible_.end() && found->second;
    }

    std::vector<std::string> calls;
    std::vector<std::string> windows;
    std::string title;
    int width = 0, height = 0, barX = -1, barY = -1;
    bool barShown = false;
    std::map<std::string, std::string> texts;
    std::map<std::string, int> values;

private:
    std::map<std::string, bool> visible_;
};

// What the fake devices the window creates offer and do.
struct FakeDevices {
    struct Capabilities {
        std::vector<std::string> channels;
        std::vector<int> rates;
        std::vector<int> sizes;
        bool panel = false;
    };
    std::vector<std::string> names = {"Fake Card"};
    // By device name; a device not named here answers the base's lists.
    std::map<std::string, Capabilities> capabilities;
    int panelOpens = 0;
    // Whether started devices run their callbacks on a thread of their own.
    bool threaded = false;
    // Opening succeeds only for a device of the list.
    bool openSucceeds = true;
    // The output device of every open, "" for none found.
    std::vector<std::string> opens;
    MPAudioFake* current = nullptr;
};

class ListedFake : public MPAudioFake {
public:
    explicit ListedFake(FakeDevices& devices) : devices_(devices)
    {
        threaded = devices.threaded;
        for (const std::string& name : devices.names) {
            MPAudioDeviceInfo info;
            info.name = name;
            info.channelCount = 2;
            fakeInputs.push_back(info);
            fakeOutputs.push_back(info);
        }
    }
    ~ListedFake() override
    {
        if (devices_.current == this)
            devices_.current = nullptr;
    }

    bool getCapabilities(int device, bool isInput, std::vector<int>* bufferSizes,
                         std::vector<std::string>* channelNames, std::vector<int>* sampleRates,
                         int* hasPanel, int* preferredFrames, int* reserved, int* latency) override
    {
        const auto& list = isInput ? fakeInputs : fakeOutputs;
        const auto found =
            device >= 0 && device < static_cast<int>(list.size())
                ? devices_.capabilities.find(list[static_cast<std::size_t>(device)].name)
                : devices_.capabilities.end();
        if (found == devices_.capabilities.end())
            return MPAudioFake::getCapabilities(device, isInput, bufferSizes, channelNames,
                                                sampleRates, hasPanel, preferredFrames, reserved,
                                                latency);
        if (bufferSizes)
            *bufferSizes = found->second.sizes;
        if (channelNames)
            *channelNames = found->second.channels;
        if (sampleRates)
            *sampleRates = found->second.rates;
        if (hasPanel)
            *hasPanel = found->second.panel ? 1 : 0;
        return true;
    }
    bool showControlPanel(int, bool) override
    {
        ++devices_.panelOpens;
        return true;
    }

protected:
    bool deviceOpen() override
    {
        const int out = config_.outputDevice;
        devices_.opens.push_back(out >= 0 && out < static_cast<int>(outputs_.size())
                                     ? outputs_[static_cast<std::size_t>(out)].name
                                     : std::string());
        return devices_.openSucceeds && out >= 0;
    }

private:
    FakeDevices& devices_;
};

class WindowTest : public RecordingStubTest {
protected:
    void TearDown() override
    {
        window.reset();
        RecordingStubTest::TearDown();
    }

    // Settings as a previous run left them: the fake's device, 256 frames
    // at 44100 Hz.
    void storeSettings(bool autoSession = false)
    {
        vphoHostSettings s;
        s.technology = "DirectX";
        s.inputDevice = "Fake Card";
        s.outputDevice = "Fake Card";
        s.bufferSize = "256";
        s.sampleRate = "44100";
        s.autoSession = autoSession;
        s.save("BorvanQom");
    }
    vphoPluginWindow& makeWindow(std::unique_ptr<vphoPluginLoadInfo> info = nullptr)
    {
        window = std::make_unique<vphoPluginWindow>(side, clock, std::move(info));
        window->setDeviceFactory([this](int) {
            auto device = std::make_unique<ListedFake>(devices);
            devices.current = device.get();
            return device;
        });
        return *window;
    }
    // Loaded and opened, the first start due a second later.
    vphoPluginWindow& openWindow(vphoPlayerLink* player = nullptr)
    {
        vphoPluginWindow& w = makeWindow();
        w.loadPlugIn();
        w.onOpened(player);
        return w;
    }
    void tickAfter(double seconds)
    {
        clock.advanceSeconds(seconds);
        window->onTick();
    }

    RecordingSide side;
    FakeClock clock;
    FakeDevices devices;
    std::unique_ptr<vphoPluginWindow> window;
};

} // namespace test
