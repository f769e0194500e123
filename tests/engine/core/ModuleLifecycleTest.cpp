#include "TestModules.h"

#include "engine/core/ModuleDualMono.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace test;

namespace {

std::vector<std::string> only(const std::vector<std::string>& log, const std::string& step)
{
    std::vector<std::string> picked;
    for (const auto& line : log)
        if (line.find(step) != std::string::npos)
            picked.push_back(line);
    return picked;
}

} // namespace

TEST(ModuleLifecycle, BuildWiringAndResetRunInTheDocumentedOrder)
{
    std::vector<std::string> log;
    Composite root(&log);
    root.setInstanceName("Root");
    root.subs = [&](Composite& c) {
        c.addSubModule<Leaf>("A", &log);
        c.addSubModule<Leaf>("B", &log);
    };
    RootEnvironment environment;

    root.build(&environment);
    const std::vector<std::string> buildOrder = {
        "Root:setEnvironment",  "Root:createSubModules", "A:setEnvironment", "A:createParameters",
        "A:createInputs",       "A:createOutputs",       "A:prepare",        "B:setEnvironment",
        "B:createParameters",   "B:createInputs",        "B:createOutputs",  "B:prepare",
        "Root:createParameters"};
    EXPECT_EQ(log, buildOrder);

    log.clear();
    root.connect();
    root.resolveConnections();
    root.bindPorts();
    EXPECT_EQ(log, (std::vector<std::string>{"Root:connectSubModules", "A:connect", "B:connect",
                                             "A:resolveConnections", "B:resolveConnections",
                                             "A:bindPorts", "B:bindPorts"}));

    log.clear();
    root.resetParametersToDefaults();
    EXPECT_EQ(
        log, (std::vector<std::string>{"A:resetParametersToDefaults", "B:resetParametersToDefaults",
                                       "Root:setParameter Gain_A", "Root:setParameter Gain_B"}));
}

TEST(ModuleLifecycle, ReAddingASubModuleDestroysTheOldOneAndMovesTheNewOneLast)
{
    std::vector<std::string> log;
    Composite root(&log);
    Leaf* first = nullptr;
    Leaf* second = nullptr;
    root.subs = [&](Composite& c) {
        first = c.addSubModule<Leaf>("A", &log);
        c.addSubModule<Leaf>("B", &log);
        second = c.addSubModule<Leaf>("A", &log);
    };
    RootEnvironment environment;
    root.build(&environment);

    ASSERT_EQ(root.getSubModules().size(), 2u);
    EXPECT_EQ(root.getSubModules()[0].name, "B");
    EXPECT_EQ(root.getSubModules()[1].name, "A");
    EXPECT_EQ(&root.getSubModule("A"), second);
    EXPECT_NE(first, second);
    EXPECT_EQ(only(log, "destroyed"), std::vector<std::string>{"A:destroyed"});
}

TEST(ModuleLifecycle, FlagsChooseTheBlockRoutine)
{
    const struct {
        std::uint32_t flags;
        const char* routine;
    } cases[] = {{0xC0, "processBlockAlt"},
                 {0x80, "processBlockVector"},
                 {0x40, "processBlockAlt"},
                 {0x13, "processBlock"},
                 {0x00, "processBlock"}};
    for (const auto& c : cases) {
        RootEnvironment environment;
        Leaf leaf(nullptr, c.flags);
        bringUp(leaf, environment);
        leaf.process();
        EXPECT_EQ(leaf.lastRoutine, c.routine) << "flags 0x" << std::hex << c.flags;
    }
}

TEST(ModuleLifecycle, OutputPolicyAndFlagsChooseBufferedOrInPlaceOutputs)
{
    const struct {
        std::int32_t policy;
        std::uint32_t flags;
        bool inPlace;
    } cases[] = {{0, 0x01, false}, {0, 0x05, false}, {1, 0x01, false}, {1, 0x05, true},
                 {2, 0x01, true},  {2, 0x05, true},  {3, 0x01, true},  {3, 0x05, true},
                 {7, 0x01, false}, {7, 0x05, false}};
    for (const auto& c : cases) {
        RootEnvironment environment;
        environment.policy = c.policy;
        Leaf leaf(nullptr, c.flags);
        leaf.build(&environment);
        Output& out = leaf.getOutput("Out");
        EXPECT_EQ(dynamic_cast<OutputInPlace*>(&out) != nullptr, c.inPlace)
            << "policy " << c.policy << ", flags 0x" << std::hex << c.flags;
        EXPECT_EQ(dynamic_cast<OutputBuffered*>(&out) != nullptr, !c.inPlace);
        if (c.inPlace) {
            EXPECT_EQ(out.getSource(), &leaf.getInput("In"));
        }
    }
}

