// Draws the editor's skin into a folder: every image as a TGA (gzip-compressed
// as .tgz when large), the two bitmap fonts, the hand-written layouts copied
// as they are, and a contact sheet PNG of all images for people to look at.
//
//   skin_generator <skin folder> <layouts folder> <DejaVu folder> <contact sheet .png>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "CabArt.h"
#include "ModuleArt.h"
#include "PanelArt.h"
#include "PresetArt.h"
#include "SkinArt.h"

namespace {

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

int run(int argc, char** argv)
{
    if (argc != 5) {
        std::cerr << "usage: skin_generator <skin folder> <layouts folder> <DejaVu folder> "
                     "<contact sheet .png>\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const std::filesystem::path layouts = argv[2];
    const std::string fonts = argv[3];
    std::filesystem::create_directories(out);

    std::vector<skin::Art> images = skin::drawControls();
    for (skin::Art& panel : skin::drawPanels(fonts + "/DejaVuSans-Bold.ttf"))
        images.push_back(std::move(panel));
    for (skin::Art& module : skin::drawModules(fonts + "/DejaVuSans-Bold.ttf"))
        images.push_back(std::move(module));
    for (skin::Art& cabinet : skin::drawCabinets(fonts + "/DejaVuSans-Bold.ttf"))
        images.push_back(std::move(cabinet));
    for (skin::Art& font :
         skin::drawFonts({{"LabelFont", fonts + "/DejaVuSans-Bold.ttf", 11},
                          {"DisplayFont", fonts + "/DejaVuSansCondensed-Bold.ttf", 16}}))
        images.push_back(std::move(font));
    for (skin::Art& art : skin::drawPresetArt(fonts + "/DejaVuSans-Bold.ttf"))
        images.push_back(std::move(art));
    for (const skin::Art& art : images) {
        const auto [name, bytes] = skin::imageFile(art);
        writeFile(out / name, bytes);
    }
    for (const auto& entry : std::filesystem::directory_iterator(layouts)) {
        if (entry.path().extension() == ".xml")
            std::filesystem::copy_file(entry.path(), out / entry.path().filename(),
                                       std::filesystem::copy_options::overwrite_existing);
    }
    skin::writeContactSheet(images, fonts + "/DejaVuSans-Bold.ttf", argv[4]);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    int status = 1;
    try {
        status = run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "skin_generator: " << e.what() << '\n';
    }
    skin::releaseLibraries();
    return status;
}
