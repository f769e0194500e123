#include "TestApplication.h"

#include "hostfw/app/epiKeyboard.h"
#include "hostfw/app/epiMenu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::PumpEvent;
using platform::PumpEventType;

const char* const kMenuDocument = R"(<?xml version="1.0"?>
<epi><content><menulist>
  <item><text>File</text><menulist>
    <item><text>Open</text><name>open</name><shortcut><char>o</char></shortcut></item>
    <item><isseparator>1</isseparator></item>
    <item><text>Quit</text><name>quit</name><shortcut><char>q</char></shortcut></item>
  </menulist></item>
  <item><text>Edit</text><menulist>
    <item><text>Undo</text><name>undo</name>
      <shortcut><ascii>90</ascii><modifiers><shift>1</shift><option>1</option></modifiers></shortcut></item>
    <item><text>More</text><name>more</name><menulist>
      <item><text>Deep</text><name>deep</name></item>
    </menulist></item>
  </menulist></item>
</menulist></content></epi>
)";

struct MenuKeysTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(app.init());
        menu = app.getMenu();
        keys = app.getKeyboard();
        ASSERT_TRUE(menu->buildFromText(epiText(kMenuDocument)));
    }
    TestApplication app;
    epiMenu* menu = nullptr;
    epiKeyboard* keys = nullptr;
};

TEST_F(MenuKeysTest, TheDocumentGivesNumberedCommandsLabelsAndShortcuts)
{
    const auto& bar = menu->menuBar();
    ASSERT_EQ(bar.size(), 2u);
    EXPECT_EQ(bar[0].label.str(), "File");
    EXPECT_EQ(bar[0].commandId, 0);
    ASSERT_EQ(bar[0].submenu.size(), 3u);
    ASSERT_EQ(bar[1].submenu.size(), 2u);
    const epiMenuItem& open = bar[0].submenu[0];
    const epiMenuItem& separator = bar[0].submenu[1];
    const epiMenuItem& quit = bar[0].submenu[2];
    const epiMenuItem& undo = bar[1].submenu[0];
    const epiMenuItem& more = bar[1].submenu[1];
    ASSERT_EQ(more.submenu.size(), 1u);
    const epiMenuItem& deep = more.submenu[0];

    const struct {
        const epiMenuItem& item;
        int id;
        const char* label;
    } items[] = {
        {open, 10000, "Open\tCtrl+O"},
        {quit, 10001, "Quit\tCtrl+Q"},
        {undo, 10002, "Undo\tCtrl+Shift+Alt+Z"},
        {more, 10003, "More"},
        {deep, 10004, "Deep"},
    };
    for (const auto& expected : items) {
        EXPECT_EQ(expected.item.commandId, expected.id) << expected.label;
        EXPECT_EQ(expected.item.label.str(), expected.label);
    }
    EXPECT_TRUE(separator.separator);
    EXPECT_EQ(separator.commandId, 0);

    ASSERT_EQ(menu->commands().size(), 5u);
    EXPECT_EQ(menu->commands()[1].code, epiCode("quit"));
    const auto& table = menu->getAcceleratorTable();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[1].flags, epiAccelerator::kVirtualKey | epiAccelerator::kControl);
    EXPECT_EQ(table[1].key, std::uint32_t('Q'));
    EXPECT_EQ(table[1].commandId, 10001);
    EXPECT_EQ(table[2].flags, epiAccelerator::kVirtualKey | epiAccelerator::kControl |
                                  epiAccelerator::kShift | epiAccelerator::kAlt);

    // Shortcuts match on Control with exactly their Shift and Alt.
    using namespace platform;
    EXPECT_EQ(menu->matchAccelerator('q', kModControl), 10001);
    EXPECT_EQ(menu->matchAccelerator('Q', kModControl), 10001);
    EXPECT_EQ(menu->matchAccelerator('q', 0), 0);
    EXPECT_EQ(menu->matchAccelerator('q', kModControl | kModShift), 0);
    EXPECT_EQ(menu->matchAccelerator('z', kModControl | kModShift), 0);
    EXPECT_EQ(menu->matchAccelerator('Z', kModControl | kModShift | kModAlt), 10002);

    // A document without a menu list builds nothing.
    EXPECT_FALSE(menu->buildFromText(epiText("<epi><content></content></epi>")));
    EXPECT_TRUE(menu->menuBar().empty());
    EXPECT_TRUE(menu->getAcceleratorTable().empty());
    // Nor does a missing resource.
    EXPECT_FALSE(menu->loadMenuBar("no_such_menu.xml"));
}

TEST_F(MenuKeysTest, MenuCommandsAndShortcutsReachTheWindowAsCommandsNotKeys)
{
    RecordingWindow window;
    epiWindowManager* manager = app.getWindowManager();
    manager->addChild(&window);
    menu->onMenuCommand(10001);
    menu->onMenuCommand(9999); // unknown: nothing
    menu->onMenuCommand(10005);
    EXPECT_EQ(window.commands, std::vector<epiFourCC>{epiCode("quit")});

    // Control+O through the loop: a command, and no key event at all.
    app.events.injectKey(32, 'o', 0x0f, platform::kModControl);
    app.events.injectKey(32, 'o', 'o');
    int turns = 0;
    manager->addTurnHook([&] {
        if (++turns == 4)
            manager->quit();
    });
    manager->runMessageLoop();
    EXPECT_EQ(window.commands, (std::vector<epiFourCC>{epiCode("quit"), epiCode("open")}));
    EXPECT_EQ(window.keys, (std::vector<std::string>{"down 111", "up 111"}));
    manager->setQuitOnLastWindow(false);
}

