#include "WindowFixture.h"

#include "host/app/vphoAudioSetup.h"

#include <algorithm>

namespace {

using Texts = std::vector<std::string>;

class AudioSetupTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        devices.names = {"Card A", "Card B", "Mute Box"};
        devices.capabilities["Card A"] = {
            {"A 1", "A 2"}, {44100, 48000, 96000}, {32, 64, 128, 512}, true};
        devices.capabilities["Card B"] = {{"B 1", "B 2", "B 3"}, {44100, 48000}, {64, 256, 512}};
        devices.capabilities["Mute Box"] = {{}, {48000}, {128}};
        vphoHostSettings s;
        s.technology = "DirectX";
        s.inputDevice = s.outputDevice = "Card A";
        s.bufferSize = "128";
        s.sampleRate = "96000";
        s.inputs[0] = {true, "A 2"};
        s.outputs[0] = {true, "A 1"};
        s.outputs[1] = {true, "gone"};
        s.save("BorvanQom");
        stored = s;
        openWindow();
        tickAfter(1.01);
        ASSERT_TRUE(window->isAudioRunning());
        setup = std::make_unique<vphoAudioSetup>(*window);
        setup->open();
    }
    static int indexOf(const vphoAudioSetup::List& list, const std::string& text)
    {
        const auto found = std::find(list.items.begin(), list.items.end(), text);
        return found == list.items.end() ? -1 : static_cast<int>(found - list.items.begin());
    }
    static std::string stringValue(const char* name)
    {
        std::string text;
        platform::readRegistryString("BorvanQom", name, text);
        return text;
    }

    vphoHostSettings stored;
    std::unique_ptr<vphoAudioSetup> setup;
};

TEST_F(AudioSetupTest, openingKeepsTheStoredValuesAndListsWhatBothDevicesOffer)
{
    EXPECT_FALSE(window->isAudioRunning()) << "audio stops while the window is open";
    EXPECT_EQ(setup->technology.items, (Texts{"ALSA", "JACK"}));
    EXPECT_EQ(setup->technology.selected, 0);
    EXPECT_EQ(setup->inputDevice.text(), "Card A");
    EXPECT_EQ(setup->sampleRate.text(), "96000");
    EXPECT_EQ(setup->bufferSize.items, (Texts{"64", "128", "512"})) << "32 frames is not listed";
    EXPECT_EQ(setup->bufferSize.text(), "128");
    EXPECT_EQ(window->settings().sampleRate, "96000");
    EXPECT_EQ(setup->inputRows[0].list.text(), "A 2");
    EXPECT_TRUE(setup->inputRows[0].enabled);
    EXPECT_FALSE(setup->inputRows[1].enabled) << "one input channel";
    EXPECT_EQ(setup->outputRows[1].list.text(), "A 2") << "a missing name takes slot 1 of 2";
    EXPECT_TRUE(setup->controlPanelEnabled);
    EXPECT_FALSE(setup->midiInput.enabled) << "no MIDI in this product";
    EXPECT_EQ(setup->gainText, "+6 dB");
}

TEST_F(AudioSetupTest, anotherInputDeviceResetsRateAndSizeTheSameOneChangesNothing)
{
    setup->chooseInputDevice(indexOf(setup->inputDevice, "Card A"));
    EXPECT_EQ(window->settings().sampleRate, "96000");
    EXPECT_EQ(window->settings().bufferSize, "128");

    setup->chooseInputDevice(indexOf(setup->inputDevice, "Card B"));
    EXPECT_EQ(setup->sampleRate.items, (Texts{"44100", "48000"})) << "offered by both";
    EXPECT_EQ(setup->bufferSize.items, (Texts{"64", "512"}));
    EXPECT_EQ(window->settings().sampleRate, "44100");
    EXPECT_EQ(window->settings().bufferSize, "512");
    EXPECT_EQ(setup->inputRows[0].list.items, (Texts{"B 1", "B 2", "B 3"}));
    EXPECT_TRUE(setup->inputDevice.enabled) << "ALSA opens a device each way";
}