TEST(ModuleLifecycle, LeavesDeepInTheTreeSeeTheRootEnvironment)
{
    RootEnvironment environment;
    environment.capacity = 128;
    environment.rate = 48000.0f;
    environment.chunk = 32;
    Composite root;
    Leaf* leaf = nullptr;
    root.subs = [&](Composite& c) {
        auto* middle = c.addSubModule<Composite>("Middle");
        middle->subs = [&](Composite& m) { leaf = m.addSubModule<Leaf>("Leaf"); };
    };
    root.build(&environment);

    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->getBlockCapacity(), 128u);
    EXPECT_EQ(leaf->getSampleRate(), 48000.0f);
    EXPECT_EQ(leaf->getChunkSize(), 32u);
    EXPECT_EQ(leaf->getEnvironment()->getLatency(), 4);
    EXPECT_EQ(static_cast<OutputBuffered&>(leaf->getOutput("Out")).getCapacity(), 128u);

    // A local environment neither changes the host's state nor passes on a
    // structure change by itself.
    leaf->getEnvironment()->setState(3);
    leaf->getEnvironment()->structureChanged();
    EXPECT_EQ(environment.state, 0);
    EXPECT_EQ(environment.structureChanges, 0);
    environment.state = 2;
    EXPECT_EQ(leaf->getEnvironment()->getState(), 2);
}

namespace {

class Explicit : public ModuleExplicit {
public:
    Explicit() : ModuleExplicit(ModuleInfo{0, "TestExplicit", ""}) {}
    void createSubModules() override { addSubModule<Leaf>("Hidden"); }
    void createInputs() override { inputs_.addInput(Input("In", ""), "In"); }
    void createOutputs() override { exposeHidden(); }

private:
    void exposeHidden()
    {
        outputs_.addHierarchicOutput(Port("Out", "", &getSubModule("Hidden").getOutput("Out")),
                                     "Out");
    }
};

std::string line(const std::string& prefix, const Port& port)
{
    std::ostringstream text;
    text << prefix << "_" << port.getName() << ",0x" << std::hex
         << reinterpret_cast<std::uintptr_t>(port.getBuffer()) << "\n";
    return text.str();
}

} // namespace

TEST(ModuleLifecycle, DescribeWritesPortsAndDescendsIntoCompositesOnly)
{
    RootEnvironment environment;
    Composite root;
    root.subs = [](Composite& c) {
        c.addSubModule<Leaf>("A");
        c.addSubModule<Explicit>("X");
    };
    root.inputs = [](Composite& c) { c.ownInputs().addInput(Input("In", ""), "In"); };
    root.outputs = [](Composite& c) { exposeOut(c, "X"); };
    root.wiring = [](Composite& c) {
        c.connectInput(c.getSubModule("A"), "In", &c.getInput("In"));
        c.connectInput(c.getSubModule("X"), "In", &c.getSubModule("A").getOutput("Out"));
    };
    bringUp(root, environment);

    const Module& a = root.getSubModule("A");
    const Module& x = root.getSubModule("X");
    const std::string expected = line("P", root.getInput("In")) + line("P_A", a.getInput("In")) +
                                 line("P_A", a.getOutput("Out")) + line("P_X", x.getInput("In")) +
                                 line("P_X", x.getOutput("Out")) + line("P", root.getOutput("Out"));
    std::ostringstream text;
    root.describe(text, "P");
    EXPECT_EQ(text.str(), expected);
}

TEST(ModuleLifecycle, MissingNamesAreRefusedWithTheirName)
{
    RootEnvironment environment;
    Composite root;
    root.subs = [](Composite& c) { c.addSubModule<Leaf>("A"); };
    root.build(&environment);

    const auto expectUnknown = [](auto&& lookup, const std::string& name) {
        try {
            lookup();
            ADD_FAILURE() << "no error for " << name;
        } catch (const UnknownName& error) {
            EXPECT_EQ(error.name(), name);
            EXPECT_NE(std::string(error.what()).find(name), std::string::npos);
        }
    };
    Module& a = root.getSubModule("A");
    expectUnknown([&] { root.getSubModule("Nobody"); }, "Nobody");
    expectUnknown([&] { a.getInput("InX"); }, "InX");
    expectUnknown([&] { a.getOutput("OutX"); }, "OutX");
    expectUnknown([&] { root.setParameter("Gain_Nobody", 1.0f); }, "Gain_Nobody");
    expectUnknown([&] { root.connectInput(a, "Side", nullptr); }, "Side");
    expectUnknown([&] { ParameterLinked link(&a, "Volume"); }, "Volume");
    expectUnknown([&] { a.getDataBlock("Handle"); }, "Handle");
    expectUnknown([&] { root.linkChildParameters("Nobody"); }, "Nobody");
    EXPECT_EQ(root.findParameter("Gain_Nobody"), nullptr);
}

