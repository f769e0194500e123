#include "ModuleFixtures.h"

#include "plugin/module/PlugGUI.h"
#include "plugin/module/PlugIn.h"
#include "plugin/module/Process.h"

#include "editor/graphics/Bitmap.h"
#include "editor/graphics/Window.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Native.h"

#include <algorithm>
#include <memory>

namespace {

using Zq::BorvanRAZ::PlugIn;

class PlugInObjectTest : public test::PlugInTest {
protected:
    void SetUp() override
    {
        test::PlugInTest::SetUp();
        platform::window::setBackend(platform::window::Backend::Headless);
        plugIn = std::make_unique<PlugIn>();
        table = plugIn->getTable();
    }

    Zq::DUZ2::ProcessTable* create(std::int32_t flags = 0)
    {
        return table->createProcess(table, host.getHostTable(), flags);
    }
    void TearDown() override
    {
        plugIn.reset();
        platform::window::setBackend(platform::window::Backend::Default);
        test::PlugInTest::TearDown();
    }
    // The headless window of an open editor, by the id its handle holds.
    static unsigned long windowOf(Zq::DUZ2::GUITable* gui)
    {
        auto* object = static_cast<Zq::BorvanRAZ::PlugGUI*>(
            static_cast<Zq::DUZ2::GUI*>(test::word(gui, Zq::DUZ2::kGUIEntries)));
        return *static_cast<unsigned long*>(object->getEditor().getWindow()->getWindowHandle());
    }

    test::RecordingHost host;
    std::unique_ptr<PlugIn> plugIn;
    Zq::DUZ2::PlugInTable* table = nullptr;
};

TEST_F(PlugInObjectTest, versionIsOneAndNonZeroFlagsCreateNothing)
{
    EXPECT_EQ(table->getVersion(table), 1);
    for (std::int32_t flags : {1, 2, -1})
        EXPECT_EQ(create(flags), nullptr) << flags;
    EXPECT_EQ(plugIn->getProcessCount(), 0u);
}

TEST_F(PlugInObjectTest, processorsAreSeparateAndDestroyingOneKeepsTheOthersEditor)
{
    Zq::DUZ2::ProcessTable* first = create();
    Zq::DUZ2::ProcessTable* second = create();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);

    Zq::DUZ2::GUITable* firstGui = table->getGUI(table, first);
    Zq::DUZ2::GUITable* secondGui = table->getGUI(table, second);
    ASSERT_NE(secondGui, nullptr);
    EXPECT_NE(firstGui, secondGui);
    EXPECT_EQ(table->getGUI(table, second), secondGui) << "one editor object per processor";

    std::uint64_t parent = 0x2a00001;
    firstGui->open(firstGui, &parent);
    secondGui->open(secondGui, &parent);
    const unsigned long firstWindow = windowOf(firstGui);
    const unsigned long secondWindow = windowOf(secondGui);
    table->destroyProcess(table, first);
    EXPECT_EQ(platform::window::HeadlessWindow::find(firstWindow), nullptr);
    EXPECT_NE(platform::window::HeadlessWindow::find(secondWindow), nullptr);
    EXPECT_EQ(table->getGUI(table, second), secondGui);
    EXPECT_EQ(secondGui->getProcess(secondGui), second);
    std::int32_t width = 0;
    std::int32_t height = 0;
    secondGui->getSize(secondGui, &width, &height);
    EXPECT_EQ(width, 851);
}

TEST_F(PlugInObjectTest, tablesOfDestroyedOrForeignProcessorsAreNeverFollowed)
{
    Zq::DUZ2::ProcessTable* process = create();
    table->getGUI(table, process);
    table->destroyProcess(table, process);

    // The freed processor's table: looked up, not read (ASan sees any read).
    EXPECT_EQ(table->getGUI(table, process), nullptr);
    table->destroyProcess(table, process);
    EXPECT_EQ(table->getGUI(table, nullptr), nullptr);
    table->destroyProcess(table, nullptr);

    // A living processor of another plug-in object is not this one's.
    PlugIn other;
    Zq::DUZ2::ProcessTable* foreign = other.getTable()->createProcess(other.getTable(), nullptr, 0);
    EXPECT_EQ(table->getGUI(table, foreign), nullptr);
    table->destroyProcess(table, foreign);
    EXPECT_NE(other.getTable()->getGUI(other.getTable(), foreign), nullptr);
}

