#include "TestApplication.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A task target that records the clock at each firing and may act then.
struct Target : epiApplicationObject {
    Target(TestApplication& app) : app(app) { attach(&app); }
    void onTimedTask() override
    {
        firings.push_back(app.clock);
        if (action)
            action();
    }
    void* notify(epiFourCC code, void*, void*) override
    {
        notified.push_back({code, app.clock});
        return nullptr;
    }
    TestApplication& app;
    std::vector<double> firings;
    std::function<void()> action;
    std::vector<std::pair<epiFourCC, double>> notified;
};

struct TimedTasksTest : ::testing::Test {
    // Runs one loop turn's worth of timed tasks at that clock.
    void turnAt(double time)
    {
        app.clock = time;
        app.runTimedTasks();
    }
    TestApplication app;
};

TEST_F(TimedTasksTest, TheRunnerFollowsItsRules)
{
    struct Case {
        const char* name;
        double delay;
        bool once;
        bool fixedRate;
        // The callback advances the clock on its first firing.
        double firstCallbackCost;
        bool removesItself;
        std::vector<double> turns;
        std::vector<double> expectedFirings;
    };
    const Case cases[] = {
        {"one-shot of delay 0 fires only once the clock is past its due time",
         0.0,
         true,
         false,
         0.0,
         false,
         {0.0, 0.0, 0.001, 0.002, 1.0},
         {0.001}},
        {"a callback removing its own tasks is not rescheduled",
         0.1,
         false,
         false,
         0.0,
         true,
         {0.05, 0.15, 0.3, 0.45, 1.0},
         {0.15}},
        // Due 0.05; its callback takes 0.12 s, so the turns at 0.18 find it
        // late: it fires once per turn (due 0.10, then 0.15) and is back in
        // phase at 0.20.
        {"a late fixed-rate task catches up once per turn, keeping its phase",
         0.05,
         false,
         true,
         0.12,
         false,
         {0.06, 0.18, 0.18, 0.18, 0.19, 0.205},
         {0.06, 0.18, 0.18, 0.205}},
        // Without fixed rate the next due time counts from the turn's time
        // (0.06 + 0.05), then from 0.18.
        {"a task without fixed rate restarts from its run time",
         0.05,
         false,
         false,
         0.12,
         false,
         {0.06, 0.18, 0.18, 0.22, 0.235},
         {0.06, 0.18, 0.235}},
    };
    for (const Case& c : cases) {
        TestApplication app;
        Target target(app);
        target.action = [&] {
            if (target.firings.size() == 1)
                app.clock += c.firstCallbackCost;
            if (c.removesItself)
                target.removeTimedTask();
        };
        target.addTimedTask(c.delay, c.once, c.fixedRate);
        std::vector<double> firings;
        for (double time : c.turns) {
            app.clock = time;
            const std::size_t before = target.firings.size();
            app.runTimedTasks();
            if (target.firings.size() > before)
                firings.push_back(time);
            EXPECT_LE(target.firings.size(), before + 1) << c.name << ": twice in one turn";
        }
        ASSERT_EQ(firings.size(), c.expectedFirings.size()) << c.name;
        for (std::size_t i = 0; i < firings.size(); ++i)
            EXPECT_DOUBLE_EQ(firings[i], c.expectedFirings[i]) << c.name << " #" << i;
        if (c.once || c.removesItself) {
            EXPECT_EQ(app.timedTaskCount(), 0u) << c.name << ": freed by the runner";
        }
    }
}

TEST_F(TimedTasksTest, ATaskRemovedByAnotherCallbackNeverFires)
{
    Target first(app), second(app);
    first.action = [&] { app.removeTimedTasks(&second); };
    first.addTimedTask(0.1, true, false);
    second.addTimedTask(0.1, false, true);
    for (double time = 0.0; time < 2.0; time += 0.01)
        turnAt(time);
    EXPECT_EQ(first.firings.size(), 1u);
    EXPECT_TRUE(second.firings.empty());
    EXPECT_EQ(app.timedTaskCount(), 0u);
}

TEST_F(TimedTasksTest, ATaskAddedInACallbackAndAnObjectsExitAreHandled)
{
    Target first(app), added(app);
    first.action = [&] { added.addTimedTask(0.0, true, false); };
    first.addTimedTask(0.1, true, false);
    turnAt(0.2);
    EXPECT_EQ(first.firings.size(), 1u);
    EXPECT_TRUE(added.firings.empty()); // due at 0.2, not yet past
    turnAt(0.3);
    EXPECT_EQ(added.firings.size(), 1u);

    // exit removes the object's tasks.
    added.addTimedTask(0.1, false, true);
    added.exit();
    turnAt(5.0);
    EXPECT_EQ(added.firings.size(), 1u);
}

TEST_F(TimedTasksTest, AfterTenDaysTheFortyMillisecondTickKeepsItsPeriod)
{
    const double tenDays = 10 * 24 * 3600.0;
    Target tick(app);
    turnAt(tenDays);
    tick.addTimedTask(0.04, false, true);
    // Turns every 5 ms, off the tick's phase by 2.5 ms.
    for (int step = 0; step <= 200; ++step)
        turnAt(tenDays + 0.0025 + step * 0.005);
    ASSERT_EQ(tick.firings.size(), 25u);
    for (std::size_t i = 1; i < tick.firings.size(); ++i)
        EXPECT_NEAR(tick.firings[i] - tick.firings[i - 1], 0.04, 1e-6) << i;
}

