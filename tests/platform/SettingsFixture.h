#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace test {

// Points the settings store at a fresh temporary root for one test.
class SettingsRootTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zq-settings-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        ::setenv("ZQ_SETTINGS_ROOT", root.c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("ZQ_SETTINGS_ROOT");
        std::filesystem::remove_all(root);
    }

    std::size_t filesUnderRoot() const
    {
        std::size_t count = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            count += entry.is_regular_file() ? 1 : 0;
        return count;
    }

    // Where the store keeps a value (names here need no escaping).
    std::filesystem::path valueFile(const std::string& key, const std::string& value) const
    {
        return root / "Zq Sonware" / key / value;
    }

    // Puts something that is not a readable value file where the value
    // belongs: "fifo" (opening it for reading would wait for a writer for
    // good), "folder", "loop" (a symbolic link to itself), "unreadable" (mode
    // 000; only where permissions bind, so not for root). False when the kind
    // cannot be made here.
    bool plantUnreadable(const std::string& key, const std::string& value, const std::string& kind)
    {
        const std::filesystem::path path = valueFile(key, value);
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::remove_all(path);
        if (kind == "fifo")
            return ::mkfifo(path.c_str(), 0644) == 0;
        if (kind == "folder")
            return std::filesystem::create_directory(path);
        if (kind == "loop")
            return ::symlink(path.c_str(), path.c_str()) == 0;
        if (::geteuid() == 0)
            return false;
        std::ofstream(path) << "string\n/somewhere";
        return ::chmod(path.c_str(), 0) == 0;
    }
    static constexpr const char* kUnreadableKinds[] = {"fifo", "folder", "loop", "unreadable"};

    std::filesystem::path root;
};

} // namespace test
