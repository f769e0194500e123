#include "platform/ProcessorIdentity.h"

#include <gtest/gtest.h>

namespace {

TEST(ProcessorIdentity, FamilyAddsTheExtendedFamilyOnlyFromFifteenOn)
{
    platform::ProcessorIdentity p;
    p.version = 0x00000F00u | (0x0Au << 20);
    EXPECT_EQ(p.family(), 0x19u);
    p.version = 0x00000600u | (0x0Au << 20);
    EXPECT_EQ(p.family(), 6u);
}

#if defined(__x86_64__)
TEST(ProcessorIdentity, ThisProcessorIdentifiesItself)
{
    const platform::ProcessorIdentity p = platform::queryProcessor();
    EXPECT_EQ(p.vendor.size(), 12u);
    EXPECT_NE(p.featuresEdx & platform::ProcessorIdentity::kSse, 0u);
    EXPECT_NE(p.featuresEdx & platform::ProcessorIdentity::kMmx, 0u);
    EXPECT_GE(p.family(), 6u);
    EXPECT_TRUE(p.systemSavesSseState);
}
#endif

} // namespace