PumpEvent key(PumpEventType type, unsigned keycode, std::uint32_t keysym, std::uint32_t character)
{
    PumpEvent event;
    event.type = type;
    event.keycode = keycode;
    event.keysym = keysym;
    event.character = character;
    return event;
}

TEST_F(MenuKeysTest, KeysGiveDownRepeatsAndOneUpWithTheirCodes)
{
    RecordingWindow target;
    // Holding a letter: the repeated presses of a key already down are
    // repeats; Shift let go meanwhile does not change the code of the up.
    keys->translateKey(key(PumpEventType::KeyPress, 38, 'a', 'a'), &target);
    keys->translateKey(key(PumpEventType::KeyPress, 38, 'a', 'a'), &target);
    keys->translateKey(key(PumpEventType::KeyPress, 38, 'a', 'a'), &target);
    keys->translateKey(key(PumpEventType::KeyRelease, 38, 'A', 'A'), &target);
    EXPECT_EQ(target.keys,
              (std::vector<std::string>{"down 97", "repeat 97", "repeat 97", "up 97"}));

    // A key that gives no code gives nothing, pressed or released.
    target.keys.clear();
    keys->translateKey(key(PumpEventType::KeyPress, 50, 0xffe1, 0), &target);
    keys->translateKey(key(PumpEventType::KeyRelease, 50, 0xffe1, 0), &target);
    keys->translateKey(key(PumpEventType::KeyRelease, 51, 'x', 'x'), &target);
    EXPECT_TRUE(target.keys.empty());

    const struct {
        std::uint32_t keysym;
        int code;
    } mapped[] = {
        {platform::kKeyPageUp, 0x10000},
        {platform::kKeyPageDown, 0x10001},
        {platform::kKeyHome, 0x10002},
        {platform::kKeyEnd, 0x10003},
        {platform::kKeyLeft, 28},
        {platform::kKeyRight, 29},
        {platform::kKeyUp, 30},
        {platform::kKeyDown, 31},
        {platform::kKeyDelete, 8},
        {'+', '+'},
        {0xffbe /* F1 */, 0},
    };
    for (const auto& m : mapped) {
        const std::uint32_t character = m.keysym < 0x100 ? m.keysym : 0;
        EXPECT_EQ(
            keys->translateKey(key(PumpEventType::KeyPress, 100, m.keysym, character), nullptr),
            m.code)
            << std::hex << m.keysym;
        EXPECT_EQ(
            keys->translateKey(key(PumpEventType::KeyRelease, 100, m.keysym, character), nullptr),
            m.code)
            << std::hex << m.keysym;
    }
    // Keycodes beyond the table are ignored.
    EXPECT_EQ(keys->translateKey(key(PumpEventType::KeyPress, 300, 'a', 'a'), &target), 0);
    EXPECT_TRUE(target.keys.empty());
}

TEST_F(MenuKeysTest, PointerEventsSetButtonsModifiersAndTheEventCode)
{
    using namespace platform;
    const struct {
        PumpEventType type;
        unsigned button;
        unsigned state;
        epiFourCC code;
        bool left, middle, right, shift, control;
    } cases[] = {
        {PumpEventType::ButtonPress, 1, 0, epiCode("mLdn"), true, false, false, false, false},
        {PumpEventType::ButtonRelease, 1, kButton1Mask, epiCode("mLup"), false, false, false, false,
         false},
        {PumpEventType::ButtonPress, 3, kModShift, epiCode("mRdn"), false, false, true, true,
         false},
        {PumpEventType::ButtonRelease, 3, kButton3Mask, epiCode("mRup"), false, false, false, false,
         false},
        {PumpEventType::ButtonPress, 2, kModControl, epiCode("mCdn"), false, true, false, false,
         true},
        {PumpEventType::ButtonRelease, 2, kButton2Mask | kButton1Mask, epiCode("mCup"), true, false,
         false, false, false},
        {PumpEventType::Motion, 0, kButton1Mask, 0, true, false, false, false, false},
        {PumpEventType::ButtonPress, 4, 0, 0, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        PumpEvent event;
        event.type = c.type;
        event.button = c.button;
        event.modifiers = c.state;
        keys->setMouseState(event);
        EXPECT_EQ(keys->getMouseEvent(), c.code);
        EXPECT_EQ(keys->getLeftButton(), c.left);
        EXPECT_EQ(keys->getMiddleButton(), c.middle);
        EXPECT_EQ(keys->getRightButton(), c.right);
        EXPECT_EQ(keys->getShift(), c.shift);
        EXPECT_EQ(keys->getControl(), c.control);
    }
}

} // namespace
