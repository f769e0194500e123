#include "WindowFixture.h"

namespace {

using test::WindowTest;
using Journal = std::vector<std::string>;

// The status items that follow the audio state, as "plab temp perc disl".
std::string statusItems(const test::RecordingSide& side)
{
    std::string text;
    for (const char* id : {"plab", "temp", "perc", "disl"})
        text += side.visible(id) ? "1" : "0";
    return text;
}

TEST_F(WindowTest, theFirstStartComesStrictlyAfterOneSecond)
{
    storeSettings();
    vphoPluginWindow& w = openWindow();
    EXPECT_EQ(statusItems(side), "0001") << "stopped, a start pending";
    tickAfter(1.0);
    EXPECT_FALSE(w.isAudioRunning()) << "exactly one second is not yet past";
    EXPECT_EQ(devices.opens.size(), 0u);
    tickAfter(0.000001);
    EXPECT_TRUE(w.isAudioRunning());
    EXPECT_EQ(devices.opens, Journal{"Fake Card"});
    EXPECT_EQ(statusItems(side), "1110");
    EXPECT_EQ(side.texts["gadi"], "+6 dB") << "the stored gain of 2.0";
    EXPECT_EQ(side.values["gasc"], 6);

    w.stopAudio();
    EXPECT_EQ(statusItems(side), "0000") << "stopped, nothing pending";
}

TEST_F(WindowTest, aFirstRunTriesTheThreePresetsThenOpensTheSetUpWindowOnce)
{
    devices.names = {"Other Card"}; // none of the presets' drivers
    vphoPluginWindow& w = openWindow();
    ASSERT_TRUE(w.settings().defaulted);
    tickAfter(1.01);
    EXPECT_EQ(devices.opens, (Journal{"", "", ""})) << "presets 0, 1 and 2, none found";
    EXPECT_EQ(side.windows, Journal{"ause nomidi/audiosetup_1in2out.xml"});
    EXPECT_EQ(w.settings().inputDevice, "Zq Vandrex-1 ASIO Driver") << "preset 0 again";
    EXPECT_EQ(statusItems(side), "0001");

    for (int i = 0; i < 3; ++i)
        tickAfter(1.01);
    EXPECT_EQ(side.windows.size(), 1u) << "the set-up window opens once; no messages on retries";
    EXPECT_EQ(devices.opens.size(), 12u) << "every retry tries the presets while defaulted";
}

TEST_F(WindowTest, aFirstRunStopsAtThePresetThatStarts)
{
    devices.names = {"Zq Fellstep ASIO Driver"};
    vphoPluginWindow& w = openWindow();
    tickAfter(1.01);
    EXPECT_TRUE(w.isAudioRunning());
    EXPECT_EQ(devices.opens, (Journal{"", "Zq Fellstep ASIO Driver"}));
    EXPECT_EQ(w.settings().outputs[0].name, "Zq Fellstep Input 1");
    EXPECT_TRUE(side.windows.empty());
}

TEST_F(WindowTest, aFailedStartWithStoredSettingsShowsOneMessageAndRetriesEverySecond)
{
    storeSettings();
    devices.openSucceeds = false;
    vphoPluginWindow& w = openWindow();
    tickAfter(1.01);
    EXPECT_EQ(side.windows, Journal{"mesg nomidi/message2.xml"});
    tickAfter(0.5);
    EXPECT_EQ(devices.opens.size(), 1u);
    tickAfter(0.51);
    EXPECT_EQ(devices.opens.size(), 2u);
    EXPECT_EQ(side.windows.size(), 1u);
    devices.openSucceeds = true;
    tickAfter(1.01);
    EXPECT_TRUE(w.isAudioRunning());
}

TEST_F(WindowTest, aDeviceResetRestartsNoSoonerThanOneSecondLater)
{
    storeSettings();
    vphoPluginWindow& w = openWindow();
    tickAfter(1.01);
    ASSERT_TRUE(w.isAudioRunning());
    w.notify(2);
    tickAfter(0.05);
    EXPECT_TRUE(w.isAudioRunning()) << "only code 1 asks for a reset";
    w.notify(1);
    tickAfter(0.05);
    EXPECT_FALSE(w.isAudioRunning());
    EXPECT_EQ(statusItems(side), "0001");
    tickAfter(1.0);
    EXPECT_FALSE(w.isAudioRunning());
    tickAfter(0.000001);
    EXPECT_TRUE(w.isAudioRunning());
    EXPECT_EQ(devices.opens.size(), 2u);
}

TEST_F(WindowTest, whileStoppedTheTickRuns1024FrameBlocks)
{
    installStub();
    storeSettings();
    openWindow();
    stub->clearJournal();
    tickAfter(0.05);
    EXPECT_EQ(stub->journal(), (Journal{"idle", "process 1024 flags 0"}));
    window->onCharacter('a');
    stub->clearJournal();
    tickAfter(0.05);
    EXPECT_EQ(stub->journal(), (Journal{"idle", "processMidiEvents 1", "process 1024 flags 0"}));
    const auto events = stub->lastMidiEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].data[0], 144);
    EXPECT_EQ(events[0].data[1], 60);
    EXPECT_EQ(events[0].data[2], 100);
}

} // namespace

namespace {

// A stored channel name the device lacks takes the device channel of its
// slot, modulo the device's channel count; a device without channels gets
// none enabled.
TEST_F(WindowTest, storedChannelNamesMapOntoTheDevice)
{
    vphoHostSettings s;
    s.technology = "DirectX";
    s.inputDevice = s.outputDevice = "Fake Card";
    s.inputs[0] = {true, "Zq Fellstep Output 1"};
    s.outputs[0] = {true, "Right"};
    s.outputs[1] = {true, "Zq Vandrex-1 Output 2"};
    s.outputs[2] = {true, "Zq Vandrex-1 Output 3"};
    s.save("BorvanQom");
    devices.capabilities["Fake Card"] = {{"Left", "Right"}, {44100, 48000}, {128}};
    vphoPluginWindow& w = openWindow();
    tickAfter(1.01);
    ASSERT_TRUE(w.isAudioRunning());
    const MPAudioConfig& config = devices.current->config();
    EXPECT_EQ(config.inputChannels[0].deviceChannel, 0);
    EXPECT_TRUE(config.inputChannels[0].enabled);
    EXPECT_EQ(config.outputChannels[0].deviceChannel, 1) << "found by name";
    EXPECT_EQ(config.outputChannels[1].deviceChannel, 1) << "slot 1 of 2";
    EXPECT_EQ(config.outputChannels[2].deviceChannel, 0) << "slot 2 of 2";
    EXPECT_FALSE(config.outputChannels[3].enabled);

    w.stopAudio();
    devices.capabilities["Fake Card"].channels.clear();
    w.startAudio(false);
    for (const MPAudioChannelEntry& entry : devices.current->config().outputChannels)
        EXPECT_FALSE(entry.enabled);
}

} // namespace
