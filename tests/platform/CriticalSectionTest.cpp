#include "platform/CriticalSection.h"

#include <gtest/gtest.h>

#include <future>

namespace {

bool otherThreadEnters(platform::CriticalSection& section)
{
    return std::async(std::launch::async,
                      [&section] {
                          if (!section.tryLock())
                              return false;
                          section.unlock();
                          return true;
                      })
        .get();
}

TEST(CriticalSection, TheHolderEntersAgainAndOthersWaitUntilItLeavesEveryLevel)
{
    platform::CriticalSection section;
    EXPECT_TRUE(otherThreadEnters(section));
    section.lock();
    EXPECT_TRUE(section.tryLock()); // recursive for the holder
    section.lock();
    EXPECT_FALSE(otherThreadEnters(section));
    section.unlock();
    section.unlock();
    EXPECT_FALSE(otherThreadEnters(section));
    section.unlock();
    EXPECT_TRUE(otherThreadEnters(section));
}

} // namespace
