// The recording stand-in for the plug-in module (see RecordingStub.h).

#include "RecordingStub.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

#define STUB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace Zq::DUZ2;

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Interface objects as the module lays them out: the table, then the back
// pointer, read by every entry.
template <class Object, class Table> Object* owner(Table* table)
{
    return static_cast<Object*>(reinterpret_cast<void**>(table)[sizeof(Table) / sizeof(void*)]);
}

struct StubProcess;

struct StubGUI {
    GUITable table;
    StubGUI* self = this;
    StubProcess* process;
};

struct StubProcess {
    ProcessTable table;
    StubProcess* self = this;
    HostTable* host;
    test::RecordingStub::Settings settings;
    std::string state;
    std::string chunk;
    std::vector<float> parameters;
    // The channel counts the host set; process reads and writes only those.
    std::int32_t inputs = 2;
    std::int32_t outputs = 2;
    StubGUI gui{};
};

class Stub final : public test::RecordingStub {
public:
    Settings& settings() override { return settings_; }
    void reset() override
    {
        std::lock_guard lock(mutex_);
        settings_ = {};
        journal_.clear();
        midi_.clear();
    }
    std::vector<std::string> journal() override
    {
        std::lock_guard lock(mutex_);
        return journal_;
    }
    void clearJournal() override
    {
        std::lock_guard lock(mutex_);
        journal_.clear();
    }
    std::string state() override { return last_ ? last_->state : std::string(); }
    void setState(const std::string& state) override
    {
        if (last_)
            last_->state = state;
    }
    std::vector<MidiEvent> lastMidiEvents() override
    {
        std::lock_guard lock(mutex_);
        return midi_;
    }
    float askTempo() override
    {
        return last_ && last_->host ? last_->host->getTempo(last_->host) : -1.0f;
    }
    void reportChange(std::int32_t index, float plain, float normalized) override
    {
        if (last_ && last_->host)
            last_->host->onParameterChanged(last_->host, index, plain, normalized);
    }
    int processCount() override { return static_cast<int>(processes_.size()); }

    void note(const std::string& call)
    {
        std::lock_guard lock(mutex_);
        journal_.push_back(call);
    }
    void keepMidi(const MidiEvent* events, std::int32_t count)
    {
        std::lock_guard lock(mutex_);
        midi_.assign(events, events + count);
    }

    StubProcess* create(HostTable* host);
    void destroy(StubProcess* process)
    {
        if (last_ == process)
            last_ = nullptr;
        processes_.erase(process);
    }
    bool knows(StubProcess* process) const { return processes_.count(process) != 0; }

private:
    Settings settings_;
    std::mutex mutex_;
    std::vector<std::string> journal_;
    std::vector<MidiEvent> midi_;
    std::map<StubProcess*, std::unique_ptr<StubProcess>> processes_;
    StubProcess* last_ = nullptr;
};

Stub& stub()
{
    static Stub instance;
    return instance;
}

StubProcess* processOf(ProcessTable* t)
{
    return owner<StubProcess>(t);
}
StubGUI* guiOf(GUITable* t)
{
    return owner<StubGUI>(t);
}

const ProcessTable kProcessTable = {
    [](ProcessTable* t) { return processOf(t)->settings.name.c_str(); },
    [](ProcessTable* t) { return processOf(t)->settings.vendor.c_str(); },
    [](ProcessTable* t) { return processOf(t)->settings.flags; },
    [](ProcessTable*) { return std::int32_t{2}; },
    [](ProcessTable* t) {
        stub().note("getNumOutputs");
        return processOf(t)->settings.numOutputs;
    },
    [](ProcessTable* t, std::int32_t n) {
        stub().note("setNumInputChannels " + number(n));
        processOf(t)->inputs = n;
    },
    [](ProcessTable* t, std::int32_t n) {
        stub().note("setNumOutputChannels " + number(n));
        processOf(t)->outputs = n;
    },
    [](ProcessTable*) { stub().note("resume"); },
    [](ProcessTable*) { stub().note("suspend"); },
    [](ProcessTable*, std::int32_t n) { stub().note("setBlockSize " + number(n)); },
    [](ProcessTable*, float hertz) { stub().note("setSampleRate " + number(hertz)); },
    [](ProcessTable*) { stub().note("startProcess"); },
    [](ProcessTable*) { stub().note("stopProcess"); },
    [](ProcessTable* t, MidiEvent* events, std::int32_t count) {
        if (!processOf(t)->settings.journalAudio)
            return;
        stub().keepMidi(events, count);
        stub().note("processMidiEvents " + number(count));
    },
    [](ProcessTable*, float**, std::int32_t frames, std::int32_t*) {
        stub().note("processInPlace " + number(frames));
    },
    [](ProcessTable* t, float** inputs, float** outputs, std::int32_t frames, std::int32_t* flags) {
        // Twice the input, so a test sees which buffers were handed over.
        const StubProcess* p = processOf(t);
        const bool counts = p->settings.honourChannelCounts;
        const int in = counts && p->inputs == 1 ? 1 : 2;
        const int out = counts && p->outputs == 1 ? 1 : 2;
        for (int c = 0; c < out; ++c)
            for (std::int32_t i = 0; i < frames; ++i)
                outputs[c][i] = 2.0f * inputs[c < in ? c : in - 1][i];
        if (p->settings.journalAudio)
            stub().note("process " + number(frames) + " flags " + number(flags ? *flags : -1));
    },
    [](ProcessTable* t) { return processOf(t)->settings.numParameters; },
    [](ProcessTable* t, std::int32_t) { return processOf(t)->settings.parameterText.c_str(); },
    [](ProcessTable* t, std::int32_t) { return processOf(t)->settings.parameterText.c_str(); },
    [](ProcessTable*, std::int32_t) { return 0.0f; },
    [](ProcessTable* t, std::int32_t index) {
        StubProcess* p = processOf(t);
        stub().note("getParameterNormalized " + number(index));
        return index >= 0 && index < static_cast<std::int32_t>(p->parameters.size())
                   ? p->parameters[static_cast<std::size_t>(index)]
                   : 0.0f;
    },
    [](ProcessTable*, std::int32_t index, float plain) {
        stub().note("setParameterValue " + number(index) + " " + number(plain));
    },
    [](ProcessTable* t, std::int32_t index, float normalized) {
        StubProcess* p = processOf(t);
        stub().note("setParameterNormalized " + number(index) + " " + number(normalized));
        if (index >= 0 && index < static_cast<std::int32_t>(p->parameters.size()))
            p->parameters[static_cast<std::size_t>(index)] = normalized;
    },
    [](ProcessTable*, std::int32_t, float) { return ""; },
    [](ProcessTable*, std::int32_t, float) { return 0.0f; },
    [](ProcessTable* t, const void* data, std::int32_t size) {
        std::string text(static_cast<const char*>(data), static_cast<std::size_t>(size));
        stub().note("setChunk " + text);
        processOf(t)->state = text;
    },
    [](ProcessTable* t, void** data) -> std::int32_t {
        StubProcess* p = processOf(t);
        stub().note("getChunk");
        if (p->settings.emptyChunk)
            return 0;
        p->chunk = p->state;
        *data = p->chunk.data();
        return static_cast<std::int32_t>(p->chunk.size());
    },
    [](ProcessTable* t) {
        stub().note("releaseChunk");
        processOf(t)->chunk.clear();
    },
    [](ProcessTable*) { stub().note("waitForHostWrites"); },
};

