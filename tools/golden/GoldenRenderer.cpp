// Renders every golden output of the rig into the folder given (the build's
// "regenerate_golden" target passes tests/golden/data). Run it only on purpose: after a
// change to the signal processing that is meant to change the sound, and then
// listen to or inspect what changed before committing the new files.
#include "tools/golden/Golden.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    std::uintmax_t total = 0;
    for (const golden::Configuration& c : golden::configurations()) {
        const golden::Rendering r = golden::render(c);
        float peak = 0.0f;
        bool finite = true;
        for (float v : r.samples) {
            finite = finite && std::isfinite(v);
            peak = std::max(peak, std::fabs(v));
        }
        if (!finite || peak == 0.0f) {
            std::fprintf(stderr, "%s: output is %s; nothing written\n", c.name.c_str(),
                         finite ? "silent" : "not finite");
            return 1;
        }
        const std::filesystem::path path = folder / (c.name + ".f32");
        if (!golden::write(path.string(), r)) {
            std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
            return 1;
        }
        total += std::filesystem::file_size(path);
        std::printf("%-34s %6u Hz %-7s %6u frames  peak %.4f\n", c.name.c_str(), r.rate,
                    golden::inputName(c.input), r.frames, peak);
    }
    for (const golden::TableHash& t : golden::tableHashes())
        std::printf("table %-12s %016llx\n", t.name.c_str(),
                    static_cast<unsigned long long>(t.hash));
    std::printf("%ju bytes in %s\n", total, folder.string().c_str());
    return 0;
}
