#include "vstbridge/AudioEffectX.h"

#include "vstbridge/AEffEditor.h"

namespace Zq::Carapace {

using namespace Vst;

std::intptr_t AudioEffectX::dispatcher(std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                       void* ptr, float opt)
{
    auto text = static_cast<char*>(ptr);
    switch (opcode) {
    case effProcessEvents:
        return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated:
        return canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
        return string2parameter(index, text) ? 1 : 0;
    case effGetNumProgramCategories:
        return getNumCategories();
    case effGetProgramNameIndexed:
        return text && getProgramNameIndexed(static_cast<std::int32_t>(value), index, text) ? 1 : 0;
    case effCopyProgram:
        return copyProgram(index) ? 1 : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effGetEffectName:
        return text && getEffectName(text) ? 1 : 0;
    case effGetVendorString:
        return text && getVendorString(text) ? 1 : 0;
    case effGetProductString:
        return text && getProductString(text) ? 1 : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effCanDo:
        return text ? canDo(text) : 0;
    case effGetTailSize:
        return getGetTailSize();
    case effKeysRequired:
        // The opcode asks the opposite of its name: 0 means keys are wanted.
        return keysRequired() ? 0 : 1;
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp:
        if (!editor)
            return 0;
        {
            VstKeyCode key{index, static_cast<unsigned char>(value),
                           static_cast<unsigned char>(opt)};
            return (opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key)) ? 1
                                                                                              : 0;
        }
    case effSetEditKnobMode:
        return editor && editor->setKnobMode(static_cast<std::int32_t>(value)) ? 1 : 0;
    case effStartProcess:
        return startProcess();
    case effStopProcess:
        return stopProcess();
    case effSetProcessPrecision:
        return setProcessPrecision(static_cast<std::int32_t>(value)) ? 1 : 0;
    default:
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

std::int32_t AudioEffectX::getPlugCategory()
{
    return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

void AudioEffectX::wantEvents(std::int32_t filter)
{
    callHost(audioMasterWantMidi, 0, filter);
}

VstTimeInfo* AudioEffectX::getTimeInfo(std::int32_t filter)
{
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

bool AudioEffectX::isInputConnected(std::int32_t input)
{
    return audioMaster && callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffectX::isOutputConnected(std::int32_t output)
{
    return audioMaster && callHost(audioMasterPinConnected, output, 1) == 0;
}

} // namespace Zq::Carapace
