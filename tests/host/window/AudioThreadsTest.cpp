// ctest-label: tsan
#include "WindowFixture.h"

#include <atomic>
#include <thread>

namespace {

class AudioThreadsTest : public test::WindowTest {};

// Counts the blocks it is mixed into.
class CountingPlayer : public vphoPlayerLink {
public:
    void setHostTempo(float) override {}
    void setSampleRate(float) override {}
    void stop() override {}
    void onCharacter(int) override {}
    bool loadFile(const char*) override { return true; }
    void mix(float*, float*, int) override {}
    void mixClicks(float*, float*, int) override { ++blocks; }
    std::atomic<int> blocks{0};
};

// The device's thread runs the callback while the user-interface thread
// plays keys, moves the gain and the tempo, toggles the switches and ticks,
// and a third thread asks for a device reset: what they share is atomic.
TEST_F(AudioThreadsTest, theAudioThreadBesideTheUserInterfaceAndADeviceReset)
{
    installStub();
    stub->settings().honourChannelCounts = true;
    stub->settings().journalAudio = false;
    storeSettings();
    devices.threaded = true;
    CountingPlayer player;
    vphoPluginWindow& w = openWindow(&player);
    tickAfter(1.01);
    ASSERT_TRUE(w.isAudioRunning());

    std::thread resetter([&] {
        while (player.blocks.load() < 10)
            std::this_thread::yield();
        w.notify(1);
    });
    for (int i = 0; player.blocks.load() < 60; ++i) {
        w.onCharacter(i % 2 ? 'a' : 's');
        w.onKeyRelease(i % 2 ? 'a' : 's');
        w.onGainChanged(i % 25);
        w.setTempo(100.0f + static_cast<float>(i % 50), false);
        if (i % 100 == 0) {
            w.onCharacter('M');
            w.onCharacter('P');
        }
        w.onTick();
        if (!w.isAudioRunning())
            clock.advanceSeconds(0.3); // the restart comes due
    }
    resetter.join();
    EXPECT_EQ(devices.opens.size(), 2u) << "reopened after the reset";
    w.onClose();
    EXPECT_EQ(stub->processCount(), 0);
}

} // namespace
