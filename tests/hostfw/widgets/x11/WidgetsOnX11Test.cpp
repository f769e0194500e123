#include <gtest/gtest.h>

#include "tests/hostfw/win/WinTestSupport.h"

#include "hostfw/res/epiResources.h"
#include "hostfw/widgets/epiUiBitmapPopup.h"
#include "hostfw/widgets/epiUiBitmapWidgets.h"
#include "hostfw/widgets/epiWidgetKinds.h"
#include "platform/window/Png.h"
#include "platform/x11/X11WindowSystem.h"
#include "tests/platform/x11/SharedXvfb.h"

#include <filesystem>
#include <functional>

#include "support/TempFolder.h"

// After gtest: Xlib defines names such as None and Bool that gtest uses.
#include "tests/platform/x11/X11Probe.h"

namespace pui = platform::ui;
using test::win::WinApp;

namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 220;
const char* kMarker = "<epi><version>4</version><signature>epiResourceFile</signature></epi>";
// clang-format off
#define ATTR(name, value) "<attribute><name>" name "</name><value>" value "</value></attribute>"
#define VISIBLE ATTR("visi", "1")
#define ITEM(name, kind, position, size, attributes)                                       \
    "<item><name>" name "</name><kind>" kind "</kind><position>" position "</position>" \
    "<size>" size "</size><attributes>" VISIBLE attributes "</attributes></item>"
// A window holding a bitmap view container of generated widgets.
const char* kLayout =
    "<epi><content><name>main</name><position>40,50</position><size>380,220</size>"
    "<attributes>" ATTR("aupo", "0") ATTR("grBk", "1") "</attributes><itemslist>"
    ITEM("pane", "iBco", "0,0", "380,220", ATTR("chil", "panel.xml"))
    "</itemslist></content></epi>";
#define POPUP_IMAGES                                                                            \
    ATTR("iUns", "popup_item.png") ATTR("iSel", "popup_item_selected.png")                     \
    ATTR("iUnS", "popup_sub.png") ATTR("iSlS", "popup_sub_selected.png")                       \
    ATTR("iTop", "popup_top.png") ATTR("iBot", "popup_bottom.png")                             \
    ATTR("iSUp", "popup_scroll_up.png") ATTR("iSUd", "popup_scroll_up_off.png")                \
    ATTR("iSDn", "popup_scroll_down.png") ATTR("iSDd", "popup_scroll_down_off.png")
const char* kPanel =
    "<epi><content><itemslist>"
    ITEM("knob", "iBrt", "10,10", "48,48", ATTR("irOf", "knob.png") ATTR("frms", "64") ATTR("Smoo", "0"))
    ITEM("butn", "iBbt", "70,10", "64,24", ATTR("irOf", "button_off.png") ATTR("ipOf", "button_off_pressed.png"))
    ITEM("chek", "iBck", "70,40", "64,24", ATTR("irOf", "button_off.png") ATTR("irOn", "button_on.png"))
    ITEM("scrl", "iBsc", "150,10", "16,100", ATTR("irOf", "thumb.png") ATTR("ipOf", "thumb_pressed.png") ATTR("Smoo", "0"))
    ITEM("metr", "iBlm", "180,10", "12,100", ATTR("irOf", "meter.png"))
    ITEM("lamp", "iBfi", "180,120", "16,16", ATTR("irOf", "lamp.png") ATTR("frms", "2"))
    ITEM("titl", "iBst", "10,120", "160,16", ATTR("teCl", "235,235,235") ATTR("text", "Bass rig"))
    ITEM("roll", "iBtr", "10,150", "160,16", ATTR("teCl", "245,160,40") ATTR("cont", "Verse\nChorus\nBridge"))
    ITEM("popu", "iBpu", "210,10", "140,20", ATTR("irOf", "popup_item.png") ATTR("teCl", "235,235,235") POPUP_IMAGES ATTR("cont", "Clean|Crunch|Fuzz|Octave|Wah|Chorus") ATTR("text", "Clean"))
    "</itemslist></content></epi>";
const char* kFont =
    "<epi><content><allplatforms><family>Tahoma</family><size>9</size><bold>0</bold>"
    "<italic>0</italic></allplatforms></content></epi>";
// clang-format on

// Copies the generated images into a resource folder with the layouts.
void makeResources(testsupport::TempFolder& temp)
{
    temp.write("Rig.frs/epi.frs", kMarker);
    temp.write("Rig.frs/layouts/main.xml", kLayout);
    temp.write("Rig.frs/layouts/panel.xml", kPanel);
    temp.write("Rig.frs/fonts/fontsystem_gen9.xml", kFont);
    namespace fs = std::filesystem;
    fs::create_directories(temp.path("Rig.frs/images"));
    for (const auto& entry : fs::directory_iterator(HOST_IMAGES_DIR))
        fs::copy_file(entry.path(), fs::path(temp.path("Rig.frs/images")) / entry.path().filename(),
                      fs::copy_options::overwrite_existing);
}

