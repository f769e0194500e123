#include "host/app/vphoHostSettings.h"

#include "platform/Settings.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

struct Preset {
    const char* driver;
    const char* output1;
    const char* output2;
    const char* input1;
    const char* input2;
};

// Presets 1 and 2 carry their drivers' "Input" names in the output slots and
// the "Output" names in the input slots; stored settings already hold them so,
// and the channel lookup maps any name a device lacks by slot, so they stay.
constexpr Preset kPresets[3] = {
    {"Zq Vandrex-1 ASIO Driver", "Zq Vandrex-1 Output 1", "Zq Vandrex-1 Output 2",
     "Zq Vandrex-1 Input 1", "Zq Vandrex-1 Input 2"},
    {"Zq Fellstep ASIO Driver", "Zq Fellstep Input 1", "Zq Fellstep Input 2",
     "Zq Fellstep Output 1", "Zq Fellstep Output 2"},
    {"Zq Garnetline ASIO Driver", "Zq Garnetline Input 1", "Zq Garnetline Input 2",
     "Zq Garnetline Output 1", "Zq Garnetline Output 2"},
};

std::string slotName(const char* format, int slot)
{
    char name[64];
    std::snprintf(name, sizeof name, format, slot);
    return name;
}

} // namespace

int vphoPositiveNumber(const std::string& text)
{
    if (text.empty() || text.size() > 10)
        return 0;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value > 0 && value <= std::numeric_limits<int>::max() ? static_cast<int>(value) : 0;
}

vphoHostSettings& vphoHostSettings::operator=(const vphoHostSettings& other)
{
    if (this == &other)
        return *this;
    technology = other.technology;
    inputDevice = other.inputDevice;
    outputDevice = other.outputDevice;
    std::copy(std::begin(other.inputs), std::end(other.inputs), std::begin(inputs));
    std::copy(std::begin(other.outputs), std::end(other.outputs), std::begin(outputs));
    bufferSize = other.bufferSize;
    sampleRate = other.sampleRate;
    midiInputDevice = other.midiInputDevice;
    autoSession = other.autoSession;
    defaulted = other.defaulted;
    setTempo(other.getTempo());
    setInputGain(other.getInputGain());
    return *this;
}

void vphoHostSettings::setDefaults()
{
    midiInputDevice = "Zq Vandrex-1 MIDI In";
    bufferSize = kDefaultBufferSize;
    sampleRate = kDefaultSampleRate;
    autoSession = false;
    setTempo(120.0f);
    defaulted = false;
    technology = "Asio";
    for (int i = 0; i < kChannelSlots; ++i)
        inputs[i] = outputs[i] = Channel{};
    applyInterfacePreset(0);
    setInputGain(2.0f);
}

void vphoHostSettings::applyInterfacePreset(int preset)
{
    bufferSize = kDefaultBufferSize;
    sampleRate = kDefaultSampleRate;
    for (int i = 0; i < kChannelSlots; ++i) {
        inputs[i].active = false;
        outputs[i].active = false;
    }
    if (preset < 0 || preset > 2)
        return;
    const Preset& p = kPresets[preset];
    technology = "Asio";
    inputDevice = p.driver;
    outputDevice = p.driver;
    outputs[0] = {true, p.output1};
    outputs[1] = {true, p.output2};
    inputs[0] = {true, p.input1};
    inputs[1] = {false, p.input2};
}