TEST_F(AudioSetupTest, aOneDeviceTechnologyCopiesTheOutputChoiceToTheInput)
{
    setup->chooseTechnology(1);
    EXPECT_EQ(window->settings().technology, "ASIO");
    EXPECT_EQ(window->settings().sampleRate, "44100");
    setup->chooseOutputDevice(indexOf(setup->outputDevice, "Card B"));
    EXPECT_EQ(setup->inputDevice.text(), "Card B");
    EXPECT_FALSE(setup->inputDevice.enabled);
    EXPECT_EQ(window->settings().inputDevice, "Card B");
    EXPECT_EQ(setup->inputRows[0].list.items, (Texts{"B 1", "B 2", "B 3"}));
}

TEST_F(AudioSetupTest, aDeviceWithoutChannelsDisablesItsRows)
{
    setup->chooseInputDevice(indexOf(setup->inputDevice, "Mute Box"));
    for (const auto& row : setup->inputRows) {
        EXPECT_FALSE(row.enabled);
        EXPECT_FALSE(row.list.enabled);
    }
    EXPECT_EQ(setup->sampleRate.items, Texts{"48000"});
    setup->apply();
    EXPECT_EQ(window->settings().inputs[0].name, "A 2") << "a row without a list keeps its name";
}

TEST_F(AudioSetupTest, cancelRestoresEverythingAndStartsAgain)
{
    setup->chooseTechnology(1);
    setup->chooseOutputDevice(indexOf(setup->outputDevice, "Card B"));
    setup->chooseChannel(true, 0, 2);
    setup->changeGain(20);
    setup->cancel();
    EXPECT_TRUE(setup->isClosed());
    const vphoHostSettings& now = window->settings();
    EXPECT_EQ(now.technology, stored.technology);
    EXPECT_EQ(now.inputDevice, stored.inputDevice);
    EXPECT_EQ(now.outputDevice, stored.outputDevice);
    EXPECT_EQ(now.sampleRate, stored.sampleRate);
    EXPECT_EQ(now.bufferSize, stored.bufferSize);
    EXPECT_FLOAT_EQ(now.getInputGain(), stored.getInputGain());
    for (int i = 0; i < vphoHostSettings::kChannelSlots; ++i) {
        EXPECT_EQ(now.inputs[i], stored.inputs[i]) << i;
        EXPECT_EQ(now.outputs[i], stored.outputs[i]) << i;
    }
    EXPECT_EQ(stringValue("Host.AudioOutputDevice"), "Card A") << "nothing saved";
    tickAfter(1.0);
    EXPECT_FALSE(window->isAudioRunning());
    tickAfter(0.01);
    EXPECT_TRUE(window->isAudioRunning());
}

TEST_F(AudioSetupTest, applySavesAtOnceAndStartsOneSecondLater)
{
    setup->chooseInputDevice(indexOf(setup->inputDevice, "Card B"));
    setup->chooseChannel(true, 0, 2);
    setup->chooseBufferSize(indexOf(setup->bufferSize, "64"));
    setup->inputRows[0].enab = false; // the counts decide, not the switches
    setup->apply();
    EXPECT_EQ(stringValue("Host.AudioInputDevice"), "Card B");
    EXPECT_EQ(stringValue("Host.AudioInputChannel_00"), "B 3");
    EXPECT_EQ(stringValue("Host.AudioBufferSize"), "64");
    EXPECT_EQ(stringValue("Host.AudioSampleRate"), "44100");
    EXPECT_TRUE(window->settings().inputs[0].active);
    EXPECT_FALSE(window->settings().inputs[1].active);
    EXPECT_TRUE(window->settings().outputs[1].active);
    EXPECT_FALSE(window->isSettingsChanged());
    tickAfter(1.0);
    EXPECT_FALSE(window->isAudioRunning());
    tickAfter(0.01);
    EXPECT_TRUE(window->isAudioRunning());
    EXPECT_EQ(devices.current->bufferFrames(), 64);
}

TEST_F(AudioSetupTest, theControlPanelRefreshesTheListsWhenTheWindowIsActiveAgain)
{
    setup->openControlPanel();
    EXPECT_EQ(devices.panelOpens, 1);
    devices.capabilities["Card A"].sizes = {256, 1024};
    setup->onActivated();
    EXPECT_EQ(setup->bufferSize.items, (Texts{"256", "1024"}));
    EXPECT_EQ(window->settings().bufferSize, "256") << "the stored size is gone: the first";
    devices.capabilities["Card A"].sizes = {2048};
    setup->onActivated();
    EXPECT_EQ(setup->bufferSize.items, (Texts{"256", "1024"})) << "only once per panel";
}

} // namespace
