#pragma once

#include "vstbridge/AudioEffect.h"

namespace Zq::Carapace {

// The VST 2 effect base: the opcodes added after VST 1 and the host calls
// the bridge needs. Defaults as in AudioEffect: 0, false, "" or nothing, but
// for the category count (1), the VST version (2400) and the plug-in
// category (synth or unknown, after the record's flag).
class AudioEffectX : public AudioEffect {
public:
    using AudioEffect::AudioEffect;

    std::intptr_t dispatcher(std::int32_t opcode, std::int32_t index, std::intptr_t value,
                             void* ptr, float opt) override;

    virtual std::int32_t processEvents(Vst::VstEvents*) { return 0; }
    virtual bool canParameterBeAutomated(std::int32_t) { return false; }
    virtual bool string2parameter(std::int32_t, char*) { return false; }
    virtual std::int32_t getNumCategories() { return 1; }
    virtual bool getProgramNameIndexed(std::int32_t, std::int32_t, char*) { return false; }
    virtual bool copyProgram(std::int32_t) { return false; }
    virtual std::int32_t getPlugCategory();
    virtual bool getEffectName(char*) { return false; }
    virtual bool getVendorString(char*) { return false; }
    virtual bool getProductString(char*) { return false; }
    virtual std::int32_t getVendorVersion() { return 0; }
    virtual std::int32_t canDo(const char*) { return 0; }
    virtual std::int32_t getGetTailSize() { return 0; }
    virtual bool keysRequired() { return false; }
    virtual std::int32_t getVstVersion() { return Vst::kVstVersion; }
    virtual std::int32_t startProcess() { return 0; }
    virtual std::int32_t stopProcess() { return 0; }
    virtual bool setProcessPrecision(std::int32_t) { return false; }

    // Host calls; 0 or false without a host callback.
    virtual void wantEvents(std::int32_t filter = 1);
    // Null when the host gives none; valid until the host's next answer.
    virtual Vst::VstTimeInfo* getTimeInfo(std::int32_t filter);
    // The host answers 0 for a connected pin.
    virtual bool isInputConnected(std::int32_t input);
    virtual bool isOutputConnected(std::int32_t output);

    virtual void isSynth(bool state = true) { setFlag(Vst::effFlagsIsSynth, state); }
};

} // namespace Zq::Carapace
