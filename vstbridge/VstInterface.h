#pragma once

// The VST 2.4 binary interface as x86_64 hosts see it: the effect record, the
// two callback signatures, the event and time-information records, the editor
// rectangle and the opcode numbers this bridge and its test host use. Written
// from the published layout; every size and offset is checked below, so a
// field put one word off fails the build instead of a host.
//
// Integers are the fixed-width types of the layout; "pointer-sized" fields are
// intptr_t. Four-character codes put the first character in the high byte.

#include <cstddef>
#include <cstdint>

namespace Zq::Vst {

constexpr std::int32_t fourCharacterCode(char a, char b, char c, char d) noexcept
{
    return static_cast<std::int32_t>(
        (static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
        static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

inline constexpr std::int32_t kEffectMagic = fourCharacterCode('V', 's', 't', 'P');
inline constexpr std::int32_t kIdentify = fourCharacterCode('N', 'v', 'E', 'f');
inline constexpr std::int32_t kNoUniqueId = fourCharacterCode('n', 'o', 'n', 'e');
static_assert(kEffectMagic == 0x56737450);
static_assert(kIdentify == 0x4E764566);
static_assert(kNoUniqueId == 0x6E6F6E65);

// What effGetVstVersion answers for a 2.4 effect.
inline constexpr std::int32_t kVstVersion = 2400;

struct AEffect;

// Host to effect: the effect's opcode dispatcher; effect to host: the host
// callback ("audioMaster"). Same signature both ways.
using DispatcherProc = std::intptr_t (*)(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                         std::intptr_t value, void* ptr, float opt);
using HostCallback = DispatcherProc;
using ProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs,
                             std::int32_t sampleFrames);
using ProcessDoubleProc = void (*)(AEffect* effect, double** inputs, double** outputs,
                                   std::int32_t sampleFrames);
using SetParameterProc = void (*)(AEffect* effect, std::int32_t index, float value);
using GetParameterProc = float (*)(AEffect* effect, std::int32_t index);

// Effect flags.
inline constexpr std::int32_t effFlagsHasEditor = 1 << 0;
inline constexpr std::int32_t effFlagsCanReplacing = 1 << 4;
inline constexpr std::int32_t effFlagsProgramChunks = 1 << 5;
inline constexpr std::int32_t effFlagsIsSynth = 1 << 8;
inline constexpr std::int32_t effFlagsNoSoundInStop = 1 << 9;
inline constexpr std::int32_t effFlagsCanDoubleReplacing = 1 << 12;

struct AEffect {
    std::int32_t magic;
    DispatcherProc dispatcher;
    ProcessProc process; // the accumulating call of VST 1, still called by old hosts
    SetParameterProc setParameter;
    GetParameterProc getParameter;
    std::int32_t numPrograms;
    std::int32_t numParams;
    std::int32_t numInputs;
    std::int32_t numOutputs;
    std::int32_t flags;
    std::intptr_t reserved1;
    std::intptr_t reserved2;
    std::int32_t initialDelay;
    std::int32_t realQualities;
    std::int32_t offQualities;
    float ioRatio;
    void* object; // the effect's own object
    void* user;   // the host's
    std::int32_t uniqueID;
    std::int32_t version;
    ProcessProc processReplacing;
    ProcessDoubleProc processDoubleReplacing;
    char future[56]; // zeroed
};

static_assert(sizeof(AEffect) == 192);
static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == 8);
static_assert(offsetof(AEffect, process) == 16);
static_assert(offsetof(AEffect, setParameter) == 24);
static_assert(offsetof(AEffect, getParameter) == 32);
static_assert(offsetof(AEffect, numPrograms) == 40);
static_assert(offsetof(AEffect, numParams) == 44);
static_assert(offsetof(AEffect, numInputs) == 48);
static_assert(offsetof(AEffect, numOutputs) == 52);
static_assert(offsetof(AEffect, flags) == 56);
static_assert(offsetof(AEffect, reserved1) == 64);
static_assert(offsetof(AEffect, reserved2) == 72);
static_assert(offsetof(AEffect, initialDelay) == 80);
static_assert(offsetof(AEffect, realQualities) == 84);
static_assert(offsetof(AEffect, offQualities) == 88);
static_assert(offsetof(AEffect, ioRatio) == 92);
static_assert(offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, user) == 104);
static_assert(offsetof(AEffect, uniqueID) == 112);
static_assert(offsetof(AEffect, version) == 116);
static_assert(offsetof(AEffect, processReplacing) == 120);
static_assert(offsetof(AEffect, processDoubleReplacing) == 128);
static_assert(offsetof(AEffect, future) == 136);

// What audioMasterGetCurrentProcessLevel answers for a host rendering
// offline (faster or slower than real time).
inline constexpr std::intptr_t kVstProcessLevelOffline = 4;

// Event types.
inline constexpr std::int32_t kVstMidiType = 1;
inline constexpr std::int32_t kVstSysExType = 6;

// Any event: the common head, then type-specific bytes.
struct VstEvent {
    std::int32_t type;
    std::int32_t byteSize; // of the record behind the first two fields
    std::int32_t deltaFrames;
    std::int32_t flags;
    char data[16];
};
static_assert(sizeof(VstEvent) == 32);

struct VstMidiEvent {
    std::int32_t type; // kVstMidiType
    std::int32_t byteSize;
    std::int32_t deltaFrames;
    std::int32_t flags;
    std::int32_t noteLength;
    std::int32_t noteOffset;
    char midiData[4]; // status and up to three data bytes
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};
static_assert(sizeof(VstMidiEvent) == 32);
static_assert(offsetof(VstMidiEvent, deltaFrames) == 8);
static_assert(offsetof(VstMidiEvent, noteLength) == 16);
static_assert(offsetof(VstMidiEvent, midiData) == 24);
static_assert(offsetof(VstMidiEvent, detune) == 28);
static_assert(offsetof(VstMidiEvent, noteOffVelocity) == 29);

struct VstMidiSysexEvent {
    std::int32_t type; // kVstSysExType
    std::int32_t byteSize;
    std::int32_t deltaFrames;
    std::int32_t flags;
    std::int32_t dumpBytes;
    std::intptr_t reserved1;
    char* sysexDump;
    std::intptr_t reserved2;
};
static_assert(sizeof(VstMidiSysexEvent) == 48);
static_assert(offsetof(VstMidiSysexEvent, dumpBytes) == 16);
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == 32);

