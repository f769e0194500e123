#include "SettingsFixture.h"

#include "platform/Settings.h"

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

using namespace platform;
using test::SettingsRootTest;

TEST_F(SettingsRootTest, ValuesRoundTripAndWrongTypesOrSizesReadAsFalse)
{
    const std::string longest(kMaxStringBytes, 'x');
    const std::string tooLong(kMaxStringBytes + 1, 'y');
    writeRegistryString("BorvanQom", "Empty", "");
    writeRegistryString("BorvanQom", "Longest", longest);
    writeRegistryString("BorvanQom", "TooLong", tooLong);
    writeRegistryString("BorvanQom", "ResPath", "/opt/rig/res");
    writeRegistryNumber("BorvanQom", "Lowest", INT32_MIN);
    writeRegistryNumber("BorvanQom", "Highest", INT32_MAX);

    const struct {
        const char* name;
        bool ok;
        std::string text;
    } strings[] = {{"Empty", true, ""},
                   {"Longest", true, longest},
                   {"ResPath", true, "/opt/rig/res"},
                   {"TooLong", false, "untouched"},
                   {"Lowest", false, "untouched"}, // a number read as text
                   {"Missing", false, "untouched"}};
    for (const auto& c : strings) {
        std::string out = "untouched";
        EXPECT_EQ(readRegistryString("BorvanQom", c.name, out), c.ok) << c.name;
        EXPECT_EQ(out, c.ok ? c.text : "untouched") << c.name;
    }

    const struct {
        const char* name;
        bool ok;
        std::int32_t value;
    } numbers[] = {{"Lowest", true, INT32_MIN},
                   {"Highest", true, INT32_MAX},
                   {"ResPath", false, 77},
                   {"Missing", false, 77}};
    for (const auto& c : numbers) {
        std::int32_t out = 77;
        EXPECT_EQ(readRegistryNumber("BorvanQom", c.name, out), c.ok) << c.name;
        EXPECT_EQ(out, c.value) << c.name;
    }

    // A stored text with a zero byte reads up to it.
    writeRegistryString("BorvanQom", "Zero", std::string("ab\0cd", 5));
    std::string out;
    EXPECT_TRUE(readRegistryString("BorvanQom", "Zero", out));
    EXPECT_EQ(out, "ab");

    RegistrySettings settings("BorvanQom");
    settings.writeNumber("DSMActive", 1);
    std::int32_t dsm = 0;
    EXPECT_TRUE(settings.readNumber("DSMActive", dsm));
    EXPECT_EQ(dsm, 1);
}

// Nothing a read meets may make it wait or pass for a missing value: a FIFO,
// a folder, a link loop and an unreadable file are refused at once, with the
// reason; the output is left as it was.
TEST_F(SettingsRootTest, WhatIsNotARegularReadableFileIsRefusedAtOnceWithTheReason)
{
    for (const char* kind : kUnreadableKinds) {
        if (!plantUnreadable("Product", "Value", kind))
            continue;
        SCOPED_TRACE(kind);
        std::string text = "kept";
        std::int32_t number = 7;
        std::string problem;
        EXPECT_FALSE(platform::readRegistryString("Product", "Value", text, &problem));
        EXPECT_FALSE(problem.empty());
        EXPECT_EQ(text, "kept");
        problem.clear();
        EXPECT_FALSE(platform::readRegistryNumber("Product", "Value", number, &problem));
        EXPECT_FALSE(problem.empty());
        EXPECT_EQ(number, 7);
    }
    // A missing value, or one of the other type, has no problem to tell.
    std::string text;
    std::string problem = "set";
    EXPECT_FALSE(platform::readRegistryString("Product", "Missing", text, &problem));
    EXPECT_EQ(problem, "");
    platform::writeRegistryNumber("Product", "Number", 3);
    problem = "set";
    EXPECT_FALSE(platform::readRegistryString("Product", "Number", text, &problem));
    EXPECT_EQ(problem, "");
}

// A writer killed between its write and its rename leaves a temporary file;
// the next write of that value removes it (and only those of a process that
// is gone, of that value).
TEST_F(SettingsRootTest, StaleTemporaryFilesGoAtTheNextWriteOfTheirValue)
{
    platform::writeRegistryString("Product", "Value", "first");
    const std::filesystem::path folder = valueFile("Product", "Value").parent_path();
    // A process id that no running process has: the highest one the kernel
    // could hand out, plus one.
    long maxPid = 4194304;
    std::ifstream("/proc/sys/kernel/pid_max") >> maxPid;
    const std::string gone = std::to_string(maxPid + 1);
    const std::filesystem::path stale = folder / ("~Value~" + gone + "-1-0");
    const std::filesystem::path otherValue = folder / ("~Other~" + gone + "-1-0");
    const std::filesystem::path running =
        folder / ("~Value~" + std::to_string(::getpid()) + "-1-0");
    for (const auto& path : {stale, otherValue, running})
        std::ofstream(path) << "string\nhalf";

    platform::writeRegistryString("Product", "Value", "second");
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(otherValue));
    EXPECT_TRUE(std::filesystem::exists(running));
    std::string text;
    ASSERT_TRUE(platform::readRegistryString("Product", "Value", text));
    EXPECT_EQ(text, "second");
}

