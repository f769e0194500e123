#include "engine/host/ModuleHost.h"
#include "models/stomps/StompSelector.h"
#include "tests/engine/core/TestModules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <random>
#include <set>

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using namespace AudioEngine::BorvanQom::Application;
using AudioEngine::CX2::Application::ModuleArrayCX2;
using AudioEngine::CX2::Application::ModuleCX2;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A model with an output buffer of its own and some state: "Out" is "In"
// delayed by four samples, scaled by "Level".
class Echo : public ModuleBasic {
public:
    Echo() : ModuleBasic(ModuleInfo{0, "Echo", ""}) {}
    void createParameters() override
    {
        parameters_.addParameter(Parameter("Level", "", 0, 2, 1, 0), "Level");
    }
    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
        level_ = &getParameter("Level");
    }
    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        const float g = level_->getValue();
        for (std::uint32_t i = 0; i < n; ++i) {
            y[i] = g * line_[position_];
            line_[position_] = x[i];
            position_ = (position_ + 1) % 4;
        }
        return n;
    }
    void reset() override
    {
        line_ = {};
        ++resets;
    }
    int resets = 0;

private:
    Port* in_ = nullptr;
    Port* out_ = nullptr;
    ParameterBase* level_ = nullptr;
    std::array<float, 4> line_{};
    std::uint32_t position_ = 0;
};

// A stereo model, for the routing pairs.
class Stereo : public ModuleBasic {
public:
    Stereo() : ModuleBasic(ModuleInfo{0, "Stereo", ""}) {}
    void createInputs() override
    {
        inputs_.addInput(Input("InL", ""), "InL");
        inputs_.addInput(Input("InR", ""), "InR");
    }
    void createOutputsBuffered() override
    {
        addOutputBuffered(OutputBuffered("OutL", "", blockCapacity_));
        addOutputBuffered(OutputBuffered("OutR", "", blockCapacity_));
    }
    void bindPorts() override {}
};

struct TestSet : ModuleSelectorDetails::ModuleCreators {
    static constexpr const char* name = "Stomp";
    TestSet()
    {
        add<StompElement<Empty>>("Empty");
        add<StompElement<Echo>>("Echo");
    }
};
class TestSelector : public ModuleSelectorNotUniform<TestSet> {};
using TestChain = ModuleCX2<ModuleArrayCX2<TestSelector, 6>>;

template <class Chain> struct Creators : ModuleSelectorDetails::ModuleCreators {
    Creators() { add<Chain>("Stomps"); }
};
template <class Chain> struct Traits {
    using Creators = ::Creators<Chain>;
};

ModuleSetDescription chainDescription()
{
    ModuleSetDescription d;
    d.modules = {{"Stomps", "StompModule"}};
    d.hostInputs.insert({"In", {"StompModule", "In"}});
    d.hostOutputs.insert({"Out", {"StompModule", "Out"}});
    return d;
}

template <class Chain> struct Rig {
    Rig() : host(chainDescription()) {}

    Chain& chain() { return dynamic_cast<Chain&>(host.getModuleSet().getSubModule("StompModule")); }
    Module& slot(int k) { return chain().getSubModule(std::to_string(k)); }

    // Runs `frames` of `input` through the host; returns what came out.
    std::vector<float> run(const std::vector<float>& input)
    {
        std::vector<float> output(input.size());
        const float* in[] = {input.data()};
        float* out[] = {output.data()};
        host.processHost(in, out, static_cast<std::uint32_t>(input.size()));
        return output;
    }
    void push(std::string_view name, float value)
    {
        host.getParameterChanges().push(name, value);
        run(std::vector<float>(64, 0.0f));
    }

    ModuleHost<Traits<Chain>> host;
};

std::vector<float> ramp(std::size_t n, float start = 1.0f)
{
    std::vector<float> x(n);
    std::iota(x.begin(), x.end(), start);
    return x;
}

} // namespace

TEST(StompChain, TheSetOffersNineModelsInOrder)
{
    StompSet set;
    const std::vector<std::string> names = {"Empty",          "Compressor", "AnalogChorus",
                                            "EnvelopeFilter", "BassWah",    "Volume",
                                            "Overdrive",      "Octaver",    "AnalogDelay"};
    ASSERT_EQ(set.size(), names.size());
    for (std::size_t k = 0; k < names.size(); ++k)
        EXPECT_EQ(set[k].name, names[k]);

    Rig<StompChain> rig;
    const ParameterBase& stomp = rig.host.getModuleSet().getParameter("Stomp_0_StompModule");
    EXPECT_EQ(stomp.getFlags(), Parameter::kSetAtOnce);
    EXPECT_EQ(stomp.getDefault(), 0.0f);
    for (std::size_t k = 0; k < names.size(); ++k)
        EXPECT_EQ(stomp.getStates().find(names[k]), static_cast<float>(k));

    // Six selectors in series, every dry input fed from the chain's.
    StompChain& chain = rig.chain();
    ASSERT_EQ(chain.getSubModules().size(), 6u);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(chain.getSubModules()[k].name, std::to_string(k));
        EXPECT_EQ(rig.slot(k).getInput("InDry").getSource(), &chain.getInput("InDry"));
        if (k > 0) {
            EXPECT_EQ(rig.slot(k).getInput("In").getSource(), &rig.slot(k - 1).getOutput("Out"));
        }
    }
}