TEST(ModuleLifecycle, ARefusedRegistrationKeepsTheFirstAndDestroysTheSecond)
{
    Parameters parameters;
    auto* kept = parameters.addParameter(Parameter("Gain", "", 0.0f, 1.0f, 0.25f, 0), "Gain");
    auto* refused = parameters.addParameter(Parameter("Gain", "", 0.0f, 1.0f, 0.75f, 0), "Gain");
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(parameters.size(), 1u);
    EXPECT_EQ(&parameters.get("Gain"), kept);
    EXPECT_EQ(parameters.get("Gain").getValue(), 0.25f);

    const int live = OutputBuffered::getLiveCount();
    Outputs outputs;
    outputs.addBufferedOutput(OutputBuffered("Out", "", 64), "Out");
    EXPECT_EQ(outputs.addBufferedOutput(OutputBuffered("Out", "", 64), "Out"), nullptr);
    EXPECT_EQ(OutputBuffered::getLiveCount(), live + 1);
}

TEST(ModuleLifecycle, SeriesWiringPairsByStepAndRefusesUnpairedReaders)
{
    RootEnvironment environment;
    // A mono chain of three leaves: the signal passes every gain in order.
    class Chain : public ModuleMono {
    public:
        Chain() : ModuleMono(ModuleInfo{0, "TestChain", ""}) {}
        void createSubModules() override
        {
            for (const char* name : {"G1", "G2", "G3"})
                addSubModule<Leaf>(name);
        }
    };
    Composite root;
    root.subs = [](Composite& c) {
        c.addSubModule<Source>("Src", 1.0f);
        c.addSubModule<Chain>("Chain");
    };
    root.wiring = [](Composite& c) {
        c.connectInput(c.getSubModule("Chain"), "In", &c.getSubModule("Src").getOutput("Out"));
    };
    bringUp(root, environment);
    root.setParameter("Gain_G1_Chain", 2.0f);
    root.setParameter("Gain_G3_Chain", 0.25f);
    root.process();
    const float* out = root.getSubModule("Chain").getOutput("Out").getBuffer();
    EXPECT_EQ(out[0], 0.5f);
    EXPECT_EQ(out[10], 5.5f);

    // A sub-module with a second input that the series walk cannot feed.
    class TwoInputs : public Leaf {
    public:
        void createInputs() override
        {
            Leaf::createInputs();
            inputs_.addInput(Input("Side", ""), "Side");
        }
    };
    class BadChain : public ModuleMono {
    public:
        BadChain() : ModuleMono(ModuleInfo{0, "TestChain", ""}) {}
        void createSubModules() override
        {
            addSubModule<Leaf>("G1");
            addSubModule<TwoInputs>("G2");
        }
    };
    BadChain bad;
    bad.setInstanceName("Bad");
    bad.build(&environment);
    EXPECT_THROW(bad.connect(), std::logic_error);
}

TEST(ModuleLifecycle, DualMonoExposesEachParameterOnceForBothChannels)
{
    RootEnvironment environment;
    ModuleDualMono<Leaf> pair;
    bringUp(pair, environment);

    EXPECT_EQ(pair.getParameterCount(), 1u);
    pair.setParameter("Gain", 1.5f);
    EXPECT_EQ(pair.getSubModule("L").getParameter("Gain").getValue(), 1.5f);
    EXPECT_EQ(pair.getSubModule("R").getParameter("Gain").getValue(), 1.5f);

    pair.getSubModule("L").setParameter("Gain", 0.25f);
    EXPECT_EQ(pair.getParameter("Gain").getValue(), 0.25f); // reports "L"
    EXPECT_EQ(pair.getParameter("Gain").getName(), "Gain");
    EXPECT_EQ(pair.getOutput("OutL").getSource(), &pair.getSubModule("L").getOutput("Out"));
    EXPECT_EQ(pair.getSubModule("R").getInput("In").getSource(), &pair.getInput("InR"));
}
