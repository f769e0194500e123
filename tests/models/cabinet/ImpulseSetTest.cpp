// The impulse sets: which prepared response a choice picks, how the responses are made, and when
// a preparation works.
#include "engine/dsp/Convolver.h"
#include "models/cabinet/ImpulseSets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using namespace AudioEngine::BorvanQom;
using dsp::Domain::OldConvolvers::Convolver;
constexpr int N = ImpulseSetBase::kSpectrumLength;

// The woofer set's shape with every table a unit impulse.
class UnitSet : public ImpulseSetBase {
public:
    UnitSet() : ImpulseSetBase(tables().data(), 2048) {}

private:
    static const std::vector<CabinetTables::Table>& tables()
    {
        static const std::vector<float> unit = [] {
            std::vector<float> t(CabinetTables::kTableLength, 0.0f);
            t[0] = 1.0f;
            return t;
        }();
        static const std::vector<CabinetTables::Table> list = [] {
            std::vector<CabinetTables::Table> l;
            for (const auto& table : CabinetTables::kWooferTables)
                l.push_back({table.name, unit.data()});
            return l;
        }();
        return list;
    }
};

TEST(ImpulseSet, GetResponseClampsTheCabinetAndMapsTheMicrophoneAsTheCabinetDoes)
{
    WooferModels::ImpulseSet set;
    set.prepare(4, 44100.0);
    struct Case {
        std::uint32_t cab, mic;
        bool impedance;
        std::uint32_t index;
    };
    const Case cases[] = {
        {0, 30, true, 10},  // "Flat" cabinet is the first one
        {1, 30, false, 11}, // without the impedance curve: the odd neighbour
        {1, 25, true, 0},   // microphones 25 .. 30 are 1 .. 6
        {1, 26, true, 2},     {1, 29, false, 9},   {1, 24, true, 0}, // 24 is the first microphone
        {1, 0, true, 10},                          // below 24 ("Flat") the sixth, "C414"
        {1, 23, false, 11},   {2, 31, true, 22},   // above the microphones: the sixth
        {3, 36, false, 35},   {25, 25, true, 276}, // cabinets above 24 are the 24th
        {36, 30, false, 287}, {24, 30, true, 286}, {13, 27, true, 2 * (12 * 6 + 2)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(set.getResponse(c.cab, c.mic, c.impedance), set.getPreparedResponse(c.index))
            << "cab " << c.cab << " mic " << c.mic << (c.impedance ? " with" : " without")
            << " impedance";
    // The tweeter path asks for microphone 1 without impedance: index 12 (c - 1) + 11.
    for (std::uint32_t cab = 0; cab <= 26; ++cab) {
        const std::uint32_t c = std::clamp<std::uint32_t>(cab, 1, 24);
        EXPECT_EQ(set.getResponse(cab, 1, false), set.getPreparedResponse(12 * (c - 1) + 11))
            << "cab " << cab;
    }
}

// The partial products and the preallocated storage change nothing: every response is, to the
// bit, what the engine's resampleImpulse makes of the three full spectra, zero-padded to the
// length handed to the convolver. L = 1 is the product's DC term, the whole response folded onto
// one sample.
TEST(ImpulseSet, ResponsesEqualTheEnginesResamplingOfTheFullProductsToTheBit)
{
    const auto& w = CabinetTables::kWooferTables;
    auto spectrum = [](const float* table) {
        std::vector<float> s(N, 0.0f);
        std::copy_n(table, CabinetTables::kTableLength, s.begin());
        Convolver::forwardTransform(s.data(), N);
        return s;
    };
    // Without the impedance curve the third spectrum is the unit spectrum ("Flat", entry 0).
    struct Response {
        std::uint32_t index, position, microphone, curve;
    };
    const Response responses[] = {
        {0, 1, 25, 31}, {11, 1, 30, 0}, {150, 13, 28, 34}, {287, 24, 30, 0}};
    std::vector<std::vector<float>> spectra(37);
    for (const Response& r : responses)
        for (std::uint32_t e : {r.position, r.microphone, r.curve})
            spectra[e] = spectrum(w[e].samples);

    WooferModels::ImpulseSet set;
    for (const auto& [L, rate] : std::vector<std::pair<std::uint32_t, double>>{{2048, 44100},
                                                                               {1024, 44100},
                                                                               {4, 44100},
                                                                               {2, 44100},
                                                                               {1, 44100},
                                                                               {2048, 48000},
                                                                               {256, 96000},
                                                                               {64, 22050},
                                                                               {2, 48000},
                                                                               {1, 96000}}) {
        SCOPED_TRACE("L " + std::to_string(L) + " at " + std::to_string(rate));
        ASSERT_TRUE(set.prepare(L, rate));
        const std::uint32_t padded = std::max<std::uint32_t>(4, L);
        ASSERT_EQ(set.getResponseLength(), padded);
        for (const Response& r : responses) {
            const float* list[3] = {spectra[r.microphone].data(), spectra[r.position].data(),
                                    spectra[r.curve].data()};
            std::vector<float> literal(std::max<std::uint32_t>(2, L), 0.0f);
            Convolver::resampleImpulse(list, 3, N, 44100.0f, literal.data(), static_cast<int>(L),
                                       static_cast<float>(rate));
            const float* ours = set.getPreparedResponse(r.index);
            EXPECT_EQ(std::memcmp(ours, literal.data(), L * sizeof(float)), 0)
                << "response " << r.index;
            for (std::uint32_t i = L; i < padded; ++i)
                EXPECT_EQ(ours[i], 0.0f) << "padding of response " << r.index;
        }
    }
}

TEST(ImpulseSet, UnitTablesGiveAUnitImpulseAtEveryRate)
{
    UnitSet set;
    for (double rate : {44100.0, 48000.0, 88200.0, 96000.0}) {
        SCOPED_TRACE("rate " + std::to_string(rate));
        ASSERT_TRUE(set.prepare(2048, rate));
        for (std::uint32_t index : {0u, 1u, 144u, 287u}) {
            const float* response = set.getPreparedResponse(index);
            EXPECT_NEAR(response[0], 1.0f, 1e-6f);
            for (std::uint32_t i = 1; i < 2048; ++i)
                ASSERT_NEAR(response[i], 0.0f, 1e-6f) << "sample " << i << " of response " << index;
        }
    }
}

// The stored tables' spectra are made once per process; a preparation makes responses only when
// the length or the rate changed.
TEST(ImpulseSet, PreparationWorksOnlyForANewLengthOrRate)
{
    const std::uint64_t before = ImpulseSetBase::getForwardTransformCount();
    WooferModels::ImpulseSet first;
    const std::uint64_t afterFirst = ImpulseSetBase::getForwardTransformCount();
    EXPECT_LE(afterFirst - before, 36u) << "each distinct table once at most";
    WooferModels::ImpulseSet second;
    EXPECT_EQ(ImpulseSetBase::getForwardTransformCount(), afterFirst) << "a second set shares them";

    struct Step {
        std::uint32_t length;
        double rate;
        bool works;
        std::uint32_t L;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Step steps[] = {
        {2048, 44100, true, 2048},  {2048, 44100, false, 2048}, {2047, 44100, true, 1024},
        {1500, 44100, false, 1024}, {1024, 48000, true, 1024},  {1024, 48000, false, 1024},
        {1024, 0.0, false, 1024},   {1024, nan, false, 1024},   {5000, 48000, true, 2048},
        {0, 48000, true, 1},
    };
    // Responses are made for every length at once, the first time the process needs a rate: a
    // new length at a rate already prepared only picks other responses.
    double rate = 0.0;
    for (const Step& s : steps) {
        const std::uint64_t made = ImpulseSetBase::getSynthesisCount();
        EXPECT_EQ(first.prepare(s.length, s.rate), s.works)
            << "length " << s.length << " rate " << s.rate;
        EXPECT_EQ(first.getPreparedLength(), s.L);
        if (s.rate == rate || !s.works)
            EXPECT_EQ(ImpulseSetBase::getSynthesisCount(), made) << "length " << s.length;
        rate = first.getPreparedRate();
    }
    EXPECT_EQ(ImpulseSetBase::getForwardTransformCount(), afterFirst);
}

// Sets of the same tables at the same rate share one copy of their responses: a second set makes
// nothing and reads the first one's storage, at every length.
TEST(ImpulseSet, ResponsesAreMadeOncePerRateAndShared)
{
    WooferModels::ImpulseSet first;
    ASSERT_TRUE(first.prepare(2048, 96000.0));
    const std::uint64_t made = ImpulseSetBase::getSynthesisCount();
    const std::vector<float> copy(first.getPreparedResponse(0),
                                  first.getPreparedResponse(287) + first.getResponseLength());
    WooferModels::ImpulseSet second;
    ASSERT_TRUE(second.prepare(2048, 96000.0));
    EXPECT_EQ(second.getPreparedResponse(0), first.getPreparedResponse(0));

    ASSERT_TRUE(second.prepare(512, 96000.0));
    EXPECT_NE(second.getPreparedResponse(0), first.getPreparedResponse(0));
    EXPECT_EQ(second.getResponseLength(), 512u);
    ASSERT_TRUE(first.prepare(600, 96000.0));
    EXPECT_EQ(first.getPreparedResponse(5), second.getPreparedResponse(5));
    ASSERT_TRUE(second.prepare(2048, 96000.0));
    EXPECT_TRUE(std::equal(copy.begin(), copy.end(), second.getPreparedResponse(0)));
    EXPECT_EQ(ImpulseSetBase::getSynthesisCount(), made);

    // Another set of tables (the tweeter's) at the same rate has its own responses.
    TweeterModels::ImpulseSet tweeter;
    ASSERT_TRUE(tweeter.prepare(256, 96000.0));
    EXPECT_NE(tweeter.getPreparedResponse(0), first.getPreparedResponse(0));
}

} // namespace
