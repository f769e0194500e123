#pragma once

// A small VST 2.4 host over the project's binary-interface header: it loads an
// effect library by path, answers the effect's host calls from settings a test
// chooses, keeps what the effect tells it, and drives the effect through its
// record. Shared by the bridge's tests.

#include "platform/Settings.h"
#include "platform/SettingsFixture.h"
#include "recording/RecordingStub.h"
#include "vstbridge/AEffEditor.h"
#include "vstbridge/AudioEffect.h"
#include "vstbridge/VstInterface.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace test {

using namespace Zq::Vst;

using MainFunction = AEffect* (*)(HostCallback);

// The answers of the one host a test runs, and what the effects told it.
class VstHost {
public:
    struct Automation {
        std::int32_t index;
        float value;
    };

    VstHost() { current().store(this); }
    ~VstHost() { current().store(nullptr); }
    VstHost(const VstHost&) = delete;
    VstHost& operator=(const VstHost&) = delete;

    // audioMasterVersion's answer.
    std::intptr_t version = 2400;
    // Pins 1 (the second channel) connected; pin 0 always is.
    bool secondInputConnected = true;
    bool secondOutputConnected = true;
    // audioMasterGetTime answers &time, or null when giveTime is false.
    bool giveTime = true;
    // audioMasterGetCurrentProcessLevel's answer (4: rendering offline).
    std::atomic<std::intptr_t> processLevel{0};
    // Set by the callback when an automation arrives before the test marked
    // the effect as handed over (see effectHandedOver).
    std::atomic<int> automationsBeforeHandOver{0};
    std::atomic<bool> effectHandedOver{true};
    VstTimeInfo time = tempo(120.0, kVstTempoValid);

    static VstTimeInfo tempo(double bpm, std::int32_t flags)
    {
        VstTimeInfo info{};
        info.sampleRate = 44100.0;
        info.tempo = bpm;
        info.timeSigNumerator = 4;
        info.timeSigDenominator = 4;
        info.flags = flags;
        return info;
    }

    std::vector<Automation> automations()
    {
        std::lock_guard lock(mutex_);
        return automations_;
    }
    // Host calls other than automation and time, as "opcode index value".
    std::vector<std::string> calls()
    {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        automations_.clear();
        calls_.clear();
    }
    int timeRequests() const { return timeRequests_.load(); }
    std::int32_t lastTimeFilter() const { return lastTimeFilter_.load(); }

    static std::intptr_t callback(AEffect*, std::int32_t opcode, std::int32_t index,
                                  std::intptr_t value, void*, float opt)
    {
        VstHost* host = current().load();
        if (!host)
            return 0;
        switch (opcode) {
        case audioMasterAutomate: {
            if (!host->effectHandedOver.load())
                ++host->automationsBeforeHandOver;
            std::lock_guard lock(host->mutex_);
            host->automations_.push_back({index, opt});
            return 0;
        }
        case audioMasterGetCurrentProcessLevel:
            return host->processLevel.load();
        case audioMasterVersion:
            return host->version;
        case audioMasterGetTime:
            ++host->timeRequests_;
            host->lastTimeFilter_.store(static_cast<std::int32_t>(value));
            return host->giveTime ? reinterpret_cast<std::intptr_t>(&host->time) : 0;
        default:
            break;
        }
        {
            std::lock_guard lock(host->mutex_);
            host->calls_.push_back(std::to_string(opcode) + " " + std::to_string(index) + " " +
                                   std::to_string(value));
        }
        if (opcode == audioMasterPinConnected) {
            // 0 answers "connected".
            const bool second = index == 1;
            const bool connected =
                index == 0 ||
                (second && (value == 0 ? host->secondInputConnected : host->secondOutputConnected));
            return connected ? 0 : 1;
        }
        return 0;
    }

private:
    static std::atomic<VstHost*>& current()
    {
        static std::atomic<VstHost*> host{nullptr};
        return host;
    }

    std::mutex mutex_;
    std::vector<Automation> automations_;
    std::vector<std::string> calls_;
    std::atomic<int> timeRequests_{0};
    std::atomic<std::int32_t> lastTimeFilter_{0};
};

