#include "tests/support/TempFolder.h"

#include "editor/resources/Shell.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

// Sets PATH for one test and puts the old value back.
class PathScope {
public:
    explicit PathScope(const std::string& path)
    {
        if (const char* old = std::getenv("PATH"))
            old_ = old;
        ::setenv("PATH", path.c_str(), 1);
    }
    ~PathScope() { ::setenv("PATH", old_.c_str(), 1); }

private:
    std::string old_;
};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = platform::setMessageHandler(
            [this](const std::string& text, const std::string& caption, int kind) {
                messages.push_back(caption + ": " + text + " (" + std::to_string(kind) + ")");
                return true;
            });
    }
    void TearDown() override { platform::setMessageHandler(previous); }

    testsupport::TempFolder temp;
    std::vector<std::string> messages;
    platform::MessageHandler previous;
};

TEST_F(ShellTest, xdgOpenReceivesThePathAsOneArgument)
{
    // The stub writes its argument count and each argument on a line, then
    // renames the record into place so the test never sees half of it.
    const std::string record = temp.path("record");
    temp.write("bin/xdg-open", "#!/bin/sh\n"
                               "{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > '" +
                                   record +
                                   ".part'\n"
                                   "/bin/mv '" +
                                   record + ".part' '" + record + "'\n");
    std::filesystem::permissions(temp.path("bin/xdg-open"), std::filesystem::perms::owner_all);
    const std::string folder = "/tmp/My \"Bass\" Presets/it's $HOME; ls";
    {
        PathScope path(temp.path("bin") + ":/usr/bin:/bin");
        Zq::Application::Utils::openFolderInShell(folder);
    }
    // The child runs on its own; wait for its record (bounded, never timed).
    for (int i = 0; i < 2000 && !std::filesystem::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(temp.read("record"), "1\n" + folder + "\n");
    EXPECT_TRUE(messages.empty());
}

TEST_F(ShellTest, withoutXdgOpenTheUserIsToldOnce)
{
    {
        PathScope path("");
        Zq::Application::Utils::openFolderInShell("/tmp");
        Zq::Application::Utils::openFolderInShell("");
    }
    EXPECT_EQ(messages, std::vector<std::string>{
                            "BorvanQom: Can't open the folder: xdg-open is not installed (0)"});
}

} // namespace
