#pragma once

#include "host/app/vphoHostSettings.h"

#include <string>
#include <vector>

class vphoPluginWindow;

// The audio set-up window's logic on plain data: its pop-up lists, the
// channel rows and the buttons' states, editing the plug-in window's host
// settings in place with a copy to restore on Cancel. The native window shows
// these lists and reports the user's choices here.
class vphoAudioSetup {
public:
    // A pop-up list: its texts, the selected entry, whether it is enabled.
    struct List {
        std::vector<std::string> items;
        int selected = -1;
        bool enabled = false;
        std::string text() const
        {
            return selected >= 0 && selected < static_cast<int>(items.size())
                       ? items[static_cast<std::size_t>(selected)]
                       : std::string();
        }
    };
    // One 'Chan' row: the device channel and the 'Enab' switch.
    struct Row {
        List list;
        bool enab = false;
        bool enabled = false;
    };
    static constexpr int kRows = vphoHostSettings::kChannelSlots;
    // Block sizes below this are never offered.
    static constexpr int kSmallestBlock = 64;

    explicit vphoAudioSetup(vphoPluginWindow& window) : window_(window) {}

    // Once the layout is loaded: stops the audio, keeps a copy of the
    // settings and fills every list from them, changing no stored value
    // that the devices offer.
    void open();
    // The user's choices.
    void chooseTechnology(int index) { technologyChosen(index, false); }
    void chooseInputDevice(int index);
    void chooseOutputDevice(int index);
    void chooseChannel(bool input, int row, int index);
    void chooseSampleRate(int index) { choose(sampleRate, index); }
    void chooseBufferSize(int index) { choose(bufferSize, index); }
    void changeGain(int decibels);
    // 'CusP': opens the output device's panel; the lists are read again the
    // next time the window is activated.
    void openControlPanel();
    void onActivated();
    // 'Okay': stores the rows and lists, saves, asks for a start 1 s later.
    void apply();
    // 'Canc': restores the settings as they were at open, asks for a start.
    void cancel();

    bool isClosed() const { return closed_; }

    List technology, inputDevice, outputDevice, sampleRate, bufferSize, midiInput;
    Row inputRows[kRows];
    Row outputRows[kRows];
    bool controlPanelEnabled = false;
    bool okayEnabled = false;
    int gainDb = 0;
    std::string gainText;

private:
    void technologyChosen(int index, bool keep);
    void inputDeviceChosen(const std::string& name, bool keep);
    void outputDeviceChosen(const std::string& name, bool keep);
    // Fills the rows and the device's rate and size lists; false for an
    // unknown device.
    void readDevice(const std::string& name, bool isInput);
    void fillRatesAndSizes();
    void choose(List& list, int index);
    static void selectFromList(List& list, const std::vector<std::string>& items,
                               std::string& stored);

    vphoPluginWindow& window_;
    vphoHostSettings copy_;
    std::vector<std::string> inputRates_, inputSizes_, outputRates_, outputSizes_;
    bool panelPending_ = false;
    bool closed_ = false;
};
