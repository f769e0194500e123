#include "host/app/vphoApplication.h"
#include "hostfw/app/epiMenu.h"
#include "hostfw/res/epiResources.h"
#include "platform/EventPump.h"

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

namespace {

// The program's main bar: the set-ups and Quit on Control+Q, routed as the
// plug-in window's commands.
TEST(ResourcePack, theMainBarsCarryTheWindowsCommands)
{
    platform::HeadlessEventPump events;
    struct Application : epiWindowApplication {
    } app;
    app.setEventPump(&events);
    ASSERT_TRUE(app.init());
    BorvanQomPluginLoadInfo info;
    std::string problem;
    ASSERT_TRUE(vphoOpenResourcePack(*app.getResources(), info, "/", problem));
    for (const char* bar : {"mainbar_nomidi.xml", "mainbar_midi.xml"}) {
        SCOPED_TRACE(bar);
        ASSERT_TRUE(app.getMenu()->loadMenuBar(bar));
        std::vector<epiFourCC> codes;
        for (const auto& command : app.getMenu()->commands())
            codes.push_back(command.code);
        EXPECT_EQ(codes,
                  (std::vector<epiFourCC>{epiCode("amst"), epiCode("bpst"), epiCode("quit")}));
        const auto& keys = app.getMenu()->getAcceleratorTable();
        ASSERT_EQ(keys.size(), 1u);
        EXPECT_EQ(keys[0].flags & epiAccelerator::kControl, epiAccelerator::kControl);
        EXPECT_EQ(keys[0].key, static_cast<std::uint32_t>('Q'));
        EXPECT_EQ(keys[0].commandId, app.getMenu()->commands()[2].id);
    }
    app.exit();
}

} // namespace
