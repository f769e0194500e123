#include "hostfw/core/epiApplicationObject.h"
#include "hostfw/core/epiObject.h"
#include "hostfw/core/epiText.h"

#include <gtest/gtest.h>

namespace {

struct Tracked : epiObject {
    explicit Tracked(int& deletions) : deletions(deletions) {}
    ~Tracked() override { ++deletions; }
    int& deletions;
};

TEST(Object, AnUncountedObjectIgnoresRetainAndRelease)
{
    int deletions = 0;
    {
        Tracked object(deletions);
        EXPECT_EQ(object.getKind(), epiCode("baob"));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(object.retain(), epiObject::kUncounted);
            EXPECT_EQ(object.release(), epiObject::kUncounted);
            EXPECT_EQ(object.release(), epiObject::kUncounted);
        }
        EXPECT_EQ(deletions, 0);
    }
    EXPECT_EQ(deletions, 1); // only by its owner
}

TEST(Object, ACountedObjectIsDeletedWhenReleaseGoesFromOneToZero)
{
    int deletions = 0;
    auto* object = new Tracked(deletions);
    object->enableReferenceCount();
    EXPECT_EQ(object->getReferenceCount(), 1);
    object->enableReferenceCount(); // already counted: no change
    EXPECT_EQ(object->retain(), 2);
    EXPECT_EQ(object->release(), 1);
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(object->release(), 0);
    EXPECT_EQ(deletions, 1);
}

TEST(Object, ACopyStartsUncounted)
{
    epiText counted("x");
    counted.enableReferenceCount();
    counted.retain();
    const epiText copy(counted);
    EXPECT_EQ(copy.getReferenceCount(), epiObject::kUncounted);
    EXPECT_EQ(copy.str(), "x");
}

struct Application : epiApplicationObject {
    epiObject* createObject(epiFourCC group, epiFourCC kind, void*) override
    {
        lastGroup = group;
        lastKind = kind;
        return new epiObject;
    }
    bool getApplicationPath(epiText& folder) const override
    {
        folder.assign("/app/");
        return true;
    }
    void scheduleTimedTask(epiApplicationObject*, double, bool, bool) override { ++scheduled; }
    void cancelTimedTasks(epiApplicationObject*) override { ++cancelled; }
    epiFourCC lastGroup = 0, lastKind = 0;
    int scheduled = 0, cancelled = 0;
};

TEST(Object, AnApplicationObjectForwardsOnlyOnceAttached)
{
    epiApplicationObject object;
    EXPECT_EQ(object.getKind(), epiCode("oApp"));
    EXPECT_EQ(object.createObject(epiCode("Appl"), epiCode("Rsrc"), nullptr), nullptr);
    object.addTimedTask(0.05, false, true);
    object.exit();
    epiText folder;
    EXPECT_FALSE(object.getApplicationPath(folder));
    EXPECT_TRUE(object.init());

    Application app;
    object.attach(&app);
    epiObject* created = object.createObject(epiCode("Appl"), epiCode("Rsrc"), nullptr);
    ASSERT_NE(created, nullptr);
    delete created;
    EXPECT_EQ(app.lastKind, epiCode("Rsrc"));
    EXPECT_TRUE(object.getApplicationPath(folder));
    EXPECT_EQ(folder.str(), "/app/");

    object.exit(); // no timed task added since attaching
    EXPECT_EQ(app.cancelled, 0);
    object.addTimedTask(0.05, false, true);
    object.exit();
    EXPECT_EQ(app.scheduled, 1);
    EXPECT_EQ(app.cancelled, 1);

    epiApplicationObject sibling;
    sibling.copyApplication(object);
    EXPECT_EQ(sibling.getApplication(), &app);
}

} // namespace
