// The editor frame: its rectangle, shared by every editor of the loaded
// library, and the order in which it opens the module's editor.

#include "VstTestHost.h"

namespace {

using namespace test;

// A copy of the bridge under a fresh path, so this test loads it anew and
// its shared rectangle starts unfilled.
class EditorTest : public BridgeTest {
protected:
    void SetUp() override
    {
        BridgeTest::SetUp();
        const auto copy = root / "fresh" / "Carapace.so";
        std::filesystem::create_directories(copy.parent_path());
        std::filesystem::copy_file(CARAPACE_PATH, copy);
        fresh = std::make_unique<Library>(copy.string());
        ASSERT_TRUE(fresh->loaded()) << ::dlerror();
        freshMain = fresh->entry<MainFunction>("VSTPluginMain");
    }
    void TearDown() override
    {
        fresh.reset();
        BridgeTest::TearDown();
    }

    std::unique_ptr<Library> fresh;
    MainFunction freshMain = nullptr;
};

TEST_F(EditorTest, theFirstRectangleIsTheModulesEditorAndEveryEditorSharesIt)
{
    Effect first(freshMain(&VstHost::callback));
    ASSERT_TRUE(first);
    ERect* rect = nullptr;
    EXPECT_EQ(first(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 510);
    EXPECT_EQ(rect->right, 851);

    // A second instance whose editor reports another size.
    RecordingStub& stub = useStub();
    stub.settings().width = 300;
    stub.settings().height = 200;
    Effect second(freshMain(&VstHost::callback));
    ASSERT_TRUE(second);
    stub.clearJournal();
    ERect* secondRect = nullptr;
    EXPECT_EQ(second(effEditGetRect, 0, 0, &secondRect), 1);
    EXPECT_EQ(secondRect, rect);
    EXPECT_EQ(secondRect->bottom, 510);
    EXPECT_EQ(secondRect->right, 851);
    EXPECT_EQ(stub.journal(), std::vector<std::string>{"getSize"})
        << "the size is asked every time";
}

TEST_F(EditorTest, openingTellsTheModuleItOwnsItsInputThenOpensOnTheHostsWindow)
{
    RecordingStub& stub = useStub();
    Effect effect(freshMain(&VstHost::callback));
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->flags & effFlagsHasEditor, effFlagsHasEditor);
    Zq::Carapace::AEffEditor* editor = editorOf(effect.get());
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->isOpen());

    stub.clearJournal();
    const unsigned long window = 0x5A00007; // an X11 Window id
    EXPECT_EQ(effect(effEditOpen, 0, 0, reinterpret_cast<void*>(window)), 1);
    EXPECT_TRUE(editor->isOpen());
    effect(effEditIdle);
    editor->update();
    effect(effEditClose);
    EXPECT_TRUE(editor->isOpen()) << "closing keeps the window id";
    EXPECT_EQ(stub.journal(), (std::vector<std::string>{
                                  "setHostMouseEvents 0", "setHostKeyEvents 0",
                                  "open " + std::to_string(window), "idle", "update", "close"}));
}

TEST_F(EditorTest, theRealModulesEditorOpensAndClosesThroughTheFrame)
{
    Effect effect(freshMain(&VstHost::callback));
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect(effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 1);
    effect(effEditIdle);
    effect(effEditClose);
    // Opened and never closed: the effect's end closes it.
    EXPECT_EQ(effect(effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 1);
}

} // namespace