// A batch of events: the count, then as many pointers (the array runs past
// its declared two entries).
struct VstEvents {
    std::int32_t numEvents;
    std::intptr_t reserved;
    VstEvent* events[2];
};
static_assert(offsetof(VstEvents, numEvents) == 0);
static_assert(offsetof(VstEvents, reserved) == 8);
static_assert(offsetof(VstEvents, events) == 16);

// Flags of VstTimeInfo, and the filter a plug-in passes with audioMasterGetTime.
inline constexpr std::int32_t kVstTransportPlaying = 1 << 1;
inline constexpr std::int32_t kVstPpqPosValid = 1 << 9;
inline constexpr std::int32_t kVstTempoValid = 1 << 10;
static_assert(kVstTempoValid == 0x400);

struct VstTimeInfo {
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo; // beats per minute
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    std::int32_t timeSigNumerator;
    std::int32_t timeSigDenominator;
    std::int32_t smpteOffset;
    std::int32_t smpteFrameRate;
    std::int32_t samplesToNextClock;
    std::int32_t flags;
};
static_assert(sizeof(VstTimeInfo) == 88);
static_assert(offsetof(VstTimeInfo, tempo) == 32);
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64);
static_assert(offsetof(VstTimeInfo, flags) == 84);

struct ERect {
    std::int16_t top;
    std::int16_t left;
    std::int16_t bottom;
    std::int16_t right;
};
static_assert(sizeof(ERect) == 8);
static_assert(offsetof(ERect, bottom) == 4);

// Key information of effEditKeyDown / effEditKeyUp.
struct VstKeyCode {
    std::int32_t character;
    unsigned char virt;
    unsigned char modifier;
};
static_assert(sizeof(VstKeyCode) == 8);

// Plug-in categories (effGetPlugCategory).
inline constexpr std::int32_t kPlugCategUnknown = 0;
inline constexpr std::int32_t kPlugCategEffect = 1;
inline constexpr std::int32_t kPlugCategSynth = 2;

// Host to effect.
enum EffectOpcode : std::int32_t {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetNumProgramCategories = 28,
    effGetProgramNameIndexed = 29,
    effCopyProgram = 30,
    effGetPlugCategory = 35,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effCanDo = 51,
    effGetTailSize = 52,
    effKeysRequired = 57,
    effGetVstVersion = 58,
    effEditKeyDown = 59,
    effEditKeyUp = 60,
    effSetEditKnobMode = 61,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetProcessPrecision = 77,
};

// Effect to host.
enum HostOpcode : std::int32_t {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4, // answer 0: connected
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetCurrentProcessLevel = 23, // answer 4: rendering offline
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterCanDo = 37,
};

// Published text limits in characters; a copy of L characters writes at most
// L + 1 bytes with the terminator.
inline constexpr int kVstMaxProgNameLen = 24;
inline constexpr int kVstMaxEffectNameLen = 32;
inline constexpr int kVstMaxVendorStrLen = 64;
inline constexpr int kVstMaxProductStrLen = 64;

} // namespace Zq::Vst
