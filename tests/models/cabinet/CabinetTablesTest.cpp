// The stored tables: names and order, the shared and trivial tables, the shapes the cabinet relies
// on, and their fingerprint.
#include "models/cabinet/CabinetTables.h"
#include "engine/dsp/Convolver.h"
#include "tools/cabinet/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

namespace tables = AudioEngine::BorvanQom::CabinetTables;
using dsp::Domain::OldConvolvers::Convolver;

// Changes only with a deliberate regeneration of the tables, in the same commit.
constexpr const char* kCommittedSha256 =
    "25fd6144e0085a5f02ff5d5219eef3f8aba41bc12e2c6fafd7fba7a448ce6d1f";

constexpr std::uint32_t kLength = tables::kTableLength;

std::vector<std::string> expectedWooferNames()
{
    std::vector<std::string> names{"Flat"};
    for (const char* cabinet : {"V9E", "RE500", "JMR410H", "WF212H", "RKM410H", "RKM810"})
        for (const char* position : {"NearAxis", "FarAxis", "NearOff", "FarOff"})
            names.push_back(std::string("Cabinet_") + cabinet + "_" + position);
    for (const char* mic : {"D20", "MD421", "RE20", "SM57", "U87", "C414"})
        names.push_back(mic);
    for (const char* cabinet : {"V9E", "RE500", "JMR410H", "WF212H", "RKM410H", "RKM810"})
        names.push_back(std::string("Cabinet_") + cabinet + "_Imped");
    return names;
}

std::vector<std::string> expectedTweeterNames()
{
    std::vector<std::string> names{"Flat"};
    for (const char* cabinet : {"V9E", "RE500", "JMR410H", "WF212H", "RKM410H"})
        for (int k = 1; k <= 4; ++k)
            names.push_back(std::string("Cabinet_") + cabinet + "_TW_NearAxis" + std::to_string(k));
    for (int k = 1; k <= 4; ++k)
        names.push_back("EmptyTweeter" + std::to_string(k));
    for (int k = 1; k <= 6; ++k)
        names.push_back("FakeMic" + std::to_string(k));
    for (int k = 1; k <= 6; ++k)
        names.push_back("FakeImped" + std::to_string(k));
    return names;
}

bool isUnitImpulse(const float* t)
{
    return t[0] == 1.0f && std::all_of(t + 1, t + kLength, [](float v) { return v == 0.0f; });
}

bool isSilent(const float* t)
{
    return std::all_of(t, t + kLength, [](float v) { return v == 0.0f; });
}

struct Peak {
    std::uint32_t index = 0;
    float value = 0.0f;
};

Peak peakOf(const float* t)
{
    Peak p;
    for (std::uint32_t i = 0; i < kLength; ++i)
        if (std::fabs(t[i]) > p.value)
            p = {i, std::fabs(t[i])};
    return p;
}

double tailShare(const float* x, std::uint32_t length, std::uint32_t from)
{
    double total = 0.0, tail = 0.0;
    for (std::uint32_t i = 0; i < length; ++i) {
        const double e = double(x[i]) * x[i];
        total += e;
        if (i >= from)
            tail += e;
    }
    return tail / total;
}

TEST(CabinetTables, NamesAndOrderOfBothSets)
{
    const std::vector<std::string> woofer = expectedWooferNames(), tweeter = expectedTweeterNames();
    ASSERT_EQ(woofer.size(), tables::kEntryCount);
    ASSERT_EQ(tweeter.size(), tables::kEntryCount);
    for (std::uint32_t i = 0; i < tables::kEntryCount; ++i) {
        EXPECT_EQ(tables::kWooferTables[i].name, woofer[i]) << "woofer entry " << i;
        EXPECT_EQ(tables::kTweeterTables[i].name, tweeter[i]) << "tweeter entry " << i;
    }
    EXPECT_EQ(tables::kTweeterTables[0].samples, tables::kWooferTables[0].samples)
        << "one shared Flat";
}

TEST(CabinetTables, UnitImpulsesSilenceAndIdenticalTweeterQuadruples)
{
    const auto& w = tables::kWooferTables;
    const auto& t = tables::kTweeterTables;
    EXPECT_TRUE(isUnitImpulse(w[0].samples)) << "Flat";
    EXPECT_TRUE(isUnitImpulse(w[30].samples)) << "C414";
    for (std::uint32_t i = 25; i <= 36; ++i)
        EXPECT_TRUE(isUnitImpulse(t[i].samples)) << t[i].name;
    for (std::uint32_t i = 21; i <= 24; ++i)
        EXPECT_TRUE(isSilent(t[i].samples)) << t[i].name;
    for (std::uint32_t first = 1; first <= 17; first += 4)
        for (std::uint32_t k = 1; k < 4; ++k)
            EXPECT_EQ(std::memcmp(t[first].samples, t[first + k].samples, kLength * sizeof(float)),
                      0)
                << t[first + k].name;
    for (std::uint32_t i = 1; i <= 29; ++i)
        EXPECT_FALSE(isUnitImpulse(w[i].samples) || isSilent(w[i].samples)) << w[i].name;
    for (std::uint32_t i = 0; i < tables::kEntryCount; ++i)
        for (const tables::Table* table : {&w[i], &t[i]})
            ASSERT_TRUE(std::all_of(table->samples, table->samples + kLength, [](float v) {
                return std::isfinite(v);
            })) << table->name;
}

