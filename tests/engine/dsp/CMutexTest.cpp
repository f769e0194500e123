#include "engine/dsp/CMutex.h"

#include <gtest/gtest.h>

#include <future>

namespace {

bool otherThreadEnters(utils::CMutex& mutex)
{
    return std::async(std::launch::async,
                      [&mutex] {
                          if (!mutex.tryLock())
                              return false;
                          mutex.unlock();
                          return true;
                      })
        .get();
}

TEST(CMutex, ReleaseAllGivesUpEveryLevelAndReacquireRestoresThem)
{
    utils::CMutex mutex;
    mutex.lock();
    mutex.lock();
    mutex.lock();
    EXPECT_EQ(mutex.getDepth(), 3);
    EXPECT_FALSE(otherThreadEnters(mutex));

    EXPECT_EQ(mutex.releaseAll(), 3);
    EXPECT_EQ(mutex.getDepth(), 0);
    EXPECT_TRUE(otherThreadEnters(mutex));

    mutex.reacquire(3);
    EXPECT_EQ(mutex.getDepth(), 3);
    EXPECT_FALSE(otherThreadEnters(mutex));
    for (int i = 0; i < 3; ++i)
        mutex.unlock();
    EXPECT_EQ(mutex.getDepth(), 0);
    EXPECT_TRUE(otherThreadEnters(mutex));
}

TEST(CMutex, ReleaseAllWithoutADepthReturnsItAndLeavesNothing)
{
    utils::CMutex mutex;
    EXPECT_EQ(mutex.releaseAll(), 0);
    mutex.reacquire(0);
    EXPECT_EQ(mutex.getDepth(), 0);
    EXPECT_TRUE(otherThreadEnters(mutex));
}

TEST(CMutex, TryLockNestsForTheHolder)
{
    utils::CMutex mutex;
    ASSERT_TRUE(mutex.tryLock());
    ASSERT_TRUE(mutex.tryLock());
    EXPECT_EQ(mutex.getDepth(), 2);
    EXPECT_FALSE(otherThreadEnters(mutex));
    mutex.unlock();
    mutex.unlock();
    EXPECT_TRUE(otherThreadEnters(mutex));
}

} // namespace