// A library loaded by path, unloaded at the end.
class Library {
public:
    explicit Library(const std::string& path)
        : handle_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
    }
    ~Library()
    {
        if (handle_)
            ::dlclose(handle_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    template <class Function> Function entry(const char* name) const
    {
        return handle_ ? reinterpret_cast<Function>(::dlsym(handle_, name)) : nullptr;
    }

private:
    void* handle_;
};

// One effect instance, closed (and so deleted by the effect) at the end.
class Effect {
public:
    explicit Effect(AEffect* effect = nullptr) : effect_(effect) {}
    ~Effect() { close(); }
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    AEffect* operator->() const { return effect_; }
    AEffect* get() const { return effect_; }
    explicit operator bool() const { return effect_ != nullptr; }

    std::intptr_t operator()(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                             void* ptr = nullptr, float opt = 0.0f) const
    {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }
    // A text opcode's answer in a roomy buffer.
    std::string text(std::int32_t opcode, std::int32_t index = 0) const
    {
        char buffer[512];
        std::memset(buffer, '#', sizeof buffer);
        buffer[sizeof buffer - 1] = '\0';
        (*this)(opcode, index, 0, buffer);
        return buffer;
    }
    std::string chunk(bool isPreset) const
    {
        void* data = nullptr;
        const auto size = (*this)(effGetChunk, isPreset ? 1 : 0, 0, &data);
        return data && size > 0
                   ? std::string(static_cast<const char*>(data), static_cast<std::size_t>(size))
                   : std::string();
    }
    std::intptr_t setChunk(const std::string& data, bool isPreset) const
    {
        return (*this)(effSetChunk, isPreset ? 1 : 0, static_cast<std::intptr_t>(data.size()),
                       const_cast<char*>(data.data()));
    }
    void close()
    {
        if (effect_)
            effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
        effect_ = nullptr;
    }

private:
    AEffect* effect_;
};

// Standard error written to a file while it lives (the bridge and the module
// report there, out of a test's reach otherwise).
class CapturedStderr {
public:
    CapturedStderr()
    {
        std::fflush(stderr);
        char pattern[] = "/tmp/zq-stderr-XXXXXX";
        file_ = ::mkstemp(pattern);
        path_ = pattern;
        saved_ = ::dup(2);
        ::dup2(file_, 2);
    }
    ~CapturedStderr()
    {
        restore();
        ::close(file_);
        std::filesystem::remove(path_);
    }
    // Everything written so far; standard error goes back to where it was.
    std::string text()
    {
        restore();
        std::ifstream in(path_);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    static int count(const std::string& text, const std::string& part)
    {
        int n = 0;
        for (auto at = text.find(part); at != std::string::npos;
             at = text.find(part, at + part.size()))
            ++n;
        return n;
    }

private:
    void restore()
    {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
        saved_ = -1;
    }

    int file_;
    int saved_;
    std::filesystem::path path_;
};

// The effect object's record and editor, reached as a C++ host of the
// bridge's own bases would.
inline AEffect* recordOf(Zq::Carapace::AudioEffect* object)
{
    return object->getAeffect();
}

inline Zq::Carapace::AEffEditor* editorOf(AEffect* effect)
{
    return static_cast<Zq::Carapace::AudioEffect*>(effect->object)->getEditor();
}

// A host's audio thread: blocks of a quiet stereo sine through
// processReplacing, at least 200 and on until `done`; `afterBlock(block)`
// runs after each. Returns whether every block's first output samples stayed
// finite.
template <class AfterBlock>
bool runAudioBlocks(AEffect* effect, int frames, const std::atomic<bool>& done,
                    AfterBlock afterBlock)
{
    std::vector<float> left(frames), right(frames), outLeft(frames), outRight(frames);
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    bool finite = true;
    for (int block = 0; block < 100000 && (block < 200 || !done.load()); ++block) {
        for (int i = 0; i < frames; ++i)
            left[static_cast<std::size_t>(i)] = right[static_cast<std::size_t>(i)] =
                0.1f * std::sin(0.01f * static_cast<float>(block * frames + i));
        effect->processReplacing(effect, inputs, outputs, frames);
        finite = finite && std::isfinite(outLeft[0]) && std::isfinite(outRight[0]);
        afterBlock(block);
    }
    return finite;
}

inline constexpr const char* kInstallError =
    "Registry error: Please ensure this product has been installed properly";

// A fresh settings root naming the real module (or the recording stand-in)
// under the bridge's key "Carapace", and the bridge loaded as a host loads it.
class BridgeTest : public SettingsRootTest {
protected:
    void SetUp() override
    {
        SettingsRootTest::SetUp();
        platform::writeRegistryString("Carapace", "DUZ2Path", BORVANRAZ_MODULE_PATH);
        platform::writeRegistryString("Carapace", "VstID", "Bv01");
        platform::writeRegistryString("BorvanQom", "ResPath", (root / "resources").string());
        platform::writeRegistryString("BorvanQom", "PresetPath", (root / "Presets").string());
        bridge = std::make_unique<Library>(CARAPACE_PATH);
        ASSERT_TRUE(bridge->loaded()) << ::dlerror();
        pluginMain = bridge->entry<MainFunction>("VSTPluginMain");
        ASSERT_NE(pluginMain, nullptr);
    }
    void TearDown() override
    {
        bridge.reset();
        stubLibrary.reset();
        SettingsRootTest::TearDown();
    }

    // The recording stand-in as the module from now on, reset.
    RecordingStub& useStub()
    {
        platform::writeRegistryString("Carapace", "DUZ2Path", RECORDING_STUB_PATH);
        if (!stubLibrary) {
            stubLibrary = std::make_unique<Library>(RECORDING_STUB_PATH);
            EXPECT_TRUE(stubLibrary->loaded()) << ::dlerror();
            stub = stubLibrary->entry<RecordingStubControlFunction>("RecordingStubControl")();
        }
        stub->reset();
        return *stub;
    }

    AEffect* open() { return pluginMain(&VstHost::callback); }

    VstHost host;
    std::unique_ptr<Library> bridge;
    MainFunction pluginMain = nullptr;
    std::unique_ptr<Library> stubLibrary;
    RecordingStub* stub = nullptr;
};

} // namespace test
