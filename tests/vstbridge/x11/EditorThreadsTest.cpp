// ctest-label: tsan
// The editor open in the VST test host while the host's other threads work:
// an automation thread sets seeded random parameters through the bridge, the
// audio thread processes, and the UI thread idles the editor and drags its
// knobs through XTest. Bounded by rounds, not by time; run it under
// ThreadSanitizer to see the races it would hide. Every Xlib call of the
// editor stays on the UI thread: its X11 window reports any other.

#include "vstbridge/VstTestHost.h"

#include <atomic>
#include <cmath>
#include <random>
#include <thread>

#include "EditorOnScreen.h"

namespace {

using namespace test;
using namespace test::onscreen;

class EditorThreadsTest : public BridgeTest {
protected:
    void SetUp() override
    {
        BridgeTest::SetUp();
        server = std::make_unique<x11::XvfbServer>("1280x1024x24");
        if (!server->running())
            GTEST_SKIP() << "Xvfb is not available";
        platform::writeRegistryString("BorvanQom", "ResPath", SKIN_DIR);
        x = std::make_unique<x11::XTestDriver>();
        ASSERT_TRUE(*x);
    }
    void TearDown() override
    {
        x.reset();
        pw::setBackend(pw::Backend::Default);
        BridgeTest::TearDown();
    }

    std::unique_ptr<x11::XvfbServer> server;
    std::unique_ptr<x11::XTestDriver> x;
};

TEST_F(EditorThreadsTest, automationAndAudioRunWhileTheUiIdlesTheEditorAndDragsKnobs)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    constexpr int kFrames = 64;
    effect(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect(effSetBlockSize, 0, kFrames);
    effect(effMainsChanged, 0, 1);
    const std::int32_t parameters = effect->numParams;
    ASSERT_GT(parameters, 0);

    // Where the knobs are, from the headless twin of the fresh editor.
    std::vector<Spot> knobs;
    {
        HeadlessTwin twin(effect.chunk(false));
        for (const char* name : {"GainKnob", "BassKnob", "TrebleKnob"})
            if (Widget* knob = twin.find(twin.head(), name))
                knobs.push_back(centre(knob));
        if (Widget* master = twin.find(twin.main().getLowerPanel()->getOutput(), "MasterKnob"))
            knobs.push_back(centre(master));
    }
    ASSERT_FALSE(knobs.empty());
    ERect* rect = nullptr;
    effect(effEditGetRect, 0, 0, &rect);
    const ::Window parent = x->createParent(40, 40, rect->right, rect->bottom);
    // The window reports any call that reaches it off the UI thread.
    CapturedStderr errors;
    ASSERT_EQ(effect(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);

    std::atomic<bool> uiDone{false};
    std::atomic<int> automated{0};
    std::thread automation([&] {
        std::mt19937 random(45);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        for (int round = 0; round < 400; ++round) {
            const auto index =
                static_cast<std::int32_t>(random() % static_cast<unsigned>(parameters));
            effect->setParameter(effect.get(), index, unit(random));
            automated.fetch_add(1);
            std::this_thread::yield();
        }
    });
    bool finite = true;
    std::thread audio([&] { finite = runAudioBlocks(effect.get(), kFrames, uiDone, [](int) {}); });

    // The UI thread: drags up and down on the knobs, idling between.
    for (int round = 0; round < 24; ++round) {
        const Spot at = knobs[static_cast<std::size_t>(round) % knobs.size()];
        x->moveTo(parent, at.x, at.y);
        x->button(1, true);
        effect(effEditIdle);
        x->moveTo(parent, at.x, at.y + (round % 2 ? 12 : -12));
        effect(effEditIdle);
        x->button(1, false);
        for (int i = 0; i < 3; ++i)
            effect(effEditIdle);
    }
    uiDone.store(true);
    automation.join();
    audio.join();
    effect(effEditIdle);
    effect(effEditClose);
    EXPECT_EQ(CapturedStderr::count(errors.text(), "called off the thread"), 0);
    EXPECT_EQ(automated.load(), 400);
    EXPECT_TRUE(finite);
    EXPECT_EQ(x11::XTestDriver::errors(), 0);
}

} // namespace