TEST(StompChain, ANewChainIsAWireForAnyPieceSize)
{
    Rig<StompChain> rig;
    const auto& element = dynamic_cast<const ModuleSelectorNotUniform<StompSet>&>(rig.slot(0));
    const Module& empty = *element.getCurrentElement();
    EXPECT_EQ(empty.getOutput("Out").getBuffer(), empty.getInput("In").getBuffer());

    std::mt19937 random(3);
    std::vector<float> sent, received;
    float next = 1.0f;
    for (std::uint32_t frames : {4u, 8u, 60u, 64u, 1u, 3u, 100u, 64u}) {
        auto x = ramp(frames, next);
        next += frames;
        auto y = rig.run(x);
        sent.insert(sent.end(), x.begin(), x.end());
        received.insert(received.end(), y.begin(), y.end());
    }
    for (std::size_t t = 4; t < received.size(); ++t)
        ASSERT_EQ(received[t], sent[t - 4]) << t;
}

TEST(StompChain, RunModesOfAWrappedModel)
{
    // The slot's echo has heard ramp 1..60 (after the host's 4 samples of
    // delay) and holds 57..60; the next piece it is given is 61..64, 1000..1059.
    const struct {
        const char* name;
        float process;
        float shown;                              // the parameter afterwards
        std::vector<std::pair<int, float>> heard; // (sample, value) of the echo's "Out"
        bool previous;                            // "Out" keeps what it held
    } cases[] = {
        {"normal", 0.0f, 0.0f, {{0, 57}, {4, 61}, {8, 1000}}, false},
        {"bypass by truncation", 1.9f, 1.9f, {{0, 61}, {10, 1006}}, false},
        {"mute", 2.0f, 2.0f, {{0, 0}, {10, 0}, {63, 0}}, false},
        {"mute the input: the tail rings out",
         3.0f,
         3.0f,
         {{0, 57}, {3, 60}, {4, 0}, {63, 0}},
         false},
        {"stop", 4.0f, 4.0f, {}, true},
        {"negative: no mode", -1.0f, 0.0f, {{0, 57}, {8, 1000}}, false},
        {"no such mode", 7.0f, 4.0f, {{0, 57}, {8, 1000}}, false},
        {"NaN: nothing changes", kNaN, 0.0f, {{0, 57}, {8, 1000}}, false},
    };
    for (const auto& c : cases) {
        Rig<TestChain> rig;
        rig.push("Stomp_0_StompModule", 1.0f); // slot 0 plays the echo
        rig.run(ramp(64, 1.0f));
        auto& echo =
            dynamic_cast<Echo&>(*dynamic_cast<TestSelector&>(rig.slot(0)).getCurrentElement());
        const int resets = echo.resets;
        const Port& out = echo.getOutput("Out");
        const std::vector<float> before(out.getBuffer(), out.getBuffer() + 64);

        rig.slot(0).setParameter("Process", c.process);
        EXPECT_FLOAT_EQ(rig.slot(0).getParameter("Process").getValue(), c.shown) << c.name;
        EXPECT_EQ(echo.resets, resets + (c.process == 1.9f ? 1 : 0))
            << c.name; // bypass resets once
        rig.run(ramp(64, 1000.0f));

        const float* y = out.getBuffer();
        for (const auto& [i, value] : c.heard)
            EXPECT_EQ(y[i], value) << c.name << ", sample " << i;
        if (c.previous) {
            EXPECT_EQ(std::vector<float>(y, y + 64), before) << c.name;
        }
    }
}

TEST(StompChain, EmptyPassesOnBypassAndStopAndMuteSilencesIt)
{
    const struct {
        float process;
        bool silent;
    } cases[] = {{1.0f, false}, {4.0f, false}, {2.0f, true}};
    for (const auto& c : cases) {
        Rig<StompChain> rig;
        rig.push("Process_2_StompModule", c.process);
        rig.run(ramp(64, 1.0f));
        const auto y = rig.run(ramp(64, 100.0f));
        EXPECT_EQ(y[10], c.silent ? 0.0f : 106.0f) << c.process;
    }
}

