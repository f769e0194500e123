#include "hostfw/core/epiObjectsList.h"

#include <gtest/gtest.h>

namespace {

TEST(Lists, TextsListFindsIgnoringCaseAndCopiesInOrder)
{
    epiTextsList list;
    EXPECT_EQ(list.indexOf(epiText("a")), -1);
    list.clear(); // on an empty list: nothing
    list.appendCString("Alpha");
    list.append(epiText("beta"));
    list.appendInteger(-12);
    EXPECT_EQ(list.indexOf(epiText("BETA")), 1);
    EXPECT_EQ(list.indexOf(epiText("-12")), 2);
    EXPECT_EQ(list.indexOf(epiText("gamma")), -1);

    epiTextsList copy;
    copy.appendCString("old");
    copy.assignFrom(list);
    ASSERT_EQ(copy.getCount(), 3u);
    EXPECT_EQ(copy.at(0)->str(), "Alpha");
    EXPECT_EQ(copy.at(2)->str(), "-12");
    EXPECT_EQ(copy.at(3), nullptr);
    copy.assignFrom(copy);
    EXPECT_EQ(copy.getCount(), 3u);
    EXPECT_EQ(copy.at(1)->str(), "beta");
}

TEST(Lists, ObjectsListDeletesItsElements)
{
    struct Tracked : epiObject {
        explicit Tracked(int& n) : n(n) {}
        ~Tracked() override { ++n; }
        int& n;
    };
    int deleted = 0;
    {
        epiObjectsList list;
        list.appendObject(new Tracked(deleted));
        list.appendObject(new Tracked(deleted));
        list.clear();
        EXPECT_EQ(deleted, 2);
        EXPECT_EQ(list.getCount(), 0u);
        list.appendObject(new Tracked(deleted));
    }
    EXPECT_EQ(deleted, 3);
}

} // namespace
