#include "host/app/vphoAudioSetup.h"

#include "host/app/vphoPluginWindow.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

std::vector<std::string> deviceNames(const std::vector<MPAudioDeviceInfo>& devices)
{
    std::vector<std::string> names;
    for (const MPAudioDeviceInfo& device : devices)
        names.push_back(device.name);
    return names;
}

std::vector<std::string> numbers(const std::vector<int>& values, int smallest)
{
    std::vector<std::string> texts;
    for (int value : values)
        if (value >= smallest)
            texts.push_back(std::to_string(value));
    return texts;
}

// Both lists with entries: the input's entries that the output offers too;
// otherwise the one that has entries.
std::vector<std::string> merged(const std::vector<std::string>& input,
                                const std::vector<std::string>& output)
{
    if (input.empty())
        return output;
    if (output.empty())
        return input;
    std::vector<std::string> both;
    for (const std::string& entry : input)
        if (std::find(output.begin(), output.end(), entry) != output.end())
            both.push_back(entry);
    return both;
}

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string decibelText(float db)
{
    char text[32];
    std::snprintf(text, sizeof text, "%+2.0f dB", db);
    return text;
}

} // namespace

void vphoAudioSetup::selectFromList(List& list, const std::vector<std::string>& items,
                                    std::string& stored)
{
    list.items = items;
    if (items.empty()) {
        list.selected = -1;
        list.enabled = false;
        return;
    }
    const auto found = std::find(items.begin(), items.end(), stored);
    if (found == items.end()) {
        list.selected = 0;
        stored = items[0];
    } else {
        list.selected = static_cast<int>(found - items.begin());
    }
    list.enabled = true;
}

void vphoAudioSetup::open()
{
    window_.stopAudio();
    for (List* list : {&inputDevice, &outputDevice, &sampleRate, &bufferSize, &midiInput})
        list->enabled = false;
    controlPanelEnabled = false;
    for (int i = 0; i < kRows; ++i) {
        inputRows[i] = Row{};
        outputRows[i] = Row{};
    }
    vphoHostSettings& settings = window_.settings();
    copy_ = settings;

    // The stored names stay the back ends' identifiers; the list shows
    // what a user knows them by.
    std::vector<std::string> labels;
    int stored = 0;
    for (int i = 0;; ++i) {
        std::string name, label;
        if (!MPAudio::kindName(i, name) || !MPAudio::kindLabel(i, label))
            break;
        labels.push_back(label);
        if (sameIgnoringCase(name, settings.technology))
            stored = i;
    }
    technology.items = labels;
    technology.selected = stored;
    technology.enabled = !labels.empty();
    technologyChosen(stored, true);

    // A product without MIDI opens no MIDI device: its list stays empty.
    std::string midi = settings.midiInputDevice;
    selectFromList(midiInput, {}, midi);

    const float db = 20.0f * std::log10(settings.getInputGain());
    gainDb = static_cast<int>(db);
    gainText = decibelText(db);
}

void vphoAudioSetup::technologyChosen(int index, bool keep)
{
    std::string name;
    if (!MPAudio::kindName(index, name))
        return;
    technology.selected = index;
    vphoHostSettings& settings = window_.settings();
    if (!keep && name == settings.technology)
        return;
    window_.createDevice(index);
    settings.technology = name;
    if (!keep) {
        settings.sampleRate = "44100";
        settings.bufferSize = "512";
    }
    window_.enumerate(false);
    if (window_.inputCount() > 0) {
        selectFromList(inputDevice, deviceNames(window_.inputDevices()), settings.inputDevice);
        inputDeviceChosen(settings.inputDevice, true);
    }
    if (window_.outputCount() > 0) {
        selectFromList(outputDevice, deviceNames(window_.outputDevices()), settings.outputDevice);
        outputDeviceChosen(settings.outputDevice, true);
    }
}

void vphoAudioSetup::chooseInputDevice(int index)
{
    choose(inputDevice, index);
    inputDeviceChosen(inputDevice.text(), false);
}

void vphoAudioSetup::chooseOutputDevice(int index)
{
    choose(outputDevice, index);
    outputDeviceChosen(outputDevice.text(), false);
}

void vphoAudioSetup::choose(List& list, int index)
{
    if (index >= 0 && index < static_cast<int>(list.items.size()))
        list.selected = index;
    okayEnabled = true;
}

void vphoAudioSetup::chooseChannel(bool input, int row, int index)
{
    if (row < 0 || row >= kRows)
        return;
    choose((input ? inputRows : outputRows)[row].list, index);
}

