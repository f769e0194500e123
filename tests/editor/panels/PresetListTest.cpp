#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "editor/panels/PresetList.h"
#include "editor/panels/PresetNavigator.h"
#include "plugin/rig/Rig.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using Zq::BorvanRAZ::GUI::PresetList;
using Zq::BorvanRAZ::GUI::PresetNavigator;

// The flat list of a scan, in menu and previous/next order, each path relative
// to the preset folder.
std::vector<std::string> flat(const std::string& folder)
{
    Zq::BorvanRAZ::Document::Rig rig;
    PresetNavigator navigator(rig, rig);
    navigator.fill(PresetList(folder), nullptr);
    std::vector<std::string> relative;
    for (const std::string& path : navigator.getList())
        relative.push_back(path.substr(folder.size() + 1));
    return relative;
}

TEST(PresetListTest, FoldersComeFirstAndNamesSortAlikeWhateverTheCreationOrder)
{
    const std::vector<std::string> names = {"C.qomp", "F/B.qomp", "F/A.qomp",   "b.qomp",  "a.qomp",
                                            "B.qomp", "e/x.qomp", "F/G/z.qomp", "Zed.qomp"};
    testsupport::TempFolder forward;
    testsupport::TempFolder backward;
    for (auto it = names.begin(); it != names.end(); ++it)
        forward.write("Presets/" + *it, "<Preset/>");
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        backward.write("Presets/" + *it, "<Preset/>");
    const std::vector<std::string> expected = {"e",          "e/x.qomp", "F",        "F/G",
                                               "F/G/z.qomp", "F/A.qomp", "F/B.qomp", "a.qomp",
                                               "B.qomp",     "b.qomp",   "C.qomp",   "Zed.qomp"};
    EXPECT_EQ(flat(forward.path("Presets")), expected);
    EXPECT_EQ(flat(backward.path("Presets")), expected);
}

TEST(PresetListTest, OnlyRegularFilesEndingInExactlyTheExtensionAreListed)
{
    testsupport::TempFolder temp;
    for (const char* name : {"Old.QOMP", "Old.qomp", "notes.txt", "Old.qomp.bak", "qomp",
                             ".~Slap.qomp~123-4-0", "Empty/"})
        std::string(name).back() == '/' ? temp.makeFolder(std::string("P/") + name)
                                        : temp.write(std::string("P/") + name, "<Preset/>");
    ASSERT_EQ(::mkfifo(temp.path("P/Pipe.qomp").c_str(), 0644), 0);
    fs::create_symlink(temp.path("P/Old.qomp"), temp.path("P/Link.qomp"));
    fs::create_symlink(temp.path("P/Gone"), temp.path("P/Dangling.qomp"));
    fs::create_symlink(temp.path("P/Loop.qomp"), temp.path("P/Loop.qomp"));
    EXPECT_EQ(flat(temp.path("P")), (std::vector<std::string>{"Empty", "Link.qomp", "Old.qomp"}));
    EXPECT_TRUE(PresetList::isPresetName("Slap.qomp"));
    EXPECT_FALSE(PresetList::isPresetName("Slap.qomp~"));
}

TEST(PresetListTest, DeepFoldersAreScannedAndLinksToFoldersAreNotFollowed)
{
    testsupport::TempFolder temp;
    std::string deep = "P";
    for (int level = 1; level <= 10; ++level)
        deep += "/L" + std::to_string(level);
    temp.write(deep + "/Deep.qomp", "<Preset/>");
    temp.write("P/Top.qomp", "<Preset/>");
    // A link to an ancestor would never end; a link to a folder elsewhere
    // is not followed either.
    fs::create_directory_symlink(temp.path("P"), temp.path("P/L1/L2/Up"));
    fs::create_directory_symlink(temp.path("P/L1"), temp.path("P/Side"));
    const std::vector<std::string> list = flat(temp.path("P"));
    ASSERT_EQ(list.size(), 12u);
    EXPECT_EQ(list[9], "L1/L2/L3/L4/L5/L6/L7/L8/L9/L10");
    EXPECT_EQ(list[10], deep.substr(2) + "/Deep.qomp");
    EXPECT_EQ(list[11], "Top.qomp");
}

// The scan of the folder as one joined line, in a child process that gave up
// the capabilities by which root reads any folder, so that permissions bind
// for every user.
std::string flatWithoutOverride(const std::string& folder)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (::syscall(SYS_capget, &header, data) == 0) {
            for (auto& set : data)
                set.effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            ::syscall(SYS_capset, &header, data);
        }
        std::string joined;
        for (const std::string& entry : flat(folder))
            joined += entry + "|";
        [[maybe_unused]] const auto written = ::write(fds[1], joined.data(), joined.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string joined;
    char chunk[256];
    for (ssize_t n; (n = ::read(fds[0], chunk, sizeof chunk)) > 0;)
        joined.append(chunk, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return joined;
}

TEST(PresetListTest, AnUnreadableFolderStaysEmptyAndTheRestIsListed)
{
    testsupport::TempFolder temp;
    temp.write("P/A/Hidden.qomp", "<Preset/>");
    temp.write("P/B/Seen.qomp", "<Preset/>");
    temp.write("P/C.qomp", "<Preset/>");
    fs::permissions(temp.path("P/A"), fs::perms::none);
    const std::string list = flatWithoutOverride(temp.path("P"));
    fs::permissions(temp.path("P/A"), fs::perms::owner_all);
    EXPECT_EQ(list, "A|B|B/Seen.qomp|C.qomp|");
}

TEST(PresetListTest, AMissingFolderIsCreatedAnEmptyLocationCreatesNothing)
{
    testsupport::TempFolder temp;
    EXPECT_TRUE(flat(temp.path("Presets")).empty());
    EXPECT_TRUE(fs::is_directory(temp.path("Presets")));
    // One level only.
    EXPECT_TRUE(PresetList(temp.path("No/Presets")).getRoot().children.empty());
    EXPECT_FALSE(fs::exists(temp.path("No")));
    // A file where the folder should be gives an empty tree.
    temp.write("File", "x");
    EXPECT_TRUE(PresetList(temp.path("File")).getRoot().children.empty());
    // An empty location: nothing is made in the working folder.
    const fs::path working = fs::current_path();
    fs::current_path(temp.root());
    const PresetList empty("");
    fs::current_path(working);
    EXPECT_TRUE(empty.getRoot().children.empty());
    EXPECT_EQ(empty.getRoot().name, "Presets");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.root()), fs::directory_iterator()), 2);
}

TEST(PresetListTest, NameForms)
{
    EXPECT_EQ(PresetList::leaf("/p/F/My.Song.qomp"), "My.Song.qomp");
    EXPECT_EQ(PresetList::stem("/p/F/My.Song.qomp"), "My.Song");
    EXPECT_EQ(PresetList::stem("/p/F/Plain"), "Plain");
    EXPECT_EQ(PresetList::stem("Slap.qomp"), "Slap");
}

} // namespace

namespace {

TEST(PresetNavigatorTest, ANameAsLongAsTheFileSystemAllowsSavesWithoutATemporaryLeft)
{
    testsupport::TempFolder temp;
    Zq::BorvanRAZ::Document::Rig rig;
    PresetNavigator navigator(rig, rig);
    const std::string name(250, 'x');
    const std::string path = temp.path(name + ".qomp");
    ASSERT_TRUE(navigator.saveAs(path));
    EXPECT_EQ(rig.getPresetName(), name);
    EXPECT_EQ(navigator.getName(), name);
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.root()), fs::directory_iterator()), 1);
    EXPECT_TRUE(navigator.loadPath(path));
}

} // namespace