TEST(CabinetTables, PeaksComeEarlyAndWithinTheirRanges)
{
    struct Range {
        const tables::Table* set;
        std::uint32_t first, last;
        std::uint32_t within;
        float low, high;
    };
    const Range ranges[] = {
        {tables::kWooferTables, 1, 24, 14, 0.067f, 0.242f},  // positions
        {tables::kTweeterTables, 1, 20, 14, 0.067f, 0.242f}, // tweeters
        {tables::kWooferTables, 25, 29, 26, 0.63f, 0.99f},   // microphones but "C414"
        {tables::kWooferTables, 31, 36, 8, 0.54f, 1.0f},     // impedance curves
    };
    for (const Range& r : ranges)
        for (std::uint32_t i = r.first; i <= r.last; ++i) {
            const Peak p = peakOf(r.set[i].samples);
            EXPECT_LT(p.index, r.within) << r.set[i].name;
            EXPECT_GE(p.value, r.low) << r.set[i].name;
            EXPECT_LE(p.value, r.high) << r.set[i].name;
        }
}

// Every woofer response the cabinet can make (position * microphone * impedance curve or none,
// linear convolutions on a 32768-point grid) and every tweeter table keep at most -60 dB of their
// energy past the longest length the cabinet plays, 2048 and 256 samples.
TEST(CabinetTables, EnergyPastThePlayedLengthStaysBelowMinus60dB)
{
    constexpr int N = 32768;
    auto spectrum = [](const float* table) {
        std::vector<float> s(N, 0.0f);
        std::copy_n(table, kLength, s.begin());
        Convolver::forwardTransform(s.data(), N);
        return s;
    };
    const auto& w = tables::kWooferTables;
    std::vector<std::vector<float>> mics, curves;
    for (std::uint32_t m = 25; m <= 30; ++m)
        mics.push_back(spectrum(w[m].samples));
    for (std::uint32_t c = 31; c <= 36; ++c)
        curves.push_back(spectrum(w[c].samples));

    std::vector<float> product(N);
    double worst = 0.0;
    for (std::uint32_t c = 0; c < 24; ++c) {
        const std::vector<float> position = spectrum(w[1 + c].samples);
        for (std::uint32_t m = 0; m < 6; ++m)
            for (int withCurve = 0; withCurve < 2; ++withCurve) {
                const std::vector<float>* factors[3] = {&position, &mics[m],
                                                        withCurve ? &curves[c / 4] : nullptr};
                std::copy(position.begin(), position.end(), product.begin());
                for (int f = 1; f < 3; ++f) {
                    if (factors[f] == nullptr)
                        continue;
                    const std::vector<float>& b = *factors[f];
                    product[0] *= b[0];
                    product[1] *= b[1];
                    for (int k = 1; k < N / 2; ++k) {
                        const float re =
                            product[2 * k] * b[2 * k] - product[2 * k + 1] * b[2 * k + 1];
                        const float im =
                            product[2 * k] * b[2 * k + 1] + product[2 * k + 1] * b[2 * k];
                        product[2 * k] = re;
                        product[2 * k + 1] = im;
                    }
                }
                Convolver::inverseTransform(product.data(), N);
                const double share = tailShare(product.data(), N, 2048);
                worst = std::max(worst, share);
                EXPECT_LE(share, 1e-6) << w[1 + c].name << " * " << w[25 + m].name
                                       << (withCurve ? " * impedance curve" : "");
            }
    }
    RecordProperty("worstWooferTailDb", std::to_string(10.0 * std::log10(worst)));
    for (std::uint32_t i = 1; i <= 20; ++i)
        EXPECT_LE(tailShare(tables::kTweeterTables[i].samples, kLength, 256), 1e-6)
            << tables::kTweeterTables[i].name;
}

TEST(CabinetTables, Sha256OfThe73TablesMatchesTheCommittedValue)
{
    cabinet_tools::Sha256 hash;
    auto add = [&hash](const float* t) {
        for (std::uint32_t i = 0; i < kLength; ++i) {
            std::uint32_t bits;
            std::memcpy(&bits, &t[i], 4);
            const std::uint8_t bytes[4] = {std::uint8_t(bits), std::uint8_t(bits >> 8),
                                           std::uint8_t(bits >> 16), std::uint8_t(bits >> 24)};
            hash.update(bytes, 4);
        }
    };
    for (std::uint32_t i = 0; i < tables::kEntryCount; ++i)
        add(tables::kWooferTables[i].samples);
    for (std::uint32_t i = 1; i < tables::kEntryCount; ++i)
        add(tables::kTweeterTables[i].samples);
    const std::string digest = hash.hexDigest();
    EXPECT_EQ(digest, kCommittedSha256);
    EXPECT_EQ(digest, tables::kSha256) << "the embedded data and its generated source disagree";
}

} // namespace