TEST_F(SettingsRootTest, ReadsCreateNothing)
{
    std::string text;
    std::int32_t number = 0;
    EXPECT_FALSE(readRegistryString("NoSuchProduct", "DUZ2Path", text));
    EXPECT_FALSE(readRegistryNumber("NoSuchProduct", "VstID", number));
    EXPECT_TRUE(std::filesystem::is_empty(root));
}

TEST_F(SettingsRootTest, NamesStayInsideTheirKeysFolder)
{
    const char* names[] = {"../x", "a/b", "Host.InputGain", "Overwrite Preset", "..", ".",
                           "",     "~tmp"};
    for (const char* name : names)
        writeRegistryString("Carapace", name, std::string("value of ") + name);
    writeRegistryString("../escape", "Value", "kept in its own key");

    const std::filesystem::path key = root / "Zq Sonware" / "Carapace";
    std::set<std::string> keys;
    for (const auto& entry : std::filesystem::directory_iterator(root / "Zq Sonware"))
        keys.insert(entry.path().filename().string());
    EXPECT_EQ(keys, (std::set<std::string>{"Carapace", "..%2Fescape"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root), {}), 1); // only "Zq Sonware"
    for (const char* name : names) {
        std::string out;
        EXPECT_TRUE(readRegistryString("Carapace", name, out)) << name;
        EXPECT_EQ(out, std::string("value of ") + name);
    }
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(key))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, std::size(names));
}

TEST(SettingsRoot, FollowsTheEnvironment)
{
    const auto restore = [](const char* name, const char* old) {
        old ? ::setenv(name, old, 1) : ::unsetenv(name);
    };
    const std::string savedRoot =
        std::getenv("ZQ_SETTINGS_ROOT") ? std::getenv("ZQ_SETTINGS_ROOT") : "";
    const char* oldRoot = std::getenv("ZQ_SETTINGS_ROOT") ? savedRoot.c_str() : nullptr;
    const std::string savedXdg =
        std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME") ? savedXdg.c_str() : nullptr;
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";

    ::setenv("ZQ_SETTINGS_ROOT", "/tmp/a", 1);
    ::setenv("XDG_CONFIG_HOME", "/tmp/b", 1);
    ::setenv("HOME", "/tmp/c", 1);
    EXPECT_EQ(settingsRoot(), "/tmp/a");
    ::unsetenv("ZQ_SETTINGS_ROOT");
    EXPECT_EQ(settingsRoot(), "/tmp/b");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsRoot(), "/tmp/c/.config");

    restore("ZQ_SETTINGS_ROOT", oldRoot);
    restore("XDG_CONFIG_HOME", oldXdg);
    ::setenv("HOME", savedHome.c_str(), 1);
}

namespace {

std::string valueText(char writer, int round)
{
    // Long enough to span several writes if a writer were not atomic.
    return std::string(1, writer) + ":" + std::to_string(round) + ":" +
           std::string(300, static_cast<char>('a' + round % 26));
}

bool wellFormed(const std::string& text)
{
    const auto first = text.find(':');
    const auto second = text.find(':', first + 1);
    if (first != 1 || second == std::string::npos)
        return false;
    const int round = std::stoi(text.substr(2, second - 2));
    return text == valueText(text[0], round);
}

} // namespace

TEST_F(SettingsRootTest, ConcurrentWritersAndAReaderNeverSeeATornValue)
{
    auto spawn = [](auto body) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            body();
            ::_exit(0);
        }
        return pid;
    };
    auto writer = [](char name) {
        return [name] {
            for (int round = 0; round < 500; ++round)
                writeRegistryString("Race", std::string(1, name) + std::to_string(round % 10),
                                    valueText(name, round));
        };
    };
    const pid_t a = spawn(writer('A'));
    const pid_t b = spawn(writer('B'));
    const pid_t reader = spawn([] {
        int torn = 0;
        for (int pass = 0; pass < 300; ++pass)
            for (char name : {'A', 'B'})
                for (int k = 0; k < 10; ++k) {
                    std::string text;
                    if (readRegistryString("Race", std::string(1, name) + std::to_string(k),
                                           text) &&
                        !wellFormed(text))
                        ++torn;
                }
        ::_exit(torn == 0 ? 0 : 1);
    });
    for (pid_t pid : {a, b, reader}) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "process " << pid;
    }
    for (char name : {'A', 'B'})
        for (int k = 0; k < 10; ++k) {
            std::string text;
            ASSERT_TRUE(readRegistryString("Race", std::string(1, name) + std::to_string(k), text));
            EXPECT_EQ(text, valueText(name, 490 + k));
        }
    EXPECT_EQ(filesUnderRoot(), 20u); // no temporary file left behind
}