TEST_F(PlugInObjectTest, deletingThePlugInDeletesLivingProcessorsAndTheirEditors)
{
    Zq::DUZ2::ProcessTable* first = create();
    Zq::DUZ2::ProcessTable* second = create();
    Zq::DUZ2::GUITable* gui = table->getGUI(table, first);
    std::uint64_t window = 0x2a00001;
    gui->open(gui, &window);
    const unsigned long id = windowOf(gui);

    plugIn.reset();

    EXPECT_EQ(Zq::DUZ2::Process::find(first), nullptr);
    EXPECT_EQ(Zq::DUZ2::Process::find(second), nullptr);
    EXPECT_EQ(platform::window::HeadlessWindow::find(id), nullptr) << "closed with its editor";
}

TEST_F(PlugInObjectTest, missingResourcePathShowsTheInstallErrorOnceAndTheObjectWorks)
{
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(plugIn->getResourceProvider().getLocations(),
              std::vector<std::string>{"/opt/zq/resources"});

    std::filesystem::remove_all(root);
    PlugIn withoutPath;
    EXPECT_EQ(messages, std::vector<std::string>{kInstallError});
    EXPECT_TRUE(withoutPath.getResourceProvider().getLocations().empty());
    Zq::DUZ2::PlugInTable* t = withoutPath.getTable();
    Zq::DUZ2::ProcessTable* process = t->createProcess(t, nullptr, 0);
    ASSERT_NE(process, nullptr);
    EXPECT_NE(t->getGUI(t, process), nullptr);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(PlugInObjectTest, theProviderReadsTheBuiltSkinFromThePackOrTheFolderInResPath)
{
    for (const char* location : {SKIN_PAK, SKIN_DIR}) {
        SCOPED_TRACE(location);
        platform::writeRegistryString("BorvanQom", "ResPath", location);
        PlugIn plugIn;
        auto& images = plugIn.getResourceProvider().getImageCache();
        const Zq::Application::Graphics::Bitmap* knob = images.get("KnobLarge.tgz");
        ASSERT_NE(knob, nullptr);
        EXPECT_EQ(knob->width, 64);
        EXPECT_EQ(knob->height, 64 * 64);
        EXPECT_TRUE(knob->hasAlpha);
        images.release(knob);
    }
    EXPECT_TRUE(messages.empty());

    std::filesystem::remove_all(root);
    PlugIn withoutPath;
    EXPECT_EQ(withoutPath.getResourceProvider().getImageCache().get("KnobLarge.tgz"), nullptr);
}

TEST_F(PlugInObjectTest, anUnreadableResourcePathShowsTheInstallErrorNamingIt)
{
    for (const char* kind : kUnreadableKinds) {
        if (!plantUnreadable("BorvanQom", "ResPath", kind))
            continue;
        SCOPED_TRACE(kind);
        messages.clear();
        ::testing::internal::CaptureStderr();
        PlugIn unreadable;
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(messages, std::vector<std::string>{kInstallError});
        EXPECT_NE(said.find("\"ResPath\" cannot be read: "), std::string::npos) << said;
        EXPECT_TRUE(unreadable.getResourceProvider().getLocations().empty());
    }
}

TEST_F(PlugInObjectTest, presetPathIsReadOnEveryCall)
{
    EXPECT_EQ(plugIn->getPresetPath(), "");
    EXPECT_EQ(messages, std::vector<std::string>{kInstallError});

    platform::writeRegistryString("BorvanQom", "PresetPath", "/home/bass/Presets");
    EXPECT_EQ(plugIn->getPresetPath(), "/home/bass/Presets");
    platform::writeRegistryString("BorvanQom", "PresetPath", "/media/stick/Presets");
    EXPECT_EQ(plugIn->getPresetPath(), "/media/stick/Presets");
    EXPECT_EQ(messages.size(), 1u);
}

} // namespace
