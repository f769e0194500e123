// Writes the benchmarks' bass line: a deterministic mono 44.1 kHz 16-bit WAV
// of plucked notes from E1 to G2 at several levels, with rests. The same
// algorithm, in the same order of operations in double precision, as
// bench/peer/make-bass.py, so both write the same bytes; the build runs this
// one, which needs nothing beyond the compiler.
//
//   MakeBassLine out.wav [seconds]

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;

// A 32-bit linear congruential generator, uniform in [0, 1).
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : state_(seed) {}
    double next()
    {
        state_ = 1664525u * state_ + 1013904223u;
        return static_cast<double>(state_) / 4294967296.0;
    }

private:
    std::uint32_t state_;
};

// A Karplus-Strong string: a low-passed noise burst circulating through a
// damped delay with a fractional tap for the tuning.
std::vector<double> pluck(double frequency, double seconds, double level, Lcg& rng)
{
    const double period = kRate / frequency;
    const auto length = static_cast<std::size_t>(period);
    const double frac = period - static_cast<double>(length);
    std::vector<double> burst(length);
    for (double& v : burst)
        v = 2.0 * rng.next() - 1.0;
    // A softer pick: two passes of a one-pole low-pass over the burst, then no DC.
    for (int pass = 0; pass < 2; ++pass) {
        double y = 0.0;
        for (double& v : burst) {
            y += 0.5 * (v - y);
            v = y;
        }
    }
    double sum = 0.0;
    for (double v : burst)
        sum += v;
    const double mean = sum / static_cast<double>(length);
    double peak = 0.0;
    for (double v : burst)
        peak = std::max(peak, std::fabs(v - mean));
    if (peak == 0.0)
        peak = 1.0;
    std::vector<double> line(length);
    for (std::size_t i = 0; i < length; ++i)
        line[i] = level * (burst[i] - mean) / peak;

    const auto count = static_cast<std::size_t>(seconds * kRate);
    std::vector<double> out(count, 0.0);
    const double decay = 0.9985;
    std::size_t pos = 0;
    double prev = line[length - 1];
    for (std::size_t n = 0; n < count; ++n) {
        const double cur = line[pos];
        out[n] = cur;
        line[pos] = frac != 0.0 ? decay * ((1.0 - 0.5 * frac) * cur + 0.5 * frac * prev)
                                : decay * 0.5 * (cur + prev);
        prev = cur;
        if (++pos == length)
            pos = 0;
    }
    // A short release so the note does not click into the rest.
    const std::size_t release = std::min(count, static_cast<std::size_t>(0.01 * kRate));
    for (std::size_t i = 0; i < release; ++i)
        out[count - release + i] *= 1.0 - static_cast<double>(i + 1) / static_cast<double>(release);
    return out;
}

std::vector<double> bassLine(double seconds)
{
    const auto total = static_cast<std::size_t>(seconds * kRate);
    Lcg rng(14);
    const double levels[] = {0.9, 0.5, 0.25, 0.1, 0.03};
    std::vector<double> samples;
    for (int note = 0; samples.size() < total; ++note) {
        const int midi = 28 + static_cast<int>(rng.next() * 16); // E1 (28) .. G2 (43)
        const double frequency = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
        const double level = levels[(note / 6) % 5];
        const double length = 0.25 + 0.75 * rng.next();
        const std::vector<double> tone = pluck(frequency, length, level, rng);
        samples.insert(samples.end(), tone.begin(), tone.end());
        if (note % 4 == 3) // a rest
            samples.resize(
                samples.size() + static_cast<std::size_t>((0.2 + 0.8 * rng.next()) * kRate), 0.0);
        if (note % 24 == 23) // a long rest: the tails die away
            samples.resize(samples.size() + 2 * kRate, 0.0);
    }
    samples.resize(total);
    return samples;
}

void put(std::ofstream& f, std::uint32_t value, int bytes)
{
    for (int k = 0; k < bytes; ++k)
        f.put(static_cast<char>((value >> (8 * k)) & 0xFFu));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s out.wav [seconds]\n", argv[0]);
        return 2;
    }
    const double seconds = argc == 3 ? std::strtod(argv[2], nullptr) : 60.0;
    if (!(seconds > 0.0 && seconds < 3600.0)) {
        std::fprintf(stderr, "%s: seconds out of range\n", argv[0]);
        return 2;
    }
    const std::vector<double> samples = bassLine(seconds);
    const std::string path = argv[1];
    const std::string partial = path + ".part";
    std::ofstream f(partial, std::ios::binary | std::ios::trunc);
    const auto dataBytes = static_cast<std::uint32_t>(2 * samples.size());
    f.write("RIFF", 4);
    put(f, 36 + dataBytes, 4);
    f.write("WAVEfmt ", 8);
    put(f, 16, 4);
    put(f, 1, 2); // integer PCM
    put(f, 1, 2); // mono
    put(f, kRate, 4);
    put(f, 2 * kRate, 4);
    put(f, 2, 2);
    put(f, 16, 2);
    f.write("data", 4);
    put(f, dataBytes, 4);
    for (double v : samples) {
        // Half-way cases round to even, as Python's round does.
        const double scaled = std::nearbyint(32767.0 * v);
        const auto word = static_cast<std::int16_t>(std::clamp(scaled, -32767.0, 32767.0));
        put(f, static_cast<std::uint16_t>(word), 2);
    }
    f.close();
    // Written whole, then renamed: an interrupted run leaves no half file
    // under the name the benchmarks read.
    if (!f || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
        return 1;
    }
    return 0;
}
