#include "vstbridge/VST.h"

#include "platform/PluginModuleLoader.h"
#include "platform/Settings.h"
#include "vstbridge/Editor.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace Zq::Carapace {

using namespace Vst;

namespace {

constexpr const char* kLoadError = "Error: Can't load RAZ";

// Processor flags.
constexpr std::int32_t kInstrument = 1 << 0;
constexpr std::int32_t kWantsMidi = 1 << 1;

} // namespace

std::string settingsKeyOf(std::string_view file)
{
    const auto slash = file.find_last_of('/');
    if (slash != std::string_view::npos)
        file.remove_prefix(slash + 1);
    const auto dot = file.find_last_of('.');
    if (dot != std::string_view::npos)
        file = file.substr(0, dot);
    return std::string(file);
}

VST::VST(HostCallback audioMaster)
    : AudioEffectX(audioMaster, ProgramBank::kCount, 0),
      midiEvents_(std::make_unique<DUZ2::MidiEvent[]>(kMidiCapacity))
{
    // The library's own file names its settings, so a renamed copy of the
    // bridge can load another installation.
    const std::string key = settingsKeyOf(platform::ownModuleFile());
    if (!loadPlugIn(key))
        throw kLoadError;
    DUZ2::PlugInTable* plugIn = getPlugInTable();
    process_ = plugIn->createProcess(plugIn, getHostTable(), 0);
    if (!process_)
        throw kLoadError; // the Host part unloads the module

    try {
        gui_ = plugIn->getGUI(plugIn, process_);
        numParams = std::max(process_->getNumParameters(process_), 0);
        cEffect.numParams = numParams;

        std::string id;
        if (platform::readRegistryString(key, "VstID", id) && id.size() >= 4)
            setUniqueID(fourCharacterCode(id[0], id[1], id[2], id[3]));
        else
            setUniqueID(kNoUniqueId);

        setNumInputs(process_->getNumInputs(process_));
        setNumOutputs(process_->getNumOutputs(process_));
        canProcessReplacing();
        programsAreChunks();
        processorFlags_ = process_->getFlags(process_);
        if (processorFlags_ & kInstrument)
            isSynth();
        if (processorFlags_ & kWantsMidi)
            wantEvents(1);

        if (gui_)
            new Editor(this); // registers itself as this effect's editor

        fillCanDo();

        saveCurrentProgram();
        for (std::int32_t i = 1; i < ProgramBank::kCount; ++i)
            copyProgram(i);
        for (std::int32_t i = 0; i < ProgramBank::kCount; ++i)
            programs_[i].name = "Program " + std::to_string(i);
    } catch (...) {
        setEditor(nullptr);
        plugIn->destroyProcess(plugIn, process_);
        process_ = nullptr;
        throw;
    }
}

VST::~VST()
{
    // The editor frame goes before the editor object it talks to.
    setEditor(nullptr);
    bankBuffer_ = {};
    midiEvents_.reset();
    if (DUZ2::PlugInTable* plugIn = getPlugInTable())
        plugIn->destroyProcess(plugIn, process_);
    process_ = nullptr;
    gui_ = nullptr;
    unloadPlugIn();
}

void VST::fillCanDo()
{
    for (const char* text : {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo",
                             "receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo",
                             "plugAsSend", "mixDryWet", "noRealTime", "multipass", "metapass"})
        canDo_.emplace(text, -1);
    canDo_.emplace("plugAsChannelInsert", 1);
    for (const char* text :
         {"offline", "1in1out", "1in2out", "2in1out", "2in2out", "2in4out", "4in2out", "4in4out",
          "4in8out", "8in4out", "conformsToWindowRules", "bypass"})
        canDo_.emplace(text, 0);
}

// --- The module's host ---

float VST::getTempo()
{
    const VstTimeInfo* time = getTimeInfo(kVstTempoValid);
    if (!time || !(time->flags & kVstTempoValid))
        return 0.0f;
    const auto tempo = static_cast<float>(time->tempo);
    return std::isfinite(tempo) && tempo > 0.0f ? tempo : 0.0f;
}

