#pragma once

// The host's application on a window system the test chooses (headless by
// default), with a clock the test moves and the recording stand-in for the
// module or none.

#include "host/app/vphoApplication.h"
#include "host/app/vphoHostWindows.h"
#include "host/audio/MPAudioFake.h"
#include "hostfw/app/epiWindowManager.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "tests/host/window/RecordingStubTest.h"

#include <dlfcn.h>

#include <algorithm>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace test {

struct HostApp : vphoApplication {
    explicit HostApp(platform::ui::WindowSystem* windows = nullptr, bool nativeIds = false)
    {
        registerKinds();
        setClock([this] { return clock; });
        setEventPump(windows ? windows : &headless);
        setNativeWindowIds(nativeIds);
        init();
        getWindowManager()->setQuitOnLastWindow(false);
    }
    ~HostApp() override { exit(); }

    // The first windows, as the program's start opens them; the audio device
    // of the plug-in window becomes the fake one.
    void start()
    {
        startWithArguments(0, nullptr);
        if (vphoHostWindow* window = host())
            window->logic().setDeviceFactory([](int) { return std::make_unique<MPAudioFake>(); });
    }
    void settle(int turns = 8)
    {
        for (int i = 0; i < turns; ++i)
            getWindowManager()->runTurn();
    }
    vphoHostWindow* host() const
    {
        return dynamic_cast<vphoHostWindow*>(
            getWindowManager()->findWindowByKind(vphoHostWindow::kKind));
    }

    double clock = 0.0;
    platform::ui::HeadlessWindowSystem headless;
};

// A temporary settings root, the messages caught.
using HostAppTest = RecordingStubTest;

} // namespace test
