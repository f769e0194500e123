#include "hostfw/core/epiFolder.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace {

TEST(Folder, ScanFiltersByExtensionAndSortsByName)
{
    testsupport::TempFolder temp;
    for (const char* name : {"x.PNG", "x.txt", ".hidden.png", "b.jpg", "a.png", "noext"})
        temp.write(std::string("pics/") + name, "1");
    temp.makeFolder("pics/sub");

    epiFolder folder;
    ASSERT_TRUE(folder.scan(epiPath(temp.path("pics")), "png,jpg", false, false));
    ASSERT_EQ(folder.getCount(), 3);
    EXPECT_EQ(folder.getName(0).str(), "a.png");
    EXPECT_EQ(folder.getName(1).str(), "b.jpg");
    EXPECT_EQ(folder.getName(2).str(), "x.PNG");
    EXPECT_EQ(folder.getName(3).str(), "");
    EXPECT_EQ(folder.getEntryPath(2).str(), temp.path("pics/x.PNG"));

    epiText name;
    int n = 0;
    while (folder.nextName(name))
        ++n;
    EXPECT_EQ(n, 3);
    folder.rewind();
    epiPath path;
    EXPECT_TRUE(folder.nextPath(path));
    EXPECT_EQ(path.str(), temp.path("pics/a.png"));

    epiFolder all;
    ASSERT_TRUE(all.scan(epiPath(temp.path("pics/")), nullptr, true, true));
    EXPECT_EQ(all.getCount(), 7);
    EXPECT_EQ(all.getName(0).str(), ".hidden.png");
    EXPECT_EQ(all.getName(6).str(), "x.txt");
    EXPECT_EQ(all.getName(4).str(), "sub/");

    epiFolder none;
    EXPECT_FALSE(none.scan(epiPath(temp.path("missing")), nullptr, true, true));
    EXPECT_EQ(none.getCount(), 0);
}

TEST(Folder, ListsRecursivelyThroughContentsOnly)
{
    testsupport::TempFolder temp;
    temp.makeFolder("only/empty");
    epiFolder folder;
    epiText out("stale");
    const epiPath only(temp.path("only"));
    folder.listRecursive(&only, out, true);
    EXPECT_EQ(out.str(), "");

    temp.write("tree/b.xml", "1");
    temp.write("tree/a/z.xml", "1");
    temp.write("tree/a/deeper/y.xml", "1");
    temp.write("tree/.git/x", "1");
    const epiPath tree(temp.path("tree"));
    folder.listRecursive(&tree, out, true);
    EXPECT_EQ(out.str(), "a/deeper/y.xml\r\na/z.xml\r\nb.xml\r\n");
    folder.listRecursive(&tree, out, false);
    EXPECT_EQ(out.str(), "b.xml\r\n");
}

} // namespace
