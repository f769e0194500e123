#include "TestModules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace test;

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Step {
    enum { Set, Read } kind;
    float value; // set: the value given; read: the value expected
};

} // namespace

TEST(Parameters, SetAndReadFollowRangeAndHoldRules)
{
    const struct {
        const char* name;
        float minimum, maximum, defaultValue;
        std::uint32_t flags;
        std::vector<Step> steps;
    } cases[] = {
        {"plain limits",
         0,
         1,
         0.5f,
         0,
         {{Step::Set, 1.7f}, {Step::Read, 1.0f}, {Step::Set, -3}, {Step::Read, 0.0f}}},
        {"plain ignores NaN",
         0,
         1,
         0.5f,
         0,
         {{Step::Set, 0.25f}, {Step::Set, kNaN}, {Step::Read, 0.25f}}},
        {"plain infinities",
         0,
         1,
         0.5f,
         0,
         {{Step::Set, kInfinity}, {Step::Read, 1.0f}, {Step::Set, -kInfinity}, {Step::Read, 0.0f}}},
        {"hold maximum",
         -100,
         0,
         -100,
         0x10,
         {{Step::Set, -20},
          {Step::Set, -30},
          {Step::Read, -20},
          {Step::Read, -100},
          {Step::Set, -50},
          {Step::Read, -50}}},
        {"hold maximum ignores NaN",
         -100,
         0,
         -100,
         0x10,
         {{Step::Set, -20}, {Step::Set, kNaN}, {Step::Read, -20}}},
        {"hold maximum infinities",
         -100,
         0,
         -100,
         0x10,
         {{Step::Set, kInfinity}, {Step::Read, 0}, {Step::Set, -kInfinity}, {Step::Read, -100}}},
        {"both hold flags act as hold minimum",
         -100,
         0,
         0,
         0x18,
         {{Step::Set, -20},
          {Step::Set, -10},
          {Step::Read, -20},
          {Step::Read, 0},
          {Step::Set, -5},
          {Step::Read, -5}}},
    };
    for (const auto& c : cases) {
        Parameter parameter("P", "", c.minimum, c.maximum, c.defaultValue, c.flags);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            if (step.kind == Step::Set)
                parameter.set(step.value);
            else
                EXPECT_EQ(parameter.getValue(), step.value) << c.name << ", step " << i;
        }
    }
}

TEST(Parameters, SwitchParametersNumberStatesInRegistrationOrder)
{
    ParameterBase::States states{"Off", "On"};
    Parameter onOff("Mute", "", states, "On", 0);
    EXPECT_EQ(onOff.getMinimum(), 0.0f);
    EXPECT_EQ(onOff.getMaximum(), 1.0f);
    EXPECT_EQ(onOff.getDefault(), 1.0f);
    EXPECT_EQ(onOff.getValue(), 1.0f);
    EXPECT_EQ(onOff.getStates().find("On"), 1.0f);

    // Not alphabetical: "Zebra" was added first.
    ParameterBase::States three{"Zebra", "Apple", "Mango"};
    EXPECT_EQ(three.find("Zebra"), 0.0f);
    EXPECT_EQ(three.find("Mango"), 2.0f);
    EXPECT_EQ(three.begin()->first, "Apple"); // iteration in name order
    EXPECT_EQ(three.add("Apple"), 1.0f);      // a present name keeps its value

    EXPECT_FALSE(three.find("Banana").has_value());
    EXPECT_EQ(three.size(), 3u); // looking up never inserts
    EXPECT_THROW(Parameter("Mode", "", three, "Banana", 0), UnknownName);
}

TEST(Parameters, CompositesExposeParametersParameterFirst)
{
    RootEnvironment environment;
    Composite root;
    root.subs = [](Composite& c) {
        auto* a = c.addSubModule<Composite>("A");
        a->subs = [](Composite& inner) { inner.addSubModule<Leaf>("B"); };
    };
    bringUp(root, environment);

    auto& a = static_cast<Composite&>(root.getSubModule("A"));
    ParameterBase& deep = a.getSubModule("B").getParameter("Gain");
    EXPECT_NE(a.findParameter("Gain_B"), nullptr);
    root.setParameter("Gain_B_A", 1.5f);
    EXPECT_EQ(deep.getValue(), 1.5f);
    EXPECT_EQ(root.getParameter("Gain_B_A").getValue(), 1.5f);
    EXPECT_EQ(root.getParameter("Gain_B_A").getMaximum(), 2.0f);
    EXPECT_EQ(root.getParameter("Gain_B_A").getName(), "Gain_B_A");

    // Links report the target's range unless told otherwise.
    auto& link = static_cast<ParameterLinked&>(root.getParameter("Gain_B_A"));
    link.setOverride(-1.0f, 1.0f, 0.0f);
    EXPECT_EQ(link.getMaximum(), 1.0f);
    EXPECT_EQ(link.getDefault(), 0.0f);
}

TEST(Parameters, ChildLinksKeepPlainNamesAndFollowARelink)
{
    RootEnvironment environment;
    Composite root;
    root.subs = [](Composite& c) {
        c.addSubModule<Leaf>("First");
        c.addSubModule<Leaf>("Second");
    };
    bringUp(root, environment);

    ParameterLinked link(&root.getSubModule("First"), "Gain");
    EXPECT_EQ(link.getName(), "Gain");
    link.set(0.5f);
    EXPECT_EQ(root.getSubModule("First").getParameter("Gain").getValue(), 0.5f);

    link.relink(&root.getSubModule("Second"));
    link.set(1.75f);
    EXPECT_EQ(root.getSubModule("Second").getParameter("Gain").getValue(), 1.75f);
    EXPECT_EQ(root.getSubModule("First").getParameter("Gain").getValue(), 0.5f);
    EXPECT_EQ(link.getValue(), 1.75f);
}

namespace {

class ValueBlock : public DataBlockBase {
public:
    explicit ValueBlock(std::string name) : name_(std::move(name)) {}
    void set(Value value) override { value_ = value; }
    Value get() const override { return value_; }
    const std::string& getName() const override { return name_; }
    const std::string& getLabel() const override { return label_; }

private:
    std::string name_, label_;
    Value value_ = 0;
};

class WithBlock : public Leaf {
public:
    void createParameters() override
    {
        Leaf::createParameters();
        dataBlocks_.insert("Handle", std::make_unique<ValueBlock>("Handle"));
    }
};

} // namespace

TEST(DataBlocks, LinksSetGetAndRelinkPointerValues)
{
    RootEnvironment environment;
    WithBlock x, y;
    Leaf plain;
    x.build(&environment);
    y.build(&environment);
    plain.build(&environment);
    EXPECT_EQ(plain.getDataBlockCount(), 0u);
    EXPECT_TRUE(plain.getDataBlocks().empty());

    int target = 0;
    const auto pointer = reinterpret_cast<std::uintptr_t>(&target);
    DataBlockLinked link(&x, "Handle", "Handle_X", "");
    link.set(pointer);
    EXPECT_EQ(x.getDataBlock("Handle").get(), pointer);
    EXPECT_EQ(link.get(), pointer);

    y.setDataBlock("Handle", 42);
    link.relink(&y);
    EXPECT_EQ(link.get(), 42u);

    DataBlocks blocks;
    EXPECT_NE(blocks.addLinkedDataBlock(link, "Handle_Y"), nullptr);
    EXPECT_EQ(blocks.get("Handle_Y").get(), 42u);
}
