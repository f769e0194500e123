#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes. Paths given to its helpers are relative to it.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "rigtest-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // The absolute path of a name inside, as a string ending in "/" when the
    // name does.
    std::string path(const std::string& name = "") const { return root_.string() + "/" + name; }
    void makeFolder(const std::string& name) const
    {
        std::filesystem::create_directories(root_ / name);
    }
    void write(const std::string& name, const std::string& bytes) const
    {
        const auto file = root_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(root_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(root_ / name); }
    // The number of entries directly inside a folder.
    std::size_t countEntries(const std::string& name = "") const
    {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(root_ / name))
            ++n;
        return n;
    }

private:
    std::filesystem::path root_;
};

} // namespace testsupport
