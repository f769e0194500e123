// Synthesises the cabinet's 73 impulse-response tables from the models of CabinetModels.cpp,
// checks the properties the cabinet relies on, and writes
//   <out>/CabinetTables.bin  the 42 distinct tables, 8192 little-endian float32 samples each;
//   <out>/CabinetTables.cpp  the read-only embedding of that file and the 73 named entries.
// Usage: CabinetTableGenerator <models/cabinet directory>. Prints the SHA-256 of the 73 tables.
// Nothing is written when a check fails.

#include "CabinetModels.h"
#include "Sha256.h"
#include "Synthesis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace cabinet_tools;

namespace {

constexpr int kLength = 8192;
constexpr int kWooferLength = 2048; // longest woofer response the cabinet plays
constexpr int kTweeterLength = 256; // the tweeter response's length
constexpr double kTailLimit = 1e-6; // -60 dB of the energy
const char* const kPositions[4] = {"NearAxis", "FarAxis", "NearOff", "FarOff"};

using Table = std::vector<float>;

Table toFloat(const std::vector<double>& samples)
{
    Table table(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        table[i] = static_cast<float>(samples[i]);
    return table;
}

// Distinct tables in storage order, and the 73 named entries pointing into them.
struct Store {
    std::vector<Table> slots;
    struct Entry {
        std::string name;
        int slot;
    };
    std::vector<Entry> woofer;  // 37 entries, "Flat" first
    std::vector<Entry> tweeter; // 37 entries, "Flat" first (the same table as the woofer's)

    int add(Table table)
    {
        slots.push_back(std::move(table));
        return static_cast<int>(slots.size()) - 1;
    }
};

void fail(const std::string& message)
{
    throw std::runtime_error(message);
}

struct Peak {
    int index;
    double value;
};

Peak peakOf(const Table& t)
{
    Peak p{0, 0.0};
    for (int i = 0; i < kLength; ++i)
        if (std::fabs(t[i]) > p.value)
            p = {i, std::fabs(static_cast<double>(t[i]))};
    return p;
}

void checkPeak(const std::string& name, const Table& t, int within, double low, double high)
{
    const Peak p = peakOf(t);
    std::printf("  %-28s peak %.4f at %d\n", name.c_str(), p.value, p.index);
    if (p.index >= within || p.value < low || p.value > high)
        fail(name + ": peak out of its range");
}

double tailShare(const std::vector<double>& x, int from)
{
    double total = 0.0, tail = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        total += x[i] * x[i];
        if (static_cast<int>(i) >= from)
            tail += x[i] * x[i];
    }
    return total > 0.0 ? tail / total : 0.0;
}

std::vector<Complex> spectrumOf(const Table& t, int size)
{
    std::vector<Complex> data(size);
    for (int i = 0; i < kLength; ++i)
        data[i] = t[i];
    complexFft(data, -1);
    return data;
}

Store synthesise()
{
    Store store;
    Table unit(kLength, 0.0f);
    unit[0] = 1.0f;
    const int unitSlot = store.add(unit);
    const int zeroSlot = store.add(Table(kLength, 0.0f));

    store.woofer.push_back({"Flat", unitSlot});
    for (const Cabinet& cabinet : cabinets())
        for (int p = 0; p < 4; ++p)
            store.woofer.push_back({"Cabinet_" + cabinet.name + "_" + kPositions[p],
                                    store.add(toFloat(positionResponse(cabinet, p, kLength)))});
    for (const Microphone& mic : microphones())
        store.woofer.push_back({mic.name, store.add(toFloat(microphoneResponse(mic, kLength)))});
    store.woofer.push_back({"C414", unitSlot}); // the flat reference microphone
    for (const Cabinet& cabinet : cabinets())
        store.woofer.push_back({"Cabinet_" + cabinet.name + "_Imped",
                                store.add(toFloat(impedanceResponse(cabinet.coil, kLength)))});

    store.tweeter.push_back({"Flat", unitSlot});
    for (const Cabinet& cabinet : cabinets()) {
        // One table stands for all four positions of a cabinet's tweeter.
        const int slot = cabinet.tweeter
                             ? store.add(toFloat(tweeterResponse(*cabinet.tweeter, kLength)))
                             : zeroSlot;
        for (int k = 1; k <= 4; ++k)
            store.tweeter.push_back(
                {cabinet.tweeter ? "Cabinet_" + cabinet.name + "_TW_NearAxis" + std::to_string(k)
                                 : "EmptyTweeter" + std::to_string(k),
                 slot});
    }
    for (int k = 1; k <= 6; ++k)
        store.tweeter.push_back({"FakeMic" + std::to_string(k), unitSlot});
    for (int k = 1; k <= 6; ++k)
        store.tweeter.push_back({"FakeImped" + std::to_string(k), unitSlot});
    return store;
}

void check(const Store& store)
{
    for (const Table& t : store.slots)
        for (float v : t)
            if (!std::isfinite(v))
                fail("a table holds a value that is not finite");

    std::printf("Far reflections (faced driver):\n");
    for (const Cabinet& cabinet : cabinets()) {
        const Reflection r = farReflection(cabinet);
        std::printf("  %-8s %.2f ms, %.1f dB\n", cabinet.name.c_str(), r.delaySeconds * 1e3,
                    r.levelDb);
        if (r.delaySeconds < 1e-3 || r.delaySeconds > 4e-3 || r.levelDb < -10.0 || r.levelDb > -6.0)
            fail(cabinet.name + ": floor reflection out of its range");
    }

    std::printf("Peaks:\n");
    const auto& w = store.woofer;
    for (int i = 1; i <= 24; ++i)
        checkPeak(w[i].name, store.slots[w[i].slot], 14, 0.067, 0.242);
    for (int i = 25; i <= 29; ++i)
        checkPeak(w[i].name, store.slots[w[i].slot], 26, 0.63, 0.99);
    for (int i = 31; i <= 36; ++i)
        checkPeak(w[i].name, store.slots[w[i].slot], 8, 0.54, 1.0);
    for (int i = 1; i <= 20; i += 4)
        checkPeak(store.tweeter[i].name, store.slots[store.tweeter[i].slot], 14, 0.067, 0.242);

    std::printf("Tails:\n");
    double worst = 0.0;
    for (int i = 1; i <= 20; i += 4) {
        const Table& t = store.slots[store.tweeter[i].slot];
        const double share = tailShare(std::vector<double>(t.begin(), t.end()), kTweeterLength);
        worst = std::max(worst, share);
        if (share > kTailLimit)
            fail(store.tweeter[i].name + ": too much energy past its length");
    }
    std::printf("  tweeter tables past %d: %.1f dB at most\n", kTweeterLength,
                10.0 * std::log10(worst));

    // Every woofer response the cabinet can make: position * microphone * (impedance curve or
    // none), linear convolutions of 3 x 8192 samples on a 32768-point grid.
    constexpr int size = 32768;
    worst = 0.0;
    std::string worstName;
    const Table& unit = store.slots[w[0].slot];
    std::vector<std::vector<Complex>> mics, curves;
    for (int m = 25; m <= 30; ++m)
        mics.push_back(spectrumOf(store.slots[w[m].slot], size));
    for (int c = 31; c <= 36; ++c)
        curves.push_back(spectrumOf(store.slots[w[c].slot], size));
    const std::vector<Complex> flat = spectrumOf(unit, size);
    for (int c = 0; c < 24; ++c) {
        const std::vector<Complex> position = spectrumOf(store.slots[w[1 + c].slot], size);
        for (int m = 0; m < 6; ++m)
            for (int withCurve = 0; withCurve < 2; ++withCurve) {
                const std::vector<Complex>& curve = withCurve ? curves[c / 4] : flat;
                std::vector<Complex> product(size);
                for (int k = 0; k < size; ++k)
                    product[k] = position[k] * mics[m][k] * curve[k];
                complexFft(product, +1);
                std::vector<double> x(size);
                for (int k = 0; k < size; ++k)
                    x[k] = product[k].real() / size;
                const double share = tailShare(x, kWooferLength);
                if (share > worst) {
                    worst = share;
                    worstName =
                        w[1 + c].name + " * " + w[25 + m].name + (withCurve ? " * impedance" : "");
                }
            }
    }
    std::printf("  woofer products past %d: %.1f dB at most (%s)\n", kWooferLength,
                10.0 * std::log10(worst), worstName.c_str());
    if (worst > kTailLimit)
        fail(worstName + ": too much energy past the longest woofer response");
}

std::string hashOf(const Store& store)
{
    Sha256 hash;
    auto add = [&](const Store::Entry& e) {
        for (float v : store.slots[e.slot]) {
            std::uint32_t bits;
            std::memcpy(&bits, &v, 4);
            const std::uint8_t bytes[4] = {std::uint8_t(bits), std::uint8_t(bits >> 8),
                                           std::uint8_t(bits >> 16), std::uint8_t(bits >> 24)};
            hash.update(bytes, 4);
        }
    };
    for (const auto& e : store.woofer)
        add(e);
    for (std::size_t i = 1; i < store.tweeter.size(); ++i)
        add(store.tweeter[i]);
    return hash.hexDigest();
}

void writeBlob(const Store& store, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    for (const Table& t : store.slots)
        for (float v : t) {
            std::uint32_t bits;
            std::memcpy(&bits, &v, 4);
            const char bytes[4] = {char(bits), char(bits >> 8), char(bits >> 16), char(bits >> 24)};
            out.write(bytes, 4);
        }
    if (!out)
        fail("cannot write " + path);
}

void writeSource(const Store& store, const std::string& hash, const std::string& path)
{
    std::ostringstream s;
    s << "// Generated by tools/cabinet/CabinetTableGenerator; do not edit. Regenerate with the "
         "tool\n"
         "// (see its README) and commit this file together with CabinetTables.bin.\n"
         "#include \"models/cabinet/CabinetTables.h\"\n\n"
         "// CabinetTables.bin holds "
      << store.slots.size()
      << " distinct tables of 8192 little-endian float32 samples;\n"
         "// identical tables share one copy. The assembler finds the file through the include "
         "path.\n"
         "asm(\".section .rodata.borvanCabinetTables,\\\"a\\\"\\n\"\n"
         "    \".p2align 6\\n\"\n"
         "    \".hidden borvanCabinetTableData\\n\"\n"
         "    \".type borvanCabinetTableData, @object\\n\"\n"
         "    \"borvanCabinetTableData:\\n\"\n"
         "    \".incbin \\\"models/cabinet/CabinetTables.bin\\\"\\n\"\n"
         "    \".size borvanCabinetTableData, "
      << store.slots.size() * kLength * 4
      << "\\n\"\n"
         "    \".previous\\n\");\n\n"
         "extern \"C\" __attribute__((visibility(\"hidden\"))) const float borvanCabinetTableData["
      << store.slots.size()
      << " * AudioEngine::BorvanQom::CabinetTables::kTableLength];\n\n"
         "namespace AudioEngine::BorvanQom::CabinetTables {\n"
         "namespace {\n"
         "constexpr const float* slot(int index) { return &borvanCabinetTableData[index * "
         "kTableLength]; }\n"
         "} // namespace\n\n"
         "const char kSha256[] = \""
      << hash << "\";\n";
    auto entries = [&](const char* name, const std::vector<Store::Entry>& list) {
        s << "\nconst Table " << name << "[kEntryCount] = {\n";
        for (const auto& e : list)
            s << "    {\"" << e.name << "\", slot(" << e.slot << ")},\n";
        s << "};\n";
    };
    entries("kWooferTables", store.woofer);
    entries("kTweeterTables", store.tweeter);
    s << "\n} // namespace AudioEngine::BorvanQom::CabinetTables\n";
    std::ofstream out(path);
    out << s.str();
    if (!out)
        fail("cannot write " + path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <models/cabinet directory>\n", argv[0]);
        return 2;
    }
    try {
        const Store store = synthesise();
        check(store);
        const std::string hash = hashOf(store);
        const std::string dir = argv[1];
        writeBlob(store, dir + "/CabinetTables.bin");
        writeSource(store, hash, dir + "/CabinetTables.cpp");
        std::printf("SHA-256 of the 73 tables: %s\n", hash.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "CabinetTableGenerator: %s\n", e.what());
        return 1;
    }
    return 0;
}
