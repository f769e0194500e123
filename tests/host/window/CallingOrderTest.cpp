#include "WindowFixture.h"

#include "host/app/vphoApplication.h"
#include "hostfw/res/epiResources.h"

#include <fstream>

namespace {

using test::WindowTest;
using Journal = std::vector<std::string>;

const Journal kLoad = {"acquire 1",
                       "getVersion",
                       "createProcess 0",
                       "getNumOutputs",
                       "setNumInputChannels 1",
                       "setNumOutputChannels 2",
                       "setBlockSize 1024",
                       "setSampleRate 44100",
                       "resume",
                       "getGUI",
                       "getSize",
                       "setPosition 0 120",
                       "open 4242",
                       "startProcess"};
const Journal kClose = {"close", "stopProcess", "suspend", "destroyProcess", "release"};

TEST_F(WindowTest, theWindowCallsThePlugInInTheOrderOfItsLife)
{
    installStub();
    storeSettings();
    vphoPluginWindow& w = makeWindow();
    w.loadPlugIn();
    EXPECT_EQ(stub->journal(), kLoad);
    EXPECT_EQ(side.title, "BorvanQom");
    EXPECT_EQ(side.calls, Journal{"createNativeWindow"}) << "before the editor opens";

    stub->clearJournal();
    w.onOpened(nullptr);
    EXPECT_EQ(side.width, 851);
    EXPECT_EQ(side.height, 510 + 120 + 24) << "editor, player panel and status bar";
    EXPECT_EQ(side.barY, 120 + 510);
    EXPECT_TRUE(side.barShown);
    EXPECT_EQ(side.texts["info"], "Ready");
    EXPECT_EQ(side.texts["tbpm"], "Tempo: 120.0 BPM");

    stub->clearJournal();
    tickAfter(1.01); // the device opens
    tickAfter(0.05);
    ASSERT_TRUE(w.isAudioRunning());
    EXPECT_EQ(stub->journal(),
              (Journal{"setBlockSize 256", "setSampleRate 44100", "idle", "idle"}));

    // A device reset: stopped, reopened a second later with the block size
    // and rate told again.
    w.notify(1);
    stub->clearJournal();
    tickAfter(0.05);
    tickAfter(1.0);
    tickAfter(0.01);
    EXPECT_EQ(stub->journal(),
              (Journal{"idle", "process 1024 flags 0", "idle", "process 1024 flags 0",
                       "setBlockSize 256", "setSampleRate 44100", "idle"}));

    stub->clearJournal();
    side.calls.clear();
    w.onClose();
    EXPECT_EQ(stub->journal(), kClose);
    EXPECT_EQ(side.calls, (Journal{"destroyNativeWindow", "quit"}));
}

TEST_F(WindowTest, theOutputCountFromThePlugInReplacesTheConfiguredOneUnlessMinusOne)
{
    installStub();
    for (const auto& [answer, expected] : {std::pair{-1, 2}, std::pair{1, 1}, std::pair{2, 2}}) {
        stub->reset();
        stub->settings().numOutputs = answer;
        vphoPluginWindow& w = makeWindow();
        w.loadPlugIn();
        EXPECT_EQ(w.outputCount(), expected) << answer;
        const Journal journal = stub->journal();
        EXPECT_EQ(journal[5], "setNumOutputChannels " + std::to_string(expected)) << answer;
        w.onClose();
        window.reset();
    }
}

TEST_F(WindowTest, thePlugInReadsTheHostTempo)
{
    installStub();
    openWindow();
    EXPECT_FLOAT_EQ(stub->askTempo(), 120.0f);
    window->setTempo(97.5f, false);
    EXPECT_FLOAT_EQ(stub->askTempo(), 97.5f);
    EXPECT_EQ(side.texts["tbpm"], "Tempo: 97.5 BPM");
}

// Records what the window tells the player panel.
class RecordingPlayer : public vphoPlayerLink {
public:
    void setHostTempo(float bpm) override { tempos.push_back(bpm); }
    void setSampleRate(float hz) override { rates.push_back(hz); }
    void stop() override { ++stops; }
    void onCharacter(int code) override { characters.push_back(code); }
    bool loadFile(const char* path) override
    {
        files.push_back(path);
        return true;
    }
    void mix(float*, float*, int) override {}
    void mixClicks(float*, float*, int) override {}

