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
#include "tests/platform/SettingsFixture.h"
#include "tests/vstbridge/recording/RecordingStub.h"

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
class HostAppTest : public SettingsRootTest {
protected:
    void SetUp() override
    {
        SettingsRootTest::SetUp();
        // The same copy of the stand-in the host loads: its journal is ours.
        library_ = ::dlopen(RECORDING_STUB_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << ::dlerror();
        auto control = reinterpret_cast<RecordingStubControlFunction>(
            ::dlsym(library_, "RecordingStubControl"));
        ASSERT_NE(control, nullptr);
        stub = control();
        stub->reset();
        previous_ = platform::setMessageHandler(
            [this](const std::string& text, const std::string& caption, int) {
                messages.push_back(caption + ": " + text);
                return true;
            });
    }
    void TearDown() override
    {
        platform::setMessageHandler(previous_);
        if (library_)
            ::dlclose(library_);
        SettingsRootTest::TearDown();
    }
    void installStub()
    {
        platform::writeRegistryString("BorvanQom", "DUZ2Path", RECORDING_STUB_PATH);
    }

    int journalCount(const std::string& entry)
    {
        const std::vector<std::string> journal = stub->journal();
        return static_cast<int>(std::count(journal.begin(), journal.end(), entry));
    }

    std::vector<std::string> messages;
    RecordingStub* stub = nullptr;

private:
    platform::MessageHandler previous_;
    void* library_ = nullptr;
};

} // namespace test
