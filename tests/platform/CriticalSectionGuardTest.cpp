#include "platform/CriticalSection.h"

#include <gtest/gtest.h>

#include <future>

using platform::CriticalSection;

namespace {

bool tryFromAnotherThread(CriticalSection& section)
{
    return std::async(std::launch::async,
                      [&] {
                          platform::ScopedTryEnter attempt(section);
                          return static_cast<bool>(attempt);
                      })
        .get();
}

} // namespace

TEST(CriticalSectionGuards, TryEnterFailsElsewhereWhileHeldAndEachEnterNeedsItsLeave)
{
    CriticalSection section;
    section.enter();
    EXPECT_TRUE(section.tryEnter()); // the owner enters again
    EXPECT_FALSE(tryFromAnotherThread(section));
    section.leave();
    EXPECT_FALSE(tryFromAnotherThread(section)); // still held once
    section.leave();
    EXPECT_TRUE(tryFromAnotherThread(section));

    {
        platform::ScopedEnter held(section);
        EXPECT_FALSE(tryFromAnotherThread(section));
    }
    EXPECT_TRUE(tryFromAnotherThread(section));
}
