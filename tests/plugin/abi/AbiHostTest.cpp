// A host built only on the interface header: it finds the module through
// "DUZ2Path", loads it and drives every entry of the four tables in the order
// the standalone host uses. It asserts only what holds for the finished rig
// as well: the interface, not the stand-ins behind it.

#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "platform/SettingsFixture.h"
#include "plugin/DUZ2.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace Zq::DUZ2;

class TestHost : public Host {
public:
    float getTempo() override
    {
        ++tempoCalls;
        return 120.0f;
    }
    void onParameterChanged(std::int32_t, float, float) override { ++changes; }

    int tempoCalls = 0;
    int changes = 0;
};

class AbiHostTest : public test::SettingsRootTest {
protected:
    void SetUp() override
    {
        test::SettingsRootTest::SetUp();
        platform::writeRegistryString("BorvanQom", "DUZ2Path", BORVANRAZ_MODULE_PATH);
        platform::writeRegistryString("BorvanQom", "ResPath", (root / "resources").string());
        platform::writeRegistryString("BorvanQom", "PresetPath", (root / "Presets").string());
        previous = platform::setMessageHandler(
            [this](const std::string& text, const std::string& caption, int) {
                messages.push_back(caption + ": " + text);
                return true;
            });
    }
    void TearDown() override
    {
        platform::setMessageHandler(previous);
        test::SettingsRootTest::TearDown();
    }

    std::vector<std::string> messages;
    platform::MessageHandler previous;
};

