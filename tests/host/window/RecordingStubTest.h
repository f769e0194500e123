#pragma once

// A temporary settings root with the recording stand-in for the module loaded
// beside the host (the same copy the host loads, so its journal is ours) and
// every message the host shows caught.

#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "tests/platform/SettingsFixture.h"
#include "tests/vstbridge/recording/RecordingStub.h"

#include <dlfcn.h>

#include <algorithm>
#include <string>
#include <vector>

namespace test {

class RecordingStubTest : public SettingsRootTest {
protected:
    void SetUp() override
    {
        SettingsRootTest::SetUp();
        library_ = ::dlopen(RECORDING_STUB_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << ::dlerror();
        auto control = reinterpret_cast<RecordingStubControlFunction>(
            ::dlsym(library_, "RecordingStubControl"));
        ASSERT_NE(control, nullptr);
        stub = control();
        stub->reset();
        previousHandler_ = platform::setMessageHandler(
            [this](const std::string& text, const std::string& caption, int) {
                messages.push_back(caption + ": " + text);
                return true;
            });
    }
    void TearDown() override
    {
        platform::setMessageHandler(previousHandler_);
        if (library_)
            ::dlclose(library_);
        SettingsRootTest::TearDown();
    }

    // The settings point the host at the stand-in.
    void installStub()
    {
        platform::writeRegistryString("BorvanQom", "DUZ2Path", RECORDING_STUB_PATH);
    }
    int journalCount(const std::string& entry)
    {
        const std::vector<std::string> journal = stub->journal();
        return static_cast<int>(std::count(journal.begin(), journal.end(), entry));
    }

    RecordingStub* stub = nullptr;
    std::vector<std::string> messages;

private:
    void* library_ = nullptr;
    platform::MessageHandler previousHandler_;
};

} // namespace test
