#include "host/app/vphoApplication.h"
#include "hostfw/res/epiResources.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

// This program carries the host's pack: a "RazHost" folder pack beside it is
// never looked at.
TEST(ResourcePack, theProgramsOwnPackIsUsedAndNoRazHostFileIsSought)
{
    testsupport::TempFolder folder;
    const auto planted = folder.root() / "RazHost.frs";
    std::filesystem::create_directories(planted / "layouts");
    std::ofstream(planted / "epi.frs").flush();
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.root());

    epiResources resources;
    BorvanQomPluginLoadInfo info;
    std::string problem;
    const bool opened =
        vphoOpenResourcePack(resources, info, folder.root().string() + "/", problem);
    std::filesystem::current_path(previous);
    ASSERT_TRUE(opened) << problem;
    EXPECT_FALSE(resources.isFolderSource());
    epiText text;
    EXPECT_TRUE(resources.loadText("PlayerView.xml", epiCode("laya"), text));
}

} // namespace