    std::vector<float> tempos, rates;
    std::vector<int> characters;
    std::vector<std::string> files;
    int stops = 0;
};

TEST_F(WindowTest, thePlayerPanelAndTheWindowShareTheTempo)
{
    installStub();
    storeSettings();
    RecordingPlayer player;
    vphoPluginWindow& w = openWindow(&player);
    EXPECT_EQ(player.tempos, std::vector<float>{120.0f}) << "the tempo at open";
    tickAfter(1.01);
    EXPECT_EQ(player.rates, std::vector<float>{44100.0f}) << "the device's rate";

    const float fromPlayer = 88.0f;
    w.onPlayerTempo(&fromPlayer);
    EXPECT_EQ(side.texts["tbpm"], "Tempo: 88.0 BPM");
    EXPECT_FLOAT_EQ(stub->askTempo(), 88.0f);
    EXPECT_EQ(player.tempos.size(), 1u) << "not sent back to the player";

    for (int i = 0; i < 5; ++i) {
        w.onCharacter('T');
        clock.advance(500'000);
    }
    EXPECT_EQ(side.texts["tbpm"], "Tempo: 120.0 BPM (Tap)");
    EXPECT_EQ(player.tempos.back(), 120.0f);

    w.onCharacter(' ');
    w.onCharacter('a');
    EXPECT_EQ(player.characters, std::vector<int>{' '}) << "note keys stay with the keyboard";
    w.onFileDropped("/music/groove.wav");
    EXPECT_EQ(player.files, std::vector<std::string>{"/music/groove.wav"});
    w.onClose();
    EXPECT_EQ(player.stops, 1);
}

TEST_F(WindowTest, withoutAModuleTheWindowSaysSoOnceAndNeverCallsAPlugIn)
{
    storeSettings(true); // automatic sessions on
    vphoPluginWindow& w = openWindow();
    EXPECT_EQ(messages,
              Journal{"Registry error: Please ensure this product has been installed properly"});
    EXPECT_EQ(side.title, "BorvanQom - not loaded");
    EXPECT_EQ(side.calls.front(), "createNativeWindow") << "the window is still made";
    tickAfter(1.01);
    EXPECT_TRUE(w.isAudioRunning()) << "audio passes through";
    w.onClose();
    EXPECT_EQ(stub->journal(), Journal{});
    EXPECT_FALSE(std::filesystem::exists(w.defaultSessionPath()));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(WindowTest, sessionsAreKeptOnlyWithAutomaticSessionsOn)
{
    installStub();
    for (bool automatic : {false, true}) {
        SCOPED_TRACE(automatic ? "on" : "off");
        stub->reset();
        storeSettings(automatic);
        const auto session = root / "Zq Sonware" / "BorvanQom.hostParams";
        std::filesystem::create_directories(session.parent_path());
        std::ofstream(session, std::ios::binary) << "<?xml stored?>";

        vphoPluginWindow& w = makeWindow();
        w.loadPlugIn();
        ASSERT_EQ(w.defaultSessionPath(), session);
        stub->clearJournal();
        w.onOpened(nullptr);
        stub->setState("<?xml played?>");
        w.onClose();
        const Journal journal = stub->journal();
        const bool loaded = std::count(journal.begin(), journal.end(), "setChunk <?xml stored?>");
        const bool saved = std::count(journal.begin(), journal.end(), "getChunk");
        EXPECT_EQ(loaded, automatic);
        EXPECT_EQ(saved, automatic);
        std::ifstream in(session, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(text, automatic ? "<?xml played?>" : "<?xml stored?>");
        for (const auto& entry : std::filesystem::directory_iterator(session.parent_path()))
            EXPECT_TRUE(entry.path() == session || entry.is_directory())
                << "left behind: " << entry.path();
        window.reset();
        std::filesystem::remove(session);
    }
}

TEST_F(WindowTest, anEmptyOrMissingSessionLoadsNothing)
{
    installStub();
    storeSettings(true);
    const auto session = root / "Zq Sonware" / "BorvanQom.hostParams";
    vphoPluginWindow& w = makeWindow();
    w.loadPlugIn();
    stub->clearJournal();
    w.loadSession(); // missing
    std::ofstream(session, std::ios::binary).flush();
    w.loadSession(); // empty
    EXPECT_EQ(stub->journal(), Journal{});
    EXPECT_EQ(side.texts["info"], "Loading session...");
}

TEST_F(WindowTest, settingsAreSavedAtCloseOnlyWhenChanged)
{
    installStub();
    vphoPluginWindow& w = openWindow(); // a first run: defaults, nothing stored
    w.onClose();
    std::string text;
    EXPECT_FALSE(platform::readRegistryString("BorvanQom", "Host.AudioTechnology", text));

    window.reset();
    side = {};
    vphoPluginWindow& again = openWindow();
    again.onGainChanged(12);
    EXPECT_EQ(side.texts["gadi"], "+12 dB");
    again.onClose();
    std::int32_t gain = 0;
    ASSERT_TRUE(platform::readRegistryNumber("BorvanQom", "Host.InputGain", gain));
    EXPECT_EQ(gain, 3981);
}

} // namespace

namespace {

// This test program carries no pack and there is no "RazHost" pack beside
// it: the start-up says what it searched and fails.
TEST(StartUpDeathTest, withoutAResourcePackTheProgramSaysSoAndFails)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    BorvanQomPluginLoadInfo info;
    EXPECT_EXIT(
        {
            epiResources resources;
            std::string problem;
            if (!vphoOpenResourcePack(resources, info, "/nowhere/", problem))
                vphoFailWithoutResourcePack(info, problem);
            std::exit(0);
        },
        ::testing::ExitedWithCode(kNoResourcePackExit),
        "BorvanQom cannot start: no resource pack found.*RazHost\\.frs.*RazHost\\.prs");
}

} // namespace