void VST::onParameterChanged(std::int32_t index, float, float normalized)
{
    if (reporting_.load(std::memory_order_acquire))
        callHost(audioMasterAutomate, index, 0, nullptr, normalized);
}

// --- Audio thread ---

void VST::process(float** inputs, float** outputs, std::int32_t sampleFrames)
{
    // The processor always replaces its outputs; an accumulating host gets
    // the same.
    processReplacing(inputs, outputs, sampleFrames);
}

void VST::processReplacing(float** inputs, float** outputs, std::int32_t sampleFrames)
{
    // Offline, a write lands in the next block every time, not whenever the
    // automation worker gets to it.
    if (callHost(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline)
        process_->waitForHostWrites(process_);
    std::int32_t flags = 0;
    process_->process(process_, inputs, outputs, sampleFrames, &flags);
}

std::int32_t VST::processEvents(VstEvents* events)
{
    if (!events)
        return 1;
    // byteSize counts the bytes behind type and byteSize: the MIDI bytes end
    // this far into that part.
    constexpr std::int32_t kMidiDataEnd =
        static_cast<std::int32_t>(offsetof(VstMidiEvent, midiData) + 4 - 2 * sizeof(std::int32_t));
    const std::int32_t count = std::max(events->numEvents, 0);
    std::int32_t copied = 0;
    std::uint64_t dropped = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        const VstEvent* event = events->events[i];
        if (!event || event->type != kVstMidiType)
            continue;
        if (event->byteSize < kMidiDataEnd || copied == kMidiCapacity) {
            ++dropped;
            continue;
        }
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        DUZ2::MidiEvent& record = midiEvents_[static_cast<std::size_t>(copied++)];
        record.deltaFrames = midi->deltaFrames;
        std::memcpy(record.data, midi->midiData, sizeof record.data);
    }
    if (dropped)
        droppedMidi_.fetch_add(dropped, std::memory_order_relaxed);
    process_->processMidiEvents(process_, midiEvents_.get(), copied);
    return 1;
}

void VST::setParameter(std::int32_t index, float value)
{
    process_->setParameterNormalized(process_, index, value);
}

float VST::getParameter(std::int32_t index)
{
    return process_->getParameterNormalized(process_, index);
}

// --- UI thread ---

void VST::setSampleRate(float hertz)
{
    AudioEffectX::setSampleRate(hertz);
    process_->setSampleRate(process_, hertz);
}

void VST::setBlockSize(std::int32_t frames)
{
    AudioEffectX::setBlockSize(frames);
    process_->setBlockSize(process_, frames);
}

void VST::resume()
{
    process_->setNumInputChannels(process_, isInputConnected(1) ? 2 : 1);
    process_->setNumOutputChannels(process_, isOutputConnected(1) ? 2 : 1);
    process_->resume(process_);
    process_->startProcess(process_);
    if (processorFlags_ & kWantsMidi)
        wantEvents(1);
}

void VST::suspend()
{
    process_->stopProcess(process_);
    process_->suspend(process_);
}

bool VST::canParameterBeAutomated(std::int32_t index)
{
    return index >= 0 && index < process_->getNumParameters(process_);
}

void VST::getParameterLabel(std::int32_t, char* label)
{
    copyText(label, "", 0);
}

void VST::getParameterDisplay(std::int32_t index, char* text)
{
    copyText(text, process_->getParameterDisplay(process_, index), kParameterTextLength);
}

void VST::getParameterName(std::int32_t index, char* text)
{
    copyText(text, process_->getParameterName(process_, index), kParameterTextLength);
}

bool VST::getEffectName(char* name)
{
    copyText(name, process_->getName(process_), kEffectNameLength);
    return true;
}

bool VST::getVendorString(char* text)
{
    copyText(text, process_->getVendor(process_), kVendorLength);
    return true;
}

bool VST::getProductString(char* text)
{
    copyText(text, process_->getName(process_), kProductLength);
    return true;
}

std::int32_t VST::canDo(const char* text)
{
    if (!text)
        return 0;
    const auto found = canDo_.find(std::string_view(text));
    return found != canDo_.end() ? found->second : 0;
}

} // namespace Zq::Carapace
