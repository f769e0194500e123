#pragma once

#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "platform/SettingsFixture.h"
#include "plugin/DUZ2.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace test {

// A host whose tempo a test sets and which keeps every parameter change the
// plug-in reports.
class RecordingHost : public Zq::DUZ2::Host {
public:
    struct Change {
        std::int32_t index;
        float plain;
        float normalized;
    };

    float getTempo() override
    {
        ++tempoCalls;
        return tempo;
    }
    void onParameterChanged(std::int32_t index, float plain, float normalized) override
    {
        changes.push_back({index, plain, normalized});
    }

    float tempo = 120.0f;
    int tempoCalls = 0;
    std::vector<Change> changes;
};

// A fresh settings root with "ResPath" set, and every message box caught.
class PlugInTest : public SettingsRootTest {
protected:
    void SetUp() override
    {
        SettingsRootTest::SetUp();
        platform::writeRegistryString("BorvanQom", "ResPath", "/opt/zq/resources");
        previousHandler = platform::setMessageHandler(
            [this](const std::string& text, const std::string& caption, int) {
                messages.push_back(caption + ": " + text);
                return true;
            });
    }
    void TearDown() override
    {
        platform::setMessageHandler(previousHandler);
        SettingsRootTest::TearDown();
    }

    static constexpr const char* kInstallError =
        "Registry error: Please ensure this product has been installed properly";

    std::vector<std::string> messages;
    platform::MessageHandler previousHandler;
};

// A module library opened by path as a host opens it, with its two exports.
struct ModuleLibrary {
    using Acquire = Zq::DUZ2::PlugInTable* (*)(std::int32_t, std::int32_t*);
    using Release = std::int32_t (*)();

    // A library that does not load or lacks an export fails the test.
    void open(const char* path)
    {
        handle = ::dlopen(path, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << ::dlerror();
        acquire = reinterpret_cast<Acquire>(::dlsym(handle, "DUZ2Acquire"));
        release = reinterpret_cast<Release>(::dlsym(handle, "DUZ2Release"));
        ASSERT_NE(acquire, nullptr);
        ASSERT_NE(release, nullptr);
    }
    void close()
    {
        if (handle)
            ::dlclose(handle);
        handle = nullptr;
    }

    void* handle = nullptr;
    Acquire acquire = nullptr;
    Release release = nullptr;
};

template <class Table> void* word(Table* table, int index)
{
    return reinterpret_cast<void**>(table)[index];
}

} // namespace test
