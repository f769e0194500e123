#pragma once

#include "vstbridge/VstInterface.h"

#include <cstdint>

namespace Zq::Carapace {

class AEffEditor;

// The VST 1 effect base: fills the AEffect record a host reads, routes the
// record's five callbacks to virtual operations, answers the opcodes of VST 1
// and wraps the host callback. Every virtual operation a derived effect does
// not override answers 0, false, an empty text or does nothing.
//
// No exception leaves the record's callbacks: a C host cannot take one, so a
// failed call answers 0.
class AudioEffect {
public:
    AudioEffect(Vst::HostCallback audioMaster, std::int32_t numPrograms, std::int32_t numParams);
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;
    // Deletes the editor.
    virtual ~AudioEffect();

    virtual std::intptr_t dispatcher(std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                     void* ptr, float opt);

    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float hertz) { sampleRate = hertz; }
    virtual void setBlockSize(std::int32_t frames) { blockSize = frames; }

    // The accumulating call of VST 1; nothing by default.
    virtual void process(float** inputs, float** outputs, std::int32_t sampleFrames);
    virtual void processReplacing(float** inputs, float** outputs, std::int32_t sampleFrames) = 0;
    virtual void processDoubleReplacing(double**, double**, std::int32_t) {}

    virtual void setParameter(std::int32_t, float) {}
    virtual float getParameter(std::int32_t) { return 0.0f; }
    // setParameter, then audioMasterAutomate.
    virtual void setParameterAutomated(std::int32_t index, float value);

    virtual std::int32_t getProgram() { return curProgram; }
    virtual void setProgram(std::int32_t program) { curProgram = program; }
    virtual void setProgramName(char*) {}
    virtual void getProgramName(char* name);
    virtual void getParameterLabel(std::int32_t, char* label);
    virtual void getParameterDisplay(std::int32_t, char* text);
    virtual void getParameterName(std::int32_t, char* text);
    virtual std::int32_t getChunk(void**, bool) { return 0; }
    virtual std::int32_t setChunk(void*, std::int32_t, bool) { return 0; }

    // Host calls; 0 without a host callback.
    virtual std::int32_t getMasterVersion();
    virtual std::int32_t getCurrentUniqueId();
    virtual void masterIdle();

    // Record setters.
    virtual void setUniqueID(std::int32_t id) { cEffect.uniqueID = id; }
    virtual void setNumInputs(std::int32_t count) { cEffect.numInputs = count; }
    virtual void setNumOutputs(std::int32_t count) { cEffect.numOutputs = count; }
    virtual void canProcessReplacing(bool state = true)
    {
        setFlag(Vst::effFlagsCanReplacing, state);
    }
    virtual void programsAreChunks(bool state = true)
    {
        setFlag(Vst::effFlagsProgramChunks, state);
    }
    virtual void setInitialDelay(std::int32_t frames) { cEffect.initialDelay = frames; }

    // Takes the editor (deleted with the effect) and sets the has-editor flag.
    virtual void setEditor(AEffEditor* newEditor);
    AEffEditor* getEditor() const noexcept { return editor; }
    Vst::AEffect* getAeffect() noexcept { return &cEffect; }
    float getSampleRate() const noexcept { return sampleRate; }
    std::int32_t getBlockSize() const noexcept { return blockSize; }

    // Display texts at most 8 characters long (the published minimum of
    // a host's parameter buffer), terminator included in 9 bytes.
    static void dB2string(float value, char* text, std::int32_t maxLength);
    static void Hz2string(float samples, char* text, std::int32_t maxLength, float sampleRate);
    static void ms2string(float samples, char* text, std::int32_t maxLength, float sampleRate);
    static void float2string(float value, char* text, std::int32_t maxLength);
    static void int2string(std::int32_t value, char* text, std::int32_t maxLength);

protected:
    void setFlag(std::int32_t flag, bool state) noexcept
    {
        cEffect.flags = state ? (cEffect.flags | flag) : (cEffect.flags & ~flag);
    }
    // The host callback, or 0 without one.
    std::intptr_t callHost(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                           void* ptr = nullptr, float opt = 0.0f);

    Vst::HostCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    std::int32_t blockSize = 1024;
    std::int32_t numPrograms;
    std::int32_t numParams;
    std::int32_t curProgram = 0;
    Vst::AEffect cEffect;

private:
    static std::intptr_t dispatchEffectClass(Vst::AEffect* e, std::int32_t opcode,
                                             std::int32_t index, std::intptr_t value, void* ptr,
                                             float opt);
    static void processClassAccumulating(Vst::AEffect* e, float** inputs, float** outputs,
                                         std::int32_t sampleFrames);
    static void processClassReplacing(Vst::AEffect* e, float** inputs, float** outputs,
                                      std::int32_t sampleFrames);
    static void processClassDoubleReplacing(Vst::AEffect* e, double** inputs, double** outputs,
                                            std::int32_t sampleFrames);
    static void setParameterClass(Vst::AEffect* e, std::int32_t index, float value);
    static float getParameterClass(Vst::AEffect* e, std::int32_t index);
};

// Copies at most maxLength characters of source and the terminator, so never
// more than maxLength + 1 bytes; a null source copies "".
void copyText(char* destination, const char* source, std::int32_t maxLength) noexcept;

} // namespace Zq::Carapace
