// The amp chain as the rig drives it: the five models behind "Model", what a
// switch does and does not carry, and selector values out of range.

#include "tests/models/amps/AmpRig.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <set>

using namespace amps;

namespace {

constexpr Model kHeads[] = {Model::RKMClassic, Model::RE500, Model::RKM4Pro, Model::V9E};

template <class PowerAmp> std::uint32_t levelOf(Module& powerAmp)
{
    return dynamic_cast<typename PowerAmp::Selector&>(subModule(powerAmp, {"PowerAmp"}))
        .getCurrentIndex();
}

// The level of detail the current power amp of a tube head runs at.
std::uint32_t detailLevel(Module& head)
{
    if (head.findParameter("PowerMode")) {
        auto& modes = dynamic_cast<BorvanV9ETraitsDetails::PowerAmpSelector&>(
            subModule(head, {"PowerAmpSelector"}));
        Module& current = *modes.getCurrentElement();
        return modes.getCurrentIndex() == 0 ? levelOf<PowerAmpBorvanV9E_50W>(current)
                                            : levelOf<PowerAmpBorvanV9E_100W>(current);
    }
    return levelOf<PowerAmpBorvanRKMClassicHead>(subModule(head, {"PowerAmp"}));
}

std::uint32_t powerMode(Module& v9e)
{
    return dynamic_cast<BorvanV9ETraitsDetails::PowerAmpSelector&>(
               subModule(v9e, {"PowerAmpSelector"}))
        .getCurrentIndex();
}

} // namespace

TEST(AmpChain, AFreshChainCopiesItsInputBitForBitInAnyBlockSize)
{
    AmpRig rig;
    const auto x = test::noise(30000, 7);
    const auto y = rig.run(x, {1, 7, 64, 300, 8192, 65});
    for (std::size_t t = 0; t < kLatency; ++t)
        ASSERT_EQ(y[t], 0.0f);
    for (std::size_t t = kLatency; t < y.size(); ++t)
        ASSERT_EQ(y[t], x[t - kLatency]) << t;
}

TEST(AmpChain, ModelOffersFiveStatesAndTheUnionOfTheModelsNames)
{
    AmpRig rig;
    ParameterBase& model = rig.set().getParameter("Model_0_AmpModule");
    const char* names[] = {"Empty", "RKMClassic", "RE500", "RKM4Pro", "V9E"};
    ASSERT_EQ(model.getStates().size(), 5u);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(model.getStates().find(names[k]), float(k)) << names[k];
    EXPECT_EQ(model.getDefault(), 0.0f);
    EXPECT_EQ(model.getValue(), 0.0f);
    EXPECT_EQ(model.getFlags(), 2u);

    // Every name of every model is shown once, bound to the first model in set
    // order that has it ("Empty" has none), and reachable from the module set.
    auto& selector = rig.selector();
    std::set<std::string> expected = {"Model"};
    for (std::uint32_t k = 0; k < 5; ++k) {
        for (const auto& [name, parameter] : selector.getElement(k).getParameters()) {
            if (!expected.insert(name).second)
                continue;
            auto* link = dynamic_cast<ParameterLinked*>(&selector.getParameter(name));
            ASSERT_NE(link, nullptr) << name;
            EXPECT_EQ(link->getModule(), &selector.getElement(k)) << name;
            EXPECT_NE(rig.set().findParameter(ampName(name)), nullptr) << name;
        }
    }
    std::set<std::string> shown;
    for (const auto& [name, parameter] : selector.getParameters())
        shown.insert(name);
    EXPECT_EQ(shown, expected);
    for (const char* only :
         {"UltraMid", "CompAmount", "PowerMode", "PreampPeak", "LimitPeak", "GainAdjPre1"})
        EXPECT_TRUE(shown.count(only)) << only;
}

// The switch acts on the whole-number part: 1.4 and 1.9 after 1.0 neither
// switch nor reset the head, so the sound goes on sample for sample as in a
// rig that never heard them.
TEST(AmpChain, OnlyANewWholeNumberSwitches)
{
    AmpRig plain, nudged;
    const auto x = sine(44100, 0.3f, 82.4f);
    for (AmpRig* rig : {&plain, &nudged}) {
        rig->choose(Model::RKMClassic);
        rig->run(std::vector<float>(x.begin(), x.begin() + 22050));
    }
    EXPECT_EQ(nudged.selector().getCurrentIndex(), 1u);
    for (float v : {1.4f, 1.9f, 1.0f})
        nudged.push("Model_0_AmpModule", v);
    const std::vector<float> rest(x.begin() + 22050, x.end());
    const auto a = plain.run(rest);
    const auto b = nudged.run(rest);
    EXPECT_EQ(nudged.selector().getCurrentIndex(), 1u);
    EXPECT_EQ(a, b);
    EXPECT_GT(peak(a), 1e-3f);
}

