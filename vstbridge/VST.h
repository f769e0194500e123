#pragma once

#include "plugin/DUZ2.h"
#include "vstbridge/AudioEffectX.h"
#include "vstbridge/ProgramBank.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Zq::Carapace {

// The VST 2.4 effect: loads the plug-in module named by its settings, runs one
// processor of it and maps every VST call onto that processor and its editor
// object, adding the 100 programs, the banks and the editor frame the module
// does not keep. It is the module's host as well, answering the processor's
// tempo questions and passing its parameter changes on to the VST host.
//
// Threads: the VST host's audio thread calls process, processReplacing,
// processEvents, setParameter and getParameter; its UI thread everything
// else. The bridge takes no locks: the processor makes the parameter calls
// safe from either thread, and program and chunk work stays on the UI thread.
class VST final : public AudioEffectX, public DUZ2::Host {
public:
    // MIDI records held from construction: a host's first batch must find a
    // buffer, whatever the processor's flags say. Events beyond it in one
    // batch are dropped (and counted): the audio thread never allocates.
    static constexpr std::int32_t kMidiCapacity = 512;
    // Characters of parameter names and displays: hosts hand these opcodes
    // 32-byte buffers in practice, far beyond the 8 the interface promises.
    static constexpr std::int32_t kParameterTextLength = 31;
    static constexpr std::int32_t kEffectNameLength = 32;
    static constexpr std::int32_t kVendorLength = 32;
    static constexpr std::int32_t kProductLength = 64;
    static constexpr std::int32_t kProgramNameLength = 24;

    // Throws the C string "Error: Can't load RAZ" when the module cannot be
    // loaded (after the install error) or gives no processor.
    explicit VST(Vst::HostCallback audioMaster);
    ~VST() override;

    // --- The module's host ---
    // Audio thread: the host's tempo when it marks it valid, else 0.
    float getTempo() override;
    // Any thread: straight to the VST host as audioMasterAutomate with the
    // normalised value; nothing comes back through setParameter. Nothing is
    // reported before startReporting: the host has no effect to look up yet.
    void onParameterChanged(std::int32_t index, float plain, float normalized) override;
    // Called by the entry points once the effect is complete, just before
    // they hand it to the host; the host reads every value after creation
    // anyway.
    void startReporting() noexcept { reporting_.store(true, std::memory_order_release); }

    // --- Audio thread ---
    // A host that says it renders offline (audioMasterGetCurrentProcessLevel)
    // first has the processor apply every parameter write made before the
    // block, so that renders repeat; a real-time host, or one that does not
    // answer, never waits.
    void process(float** inputs, float** outputs, std::int32_t sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, std::int32_t sampleFrames) override;
    // Reads a MIDI record's fields only when its byteSize covers them.
    std::int32_t processEvents(Vst::VstEvents* events) override;
    // Events dropped so far: beyond kMidiCapacity in a batch, or too short.
    std::uint64_t getDroppedMidiEvents() const noexcept
    {
        return droppedMidi_.load(std::memory_order_relaxed);
    }
    void setParameter(std::int32_t index, float value) override;
    float getParameter(std::int32_t index) override;

    // --- UI thread ---
    void setSampleRate(float hertz) override;
    void setBlockSize(std::int32_t frames) override;
    void resume() override;
    void suspend() override;

    bool canParameterBeAutomated(std::int32_t index) override;
    void getParameterLabel(std::int32_t index, char* label) override;
    void getParameterDisplay(std::int32_t index, char* text) override;
    void getParameterName(std::int32_t index, char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    std::int32_t getVendorVersion() override { return 1000; }
    std::int32_t getPlugCategory() override { return Vst::kPlugCategEffect; }
    // Looks the text up and enters nothing: unknown texts answer 0.
    std::int32_t canDo(const char* text) override;
    // Keys go to the module's own editor window, never through the host.
    bool keysRequired() override { return true; }

    // Programs, banks and chunks.
    std::int32_t saveCurrentProgram();
    void setProgram(std::int32_t program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(std::int32_t category, std::int32_t index, char* text) override;
    bool copyProgram(std::int32_t destination) override;
    std::int32_t getChunk(void** data, bool isPreset) override;
    // Always answers 0.
    std::int32_t setChunk(void* data, std::int32_t byteSize, bool isPreset) override;

    DUZ2::ProcessTable* getProcessTable() const noexcept { return process_; }
    DUZ2::GUITable* getGUITable() const noexcept { return gui_; }

private:
    void fillCanDo();

    DUZ2::ProcessTable* process_ = nullptr;
    DUZ2::GUITable* gui_ = nullptr;
    std::int32_t processorFlags_ = 0;
    std::unique_ptr<DUZ2::MidiEvent[]> midiEvents_;
    std::atomic<std::uint64_t> droppedMidi_{0};
    std::atomic<bool> reporting_{false};
    std::map<std::string, std::int32_t, std::less<>> canDo_;
    ProgramBank programs_;
    std::vector<char> bankBuffer_;
};

// The settings key of a library file: its name without folder and without
// the part from the last "." on ("/x/Rig Amp.so" -> "Rig Amp").
std::string settingsKeyOf(std::string_view file);

} // namespace Zq::Carapace