TEST_F(AbiHostTest, aHostDrivesEveryEntryOfTheModule)
{
    TestHost host;
    ASSERT_TRUE(host.loadPlugIn("BorvanQom"));
    PlugInTable* plugIn = host.getPlugInTable();
    ASSERT_NE(plugIn, nullptr);
    // Loading set up the power-amp detail preference: missing, it is written as 1.
    std::int32_t dsmActive = 0;
    EXPECT_TRUE(platform::readRegistryNumber("BorvanQom", "DSMActive", dsmActive));
    EXPECT_EQ(dsmActive, 1);

    EXPECT_EQ(plugIn->getVersion(plugIn), 1);
    EXPECT_EQ(plugIn->createProcess(plugIn, host.getHostTable(), 1), nullptr);
    ProcessTable* p = plugIn->createProcess(plugIn, host.getHostTable(), 0);
    ASSERT_NE(p, nullptr);

    EXPECT_STREQ(p->getName(p), "BorvanQom");
    EXPECT_STREQ(p->getVendor(p), "Zq Sonware Production");
    EXPECT_EQ(p->getFlags(p), 0);
    EXPECT_EQ(p->getNumInputs(p), 2);
    EXPECT_EQ(p->getNumOutputs(p), 2);
    p->setNumInputChannels(p, 1);
    p->setNumOutputChannels(p, 2);
    p->setBlockSize(p, 1024);
    p->setSampleRate(p, 44100.0f);
    p->resume(p);

    GUITable* g = plugIn->getGUI(plugIn, p);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(plugIn->getGUI(plugIn, p), g);
    EXPECT_EQ(g->getProcess(g), p);
    std::int32_t width = 0;
    std::int32_t height = 0;
    g->getSize(g, &width, &height);
    EXPECT_EQ(width, 851);
    EXPECT_EQ(height, 510);
    g->setPosition(g, 0, 0);
    g->setHostMouseEvents(g, 0);
    g->setHostKeyEvents(g, 0);
    std::uint64_t window = 0; // X11 Window id of the parent: none here
    g->open(g, &window);
    p->startProcess(p);

    // Audio traffic, the way a host's callback makes it.
    const int frames = 256;
    std::vector<float> in(frames), outL(frames), outR(frames);
    for (int i = 0; i < frames; ++i)
        in[i] = 0.25f * std::sin(0.05f * static_cast<float>(i));
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {outL.data(), outR.data()};
    std::int32_t flags = 0;
    MidiEvent event{0, {0x90, 40, 100, 0}};
    p->processMidiEvents(p, &event, 1);
    for (int block = 0; block < 4; ++block)
        p->process(p, ins, outs, frames, &flags);
    EXPECT_EQ(host.tempoCalls, 4);
    for (int i = 0; i < frames; ++i)
        ASSERT_TRUE(std::isfinite(outL[i]) && std::isfinite(outR[i])) << i;
    std::vector<float> both0 = in, both1 = in;
    float* both[2] = {both0.data(), both1.data()};
    p->processInPlace(p, both, frames, &flags);

    // Parameters: every index the module lists, and ones it does not.
    const std::int32_t count = p->getNumParameters(p);
    EXPECT_GE(count, 0);
    for (std::int32_t index : {std::int32_t{-1}, count, INT32_MAX}) {
        EXPECT_STREQ(p->getParameterName(p, index), "");
        EXPECT_EQ(p->getParameterValue(p, index), 0.0f);
        p->setParameterNormalized(p, index, 0.5f);
    }
    for (std::int32_t index = 0; index < count; ++index) {
        EXPECT_NE(p->getParameterName(p, index), nullptr);
        EXPECT_NE(p->getParameterDisplay(p, index), nullptr);
        const float normalized = p->getParameterNormalized(p, index);
        EXPECT_GE(normalized, 0.0f);
        EXPECT_LE(normalized, 1.0f);
        p->setParameterNormalized(p, index, normalized);
        p->setParameterValue(p, index, p->getParameterValue(p, index));
        EXPECT_NE(p->getParameterTextForNormalized(p, index, normalized), nullptr);
        p->convertNormalizedToPlain(p, index, normalized);
    }

    // State: a chunk taken and handed back comes back the same.
    void* data = nullptr;
    const std::int32_t size = p->getChunk(p, &data);
    ASSERT_GT(size, 0);
    ASSERT_NE(data, nullptr);
    const std::string state(static_cast<const char*>(data), static_cast<std::size_t>(size));
    p->releaseChunk(p);
    EXPECT_NE(state.find("<Preset"), std::string::npos);
    p->setChunk(p, state.data(), size);
    EXPECT_EQ(p->getChunk(p, &data), size);
    EXPECT_EQ(std::memcmp(data, state.data(), state.size()), 0);
    p->releaseChunk(p);

    // The editor's remaining entries, then the host's closing order.
    g->idle(g);
    g->update(g);
    g->invalidate(g, 0, 0, width, height);
    g->onMouseDown(g, 10, 10, 1, 0);
    g->onMouseUp(g, 10, 10, 1, 0);
    g->onMouseMove(g, 11, 12, 0);
    const std::int32_t used = g->onKey(g, 65, 'a', 0);
    EXPECT_TRUE(used == 0 || used == 1);
    g->close(g);
    p->stopProcess(p);
    p->suspend(p);
    plugIn->destroyProcess(plugIn, p);
    EXPECT_EQ(plugIn->getGUI(plugIn, p), nullptr);

    EXPECT_NE(host.unloadPlugIn(), 0);
    EXPECT_EQ(host.getPlugInTable(), nullptr);
    EXPECT_EQ(host.unloadPlugIn(), 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(AbiHostTest, aBrokenInstallationShowsTheInstallErrorOnceAndLoadsNothing)
{
    const std::string kInstallError =
        "Registry error: Please ensure this product has been installed properly";
    struct Case {
        const char* name;
        const char* path; // null: no "DUZ2Path" at all
    };
    for (const Case& c :
         {Case{"no DUZ2Path", nullptr}, Case{"no such file", "/nonexistent/Zq_BorvanRAZ.raz"}}) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(root);
        if (c.path)
            platform::writeRegistryString("BorvanQom", "DUZ2Path", c.path);
        messages.clear();
        TestHost host;
        EXPECT_FALSE(host.loadPlugIn("BorvanQom"));
        EXPECT_EQ(host.getPlugInTable(), nullptr);
        EXPECT_EQ(messages, std::vector<std::string>{kInstallError});
        EXPECT_EQ(host.unloadPlugIn(), 0);
    }
}

TEST_F(AbiHostTest, loadingAgainUnloadsFirstAndTheHostUnloadsWhenDeleted)
{
    {
        TestHost host;
        ASSERT_TRUE(host.loadPlugIn("BorvanQom"));
        ASSERT_TRUE(host.loadPlugIn("BorvanQom"));
        PlugInTable* plugIn = host.getPlugInTable();
        ProcessTable* p = plugIn->createProcess(plugIn, host.getHostTable(), 0);
        EXPECT_NE(p, nullptr);
    }
    TestHost next;
    ASSERT_TRUE(next.loadPlugIn("BorvanQom"));
    EXPECT_TRUE(messages.empty());
}

} // namespace
