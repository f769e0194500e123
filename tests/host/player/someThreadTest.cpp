#include "host/player/someThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Polls its flag until asked to stop, or returns at once when told to.
class Worker : public player::someThread {
public:
    explicit Worker(bool poll) : poll_(poll) {}
    ~Worker() override { join(); }
    std::atomic<int> runs{0};
    std::atomic<bool> ended{false};

protected:
    void run() override
    {
        ++runs;
        while (poll_ && isRunning())
            std::this_thread::yield();
        ended = true;
    }

private:
    bool poll_;
};

TEST(someThread, DestroyingANeverStartedThreadReturnsAtOnce)
{
    Worker worker(true);
    EXPECT_FALSE(worker.started());
    EXPECT_FALSE(worker.isRunning());
    EXPECT_EQ(worker.runs, 0);
}

TEST(someThread, JoinAfterARunThatEndedByItselfReturnsAtOnce)
{
    Worker worker(false);
    ASSERT_TRUE(worker.start());
    while (!worker.ended)
        std::this_thread::yield();
    EXPECT_TRUE(worker.isRunning()) << "a run that ends by itself leaves the flag set";
    worker.join();
    EXPECT_FALSE(worker.started());
    EXPECT_FALSE(worker.isRunning());
    worker.join(); // a second join has nothing to wait for
    EXPECT_EQ(worker.runs, 1);
}

TEST(someThread, RequestStopEndsAPollingRun)
{
    Worker worker(true);
    ASSERT_TRUE(worker.start());
    EXPECT_FALSE(worker.start()) << "one thread at a time";
    worker.requestStop();
    while (!worker.ended)
        std::this_thread::yield();
    worker.join();
    EXPECT_EQ(worker.runs, 1);
}

TEST(someThread, AJoinRightAfterStartIsNotLostToTheNewThread)
{
    // The flag is raised before the thread runs: a stop made before the new
    // thread gets going still ends its polling run.
    for (int i = 0; i < 50; ++i) {
        Worker worker(true);
        ASSERT_TRUE(worker.start());
        worker.join();
        EXPECT_TRUE(worker.ended);
    }
}

TEST(someThread, RunHereRunsOnTheCallingThread)
{
    Worker worker(false);
    worker.runHere();
    EXPECT_EQ(worker.runs, 1);
    EXPECT_FALSE(worker.started());
}

} // namespace