void vphoAudioSetup::readDevice(const std::string& name, bool isInput)
{
    Row* rows = isInput ? inputRows : outputRows;
    const int count = isInput ? window_.inputCount() : window_.outputCount();
    const vphoHostSettings::Channel* stored =
        isInput ? window_.settings().inputs : window_.settings().outputs;
    int device = -1;
    std::vector<int> sizes, rates;
    std::vector<std::string> channels;
    int panel = 0;
    if (window_.findDevice(name.c_str(), isInput, device))
        window_.getCapabilities(device, isInput, &sizes, &channels, &rates, &panel, nullptr,
                                nullptr, nullptr);
    // A device without channels leaves its rows disabled: there is no entry
    // to map a missing name onto.
    for (int i = 0; i < kRows; ++i)
        rows[i].list.enabled = rows[i].enabled = false;
    if (!channels.empty()) {
        for (int i = 0; i < std::min(count, kRows); ++i) {
            Row& row = rows[i];
            row.list.items = channels;
            const auto found = std::find(channels.begin(), channels.end(), stored[i].name);
            row.list.selected = found != channels.end() ? static_cast<int>(found - channels.begin())
                                                        : i % static_cast<int>(channels.size());
            row.list.enabled = true;
            row.enabled = true;
        }
    }
    (isInput ? inputRates_ : outputRates_) = numbers(rates, 1);
    (isInput ? inputSizes_ : outputSizes_) = numbers(sizes, kSmallestBlock);
    fillRatesAndSizes();
    if (panel)
        controlPanelEnabled = true;
    okayEnabled = true;
}

void vphoAudioSetup::fillRatesAndSizes()
{
    vphoHostSettings& settings = window_.settings();
    selectFromList(sampleRate, merged(inputRates_, outputRates_), settings.sampleRate);
    selectFromList(bufferSize, merged(inputSizes_, outputSizes_), settings.bufferSize);
}

void vphoAudioSetup::inputDeviceChosen(const std::string& name, bool keep)
{
    vphoHostSettings& settings = window_.settings();
    if (!keep && name == settings.inputDevice)
        return;
    sampleRate.enabled = bufferSize.enabled = controlPanelEnabled = false;
    for (Row& row : inputRows)
        row.list.enabled = row.enabled = false;
    if (!keep) {
        settings.sampleRate = "44100";
        settings.bufferSize = "512";
    }
    settings.inputDevice = name;
    readDevice(name, true);
}

void vphoAudioSetup::outputDeviceChosen(const std::string& name, bool keep)
{
    vphoHostSettings& settings = window_.settings();
    if (!keep && name == settings.outputDevice)
        return;
    sampleRate.enabled = bufferSize.enabled = controlPanelEnabled = false;
    for (Row& row : outputRows)
        row.list.enabled = row.enabled = false;
    if (!keep) {
        settings.sampleRate = "44100";
        settings.bufferSize = "512";
    }
    settings.outputDevice = name;
    readDevice(name, false);
    if (MPAudio::kindUsesOneDevice(window_.kind())) {
        // One device plays both ways: the input follows the output.
        const auto found = std::find(inputDevice.items.begin(), inputDevice.items.end(), name);
        if (found != inputDevice.items.end())
            inputDevice.selected = static_cast<int>(found - inputDevice.items.begin());
        inputDeviceChosen(name, true);
        inputDevice.enabled = false;
    } else {
        inputDevice.enabled = !inputDevice.items.empty();
    }
}

void vphoAudioSetup::changeGain(int decibels)
{
    decibels = std::clamp(decibels, 0, 24);
    window_.settings().setInputGain(std::pow(10.0f, static_cast<float>(decibels) * 0.05f));
    gainDb = decibels;
    gainText = decibelText(static_cast<float>(decibels));
    okayEnabled = true;
}

void vphoAudioSetup::openControlPanel()
{
    int device = -1;
    if (!window_.findDevice(window_.settings().outputDevice.c_str(), false, device))
        return;
    panelPending_ = true;
    window_.showControlPanel(device, false);
}

void vphoAudioSetup::onActivated()
{
    if (!panelPending_)
        return;
    panelPending_ = false;
    // The panel may have changed what the driver offers.
    const vphoHostSettings& settings = window_.settings();
    for (bool isInput : {true, false}) {
        int device = -1;
        std::vector<int> sizes, rates;
        const std::string& name = isInput ? settings.inputDevice : settings.outputDevice;
        if (window_.findDevice(name.c_str(), isInput, device))
            window_.getCapabilities(device, isInput, &sizes, nullptr, &rates, nullptr, nullptr,
                                    nullptr, nullptr);
        (isInput ? inputRates_ : outputRates_) = numbers(rates, 1);
        (isInput ? inputSizes_ : outputSizes_) = numbers(sizes, kSmallestBlock);
    }
    fillRatesAndSizes();
}

void vphoAudioSetup::apply()
{
    vphoHostSettings& settings = window_.settings();
    // A row the device gave no list keeps its stored name.
    for (int i = 0; i < kRows; ++i) {
        if (!inputRows[i].list.items.empty())
            settings.inputs[i].name = inputRows[i].list.text();
        settings.inputs[i].active = i < window_.inputCount();
        if (!outputRows[i].list.items.empty())
            settings.outputs[i].name = outputRows[i].list.text();
        settings.outputs[i].active = i < window_.outputCount();
    }
    if (sampleRate.selected >= 0)
        settings.sampleRate = sampleRate.text();
    if (bufferSize.selected >= 0)
        settings.bufferSize = bufferSize.text();
    if (midiInput.selected >= 0)
        settings.midiInputDevice = midiInput.text();
    window_.saveSettingsNow();
    window_.requestAudioStart();
    closed_ = true;
}

void vphoAudioSetup::cancel()
{
    window_.settings() = copy_;
    window_.requestAudioStart();
    closed_ = true;
}
