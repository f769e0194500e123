#include "vstbridge/AudioEffect.h"

#include "vstbridge/AEffEditor.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace Zq::Carapace {

using namespace Vst;

void copyText(char* destination, const char* source, std::int32_t maxLength) noexcept
{
    if (!destination)
        return;
    std::size_t length = 0;
    if (source && maxLength > 0)
        length = ::strnlen(source, static_cast<std::size_t>(maxLength));
    if (length)
        std::memcpy(destination, source, length);
    destination[length] = '\0';
}

AudioEffect::AudioEffect(HostCallback audioMaster, std::int32_t numPrograms, std::int32_t numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams), cEffect{}
{
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = &dispatchEffectClass;
    cEffect.process = &processClassAccumulating;
    cEffect.setParameter = &setParameterClass;
    cEffect.getParameter = &getParameterClass;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = fourCharacterCode('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = &processClassReplacing;
    cEffect.processDoubleReplacing = &processClassDoubleReplacing;
}

AudioEffect::~AudioEffect()
{
    delete editor;
}

std::intptr_t AudioEffect::dispatcher(std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                      void* ptr, float opt)
{
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        // The whole pointer-sized value is checked: truncating first would
        // let 2^32 + 5 select program 5, and a negative one index before 0.
        if (value >= 0 && value < numPrograms)
            setProgram(static_cast<std::int32_t>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (ptr)
            setProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetProgramName:
        if (ptr)
            getProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetParamLabel:
        if (ptr)
            getParameterLabel(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamDisplay:
        if (ptr)
            getParameterDisplay(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamName:
        if (ptr)
            getParameterName(index, static_cast<char*>(ptr));
        return 0;
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<std::int32_t>(value));
        return 0;
    case effMainsChanged:
        if (value)
            resume();
        else
            suspend();
        return 0;
    case effEditGetRect:
        return editor && ptr ? (editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0) : 0;
    case effEditOpen:
        return editor ? (editor->open(ptr) ? 1 : 0) : 0;
    case effEditClose:
        if (editor)
            editor->close();
        return 0;
    case effEditIdle:
        if (editor)
            editor->idle();
        return 0;
    case effIdentify:
        return kIdentify;
    case effGetChunk:
        return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
        return setChunk(ptr, static_cast<std::int32_t>(value), index != 0);
    default:
        return 0;
    }
}

void AudioEffect::process(float**, float**, std::int32_t)
{
}

void AudioEffect::setParameterAutomated(std::int32_t index, float value)
{
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::getProgramName(char* name)
{
    copyText(name, "", 0);
}

void AudioEffect::getParameterLabel(std::int32_t, char* label)
{
    copyText(label, "", 0);
}

void AudioEffect::getParameterDisplay(std::int32_t, char* text)
{
    copyText(text, "", 0);
}

void AudioEffect::getParameterName(std::int32_t, char* text)
{
    copyText(text, "", 0);
}

std::int32_t AudioEffect::getMasterVersion()
{
    const std::intptr_t version = callHost(audioMasterVersion);
    return version ? static_cast<std::int32_t>(version) : 1;
}

std::int32_t AudioEffect::getCurrentUniqueId()
{
    return static_cast<std::int32_t>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle()
{
    callHost(audioMasterIdle);
}

void AudioEffect::setEditor(AEffEditor* newEditor)
{
    if (newEditor != editor)
        delete editor;
    editor = newEditor;
    setFlag(effFlagsHasEditor, editor != nullptr);
}

std::intptr_t AudioEffect::callHost(std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                    void* ptr, float opt)
{
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::float2string(float value, char* text, std::int32_t maxLength)
{
    if (!text || maxLength < 0)
        return;
    char buffer[64];
    if (!std::isfinite(value))
        std::snprintf(buffer, sizeof buffer, "%s",
                      std::isnan(value) ? "NaN"
                      : value > 0       ? "oo"
                                        : "-oo");
    else
        std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(value));
    copyText(text, buffer, maxLength);
}

void AudioEffect::int2string(std::int32_t value, char* text, std::int32_t maxLength)
{
    if (!text || maxLength < 0)
        return;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    // A number cut short would read as another number.
    copyText(text, std::strlen(buffer) <= static_cast<std::size_t>(maxLength) ? buffer : "Huge!",
             maxLength);
}

void AudioEffect::dB2string(float value, char* text, std::int32_t maxLength)
{
    if (value <= 0.0f)
        copyText(text, "-oo", maxLength);
    else
        float2string(20.0f * std::log10(value), text, maxLength);
}

void AudioEffect::Hz2string(float samples, char* text, std::int32_t maxLength, float sampleRate)
{
    if (samples == 0.0f)
        copyText(text, "0", maxLength);
    else
        float2string(sampleRate / samples, text, maxLength);
}

void AudioEffect::ms2string(float samples, char* text, std::int32_t maxLength, float sampleRate)
{
    if (sampleRate == 0.0f)
        copyText(text, "0", maxLength);
    else
        float2string(samples * 1000.0f / sampleRate, text, maxLength);
}

// --- The record's callbacks ---

namespace {

AudioEffect* effectOf(AEffect* e) noexcept
{
    return e ? static_cast<AudioEffect*>(e->object) : nullptr;
}

} // namespace

std::intptr_t AudioEffect::dispatchEffectClass(AEffect* e, std::int32_t opcode, std::int32_t index,
                                               std::intptr_t value, void* ptr, float opt)
{
    AudioEffect* effect = effectOf(e);
    if (!effect)
        return 0;
    if (opcode == effClose) {
        // The host gives the effect up with this call, so it goes even when
        // closing fails.
        try {
            effect->dispatcher(opcode, index, value, ptr, opt);
        } catch (...) {
        }
        delete effect;
        return 1;
    }
    try {
        return effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void AudioEffect::processClassAccumulating(AEffect* e, float** inputs, float** outputs,
                                           std::int32_t sampleFrames)
{
    try {
        if (AudioEffect* effect = effectOf(e))
            effect->process(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void AudioEffect::processClassReplacing(AEffect* e, float** inputs, float** outputs,
                                        std::int32_t sampleFrames)
{
    try {
        if (AudioEffect* effect = effectOf(e))
            effect->processReplacing(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void AudioEffect::processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                              std::int32_t sampleFrames)
{
    try {
        if (AudioEffect* effect = effectOf(e))
            effect->processDoubleReplacing(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void AudioEffect::setParameterClass(AEffect* e, std::int32_t index, float value)
{
    try {
        if (AudioEffect* effect = effectOf(e))
            effect->setParameter(index, value);
    } catch (...) {
    }
}

float AudioEffect::getParameterClass(AEffect* e, std::int32_t index)
{
    try {
        AudioEffect* effect = effectOf(e);
        return effect ? effect->getParameter(index) : 0.0f;
    } catch (...) {
        return 0.0f;
    }
}

} // namespace Zq::Carapace
