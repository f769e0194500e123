// The cabinet model as a leaf module: its parameters, what it plays, and when it prepares.
#include "CabinetFixture.h"

#include "engine/dsp/Convolver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace cabinet_test;
namespace tables = AudioEngine::BorvanQom::CabinetTables;
using dsp::Domain::OldConvolvers::Convolver;

std::uint64_t syntheses()
{
    return BorvanQom::ImpulseSetBase::getSynthesisCount();
}

TEST(CabinetBorvan, ParametersAndModuleInformation)
{
    Rig<> rig;
    const Cabinet& cabinet = rig.module;
    EXPECT_EQ(cabinet.getInfo().type, "CabinetBorvan");
    EXPECT_EQ(cabinet.getInfo().flags, 18u);
    struct Expected {
        const char* name;
        float minimum, maximum, defaultValue;
        std::uint32_t flags;
    };
    for (const Expected& e :
         {Expected{"Points", 1, 2048, 2048, 4}, Expected{"CabModel", 0, 36, 0, 0},
          Expected{"MicModel", 0, 36, 0, 0}, Expected{"ImpedOn", 0, 1, 1, 4},
          Expected{"TweeterLevel", 0, 1, 1, 4}}) {
        const ParameterBase& p = cabinet.getParameter(e.name);
        EXPECT_EQ(p.getMinimum(), e.minimum) << e.name;
        EXPECT_EQ(p.getMaximum(), e.maximum) << e.name;
        EXPECT_EQ(p.getDefault(), e.defaultValue) << e.name;
        EXPECT_EQ(p.getFlags(), e.flags) << e.name;
    }
    EXPECT_EQ(cabinet.getParameterCount(), 5u);
    const ParameterBase::States& states = cabinet.getParameter("CabModel").getStates();
    ASSERT_EQ(states.size(), 37u);
    for (std::uint32_t i = 0; i < 37; ++i)
        EXPECT_EQ(states.find(tables::kWooferTables[i].name), static_cast<float>(i));
    EXPECT_EQ(states.size(), cabinet.getParameter("MicModel").getStates().size());
    EXPECT_THROW(rig.module.setParameter("Cabinet", 1.0f), UnknownName);
}

// "Flat" is no flat cabinet: the defaults play the V9E's NearAxis position (cabinet 0 counts as
// 1) through "C414" (microphone values below 24 pick the sixth), with the impedance curve.
TEST(CabinetBorvan, TheFlatDefaultsPlayTheFirstPositionThroughTheSixthMicrophone)
{
    Rig<> rig;
    const Cabinet& cabinet = rig.module;
    EXPECT_EQ(cabinet.getWooferResponse(), cabinet.getWooferSet().getPreparedResponse(10));
    EXPECT_EQ(cabinet.getTweeterResponse(), cabinet.getTweeterSet().getPreparedResponse(11));
    EXPECT_TRUE(cabinet.isImpedanceOn());
    EXPECT_FLOAT_EQ(cabinet.getTweeterGain(), 3.16f);
}

// At 44100 Hz with "C414", no impedance curve and no tweeter the cabinet plays the position table
// folded onto L samples, for every length "Points" may give, L = 1 and 2 included.
TEST(CabinetBorvan, PlaysThePositionFoldedOntoTheLengthPointsGives)
{
    struct Case {
        float points;
        std::uint32_t L;
    };
    const std::vector<float> input = noise(2600, 1);
    Rig<> rig;
    rig.module.setParameter("CabModel", 1.0f);
    rig.module.setParameter("MicModel", 30.0f);
    rig.module.setParameter("ImpedOn", 0.0f);
    rig.module.setParameter("TweeterLevel", 0.0f);
    for (const Case& c : {Case{2048, 2048}, Case{2000, 1024}, Case{1500, 1024}, Case{4, 4},
                          Case{3, 2}, Case{1, 1}}) {
        SCOPED_TRACE("Points " + std::to_string(c.points));
        rig.module.setParameter("Points", c.points);
        rig.module.reset();
        ASSERT_EQ(rig.module.getWooferLength(), c.L);
        const float* table = tables::kWooferTables[1].samples;
        const std::vector<double> expected =
            convolve(input, fold(table, tables::kTableLength, c.L));
        // Folded onto one or two samples the high-passed response almost cancels (the box passes
        // no DC): there the error is measured against the response's size before folding.
        double scale = 0.0;
        if (c.L < 4)
            for (std::uint32_t i = 0; i < tables::kTableLength; ++i)
                scale += std::fabs(table[i]);
        EXPECT_LT(relativeError(rig.run(input), expected, scale), 1e-5);
    }
}

