#include "TestApplication.h"

#include "hostfw/app/epiMenu.h"
#include "hostfw/res/epiResources.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace {

const char* kMarker = "<epi><version>4</version><signature>epiResourceFile</signature></epi>";
const char* kMessageLayout =
    "<epi><version>4</version><signature>layout</signature><content><name>lowa</name>"
    "<kind>ubob</kind><position>0,0</position><size>200,50</size><text>Message</text>"
    "<itemslist><item><name>____</name><kind>iSst</kind><position>27,16</position>"
    "<size>170,25</size><text>Loading... please wait</text></item></itemslist></content></epi>";
const char* kMenu = "<epi><content><menulist><item><text>File</text><menulist>"
                    "<item><text>Quit</text><name>quit</name><shortcut><char>q</char></shortcut>"
                    "</item></menulist></item></menulist></content></epi>";

// A window stand-in: it joins the window manager when created, as native
// windows do, and records its closing.
struct LayoutWindow : RecordingWindow {
    void create() override
    {
        RecordingWindow::create();
        windowManager()->addChild(this);
    }
    void close() override
    {
        ++closes;
        RecordingWindow::close();
    }
    int closes = 0;
};

struct WindowsFromLayoutsTest : ::testing::Test {
    void SetUp() override
    {
        epiWindowApplication::registerUiKind(epiCode("iWin"),
                                             []() -> epiObject* { return new LayoutWindow; });
        temp.write("Rig.frs/epi.frs", kMarker);
        temp.write("Rig.frs/layouts/message.xml", kMessageLayout);
        temp.write("Rig.frs/menus/mainbar_nomidi.xml", kMenu);
        ASSERT_TRUE(app.init());
        ASSERT_TRUE(app.getResources()->openSourceFile(epiPath(temp.path("Rig.frs"))));
        manager = app.getWindowManager();
        manager->setQuitOnLastWindow(false);
    }
    void TearDown() override { epiWindowApplication::unregisterUiKind(epiCode("iWin")); }

    testsupport::TempFolder temp;
    TestApplication app;
    epiWindowManager* manager = nullptr;
};

TEST_F(WindowsFromLayoutsTest, ALayoutBuildsACountedWindowNamedByItsContent)
{
    epiUbo* window = app.openWindowFromLayout("message.xml");
    ASSERT_NE(dynamic_cast<LayoutWindow*>(window), nullptr);
    EXPECT_EQ(window->getId(), epiCode("lowa"));
    EXPECT_EQ(window->getReferenceCount(), 1);
    EXPECT_EQ(window->getApplication(), &app);
    EXPECT_EQ(window->getText().str(), "Message");
    ASSERT_EQ(window->childCount(), 1);
    EXPECT_EQ(window->childAt(0)->getText().str(), "Loading... please wait");
    EXPECT_EQ(manager->findWindowByKind(epiCode("lowa")), window);

    EXPECT_EQ(app.openWindowFromLayout("absent.xml"), nullptr);
    EXPECT_EQ(app.buildWindowFromLayoutText(epiText("<epi></epi>")), nullptr);
}

TEST_F(WindowsFromLayoutsTest, OpenOrActivateReusesAnOpenWindowAndFindsLayoutsByKind)
{
    epiUbo* opened = manager->openOrActivate(epiCode("lowa"), nullptr);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->getId(), epiCode("lowa"));
    app.events.foreground = nullptr;
    EXPECT_EQ(manager->openOrActivate(epiCode("lowa"), "message.xml"), opened);
    EXPECT_EQ(app.events.foreground, opened->nativeHandle());
    EXPECT_EQ(manager->childCount(), 1);
    EXPECT_EQ(manager->openOrActivate(epiCode("none"), nullptr), nullptr);

    epiUbo* plain = app.openWindowOfKind(epiCode("Abou"));
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(plain->isVisible());
    EXPECT_EQ(manager->findWindowByKind(epiCode("Abou")), plain);
    manager->closeWindowOfKind(epiCode("Abou"));
    EXPECT_EQ(static_cast<LayoutWindow*>(plain)->closes, 1);
    manager->closeWindowOfKind(epiCode("none")); // nothing to close
}

TEST_F(WindowsFromLayoutsTest, TheMenuBarLoadsFromTheMenuResources)
{
    epiMenu* menu = app.getMenu();
    ASSERT_TRUE(menu->loadMenuBar("mainbar_nomidi.xml"));
    ASSERT_EQ(menu->commands().size(), 1u);
    EXPECT_EQ(menu->commands()[0].code, epiCode("quit"));
    EXPECT_EQ(menu->matchAccelerator('q', platform::kModControl), epiMenu::kFirstCommandId);
    EXPECT_FALSE(menu->loadMenuBar("mainbar_midi.xml"));
    EXPECT_TRUE(menu->commands().empty());
}

} // namespace
