#include "platform/DebugOutput.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DebugOutput, AnInstalledSinkReceivesTheTextUnchangedUntilReplaced)
{
    std::string first;
    std::string second;
    auto original = platform::setDebugOutputSink([&](std::string_view text) { first += text; });
    platform::debugOutput("Blend Optimizaions\n");
    auto mine = platform::setDebugOutputSink([&](std::string_view text) { second += text; });
    platform::debugOutput("two");
    ASSERT_TRUE(mine);
    mine("direct");
    platform::setDebugOutputSink(std::move(original));
    platform::debugOutput("to the default sink, which these tests leave silent");
    EXPECT_EQ(first, "Blend Optimizaions\ndirect");
    EXPECT_EQ(second, "two");
}

} // namespace
