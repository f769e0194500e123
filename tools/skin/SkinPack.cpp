// Packs every file of a folder (no subfolders) into one resource pack, each
// entry named after its file and stored as it is.
//
//   skin_pack <pack file> <folder>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "SkinFiles.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: skin_pack <pack file> <folder>\n";
        return 2;
    }
    try {
        std::vector<std::pair<std::string, std::string>> entries;
        for (const auto& file : std::filesystem::directory_iterator(argv[2])) {
            if (!file.is_regular_file())
                continue;
            std::ifstream in(file.path(), std::ios::binary);
            entries.emplace_back(file.path().filename().string(),
                                 std::string(std::istreambuf_iterator<char>(in), {}));
        }
        const std::string pack = skin::packBytes(std::move(entries));
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out.write(pack.data(), static_cast<std::streamsize>(pack.size()));
        if (!out)
            throw std::runtime_error(std::string("cannot write ") + argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "skin_pack: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
