#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

// Names in the folder other than the ones given.
std::vector<std::string> othersIn(const fs::path& folder, const std::vector<std::string>& known)
{
    std::vector<std::string> others;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (std::find(known.begin(), known.end(), name) == known.end())
            others.push_back(name);
    }
    return others;
}

TEST(AtomicFileTest, WritesANewFileAndReplacesAnOldOneWholeLeavingNoTemporary)
{
    testsupport::TempFolder temp;
    const fs::path target = temp.root() / "Slap.qomp";
    std::string problem = "untouched";
    ASSERT_TRUE(platform::writeFileAtomically(target, "first", ".~Slap.qomp~", &problem));
    EXPECT_EQ(temp.read("Slap.qomp"), "first");
    EXPECT_EQ(problem, "untouched");
    ASSERT_TRUE(platform::writeFileAtomically(target, std::string(100000, 'x'), ".~Slap.qomp~"));
    EXPECT_EQ(temp.read("Slap.qomp"), std::string(100000, 'x'));
    EXPECT_TRUE(othersIn(temp.root(), {"Slap.qomp"}).empty());
}

// Every failure answers false with the step named, leaves the old file as it
// was and takes its temporary file away.
TEST(AtomicFileTest, AFailedWriteKeepsTheOldFileAndRemovesItsTemporary)
{
    testsupport::TempFolder temp;
    temp.write("Old.qomp", "old");
    temp.makeFolder("Folder.qomp/inside");

    struct Case {
        const char* what;
        fs::path target;
        const char* step;
    };
    const Case cases[] = {
        {"a missing folder", temp.root() / "Missing" / "New.qomp", "create"},
        {"a folder in the way", temp.root() / "Folder.qomp", "rename"},
        {"a full disk", temp.root() / "Old.qomp", "write"},
    };
    for (const Case& c : cases) {
        std::string problem;
        // The disk fills at 2 bytes; even root cannot write past it.
        std::optional<testsupport::FileSizeLimit> full;
        if (std::string(c.step) == "write")
            full.emplace(2);
        EXPECT_FALSE(platform::writeFileAtomically(c.target, "new", ".~tmp~", &problem)) << c.what;
        EXPECT_EQ(problem.rfind(c.step, 0), 0u) << c.what << ": " << problem;
    }
    EXPECT_EQ(temp.read("Old.qomp"), "old");
    EXPECT_TRUE(fs::is_directory(temp.root() / "Folder.qomp" / "inside"));
    EXPECT_TRUE(othersIn(temp.root(), {"Old.qomp", "Folder.qomp"}).empty());
}

} // namespace