// The same gestures on either back end, straight into the window's pointer
// reports, with loop turns between them.
void work(epiUiEventsBase& window, const std::function<void()>& settle)
{
    using A = pui::PointerAction;
    const auto act = [&](A action, int x, int y, int wheel = 0) {
        window.pointer(action, x, y, wheel);
        settle();
    };
    act(A::Down, 30, 40); // the knob, dragged 20 pixels up
    act(A::Drag, 30, 20);
    act(A::Up, 30, 20);
    act(A::Down, 80, 50); // the check box, clicked on
    act(A::Up, 80, 50);
    act(A::Down, 155, 105); // the scroll thumb at the bottom, moved half way up
    act(A::Drag, 155, 65);
    act(A::Up, 155, 65);
    act(A::Down, 40, 158); // the rolling text, dragged a line on
    act(A::Drag, 40, 156);
    act(A::Up, 40, 156);
    act(A::Down, 220, 20); // the pop-up opened, its second row under the pointer
    act(A::Up, 220, 20);
    act(A::Move, 250, 58);
}

struct WidgetsOnX11Test : ::testing::Test {
    void SetUp() override
    {
        epiRegisterWidgetKinds();
        makeResources(temp);
    }
    testsupport::TempFolder temp;
};

TEST_F(WidgetsOnX11Test, GeneratedWidgetsRenderAlikeHeadlessAndOnX11)
{
    // Headless first: it always runs.
    WinApp twinApp;
    ASSERT_TRUE(twinApp.getResources()->openSourceFile(epiPath(temp.path("Rig.frs"))));
    auto* twin = dynamic_cast<epiUiEventsBase*>(twinApp.openWindowFromLayout("main.xml"));
    ASSERT_TRUE(twin && twin->hostWindow());
    twinApp.settle();
    epiUbo* pane = twin->findChild(epiCode("pane"));
    ASSERT_TRUE(pane);
    pane->findChild(epiCode("metr"))->setValue(50);
    pane->findChild(epiCode("lamp"))->setValue(1);
    work(*twin, [&] { twinApp.settle(); });
    EXPECT_EQ(pane->findChild(epiCode("knob"))->getValue(), 20);
    EXPECT_EQ(pane->findChild(epiCode("chek"))->getValue(), 1);
    EXPECT_EQ(pane->findChild(epiCode("scrl"))->getValue(), 52);
    EXPECT_STREQ(pane->findChild(epiCode("roll"))->getTextCStr(), "Chorus");
    auto* popup = dynamic_cast<epiUiBitmapPopup*>(pane->findChild(epiCode("popu")));
    ASSERT_TRUE(popup && popup->isOpen());
    // Six rows in a 220-pixel window: three show, between the arrows.
    EXPECT_EQ(popup->openedList()->visibleHeight(), 60);
    auto& headless = static_cast<pui::HeadlessWindow&>(*twin->hostWindow());
    const std::vector<std::uint32_t> expected = headless.screen();
    const std::string dir = testing::TempDir();
    EXPECT_TRUE(
        platform::window::writePng(dir + "widgets-headless.png", expected.data(), kWidth, kHeight));
    // The marked row differs from the rows around it; the texts are drawn.
    EXPECT_NE(expected[58 * kWidth + 340], expected[38 * kWidth + 340]);
    EXPECT_NE(expected[78 * kWidth + 340], expected[58 * kWidth + 340]);

    if (!test::x11::sharedXvfb().running())
        GTEST_SKIP() << "Xvfb is not available";
    auto system = pui::X11WindowSystem::open();
    ASSERT_TRUE(system);
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    {
        WinApp app(system.get());
        ASSERT_TRUE(app.getResources()->openSourceFile(epiPath(temp.path("Rig.frs"))));
        auto* window = dynamic_cast<epiUiEventsBase*>(app.openWindowFromLayout("main.xml"));
        ASSERT_TRUE(window && window->hostWindow());
        epiUbo* panel = window->findChild(epiCode("pane"));
        panel->findChild(epiCode("metr"))->setValue(50);
        panel->findChild(epiCode("lamp"))->setValue(1);
        auto& native = static_cast<pui::X11HostWindow&>(*window->hostWindow());
        const auto turnUntil = [&](const std::function<bool()>& done) {
            return test::x11::turnUntil(
                {other, system->display()}, [&] { app.settle(4); }, done);
        };
        ASSERT_TRUE(turnUntil([&] {
            const auto shown = test::x11::readBack(other, native.client(), kWidth, kHeight);
            return !shown.empty() && shown[30 * kWidth + 185] != 0xF0F0F0u;
        }));
        work(*window, [&] { app.settle(); });
        std::vector<std::uint32_t> shown;
        ASSERT_TRUE(turnUntil([&] {
            shown = test::x11::readBack(other, native.client(), kWidth, kHeight);
            return shown == expected;
        }));
        EXPECT_TRUE(
            platform::window::writePng(dir + "widgets-x11.png", shown.data(), kWidth, kHeight));
    }
    XCloseDisplay(other);
}

} // namespace