TEST_F(TimedTasksTest, PostedNotificationsArriveATenthOfASecondApartInOrder)
{
    Target a(app), b(app);
    a.postNotification(epiCode("one "), nullptr, nullptr, 0);
    b.postNotification(epiCode("two "), nullptr, nullptr, 0);
    app.postNotificationTo(&a, epiCode("thre"), nullptr, nullptr);
    epiAppCommandsList* queue = app.notificationQueue();
    ASSERT_NE(queue, nullptr);
    EXPECT_EQ(queue->getCount(), 3u);
    EXPECT_TRUE(app.hasTimedTasks(queue));
    for (int step = 0; step < 100; ++step)
        turnAt(0.005 + step * 0.01);
    ASSERT_EQ(a.notified.size(), 2u);
    ASSERT_EQ(b.notified.size(), 1u);
    EXPECT_EQ(a.notified[0].first, epiCode("one "));
    EXPECT_EQ(b.notified[0].first, epiCode("two "));
    EXPECT_EQ(a.notified[1].first, epiCode("thre"));
    EXPECT_NEAR(a.notified[0].second, 0.105, 1e-9);
    EXPECT_NEAR(b.notified[0].second, 0.205, 1e-9);
    EXPECT_NEAR(a.notified[1].second, 0.305, 1e-9);
    // The queue's task ends with the first firing that finds it empty.
    EXPECT_FALSE(app.hasTimedTasks(queue));
    EXPECT_EQ(app.timedTaskCount(), 0u);

    // A later post starts it again.
    app.postNotificationTo(&b, epiCode("four"), nullptr, nullptr);
    turnAt(app.clock + 0.11);
    ASSERT_EQ(b.notified.size(), 2u);
}

// An animated object that records its ticks and may act on one.
struct Animated : epiUbo {
    void animationTick(double elapsed, int frames) override
    {
        ticks.push_back({elapsed, frames});
        if (action)
            action();
    }
    std::vector<std::pair<double, int>> ticks;
    std::function<void()> action;
};

struct AnimationTest : TimedTasksTest {
    void SetUp() override
    {
        ASSERT_TRUE(app.init());
        manager = app.getWindowManager();
    }
    epiWindowManager* manager = nullptr;
};

TEST_F(AnimationTest, OneTickServesEveryObjectWhileAnyIsListed)
{
    Animated first, second;
    EXPECT_FALSE(app.hasTimedTasks(manager));
    manager->addAnimated(&first, false);
    turnAt(0.02);
    manager->addAnimated(&second, false);
    EXPECT_EQ(app.timedTaskCount(), 1u); // no second tick
    EXPECT_TRUE(manager->isTickRunning());

    turnAt(0.05); // the tick due at 0.04
    turnAt(0.09); // and at 0.08
    ASSERT_EQ(first.ticks.size(), 2u);
    ASSERT_EQ(second.ticks.size(), 2u);
    // Elapsed time counts from each object's own start.
    EXPECT_NEAR(first.ticks[1].first, 0.09, 1e-9);
    EXPECT_NEAR(second.ticks[1].first, 0.07, 1e-9);
    EXPECT_EQ(first.ticks[1].second, 2);

    // Adding again changes nothing; with restart the object starts over.
    manager->addAnimated(&first, false);
    turnAt(0.10);
    manager->addAnimated(&first, true);
    turnAt(0.13);
    ASSERT_EQ(first.ticks.size(), 3u);
    EXPECT_NEAR(first.ticks[2].first, 0.03, 1e-9);
    EXPECT_EQ(first.ticks[2].second, 1);

    manager->removeAnimated(&first);
    EXPECT_TRUE(app.hasTimedTasks(manager));
    manager->removeAnimated(&second);
    EXPECT_FALSE(app.hasTimedTasks(manager));
    EXPECT_FALSE(manager->isTickRunning());
    turnAt(1.0);
    EXPECT_EQ(app.timedTaskCount(), 0u);
    EXPECT_EQ(second.ticks.size(), 3u);

    // A new object starts the tick again.
    manager->addAnimated(&second, false);
    EXPECT_TRUE(app.hasTimedTasks(manager));
    manager->removeAnimated(&second);
}

TEST_F(AnimationTest, AnObjectMayRemoveItselfOrAnotherDuringItsTick)
{
    Animated leaving, removed, staying;
    leaving.action = [&] {
        manager->removeAnimated(&leaving);
        manager->removeAnimated(&removed);
    };
    manager->addAnimated(&leaving, false);
    manager->addAnimated(&removed, false);
    manager->addAnimated(&staying, false);
    turnAt(0.05);
    turnAt(0.09);
    EXPECT_EQ(leaving.ticks.size(), 1u);
    EXPECT_TRUE(removed.ticks.empty());
    EXPECT_EQ(staying.ticks.size(), 2u);
    manager->removeAnimated(&staying);
}

} // namespace