bool vphoHostSettings::load(const std::string& productKey)
{
    const platform::RegistrySettings key(productKey);
    std::int32_t tempo = 0, autoSave = 0, gain = 0;
    // Every read is made, as the stored set is taken whole or not at all.
    bool ok = key.readString("Host.AudioTechnology", technology);
    ok = key.readString("Host.AudioInputDevice", inputDevice) && ok;
    ok = key.readString("Host.AudioOutputDevice", outputDevice) && ok;
    ok = key.readString("Host.AudioBufferSize", bufferSize) && ok;
    ok = key.readString("Host.AudioSampleRate", sampleRate) && ok;
    ok = key.readString("Host.MidiInputDevice", midiInputDevice) && ok;
    ok = key.readNumber("Host.CurrentBmp", tempo) && ok;
    ok = key.readNumber("Host.AutoSaveLoadSession", autoSave) && ok;
    ok = key.readNumber("Host.InputGain", gain) && ok;

    // Divided in double: 120000 reads as exactly 120 BPM.
    setTempo(static_cast<float>(tempo / 1000.0));
    // A damaged gain would otherwise multiply the input by anything, zero
    // and negative factors included.
    setInputGain(std::clamp(static_cast<float>(gain / 1000.0), kMinInputGain, kMaxInputGain));
    autoSession = autoSave != 0;
    // A size or a rate of 0 would reach the device and divide the CPU meter
    // by zero.
    if (vphoPositiveNumber(bufferSize) == 0)
        bufferSize = kDefaultBufferSize;
    if (vphoPositiveNumber(sampleRate) == 0)
        sampleRate = kDefaultSampleRate;

    auto readChannel = [&](const char* nameFormat, const char* activeFormat, int slot,
                           Channel& channel) {
        std::string name;
        std::int32_t active = 0;
        const bool named = key.readString(slotName(nameFormat, slot), name);
        const bool switched = key.readNumber(slotName(activeFormat, slot), active);
        if (named)
            channel.name = name;
        channel.active = named && switched && active != 0;
    };
    for (int i = 0; i < kChannelSlots; ++i) {
        readChannel("Host.AudioInputChannel_%02d", "Host.AudioInputActive_%02d", i, inputs[i]);
        readChannel("Host.AudioOutputChannel_%02d", "Host.AudioOutputActive_%02d", i, outputs[i]);
    }

    if (!ok) {
        setDefaults();
        defaulted = true;
    } else {
        defaulted = false;
    }
    return ok;
}

void vphoHostSettings::save(const std::string& productKey) const
{
    const platform::RegistrySettings key(productKey);
    key.writeString("Host.AudioTechnology", technology);
    key.writeString("Host.AudioInputDevice", inputDevice);
    key.writeString("Host.AudioOutputDevice", outputDevice);
    key.writeString("Host.AudioBufferSize", bufferSize);
    key.writeString("Host.AudioSampleRate", sampleRate);
    key.writeString("Host.MidiInputDevice", midiInputDevice);
    key.writeNumber("Host.CurrentBmp", static_cast<std::int32_t>(getTempo() * 1000.0f));
    key.writeNumber("Host.AutoSaveLoadSession", autoSession ? 1 : 0);
    key.writeNumber("Host.InputGain", static_cast<std::int32_t>(getInputGain() * 1000.0f));

    auto writeChannel = [&](const char* nameFormat, const char* activeFormat, int slot,
                            const Channel& channel) {
        const std::string activeName = slotName(activeFormat, slot);
        std::int32_t stored = 0;
        if (!channel.active && !key.readNumber(activeName, stored))
            return;
        key.writeString(slotName(nameFormat, slot), channel.name);
        key.writeNumber(activeName, channel.active ? 1 : 0);
    };
    for (int i = 0; i < kChannelSlots; ++i) {
        writeChannel("Host.AudioInputChannel_%02d", "Host.AudioInputActive_%02d", i, inputs[i]);
        writeChannel("Host.AudioOutputChannel_%02d", "Host.AudioOutputActive_%02d", i, outputs[i]);
    }
}

int vphoHostSettings::bufferFrames() const
{
    const int n = vphoPositiveNumber(bufferSize);
    return n > 0 ? n : vphoPositiveNumber(kDefaultBufferSize);
}

int vphoHostSettings::sampleRateHz() const
{
    const int n = vphoPositiveNumber(sampleRate);
    return n > 0 ? n : vphoPositiveNumber(kDefaultSampleRate);
}
