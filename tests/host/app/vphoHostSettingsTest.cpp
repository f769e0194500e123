#include "tests/platform/SettingsFixture.h"

#include "host/app/vphoHostSettings.h"
#include "platform/Settings.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

constexpr const char* kKey = "BorvanQom";

class HostSettingsTest : public test::SettingsRootTest {
protected:
    // A complete stored set, as a previous run would leave it.
    void storeValidSet()
    {
        vphoHostSettings s;
        s.technology = "DirectX";
        s.inputDevice = "hw:1";
        s.outputDevice = "hw:2";
        s.bufferSize = "256";
        s.sampleRate = "44100";
        s.midiInputDevice = "Keys";
        s.setTempo(90.0f);
        s.setInputGain(4.0f);
        s.autoSession = true;
        s.save(kKey);
    }
    std::int32_t number(const char* name)
    {
        std::int32_t value = -12345;
        platform::readRegistryNumber(kKey, name, value);
        return value;
    }
};

TEST_F(HostSettingsTest, aFirstRunGivesTheDefaultsWithTheDefaultedMark)
{
    vphoHostSettings s;
    s.technology = "changed";
    s.inputs[5] = {true, "left over"};
    EXPECT_FALSE(s.load(kKey));
    EXPECT_TRUE(s.defaulted);
    EXPECT_EQ(s.technology, "Asio");
    EXPECT_EQ(s.inputDevice, "Zq Vandrex-1 ASIO Driver");
    EXPECT_EQ(s.outputDevice, "Zq Vandrex-1 ASIO Driver");
    EXPECT_EQ(s.bufferSize, "128");
    EXPECT_EQ(s.sampleRate, "48000");
    EXPECT_EQ(s.midiInputDevice, "Zq Vandrex-1 MIDI In");
    EXPECT_FLOAT_EQ(s.getTempo(), 120.0f);
    EXPECT_FLOAT_EQ(s.getInputGain(), 2.0f);
    EXPECT_FALSE(s.autoSession);
    EXPECT_EQ(s.outputs[0], (vphoHostSettings::Channel{true, "Zq Vandrex-1 Output 1"}));
    EXPECT_EQ(s.outputs[1], (vphoHostSettings::Channel{true, "Zq Vandrex-1 Output 2"}));
    EXPECT_EQ(s.inputs[0], (vphoHostSettings::Channel{true, "Zq Vandrex-1 Input 1"}));
    EXPECT_EQ(s.inputs[1], (vphoHostSettings::Channel{false, "Zq Vandrex-1 Input 2"}));
    EXPECT_EQ(s.inputs[5], vphoHostSettings::Channel{});
    EXPECT_EQ(filesUnderRoot(), 0u) << "loading writes nothing";
}

TEST_F(HostSettingsTest, thePresetsKeepTheirChannelNamesExactlySo)
{
    const struct {
        int preset;
        const char* driver;
        const char* output1;
        const char* input1;
    } cases[] = {
        {0, "Zq Vandrex-1 ASIO Driver", "Zq Vandrex-1 Output 1", "Zq Vandrex-1 Input 1"},
        {1, "Zq Fellstep ASIO Driver", "Zq Fellstep Input 1", "Zq Fellstep Output 1"},
        {2, "Zq Garnetline ASIO Driver", "Zq Garnetline Input 1", "Zq Garnetline Output 1"},
    };
    for (const auto& c : cases) {
        vphoHostSettings s;
        s.technology = "DirectX";
        s.inputs[7].active = true;
        s.applyInterfacePreset(c.preset);
        EXPECT_EQ(s.technology, "Asio");
        EXPECT_EQ(s.inputDevice, c.driver);
        EXPECT_EQ(s.outputDevice, c.driver);
        EXPECT_EQ(s.outputs[0].name, c.output1);
        EXPECT_EQ(s.inputs[0].name, c.input1);
        EXPECT_FALSE(s.inputs[7].active);
    }
    vphoHostSettings other;
    other.technology = "DirectX";
    other.bufferSize = "512";
    other.applyInterfacePreset(7);
    EXPECT_EQ(other.technology, "DirectX") << "an unknown preset keeps the devices";
    EXPECT_EQ(other.bufferSize, "128");
    EXPECT_FALSE(other.outputs[0].active);
}

