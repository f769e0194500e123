#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "hostfw/app/TestApplication.h"

#include <string>

namespace {

std::string document(const std::string& contentFields, const std::string& items)
{
    return "<?xml version=\"1.0\"?>\r\n<epi><version>4</version><signature>layout</signature>"
           "<content><version>1</version>" +
           contentFields + "<itemslist>" + items + "</itemslist></content></epi>\r\n";
}

std::string item(const char* name, const char* kind, const std::string& fields)
{
    return std::string("<item><name>") + name + "</name><kind>" + kind + "</kind>" + fields +
           "</item>";
}

// A kind that only goes into windows.
struct WindowOnly : TestWidget {
    std::vector<epiFourCC> allowedParentKinds() const override { return {epiCode("iWin")}; }
};

struct LayoutTest : ::testing::Test {
    void SetUp() override
    {
        epiWindowApplication::registerUiKind(epiCode("iWon"),
                                             []() -> epiObject* { return new WindowOnly; });
        root.attach(&app);
    }
    void TearDown() override
    {
        root.exit(); // the built children are counted: their exit deletes them
        epiWindowApplication::unregisterUiKind(epiCode("iWon"));
    }
    TestApplication app;
    TestContainer root;
};

TEST_F(LayoutTest, ItemsSharingANameAreAllBuiltAndLookupFindsTheFirst)
{
    std::string items;
    for (int i = 0; i < 4; ++i)
        items += item("Chan", "ubob", "<position>" + std::to_string(i * 10) + ",0</position>");
    ASSERT_TRUE(root.loadLayoutText(epiText(document("<name>mixr</name>", items))));
    EXPECT_EQ(root.getId(), epiCode("mixr"));
    ASSERT_EQ(root.childCount(), 4);
    EXPECT_EQ(root.getChild(epiCode("Chan")), root.childAt(0));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(root.childAt(i)->getId(), epiCode("Chan"));
        EXPECT_EQ(root.childAt(i)->getFrame().left, i * 10);
        EXPECT_EQ(root.childAt(i)->getReferenceCount(), 1);
    }
}

TEST_F(LayoutTest, TheFiveGeometryRules)
{
    const struct {
        const char* fields;
        epiRect expected;
    } cases[] = {
        {"<position>5,6</position><size>30,40</size>", {5, 6, 35, 46}},
        {"<relativeposition>0,27</relativeposition><size>30,40</size>", {1, 29, 31, 69}},
        {"<position>5,6</position>", {5, 6, 5, 6}},
        {"<relativeposition>3,4</relativeposition>", {4, 6, 4, 6}},
        {"<size>30,40</size>", {0, 0, 30, 40}},
        {"<position>5,6</position><relativeposition>9,9</relativeposition>", {5, 6, 5, 6}},
    };
    for (const auto& c : cases) {
        TestContainer parent;
        parent.attach(&app);
        const std::string items =
            item("prev", "ubob", "<position>1,2</position><size>10,10</size>") +
            item("test", "ubob", c.fields);
        ASSERT_TRUE(parent.loadLayoutText(epiText(document("<name>geom</name>", items))));
        ASSERT_EQ(parent.childCount(), 2);
        const epiUbo* built = parent.childAt(1);
        EXPECT_TRUE(frameIs(built->getFrame(), c.expected.left, c.expected.top, c.expected.right,
                            c.expected.bottom))
            << c.fields;
        EXPECT_EQ(built->getWidth(), c.expected.getWidth()) << c.fields;
        parent.exit();
    }
}

TEST_F(LayoutTest, AnUnacceptedKindIsSkippedAndTheRestBuilt)
{
    const std::string items = item("aaaa", "ubob", "") + item("bbbb", "iWon", "") +
                              item("cccc", "iUnk", "<text>kept</text>");
    ASSERT_TRUE(root.loadLayoutText(epiText(document("<name>skip</name>", items))));
    ASSERT_EQ(root.childCount(), 2);
    EXPECT_EQ(root.childAt(0)->getId(), epiCode("aaaa"));
    EXPECT_EQ(root.childAt(1)->getId(), epiCode("cccc"));
    EXPECT_EQ(root.childAt(1)->getIndex(), 1);
    EXPECT_EQ(root.childAt(1)->getText().str(), "kept");
    EXPECT_EQ(root.childAt(1)->getKind(), epiCode("ubob")); // unknown kind: plain object

    // No "epi"/"content": nothing changes.
    EXPECT_FALSE(root.loadLayoutText(epiText("<epi></epi>")));
    EXPECT_FALSE(root.loadLayoutText(epiText("")));
    EXPECT_EQ(root.childCount(), 2);
    EXPECT_FALSE(root.loadLayout("missing.xml"));
    EXPECT_FALSE(root.loadLayoutFile(""));
}