TEST(StompChain, OutputsPairWithTheirInputsButNeverTheDryOne)
{
    test::RootEnvironment environment;
    StompElement<Stereo> stereo;
    stereo.build(&environment);
    stereo.bindPorts();
    std::set<std::pair<std::string, std::string>> pairs;
    for (const auto& [input, output] : stereo.getBypassPairs())
        pairs.insert({input->getName(), output->getName()});
    EXPECT_EQ(pairs,
              (std::set<std::pair<std::string, std::string>>{{"InL", "OutL"}, {"InR", "OutR"}}));

    ModuleCX2<Stereo> single; // a leaf with one input pairs it with every output
    class OneIn : public Stereo {
    public:
        void createInputs() override { inputs_.addInput(Input("Mono", ""), "Mono"); }
    };
    ModuleCX2<OneIn> mono;
    mono.build(&environment);
    mono.bindPorts();
    ASSERT_EQ(mono.getBypassPairs().size(), 2u);
    for (const auto& [input, output] : mono.getBypassPairs())
        EXPECT_EQ(input->getName(), "Mono");
    (void)single;
}

TEST(StompChain, SwitchingKeepsEachModelsSettingsAndRelinksTheChain)
{
    Rig<TestChain> rig;
    ModuleSetBase& set = rig.host.getModuleSet();
    auto& selector = dynamic_cast<TestSelector&>(rig.slot(0));

    rig.push("Stomp_0_StompModule", 1.0f);
    auto& echo = dynamic_cast<Echo&>(*selector.getCurrentElement());
    const int resets = echo.resets;
    rig.push("Stomp_0_StompModule", 1.7f); // same whole number: no switch, no reset
    EXPECT_EQ(selector.getCurrentElement(), &echo);
    EXPECT_EQ(echo.resets, resets);

    // Names reach the current model through array, element and selector.
    rig.push("Level_0_StompModule", 0.5f);
    rig.push("Process_0_StompModule", 2.0f);
    EXPECT_EQ(echo.getParameter("Level").getValue(), 0.5f);
    EXPECT_EQ(echo.getParameter("Process").getValue(), 2.0f);

    rig.push("Stomp_0_StompModule", 0.0f); // back to "Empty": its own "Process"
    EXPECT_EQ(set.getParameter("Process_0_StompModule").getValue(), 0.0f);
    EXPECT_EQ(set.getParameter("Level_0_StompModule").getValue(), 0.5f); // the echo's, kept
    rig.push("Stomp_0_StompModule", 1.0f);
    EXPECT_EQ(set.getParameter("Process_0_StompModule").getValue(), 2.0f);

    std::set<std::string> names;
    for (const auto& [name, parameter] : rig.chain().getParameters())
        names.insert(name);
    std::set<std::string> expected = {"Process"};
    for (int k = 0; k < 6; ++k)
        for (const char* p : {"Stomp_", "Process_", "Level_"})
            expected.insert(p + std::to_string(k));
    EXPECT_EQ(names, expected);
    EXPECT_NO_THROW(set.getParameter("Process_StompModule"));

    // While the host changes the graph, a switch leaves the reset to it.
    rig.push("Stomp_0_StompModule", 0.0f);
    rig.host.setState(2);
    const int before = echo.resets;
    set.setParameter("Stomp_0_StompModule", 1.0f);
    EXPECT_EQ(echo.resets, before);
    rig.host.setState(0);
}

TEST(StompChain, OutOfRangeAndNaNStompValuesStayInTheSet)
{
    Rig<StompChain> rig;
    auto& selector = dynamic_cast<StompSelector&>(rig.slot(3));
    const struct {
        float value;
        float shown;
    } cases[] = {{9.0f, 8.0f}, {-1.0f, 0.0f}, {1e9f, 8.0f}, {5.0f, 5.0f}, {kNaN, 5.0f}};
    for (const auto& c : cases) {
        rig.push("Stomp_3_StompModule", c.value);
        EXPECT_EQ(rig.host.readValue("Stomp_3_StompModule"), c.shown) << c.value;
        const auto index = static_cast<std::size_t>(c.shown);
        EXPECT_EQ(selector.getCurrentElement(), &selector.getElement(index)) << c.value;
    }
}

TEST(StompChain, ASwitchRelinksInPlaceWithoutReplacingAnyParameterObject)
{
    Rig<TestChain> rig;
    ModuleSetBase& set = rig.host.getModuleSet();
    std::map<std::string, const ParameterBase*> before;
    for (const auto& [name, parameter] : set.getParameters())
        before[name] = parameter.get();

    rig.push("Stomp_2_StompModule", 1.0f); // Empty -> Echo: the selector's names stay its union
    rig.push("Process_2_StompModule", 2.0f);
    std::map<std::string, const ParameterBase*> after;
    for (const auto& [name, parameter] : set.getParameters())
        after[name] = parameter.get();
    EXPECT_EQ(after, before); // same names, same objects: nothing was deleted or made anew

    auto& selector = dynamic_cast<TestSelector&>(rig.slot(2));
    // The old names reach the new element.
    EXPECT_EQ(selector.getCurrentElement()->getParameter("Process").getValue(), 2.0f);
    EXPECT_NE(dynamic_cast<Echo*>(selector.getCurrentElement()), nullptr);
}