const GUITable kGUITable = {
    [](GUITable* t) { return &guiOf(t)->process->table; },
    [](GUITable* t, std::int32_t* width, std::int32_t* height) {
        stub().note("getSize");
        *width = guiOf(t)->process->settings.width;
        *height = guiOf(t)->process->settings.height;
    },
    [](GUITable*, std::int32_t x, std::int32_t y) {
        stub().note("setPosition " + number(x) + " " + number(y));
    },
    [](GUITable*, std::int32_t on) { stub().note("setHostMouseEvents " + number(on)); },
    [](GUITable*, std::int32_t on) { stub().note("setHostKeyEvents " + number(on)); },
    [](GUITable*, void* parent) {
        // On Linux the parent points to an X11 Window id.
        stub().note("open " + (parent ? std::to_string(*static_cast<unsigned long*>(parent))
                                      : std::string("null")));
    },
    [](GUITable*) { stub().note("close"); },
    [](GUITable*) { stub().note("idle"); },
    [](GUITable*) { stub().note("update"); },
    [](GUITable*, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {
        stub().note("invalidate");
    },
    [](GUITable*, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {
        stub().note("onMouseDown");
    },
    [](GUITable*, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {
        stub().note("onMouseUp");
    },
    [](GUITable*, std::int32_t, std::int32_t, std::int32_t) { stub().note("onMouseMove"); },
    [](GUITable*, std::int32_t, std::int32_t, std::int32_t) -> std::int32_t { return 0; },
};

StubProcess* Stub::create(HostTable* host)
{
    auto process = std::make_unique<StubProcess>();
    process->table = kProcessTable;
    process->host = host;
    process->settings = settings_;
    process->state = settings_.initialState;
    process->parameters.assign(static_cast<std::size_t>(std::max(settings_.numParameters, 0)),
                               0.0f);
    process->gui.table = kGUITable;
    process->gui.self = &process->gui;
    process->gui.process = process.get();
    StubProcess* created = process.get();
    processes_.emplace(created, std::move(process));
    last_ = created;
    return created;
}

struct StubPlugIn {
    PlugInTable table;
    StubPlugIn* self = this;
};

StubPlugIn plugIn{{
    [](PlugInTable*) {
        stub().note("getVersion");
        return std::int32_t{1};
    },
    [](PlugInTable*, HostTable* host, std::int32_t flags) -> ProcessTable* {
        stub().note("createProcess " + number(flags));
        return flags == 0 ? &stub().create(host)->table : nullptr;
    },
    [](PlugInTable*, ProcessTable* t) {
        stub().note("destroyProcess");
        if (stub().knows(processOf(t)))
            stub().destroy(processOf(t));
    },
    [](PlugInTable*, ProcessTable* t) -> GUITable* {
        stub().note("getGUI");
        return &processOf(t)->gui.table;
    },
}};

} // namespace

STUB_EXPORT PlugInTable* DUZ2Acquire(std::int32_t version, std::int32_t* served)
{
    stub().note("acquire " + number(version));
    if (version != 1)
        return nullptr;
    if (served)
        *served = 1;
    return &plugIn.table;
}

STUB_EXPORT std::int32_t DUZ2Release()
{
    stub().note("release");
    return 0;
}

STUB_EXPORT test::RecordingStub* RecordingStubControl()
{
    return &stub();
}