TEST_F(LayoutTest, TheLoadingExampleBuildsAsDescribed)
{
    const std::string fields = "<name>lowa</name><kind>ubob</kind><position>0,0</position>"
                               "<size>200,50</size><text>Message</text><attributes><attribute>"
                               "<name>visi</name><value>1</value></attribute></attributes>";
    const std::string items = item("____", "iSst",
                                   "<position>27,16</position><size>170,25</size>"
                                   "<text>Loading... please wait</text><attributes><attribute>"
                                   "<name>visi</name><value>1</value></attribute></attributes>");
    ASSERT_TRUE(root.loadLayoutText(epiText(document(fields, items))));
    EXPECT_EQ(root.getId(), epiCode("lowa"));
    EXPECT_EQ(root.getText().str(), "Message");
    EXPECT_TRUE(frameIs(root.getFrame(), 0, 0, 200, 50));
    EXPECT_TRUE(frameIs(root.getDesignRect(), 0, 0, 200, 50));
    EXPECT_TRUE(root.isVisible());
    ASSERT_EQ(root.childCount(), 1);
    const epiUbo* message = root.childAt(0);
    EXPECT_EQ(message->getId(), epiCode("____"));
    EXPECT_TRUE(frameIs(message->getFrame(), 27, 16, 197, 41));
    EXPECT_EQ(message->getText().str(), "Loading... please wait");
    EXPECT_TRUE(message->isVisible());
}

TEST_F(LayoutTest, TheWriterWritesOneElementALineAndReadsBackTheSameTree)
{
    const std::string items =
        item("one1", "ubob",
             "<position>1,2</position><size>3,4</size><text>first</text>"
             "<attributes><attribute><name>visi</name><value>1</value></attribute></attributes>") +
        item("two2", "ubob", "<position>10,20</position><size>30,40</size><text></text>");
    ASSERT_TRUE(root.loadLayoutText(epiText(document("<name>wrte</name>", items))));
    epiText written;
    root.writeItems(written);
    EXPECT_EQ(written.str(), "<itemslist>\r\n"
                             "<item>\r\n"
                             "<name>one1</name>\r\n"
                             "<kind>ubob</kind>\r\n"
                             "<position>1,2</position>\r\n"
                             "<size>3,4</size>\r\n"
                             "<text>first</text>\r\n"
                             "<attributes>\r\n"
                             "<attribute><name>visi</name><value>1</value></attribute>\r\n"
                             "</attributes>\r\n"
                             "</item>\r\n"
                             "<item>\r\n"
                             "<name>two2</name>\r\n"
                             "<kind>ubob</kind>\r\n"
                             "<position>10,20</position>\r\n"
                             "<size>30,40</size>\r\n"
                             "<text></text>\r\n"
                             "<attributes>\r\n"
                             "<attribute><name>visi</name><value>0</value></attribute>\r\n"
                             "</attributes>\r\n"
                             "</item>\r\n"
                             "</itemslist>\r\n");

    // A text far longer than a line buffer is written whole.
    const std::string longText(3000, 'q');
    root.childAt(1)->setTextCStr(longText.c_str());
    epiText again;
    root.writeItems(again);
    EXPECT_NE(again.str().find("<text>" + longText + "</text>\r\n"), std::string::npos);

    TestContainer copy;
    copy.attach(&app);
    ASSERT_TRUE(copy.loadLayoutText(
        epiText("<epi><content><name>wrte</name>" + again.str() + "</content></epi>")));
    ASSERT_EQ(copy.childCount(), root.childCount());
    for (int i = 0; i < root.childCount(); ++i) {
        const epiUbo* a = root.childAt(i);
        const epiUbo* b = copy.childAt(i);
        EXPECT_EQ(a->getId(), b->getId());
        EXPECT_EQ(a->getKind(), b->getKind());
        EXPECT_TRUE(a->getFrame().equalsEdges(b->getFrame().left, b->getFrame().top,
                                              b->getFrame().right, b->getFrame().bottom));
        EXPECT_EQ(a->getText().str(), b->getText().str());
        EXPECT_EQ(a->isVisible(), b->isVisible());
    }
    epiText third;
    copy.writeItems(third);
    EXPECT_EQ(third.str(), again.str());
    copy.exit();
}

} // namespace
