// The module's editor as the standalone host drives it, without the bridge:
// the module loaded by path, its tables called in the host's order, the
// editor opened below a player strip into the host's own window, and the
// GUI table's idle called on every turn of the host's loop - nothing else.

#include "platform/SettingsFixture.h"
#include "plugin/DUZ2.h"

#include <dlfcn.h>

#include <mutex>

#include "EditorOnScreen.h"

namespace {

using namespace test::onscreen;
namespace x11 = test::x11;

// The host's table: parameter changes kept, from whichever thread reports.
struct TableHost {
    Zq::DUZ2::HostTable table{&version, &tempo, &changed};
    std::mutex mutex;
    std::vector<std::pair<std::int32_t, float>> changes;

    static std::int32_t version(Zq::DUZ2::HostTable*) { return 1; }
    static float tempo(Zq::DUZ2::HostTable*) { return 120.0f; }
    static void changed(Zq::DUZ2::HostTable* table, std::int32_t index, float, float normalized)
    {
        auto* self = reinterpret_cast<TableHost*>(table);
        std::lock_guard lock(self->mutex);
        self->changes.emplace_back(index, normalized);
    }
    bool last(std::int32_t index, float& out)
    {
        std::lock_guard lock(mutex);
        for (auto at = changes.rbegin(); at != changes.rend(); ++at)
            if (at->first == index) {
                out = at->second;
                return true;
            }
        return false;
    }
};

class EditorThroughGuiTableTest : public test::SettingsRootTest {
protected:
    // The player strip above the editor in the host's window.
    static constexpr int kTop = 48;

    void SetUp() override
    {
        SettingsRootTest::SetUp();
        server = std::make_unique<x11::XvfbServer>("1280x1024x24");
        if (!server->running())
            GTEST_SKIP() << "Xvfb is not available";
        platform::writeRegistryString("BorvanQom", "ResPath", SKIN_DIR);
        x = std::make_unique<x11::XTestDriver>();
        ASSERT_TRUE(*x);
        library = ::dlopen(BORVANRAZ_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << ::dlerror();
        using Acquire = Zq::DUZ2::PlugInTable* (*)(std::int32_t, std::int32_t*);
        release = reinterpret_cast<std::int32_t (*)()>(::dlsym(library, "DUZ2Release"));
        const auto acquire = reinterpret_cast<Acquire>(::dlsym(library, "DUZ2Acquire"));
        ASSERT_NE(acquire, nullptr);
        plugIn = acquire(1, nullptr);
        ASSERT_NE(plugIn, nullptr);
    }
    void TearDown() override
    {
        twin.reset();
        if (plugIn) {
            if (process)
                plugIn->destroyProcess(plugIn, process);
            release();
        }
        if (library)
            ::dlclose(library);
        x.reset();
        pw::setBackend(pw::Backend::Default);
        SettingsRootTest::TearDown();
    }

    std::unique_ptr<x11::XvfbServer> server;
    std::unique_ptr<x11::XTestDriver> x;
    void* library = nullptr;
    std::int32_t (*release)() = nullptr;
    Zq::DUZ2::PlugInTable* plugIn = nullptr;
    Zq::DUZ2::ProcessTable* process = nullptr;
    TableHost host;
    std::unique_ptr<HeadlessTwin> twin;
};

TEST_F(EditorThroughGuiTableTest, opensPaintsAndTakesADragInTheHostsOrder)
{
    plugIn->getVersion(plugIn);
    process = plugIn->createProcess(plugIn, &host.table, 0);
    ASSERT_NE(process, nullptr);
    std::int32_t outputs = process->getNumOutputs(process);
    if (outputs == -1)
        outputs = 2;
    process->setNumInputChannels(process, 1);
    process->setNumOutputChannels(process, outputs);
    process->setBlockSize(process, 1024);
    process->setSampleRate(process, 44100.0f);
    process->resume(process);
    Zq::DUZ2::GUITable* gui = plugIn->getGUI(plugIn, process);
    ASSERT_NE(gui, nullptr);
    std::int32_t width = 0, height = 0;
    gui->getSize(gui, &width, &height);
    ASSERT_EQ(width, Main::kWidth);
    ASSERT_EQ(height, Main::kHeight);
    gui->setPosition(gui, 0, kTop);
    const ::Window frame = x->createParent(30, 30, width, kTop + height);
    unsigned long handle = frame;
    gui->open(gui, &handle);
    process->startProcess(process);
    ASSERT_EQ(x->children(frame).size(), 1u);
    const ::Window editor = x->children(frame)[0];

    // The host's loop: idle on every turn, nothing else.
    const auto turn = [&] { gui->idle(gui); };
    void* data = nullptr;
    const std::int32_t size = process->getChunk(process, &data);
    twin = std::make_unique<HeadlessTwin>(std::string(static_cast<const char*>(data), size));
    process->releaseChunk(process);
    const std::vector<std::uint32_t> expected = twin->screen();
    std::vector<std::uint32_t> shown;
    const bool same = x->idleUntil(turn, [&] {
        shown = x->grab(editor, width, height);
        return shown == expected;
    });
    EXPECT_TRUE(same) << differing(shown, expected) << " pixels differ from the headless render";
    EXPECT_TRUE(save(shown, width, height, "gui-table-editor.png"));
    EXPECT_EQ(count(shown, kSentinel & 0xFFFFFFu), 0u);

    // A drag on "GainKnob", a quarter of its range, in the frame's
    // coordinates: the editor sits below the strip.
    std::int32_t index = -1;
    for (std::int32_t i = 0; i < process->getNumParameters(process); ++i)
        if (std::string(process->getParameterName(process, i)) == kFreshGain)
            index = i;
    ASSERT_GE(index, 0);
    const int range = mouseRange(kFreshHeadLayout, "GainKnob");
    ASSERT_GT(range, 0);
    const Spot knob = centre(twin->find(twin->head(), "GainKnob"));
    const float before = process->getParameterNormalized(process, index);
    x->moveTo(frame, knob.x, kTop + knob.y);
    x->button(1, true);
    x->moveTo(frame, knob.x, kTop + knob.y - range / 4);
    x->button(1, false);
    float reported = 0.0f;
    ASSERT_TRUE(x->idleUntil(turn, [&] {
        return process->getParameterNormalized(process, index) != before &&
               host.last(index, reported);
    }));
    const float after = process->getParameterNormalized(process, index);
    EXPECT_NEAR(after - before, 0.25f, 1.0f / static_cast<float>(range) + 1e-4f);
    EXPECT_EQ(reported, after);

    // Closing as the host does: its window first, then the editor.
    x->destroy(frame);
    turn();
    gui->close(gui);
    process->stopProcess(process);
    process->suspend(process);
    EXPECT_EQ(x11::XTestDriver::errors(), 0);
}

} // namespace
