#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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

    std::filesystem::path root;
};

} // namespace test
