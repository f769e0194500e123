// The bridge's editor inside the VST test host on a private Xvfb: the host
// gives it a top-level window, idles it about every 10 ms, and a user's
// pointer and keys reach it through XTest. What it shows is compared pixel
// for pixel with its headless twin drawn here from the same state.

#include "vstbridge/VstTestHost.h"

#include <dirent.h>

#include <cmath>
#include <set>

#include "EditorOnScreen.h"

namespace {

using namespace test;
using namespace test::onscreen;

class EditorInVstHostTest : public BridgeTest {
protected:
    void SetUp() override
    {
        BridgeTest::SetUp();
        server = std::make_unique<x11::XvfbServer>("1280x1024x24");
        if (!server->running())
            GTEST_SKIP() << "Xvfb is not available";
        platform::writeRegistryString("BorvanQom", "ResPath", SKIN_DIR);
        presets = root / "Presets";
        std::filesystem::create_directories(presets);
        x = std::make_unique<x11::XTestDriver>();
        ASSERT_TRUE(*x);
        effect = std::make_unique<Effect>(open());
        ASSERT_TRUE(*effect);
        ERect* rect = nullptr;
        ASSERT_EQ((*effect)(effEditGetRect, 0, 0, &rect), 1);
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
    }
    void TearDown() override
    {
        others.clear();
        effect.reset();
        twin.reset();
        x.reset();
        pw::setBackend(pw::Backend::Default);
        BridgeTest::TearDown();
    }

