// Offline runner for the side-by-side comparison: one amp head, with its default settings,
// over a WAV file in host blocks of 256 frames through the module host as the rig runs it.
//
//   amps-runner HEAD in.wav out.wav
//
// HEAD is one of RKMClassic_DSM0, RKMClassic_DSM1, V9E_50W_DSM0, V9E_50W_DSM1, V9E_100W_DSM0,
// V9E_100W_DSM1, RE500, RKM4Pro. The first channel of the input is played; the output is mono
// 32-bit float at the input's rate.
#include "tests/models/amps/AmpRig.h"

#include <sndfile.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Head {
    const char* name;
    amps::Model model;
    float dsm;
    float watts;
};

constexpr Head kHeads[] = {
    {"RKMClassic_DSM0", amps::Model::RKMClassic, 0.0f, 1.0f},
    {"RKMClassic_DSM1", amps::Model::RKMClassic, 1.0f, 1.0f},
    {"V9E_50W_DSM0", amps::Model::V9E, 0.0f, 0.0f},
    {"V9E_50W_DSM1", amps::Model::V9E, 1.0f, 0.0f},
    {"V9E_100W_DSM0", amps::Model::V9E, 0.0f, 1.0f},
    {"V9E_100W_DSM1", amps::Model::V9E, 1.0f, 1.0f},
    {"RE500", amps::Model::RE500, 0.0f, 1.0f},
    {"RKM4Pro", amps::Model::RKM4Pro, 0.0f, 1.0f},
};

constexpr sf_count_t kBlock = 256;

int usage()
{
    std::fprintf(stderr, "usage: amps-runner HEAD in.wav out.wav\nHEAD:");
    for (const Head& head : kHeads)
        std::fprintf(stderr, " %s", head.name);
    std::fprintf(stderr, "\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return usage();
    const Head* head = nullptr;
    for (const Head& h : kHeads)
        if (std::strcmp(argv[1], h.name) == 0)
            head = &h;
    if (head == nullptr)
        return usage();

    SF_INFO inInfo{};
    SNDFILE* in = sf_open(argv[2], SFM_READ, &inInfo);
    if (in == nullptr) {
        std::fprintf(stderr, "amps-runner: %s: %s\n", argv[2], sf_strerror(nullptr));
        return 1;
    }
    SF_INFO outInfo{};
    outInfo.samplerate = inInfo.samplerate;
    outInfo.channels = 1;
    outInfo.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* out = sf_open(argv[3], SFM_WRITE, &outInfo);
    if (out == nullptr) {
        std::fprintf(stderr, "amps-runner: %s: %s\n", argv[3], sf_strerror(nullptr));
        sf_close(in);
        return 1;
    }

    amps::AmpRig rig(static_cast<float>(inInfo.samplerate));
    rig.choose(head->model, amps::headDefaults(head->model, head->dsm, head->watts));

    const auto channels = static_cast<std::size_t>(inInfo.channels);
    std::vector<float> frames(static_cast<std::size_t>(kBlock) * channels), input(kBlock),
        output(kBlock);
    for (;;) {
        const sf_count_t n = sf_readf_float(in, frames.data(), kBlock);
        if (n <= 0)
            break;
        for (sf_count_t i = 0; i < n; ++i)
            input[static_cast<std::size_t>(i)] = frames[static_cast<std::size_t>(i) * channels];
        const float* inputs[] = {input.data()};
        float* outputs[] = {output.data()};
        rig.host.processHost(inputs, outputs, static_cast<std::uint32_t>(n));
        if (sf_writef_float(out, output.data(), n) != n) {
            std::fprintf(stderr, "amps-runner: %s: %s\n", argv[3], sf_strerror(out));
            sf_close(in);
            sf_close(out);
            return 1;
        }
    }
    sf_close(in);
    return sf_close(out) == 0 ? 0 : 1;
}