// Work happens only for a new length or rate: a "Points" value of the same length, a second
// prepare at the same rate and the choice of cabinet, microphone and impedance switch make no
// response; the choices still take effect at once.
TEST(CabinetBorvan, OnlyANewLengthOrRatePreparesAndChoicesReloadAtOnce)
{
    Rig<> rig;
    Cabinet& cabinet = rig.module;
    const std::uint64_t forward = BorvanQom::ImpulseSetBase::getForwardTransformCount();
    const std::uint64_t made = syntheses();

    // Every length was made with the rate: "Points" only picks other responses.
    cabinet.setParameter("Points", 1500.0f);
    EXPECT_EQ(cabinet.getWooferLength(), 1024u);
    EXPECT_EQ(cabinet.getWooferSet().getPreparedLength(), 1024u);
    const float* response = cabinet.getWooferResponse();
    cabinet.setParameter("Points", 1100.0f);
    cabinet.setParameter("Points", 1024.0f);
    cabinet.prepare();
    EXPECT_EQ(cabinet.getWooferResponse(), response);
    EXPECT_EQ(syntheses(), made);

    const std::vector<float> input = noise(640, 2);
    struct Choice {
        const char* name;
        float value;
        std::uint32_t cab, mic;
        bool impedance;
    };
    const Choice choices[] = {
        {"CabModel", 17, 17, 0, true},     {"MicModel", 27, 17, 27, true},
        {"ImpedOn", 0, 17, 27, false},     {"ImpedOn", 0.5f, 17, 27, true}, // 0.5 and above: on
        {"ImpedOn", 0.49f, 17, 27, false}, {"CabModel", 36, 36, 27, false},
    };
    for (const Choice& c : choices) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.value));
        rig.run(noise(200, 3)); // a tail to be dropped
        cabinet.setParameter(c.name, c.value);
        EXPECT_EQ(cabinet.isImpedanceOn(), c.impedance);
        EXPECT_EQ(cabinet.getWooferResponse(),
                  cabinet.getWooferSet().getResponse(c.cab, c.mic, c.impedance));
        Rig<> fresh;
        fresh.module.setParameter("Points", 1024.0f);
        fresh.module.setParameter("CabModel", static_cast<float>(c.cab));
        fresh.module.setParameter("MicModel", static_cast<float>(c.mic));
        fresh.module.setParameter("ImpedOn", c.impedance ? 1.0f : 0.0f);
        EXPECT_EQ(rig.run(input), fresh.run(input));
    }
    EXPECT_EQ(syntheses(), made);
    EXPECT_EQ(BorvanQom::ImpulseSetBase::getForwardTransformCount(), forward);
}

// Whether the host announces a new rate through update or through prepare, the cabinet then
// plays exactly what a cabinet built at that rate plays; an update at the same rate changes
// nothing, not even the tails.
TEST(CabinetBorvan, ARateChangeThroughUpdateOrPreparePlaysTheNewRatesResponses)
{
    const std::vector<float> before = noise(300, 4), after = noise(1500, 5);
    Rig<> built(48000.0f);
    const std::vector<float> expected = built.run(after);

    for (int throughPrepare : {0, 1}) {
        SCOPED_TRACE(throughPrepare ? "prepare" : "update");
        Rig<> rig;
        rig.run(before);
        const float* old = rig.module.getWooferResponse();
        rig.environment.rate = 48000.0f;
        if (throughPrepare)
            rig.module.prepare();
        else
            rig.module.update();
        EXPECT_EQ(rig.module.getWooferSet().getPreparedRate(), 48000.0);
        EXPECT_NE(rig.module.getWooferResponse(), old);
        EXPECT_EQ(rig.module.getWooferResponse(), built.module.getWooferResponse())
            << "the new rate's shared responses";
        EXPECT_EQ(rig.run(after), expected);
    }

    Rig<> steady, updated;
    steady.run(before);
    updated.run(before);
    updated.module.update();
    EXPECT_EQ(updated.run(after), steady.run(after));
}

// Out = woofer + 3.16 "TweeterLevel" x tweeter; the RKM810 has no tweeter.
TEST(CabinetBorvan, TheTweeterPathAddsAtTheLevelTimes316AndIsSilentForTheRKM810)
{
    const std::vector<float> input = noise(1000, 6);
    for (float cab : {5.0f, 21.0f, 22.0f, 23.0f, 24.0f}) {
        SCOPED_TRACE("CabModel " + std::to_string(cab));
        Rig<> withTweeter, without;
        for (Rig<>* rig : {&withTweeter, &without})
            rig->module.setParameter("CabModel", cab);
        without.module.setParameter("TweeterLevel", 0.0f);
        const std::vector<float> sum = withTweeter.run(input);
        const std::vector<float> woofer = without.run(input);
        if (cab >= 21.0f) {
            EXPECT_EQ(sum, woofer);
            continue;
        }
        Convolver tweeterPath;
        tweeterPath.setImpulse(withTweeter.module.getTweeterResponse(), 256);
        std::vector<float> tweeter(input.size());
        tweeterPath.process(tweeter.data(), input.data(), static_cast<int>(input.size()));
        bool audible = false;
        for (std::size_t i = 0; i < input.size(); ++i) {
            ASSERT_EQ(sum[i], woofer[i] + 3.16f * tweeter[i]) << "sample " << i;
            audible |= std::fabs(tweeter[i]) > 1e-3f;
        }
        EXPECT_TRUE(audible);
    }
}

TEST(CabinetBorvan, NonFiniteInputPlaysAsSilenceAndSilenceStaysClearOfSubnormals)
{
    std::vector<float> input = noise(3000, 7);
    std::vector<float> cleaned = input;
    const float nan = std::numeric_limits<float>::quiet_NaN(),
                inf = std::numeric_limits<float>::infinity();
    const std::pair<std::size_t, float> bad[] = {{100, nan}, {101, inf}, {777, -inf}};
    for (const auto& [at, value] : bad) {
        input[at] = value;
        cleaned[at] = 0.0f;
    }
    input.resize(input.size() + 8192, 0.0f); // and the tail rings out into silence
    cleaned.resize(input.size(), 0.0f);
    Rig<> poisoned, clean;
    const std::vector<float> out = poisoned.run(input);
    EXPECT_EQ(out, clean.run(cleaned));
    for (float v : out)
        ASSERT_TRUE(v == 0.0f || std::fpclassify(v) == FP_NORMAL) << v;
}

TEST(CabinetBorvan, ResetDropsTheTails)
{
    const std::vector<float> input = noise(700, 8);
    Rig<> used, fresh;
    used.run(noise(500, 9));
    used.module.reset();
    EXPECT_EQ(used.run(input), fresh.run(input));
}

} // namespace
