#include "hostfw/core/epiFileDump.h"
#include "hostfw/res/epiResMedia.h"
#include "hostfw/res/epiResources.h"
#include "platform/EmbeddedBlob.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string readWhole(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What the program's pack must hold: every file of the resource folder (but
// hidden ones) and every generated asset, by pack name.
std::map<std::string, fs::path> expectedFiles()
{
    std::map<std::string, fs::path> files;
    const fs::path root = HOST_RESOURCES_DIR;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::path relative = fs::relative(entry.path(), root);
        bool hidden = false;
        for (const auto& part : relative)
            hidden = hidden || part.string().starts_with(".");
        if (entry.is_regular_file() && !hidden)
            files["/" + relative.generic_string()] = entry.path();
    }
    std::ifstream assets(HOST_PACK_ASSETS_LIST);
    for (std::string line; std::getline(assets, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            files[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return files;
}

TEST(EmbeddedPack, IsLinkedInBigEndian)
{
    platform::EmbeddedBlob blob;
    ASSERT_TRUE(platform::findEmbeddedBlob(epiResources::kEmbeddedPackId, blob));
    ASSERT_GE(blob.size, 12u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(blob.data), 12),
              std::string("\x61\x74\x6D\x73\0\0\0\0\0\0\0\x01", 12));
}

TEST(EmbeddedPack, HoldsEveryResourceByteForByteInNameOrder)
{
    epiResources resources;
    ASSERT_TRUE(resources.openEmbedded(0, nullptr));
    ASSERT_TRUE(resources.source()->fileExists("epi.frs"));

    const auto expected = expectedFiles();
    epiText all;
    resources.listResources(epiCode("none"), all, true);
    ASSERT_EQ(all.countLines(), expected.size());
    std::size_t line = 0;
    epiText name;
    for (const auto& [packName, file] : expected) {
        all.getLineInto(line++, name);
        EXPECT_EQ("/" + name.str(), packName); // bytewise name order
        epiFileDump dump;
        ASSERT_TRUE(resources.loadData(packName.c_str() + 1, epiCode("none"), dump)) << packName;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(dump.getData()), dump.getSize()),
                  readWhole(file))
            << packName;
    }

    epiText marker;
    ASSERT_TRUE(resources.loadText("epi.frs", epiCode("none"), marker));
    EXPECT_TRUE(marker.contains("epiResourceFile"));
}

} // namespace
