#include "WindowFixture.h"

#include "tests/support/CountingAllocator.h"

#include <cmath>
#include <functional>

namespace {

using test::WindowTest;

// Adds constants, so that a test sees where the player and the clicks went.
class ConstantPlayer : public vphoPlayerLink {
public:
    void setHostTempo(float) override {}
    void setSampleRate(float) override {}
    void stop() override {}
    void onCharacter(int) override {}
    bool loadFile(const char*) override { return true; }
    void mix(float* left, float* right, int frames) override
    {
        for (int i = 0; i < frames; ++i) {
            left[i] += 0.1f;
            right[i] += 0.2f;
        }
    }
    void mixClicks(float* left, float* right, int frames) override
    {
        for (int i = 0; i < frames; ++i) {
            left[i] += 1.0f;
            right[i] += 1.0f;
        }
    }
};

// The product with a fixed output gain of +6 dB (a factor of 2).
class LoudProduct : public BorvanQomPluginLoadInfo {
public:
    bool hasOutputGain() const override { return true; }
    float getOutputGainDb() const override { return 20.0f * std::log10(2.0f); }
};

struct Case {
    const char* name;
    bool plugIn;
    bool player;
    int inputs;
    int outputs;
    std::vector<float> expected; // per output channel, every frame
    std::function<void(vphoPluginWindow&)> setUp = {};
    int moduleOutputs = 2;
    bool loud = false;
};

// Inputs 0.25 and -0.5, the stored input gain 2.0; the stub plays twice its
// input (a mono input on every output). Outputs start at 7, a device's stale
// buffer.
TEST_F(WindowTest, theAudioCallbackAsATable)
{
    const std::vector<Case> cases = {
        {"input gain", true, false, 1, 2, {1.0f, 1.0f}},
        {"input mute",
         true,
         false,
         1,
         2,
         {0.0f, 0.0f},
         [](vphoPluginWindow& w) { w.onCharacter('M'); }},
        {"a gain of 0 dB leaves the input",
         true,
         false,
         1,
         2,
         {0.5f, 0.5f},
         [](vphoPluginWindow& w) { w.onGainChanged(0); }},
        {"more outputs than configured are all zeroed", true, false, 1, 3, {0.0f, 0.0f, 0.0f}},
        {"more inputs than configured zero the outputs", true, false, 2, 2, {0.0f, 0.0f}},
        {"a mismatch mixes no player", true, true, 1, 3, {0.0f, 0.0f, 0.0f}},
        {"mono pass-through reaches output 0 only", false, false, 1, 2, {0.5f, 0.0f}},
        {"stereo pass-through", false, false, 2, 2, {0.5f, -1.0f}},
        {"pass-through zeroes further outputs", false, false, 2, 4, {0.5f, -1.0f, 0.0f, 0.0f}},
        {"output gain", true, false, 1, 2, {2.0f, 2.0f}, {}, 2, true},
        {"player and click into the outputs", true, true, 1, 2, {2.1f, 2.2f}},
        {"player into the input, click into the outputs",
         true,
         true,
         1,
         2,
         {2.3f, 2.3f},
         [](vphoPluginWindow& w) { w.onCharacter('P'); }},
        {"a mono module: player and click on output 0 only", true, true, 1, 1, {2.1f}, {}, 1},
        {"pass-through with the player", false, true, 1, 2, {1.6f, 1.2f}},
    };
    ConstantPlayer player;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        stub->reset();
        stub->settings().honourChannelCounts = true;
        stub->settings().journalAudio = false;
        stub->settings().numOutputs = c.moduleOutputs;
        // A case that changed the gain saved it at close.
        std::filesystem::remove_all(root / "Zq Sonware");
        if (c.plugIn)
            installStub();
        vphoPluginWindow& w = makeWindow(c.loud ? std::make_unique<LoudProduct>() : nullptr);
        w.loadPlugIn();
        w.onOpened(c.player ? &player : nullptr);
        if (c.setUp)
            c.setUp(w);
        for (int frames : {1, 64, 8192}) {
            std::vector<std::vector<float>> in(static_cast<std::size_t>(c.inputs)),
                out(static_cast<std::size_t>(c.outputs));
            std::vector<float*> inPointers, outPointers;
            for (std::size_t k = 0; k < in.size(); ++k) {
                in[k].assign(static_cast<std::size_t>(frames), k == 0 ? 0.25f : -0.5f);
                inPointers.push_back(in[k].data());
            }
            for (auto& channel : out) {
                channel.assign(static_cast<std::size_t>(frames), 7.0f);
                outPointers.push_back(channel.data());
            }
            test::allocations::take();
            {
                test::allocations::Counting counting;
                w.processAudio(inPointers.data(), c.inputs, outPointers.data(), c.outputs, frames);
            }
            EXPECT_EQ(test::allocations::take(), 0) << frames << " frames";
            for (std::size_t k = 0; k < out.size(); ++k) {
                ASSERT_NEAR(out[k].front(), c.expected[k], 1e-5f)
                    << "output " << k << ", " << frames;
                ASSERT_NEAR(out[k].back(), c.expected[k], 1e-5f)
                    << "output " << k << ", " << frames;
            }
        }
        w.onClose();
        window.reset();
    }
}

TEST_F(WindowTest, aChannelMismatchStillDeliversTheMidi)
{
    installStub();
    stub->settings().honourChannelCounts = true;
    vphoPluginWindow& w = makeWindow();
    w.loadPlugIn();
    const std::uint8_t noteOn[3] = {0x90, 40, 90};
    const std::uint8_t sysex[5] = {0xF0, 1, 2, 3, 0xF7};
    w.receiveMidiBytes(3, noteOn);
    w.receiveMidiBytes(5, sysex);
    std::vector<float> in(32, 0.25f), out0(32, 7.0f), out1(32, 7.0f), out2(32, 7.0f);
    float* inputs[1] = {in.data()};
    float* outputs[3] = {out0.data(), out1.data(), out2.data()};
    stub->clearJournal();
    w.processAudio(inputs, 1, outputs, 3, 32);
    EXPECT_EQ(stub->journal(), std::vector<std::string>{"processMidiEvents 1"});
    const auto events = stub->lastMidiEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].data[1], 40);
    EXPECT_EQ(out2[31], 0.0f);
}

} // namespace