TEST_F(HostSettingsTest, aStoredSetRoundTripsAndTheTempoKeepsThousandths)
{
    storeValidSet();
    platform::writeRegistryNumber(kKey, "Host.CurrentBmp", 123456);
    vphoHostSettings s;
    ASSERT_TRUE(s.load(kKey));
    EXPECT_FALSE(s.defaulted);
    EXPECT_EQ(s.technology, "DirectX");
    EXPECT_EQ(s.inputDevice, "hw:1");
    EXPECT_EQ(s.outputDevice, "hw:2");
    EXPECT_EQ(s.bufferFrames(), 256);
    EXPECT_EQ(s.sampleRateHz(), 44100);
    EXPECT_EQ(s.midiInputDevice, "Keys");
    EXPECT_TRUE(s.autoSession);
    EXPECT_FLOAT_EQ(s.getInputGain(), 4.0f);
    EXPECT_NEAR(s.getTempo(), 123.456f, 1e-4f);

    s.setTempo(99.9999f);
    s.save(kKey);
    EXPECT_EQ(number("Host.CurrentBmp"), 99999);
}

TEST_F(HostSettingsTest, deletingOnlyTheInputGainResetsEverything)
{
    storeValidSet();
    std::filesystem::remove(valueFile(kKey, "Host.InputGain"));
    vphoHostSettings s;
    EXPECT_FALSE(s.load(kKey));
    EXPECT_TRUE(s.defaulted);
    EXPECT_EQ(s.technology, "Asio");
    EXPECT_EQ(s.inputDevice, "Zq Vandrex-1 ASIO Driver");
    EXPECT_EQ(s.bufferSize, "128");
    EXPECT_FALSE(s.autoSession);
    EXPECT_FLOAT_EQ(s.getTempo(), 120.0f);
}

TEST_F(HostSettingsTest, channelsAreWrittenOnlyWhenActiveOrStoredBefore)
{
    vphoHostSettings s;
    s.applyInterfacePreset(0); // outputs 0 and 1 active, 2 never
    s.outputs[2].name = "never stored";
    s.save(kKey);
    EXPECT_EQ(number("Host.AudioOutputActive_00"), 1);
    EXPECT_FALSE(std::filesystem::exists(valueFile(kKey, "Host.AudioOutputActive_02")));
    EXPECT_FALSE(std::filesystem::exists(valueFile(kKey, "Host.AudioOutputChannel_02")));
    EXPECT_FALSE(std::filesystem::exists(valueFile(kKey, "Host.AudioInputActive_01")))
        << "an inactive preset slot was never stored";

    s.outputs[1].active = false;
    s.outputs[1].name = "renamed";
    s.save(kKey);
    EXPECT_EQ(number("Host.AudioOutputActive_01"), 0);
    std::string name;
    ASSERT_TRUE(platform::readRegistryString(kKey, "Host.AudioOutputChannel_01", name));
    EXPECT_EQ(name, "renamed");

    vphoHostSettings back;
    ASSERT_TRUE(back.load(kKey));
    EXPECT_EQ(back.outputs[0], s.outputs[0]);
    EXPECT_EQ(back.outputs[1], (vphoHostSettings::Channel{false, "renamed"}));
}

TEST_F(HostSettingsTest, damagedValuesAreBroughtIntoRangeOnLoad)
{
    const struct {
        std::int32_t gain;
        float expectedGain;
        const char* size;
        const char* rate;
        int expectedSize;
        int expectedRate;
    } cases[] = {
        {2000, 2.0f, "64", "96000", 64, 96000},
        {0, 1.0f, "0", "0", 128, 48000},
        {-5000, 1.0f, "-64", "-1", 128, 48000},
        {500, 1.0f, "", "fast", 128, 48000},
        {1000000, 15.85f, "99999999999", "48000x", 128, 48000},
    };
    for (const auto& c : cases) {
        storeValidSet();
        platform::writeRegistryNumber(kKey, "Host.InputGain", c.gain);
        platform::writeRegistryString(kKey, "Host.AudioBufferSize", c.size);
        platform::writeRegistryString(kKey, "Host.AudioSampleRate", c.rate);
        vphoHostSettings s;
        ASSERT_TRUE(s.load(kKey));
        EXPECT_FLOAT_EQ(s.getInputGain(), c.expectedGain) << c.gain;
        EXPECT_EQ(s.bufferFrames(), c.expectedSize) << c.size;
        EXPECT_EQ(s.sampleRateHz(), c.expectedRate) << c.rate;
    }
}

} // namespace