    // The host's frame for the editor, and the editor opened into it.
    ::Window openEditor(const Effect& e, int left = 40, int top = 40)
    {
        const ::Window parent = x->createParent(left, top, width, height);
        EXPECT_EQ(e(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        return parent;
    }
    void idle() const { (*effect)(effEditIdle); }
    // Idles until the frame shows what the twin shows; the last grab stays
    // in `shown`.
    bool showsTwin(::Window parent, const Effect* e = nullptr)
    {
        const Effect& which = e ? *e : *effect;
        const std::vector<std::uint32_t> expected = twin->screen();
        return x->idleUntil([&] { which(effEditIdle); },
                            [&] {
                                shown = x->grab(parent, width, height);
                                return shown == expected;
                            });
    }
    void expectShowsTwin(::Window parent, const std::string& picture)
    {
        const bool same = showsTwin(parent);
        EXPECT_TRUE(same) << picture << ": " << differing(shown, twin->screen())
                          << " pixels differ from the headless render";
        EXPECT_TRUE(save(shown, width, height, picture)) << picture;
        if (!same)
            save(twin->screen(), width, height, "headless-" + picture);
    }
    std::int32_t parameter(const std::string& name) const
    {
        std::string names;
        for (std::int32_t i = 0; i < (*effect)->numParams; ++i) {
            if (effect->text(effGetParamName, i) == name)
                return i;
            names += " [" + effect->text(effGetParamName, i) + "]";
        }
        ADD_FAILURE() << "no parameter " << name << " among" << names;
        return -1;
    }
    float value(std::int32_t index, const Effect* e = nullptr) const
    {
        const Effect& which = e ? *e : *effect;
        return which->getParameter(which.get(), index);
    }
    // The last value the host's automation callback got for that index.
    bool lastAutomation(std::int32_t index, float& out)
    {
        bool found = false;
        for (const auto& a : host.automations())
            if (a.index == index) {
                out = a.value;
                found = true;
            }
        return found;
    }
    // A press at `from`, a move by (0, -dy), a release, with a modifier key
    // held throughout when one is given.
    void drag(::Window parent, Spot from, int dy, KeySym modifier = 0)
    {
        if (modifier)
            x->key(modifier, true);
        x->moveTo(parent, from.x, from.y);
        x->button(1, true);
        x->moveTo(parent, from.x, from.y - dy / 2);
        x->moveTo(parent, from.x, from.y - dy);
        x->button(1, false);
        if (modifier)
            x->key(modifier, false);
    }
    // Idles until the parameter moved away from `before` and the host heard
    // of it.
    bool idleUntilChanged(std::int32_t index, float before, const Effect* e = nullptr)
    {
        const Effect& which = e ? *e : *effect;
        return x->idleUntil([&] { which(effEditIdle); },
                            [&] {
                                float reported = 0.0f;
                                return value(index, &which) != before &&
                                       lastAutomation(index, reported) &&
                                       reported == value(index, &which);
                            });
    }
    // A click on the screen and on the twin at the same spot.
    void clickBoth(::Window parent, Spot at)
    {
        x->click(parent, at.x, at.y);
        twin->click(at);
    }

    std::unique_ptr<x11::XvfbServer> server;
    std::unique_ptr<x11::XTestDriver> x;
    std::unique_ptr<Effect> effect;
    std::vector<std::unique_ptr<Effect>> others;
    std::unique_ptr<HeadlessTwin> twin;
    std::filesystem::path presets;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> shown;
};

TEST_F(EditorInVstHostTest, opensAsAChildShowsItsHeadlessRenderAndTakesKnobDrags)
{
    const ::Window parent = openEditor(*effect);
    const auto children = x->children(parent);
    ASSERT_EQ(children.size(), 1u) << "the editor is a child of the host's window";

    twin = std::make_unique<HeadlessTwin>(effect->chunk(false));
    EXPECT_EQ(count(twin->window().screen(), kSentinel), 0u) << "the first paint covers it all";
    expectShowsTwin(parent, "vst-editor.png");
    EXPECT_EQ(count(shown, kSentinel & 0xFFFFFFu), 0u);

    // "GainKnob" on the shown head: a quarter of its mouse range up.
    const int range = mouseRange(kFreshHeadLayout, "GainKnob");
    ASSERT_GT(range, 0);
    Widget* knob = twin->find(twin->head(), "GainKnob");
    ASSERT_NE(knob, nullptr);
    const Spot gain = centre(knob);
    const std::int32_t index = parameter(kFreshGain);
    ASSERT_GE(index, 0);
    const float fresh = value(index);
    const float pixel = 1.0f / static_cast<float>(range);

    struct Drag {
        const char* what;
        KeySym modifier;
        float rise;
    };
    for (const Drag& d : {Drag{"plain", 0, 0.25f}, Drag{"with Shift", XK_Shift_L, 0.125f}}) {
        const float before = value(index);
        drag(parent, gain, range / 4, d.modifier);
        ASSERT_TRUE(idleUntilChanged(index, before)) << d.what;
        EXPECT_NEAR(value(index) - before, d.rise, pixel + 1e-4f) << d.what;
    }

    // Control+click: back to the default.
    x->key(XK_Control_L, true);
    x->click(parent, gain.x, gain.y);
    x->key(XK_Control_L, false);
    ASSERT_TRUE(idleUntilChanged(index, value(index)));
    EXPECT_NEAR(value(index), fresh, 1e-6f);

    // The output's "MasterKnob" moves the display of index 0.
    Widget* master = twin->find(twin->main().getLowerPanel()->getOutput(), "MasterKnob");
    ASSERT_NE(master, nullptr);
    const std::string display = effect->text(effGetParamDisplay, 0);
    const float level = value(0);
    drag(parent, centre(master), -20);
    ASSERT_TRUE(idleUntilChanged(0, level));
    EXPECT_NE(effect->text(effGetParamDisplay, 0), display);
}

TEST_F(EditorInVstHostTest, savesAPresetThroughItsDialogAndLoadsItBackFromTheMenu)
{
    const ::Window parent = openEditor(*effect);
    twin = std::make_unique<HeadlessTwin>(effect->chunk(false));
    ASSERT_TRUE(showsTwin(parent));
    Zq::BorvanRAZ::GUI::Preset* bar = twin->main().getUpperPanel()->getPreset();
    ASSERT_NE(bar, nullptr);

    // Save As, a name typed on the keyboard, Save.
    const std::vector<std::uint32_t> bare = shown;
    clickBoth(parent, centre(twin->find(bar, "SaveAsButton")));
    auto* dialog = bar->getSaveDialog();
    ASSERT_NE(dialog, nullptr);
    // The dialog covers the editor (its caret blinks on the editor's own
    // clock, so no pixel-exact wait here); its name field takes the keyboard
    // on the idle after it appears.
    ASSERT_TRUE(x->idleUntil([&] { idle(); },
                             [&] {
                                 return differing(x->grab(parent, width, height), bare) >
                                        static_cast<std::size_t>(width * height / 4);
                             }))
        << "the dialog is up";
    const ::Window editor = x->children(parent).at(0);
    ASSERT_TRUE(x->idleUntil([&] { idle(); }, [&] { return x->focus() == editor; }))
        << "the name field takes the keyboard";
    x->type("Thumb Slap");
    Widget* saveButton = twin->find(dialog, "SaveButton");
    ASSERT_NE(saveButton, nullptr);
    x->click(parent, centre(saveButton).x, centre(saveButton).y);
    const auto file = presets / "Thumb Slap.qomp";
    ASSERT_TRUE(x->idleUntil([&] { idle(); }, [&] { return std::filesystem::exists(file); }))
        << "nothing saved in " << presets;
    const std::string saved = effect->chunk(false);
    // The twin closes its dialog without saving; it reads the same folder.
    twin->click(centre(twin->find(dialog, "CancelButton")));

    // Gain moved by a drag.
    const std::int32_t gain = parameter(kFreshGain);
    const float kept = value(gain);
    Widget* knob = twin->find(twin->head(), "GainKnob");
    ASSERT_NE(knob, nullptr);
    drag(parent, centre(knob), 30);
    ASSERT_TRUE(idleUntilChanged(gain, kept));
    EXPECT_NE(effect->chunk(false), saved);

    // The preset menu: the saved name, chosen.
    clickBoth(parent, centre(twin->find(bar, "PresetMenuButton")));
    auto* menu = twin->find<Zq::Application::Widgets::Menu>(bar, "PresetMenu");
    Spot item{};
    ASSERT_TRUE(HeadlessTwin::itemSpot(menu, "Thumb Slap", item)) << "the menu lists the preset";
    clickBoth(parent, item);
    ASSERT_TRUE(x->idleUntil([&] { idle(); }, [&] { return value(gain) == kept; }))
        << "Gain comes back";
    EXPECT_EQ(effect->chunk(false), saved);
    auto* text = twin->find<Zq::Application::Widgets::StaticText>(bar, "PresetText");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->getText(), "Thumb Slap");
    expectShowsTwin(parent, "vst-editor-preset-loaded.png");
}

TEST_F(EditorInVstHostTest, switchesModulesByClicksAndTakesAPedalFromTheSlotMenu)
{
    const ::Window parent = openEditor(*effect);
    twin = std::make_unique<HeadlessTwin>(effect->chunk(false));
    ASSERT_TRUE(showsTwin(parent));
    auto* lower = twin->main().getLowerPanel();
    auto* navigator = twin->main().getUpperPanel()->getChainNavigator();

    // Each row: what is clicked (a lower arrow or a navigator button), the
    // module it shows, the picture. The cabinet shows whatever its panel
    // draws today: an empty module area until its panels land.
    struct Row {
        bool onNavigator;
        const char* button;
        int module;
        const char* picture;
    };
    const Row rows[] = {
        {false, "ToStompLeftButton", 2, "vst-module-stomps.png"},
        {false, "ToTunerLeftButton", 1, "vst-module-tuner.png"},
        {false, "ToStompRightButton", 2, "vst-module-stomps-again.png"},
        {false, "ToAmpRightButton", 3, "vst-module-amp.png"},
        {false, "ToCabRightButton", 4, "vst-module-cabinet.png"},
        {true, "TunerModuleRadioButton", 1, "vst-navigator-tuner.png"},
        {true, "CabModuleRadioButton", 4, "vst-navigator-cabinet.png"},
        {true, "AmpModuleRadioButton", 3, "vst-navigator-amp.png"},
        {true, "StompModuleRadioButton", 2, "vst-navigator-stomps.png"},
    };
    for (const Row& row : rows) {
        Widget* button =
            row.onNavigator ? twin->find(navigator, row.button) : twin->find(lower, row.button);
        ASSERT_NE(button, nullptr) << row.button;
        if (!button->isVisible())
            continue; // the arrow of the module shown is hidden
        clickBoth(parent, centre(button));
        EXPECT_EQ(twin->main().getModule(), row.module) << row.button;
        expectShowsTwin(parent, row.picture);
    }

    // The stomp board: a pedal from slot 0's menu.
    ASSERT_EQ(twin->main().getModule(), 2);
    auto* board = twin->main().getModulePanel();
    clickBoth(parent, centre(twin->find(board, "Slot0ModelButton")));
    auto* menu = twin->find<Zq::Application::Widgets::Menu>(board, "Slot0Menu");
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->isVisible());
    ASSERT_GT(menu->getItemCount(), 1);
    const std::string pedal = menu->getItem(1).text;
    Spot item{};
    ASSERT_TRUE(HeadlessTwin::itemSpot(menu, pedal, item));
    // Up on the screen first: the menu opens on the editor's next idle.
    expectShowsTwin(parent, "vst-stomps-slot0-menu.png");
    clickBoth(parent, item);
    const float stomp0 = twin->rig().getStompModule().stomps[0].getValue();
    EXPECT_NE(stomp0, 0.0f) << pedal << " is in slot 0 of the twin";
    EXPECT_TRUE(x->idleUntil(
        [&] { idle(); },
        [&] { return effect->chunk(true).find("Stomp0=\"Empty\"") == std::string::npos; }))
        << "the processor's slot 0 holds " << pedal;
    expectShowsTwin(parent, "vst-stomps-slot0.png");
}

// Entries of a /proc/self folder: the process's threads, or its open files
// (the editor's window holds one: its own X connection).
int entries(const char* folder)
{
    int n = 0;
    if (DIR* dir = ::opendir(folder)) {
        while (const dirent* entry = ::readdir(dir))
            n += entry->d_name[0] != '.';
        ::closedir(dir);
    }
    return n;
}

TEST_F(EditorInVstHostTest, survivesItsParentGoingFirstCyclesAndASecondInstance)
{
    // The standalone host destroys its window before it closes the editor.
    twin = std::make_unique<HeadlessTwin>(effect->chunk(false));
    const int threads = entries("/proc/self/task");
    const int files = entries("/proc/self/fd");
    ::Window parent = openEditor(*effect);
    ASSERT_TRUE(showsTwin(parent));
    EXPECT_EQ(entries("/proc/self/task"), threads) << "the editor runs on the host's thread alone";
    EXPECT_GT(entries("/proc/self/fd"), files) << "the window's connection";
    x->destroy(parent);
    // The window learns of it on an idle and lets its connection go.
    EXPECT_TRUE(x->idleUntil([&] { idle(); }, [&] { return entries("/proc/self/fd") == files; }))
        << "the editor kept its window after the parent went";
    (*effect)(effEditClose);
    EXPECT_EQ(x11::XTestDriver::errors(), 0);

    // Opened and closed again and again into one window: nothing left behind.
    // (At the screen's corner: the second instance's frame fits beside it.)
    parent = openEditor(*effect, 0, 0);
    for (int cycle = 0; cycle < 20; ++cycle) {
        if (cycle > 0)
            EXPECT_EQ((*effect)(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        ASSERT_EQ(x->children(parent).size(), 1u) << cycle;
        idle();
        (*effect)(effEditClose);
        ASSERT_TRUE(x->children(parent).empty()) << cycle;
    }
    EXPECT_EQ(x11::XTestDriver::errors(), 0);

    // Two instances with their editors open at once each take their own drag.
    ASSERT_EQ((*effect)(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    others.push_back(std::make_unique<Effect>(open()));
    const Effect& second = *others.back();
    const ::Window secondParent = openEditor(second, 1280 - width, 1024 - height);
    ASSERT_TRUE(showsTwin(parent)) << differing(shown, twin->screen());
    ASSERT_TRUE(showsTwin(secondParent, &second)) << differing(shown, twin->screen());
    const Spot knob = centre(twin->find(twin->head(), "GainKnob"));
    const std::int32_t gain = parameter(kFreshGain);
    for (int which = 0; which < 2; ++which) {
        const Effect& target = which == 0 ? *effect : second;
        const Effect& bystander = which == 0 ? second : *effect;
        const float mine = value(gain, &target);
        const float theirs = value(gain, &bystander);
        drag(which == 0 ? parent : secondParent, knob, 20);
        ASSERT_TRUE(x->idleUntil(
            [&] {
                bystander(effEditIdle);
                target(effEditIdle);
            },
            [&] { return value(gain, &target) != mine; }))
            << which;
        EXPECT_EQ(value(gain, &bystander), theirs) << which;
    }
    second(effEditClose);
    (*effect)(effEditClose);
    EXPECT_EQ(x11::XTestDriver::errors(), 0);
}

} // namespace