// A switch carries no values: each model keeps its own settings, a name goes
// to the current model, and a name the current model lacks stays with the
// model that has it.
TEST(AmpChain, EachModelKeepsItsOwnSettings)
{
    AmpRig rig;
    auto& selector = rig.selector();
    auto element = [&](Model m) -> Module& { return selector.getElement(std::uint32_t(m)); };
    auto gainOf = [&](Model m) {
        return subModule(element(m), {"Gain"}).getParameter("Gain").getValue();
    };
    auto masterOf = [&](Model m) { return element(m).getParameter("Master").getValue(); };

    rig.choose(Model::RKMClassic);
    rig.pushHead("Gain", 0.8f);
    rig.run(8192);
    EXPECT_FLOAT_EQ(rig.headValue("Gain"), 0.8f);

    rig.push("Model_0_AmpModule", 2.0f);
    rig.run(64);
    EXPECT_EQ(&rig.head(), &element(Model::RE500));
    EXPECT_FLOAT_EQ(rig.headValue("Gain"), 0.5f); // the RE500's own, untouched
    rig.pushHead("Gain", 0.2f);
    rig.run(8192);
    EXPECT_FLOAT_EQ(gainOf(Model::RE500), 0.2f);
    EXPECT_FLOAT_EQ(gainOf(Model::RKMClassic), 0.8f);

    rig.push("Model_0_AmpModule", 1.0f);
    rig.run(64);
    EXPECT_FLOAT_EQ(rig.headValue("Gain"), 0.8f);

    const float masters[] = {masterOf(Model::RKMClassic), masterOf(Model::RE500),
                             masterOf(Model::RKM4Pro)};
    rig.push("Model_0_AmpModule", 4.0f);
    rig.pushHead("Master", 0.9f);
    rig.pushHead("UltraMid", 0.9f); // the RE500's alone
    rig.run(8192);
    EXPECT_FLOAT_EQ(masterOf(Model::V9E), 0.9f);
    EXPECT_FLOAT_EQ(
        subModule(element(Model::V9E), {"PowerAmpSelector"}).getParameter("Volume").getValue(),
        0.9f);
    EXPECT_EQ(masterOf(Model::RKMClassic), masters[0]);
    EXPECT_EQ(masterOf(Model::RE500), masters[1]);
    EXPECT_EQ(masterOf(Model::RKM4Pro), masters[2]);
    EXPECT_FLOAT_EQ(subModule(element(Model::RE500), {"UltraMid"}).getParameter("Mid").getValue(),
                    0.9f);
}

// The module after the chain reads the chain's output through its port: after
// a switch it hears the new model from the first piece (after the host's four
// samples of delay), here the plain wire of "Empty" after a loud head.
TEST(AmpChain, TheNextModuleHearsTheNewModelFromTheFirstPiece)
{
    for (Model m : kHeads) {
        AmpRig rig;
        rig.choose(m);
        rig.run(sine(22050, 0.5f, 110.0f));
        rig.push("Model_0_AmpModule", 0.0f);
        const auto x = test::noise(3000, 11);
        const auto y = rig.run(x, {1000});
        for (std::size_t t = kLatency; t < y.size(); ++t)
            ASSERT_EQ(y[t], x[t - kLatency]) << int(m) << " sample " << t;
    }
}

// Values a selector cannot index, set by name past the change queue (which
// would limit them itself): the stored value is limited to the states, the
// nearest model or level is chosen, NaN is ignored, and the heads keep playing.
TEST(AmpChain, SelectorValuesOutOfRangeChooseTheNearestElement)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    AmpRig rig;
    auto setByName = [&](std::string_view name, float v) { rig.set().setParameter(name, v); };
    auto plays = [&] {
        const auto y = rig.run(sine(4096, 0.5f, 82.4f));
        return std::isfinite(peak(y));
    };

    struct Case {
        float value;
        float stored;
        std::uint32_t index;
    };
    for (const Case& c :
         {Case{7.0f, 4.0f, 4}, Case{nan, 4.0f, 4}, Case{-1.0f, 0.0f, 0}, Case{nan, 0.0f, 0},
          Case{1e30f, 4.0f, 4}, Case{-std::numeric_limits<float>::infinity(), 0.0f, 0}}) {
        setByName("Model_0_AmpModule", c.value);
        EXPECT_EQ(rig.value("Model_0_AmpModule"), c.stored) << c.value;
        EXPECT_EQ(rig.selector().getCurrentIndex(), c.index) << c.value;
        EXPECT_TRUE(plays()) << c.value;
    }

    // "DSM" 2 on both tube heads, "PowerMode" 5 on the V9E.
    for (Model model : {Model::RKMClassic, Model::V9E}) {
        setByName("Model_0_AmpModule", float(model));
        for (const Case& c : {Case{2.0f, 1.0f, 1}, Case{nan, 1.0f, 1}, Case{-3.0f, 0.0f, 0}}) {
            setByName(ampName("DSM"), c.value);
            EXPECT_EQ(rig.headValue("DSM"), c.stored) << int(model) << " " << c.value;
            EXPECT_EQ(detailLevel(rig.head()), c.index) << int(model) << " " << c.value;
            EXPECT_TRUE(plays());
        }
    }
    for (const Case& c : {Case{5.0f, 1.0f, 1}, Case{nan, 1.0f, 1}, Case{-0.5f, 0.0f, 0}}) {
        setByName(ampName("PowerMode"), c.value);
        EXPECT_EQ(rig.headValue("PowerMode"), c.stored) << c.value;
        EXPECT_EQ(powerMode(rig.head()), c.index) << c.value;
        EXPECT_TRUE(plays());
    }

    // Through the queue: limited before it is applied, NaN refused at the push.
    rig.push("Model_0_AmpModule", 7.0f);
    rig.push(ampName("PowerMode"), 5.0f);
    EXPECT_EQ(rig.host.getParameterChanges().push("Model_0_AmpModule", nan),
              ModuleHostDetails::ParameterChanges::Push::NotANumber);
    EXPECT_TRUE(plays());
    EXPECT_EQ(rig.value("Model_0_AmpModule"), 4.0f);
    EXPECT_EQ(rig.headValue("PowerMode"), 1.0f);
}
