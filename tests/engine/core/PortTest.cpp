#include "TestModules.h"

#include "engine/core/Denormal.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

using namespace test;

namespace {

// Root: "Outer" > "Mid" > "Inner" > "Src", each composite exposing the "Out"
// of its child; "Sink" reads "Outer"'s "Out".
void nestedSource(Composite& root)
{
    root.subs = [](Composite& c) {
        auto* outer = c.addSubModule<Composite>("Outer");
        outer->subs = [](Composite& o) {
            auto* mid = o.addSubModule<Composite>("Mid");
            mid->subs = [](Composite& m) {
                auto* inner = m.addSubModule<Composite>("Inner");
                inner->subs = [](Composite& i) { i.addSubModule<Source>("Src", 3.0f); };
                inner->outputs = [](Composite& i) { exposeOut(i, "Src"); };
            };
            mid->outputs = [](Composite& m) { exposeOut(m, "Inner"); };
        };
        outer->outputs = [](Composite& o) { exposeOut(o, "Mid"); };
        c.addSubModule<Leaf>("Sink");
    };
    root.wiring = [](Composite& c) {
        c.connectInput(c.getSubModule("Sink"), "In", &c.getSubModule("Outer").getOutput("Out"));
    };
}

Port& sourceOutput(Composite& root)
{
    auto& outer = static_cast<Composite&>(root.getSubModule("Outer"));
    auto& mid = static_cast<Composite&>(outer.getSubModule("Mid"));
    auto& inner = static_cast<Composite&>(mid.getSubModule("Inner"));
    return inner.getSubModule("Src").getOutput("Out");
}

} // namespace

TEST(Ports, TransparentChainsCollapseToTheFirstOpaquePort)
{
    RootEnvironment environment;
    Composite root;
    nestedSource(root);
    bringUp(root, environment);

    Port& sinkIn = root.getSubModule("Sink").getInput("In");
    EXPECT_EQ(sinkIn.getSource(), &sourceOutput(root));
    root.process();
    const float* out = root.getSubModule("Sink").getOutput("Out").getBuffer();
    EXPECT_EQ(out[0], 3.0f);
    EXPECT_EQ(out[63], 66.0f);
}

TEST(Ports, AReaderResolvedBeforeItsSourcesStillReadsTheRightSamples)
{
    RootEnvironment environment;
    Composite root;
    nestedSource(root);
    root.build(&environment);
    root.connect();

    Port& sinkIn = root.getSubModule("Sink").getInput("In");
    sinkIn.resolve(); // skips one level only: the rest of the chain stays
    EXPECT_NE(sinkIn.getSource(), &sourceOutput(root));
    EXPECT_EQ(sinkIn.getBuffer(), sourceOutput(root).getBuffer());
}

TEST(Ports, BufferedOutputPresentsOwnSourceOrSilentSamples)
{
    OutputBuffered a("A", "", 64);
    OutputBuffered out("Out", "", 64);
    float* own = out.getBuffer();
    ASSERT_NE(own, nullptr);

    out.connect(&a);
    EXPECT_EQ(out.getBuffer(), a.getBuffer());
    out.connect(nullptr);
    EXPECT_EQ(out.getBuffer(), AudioContainers::silenceSamples());
    EXPECT_GE(AudioContainers::silenceBuffer().size(), 64u);
    out.disconnect();
    EXPECT_EQ(out.getBuffer(), own);
    EXPECT_FALSE(out.isTransparent());
}

TEST(Ports, ConnectableOutputRemembersOneLevel)
{
    OutputBuffered a("A", "", 64), b("B", "", 64), c("C", "", 64);
    OutputConnectable out("Out", "", &a);
    EXPECT_EQ(out.connect(&b), &a);
    out.disconnect();
    EXPECT_EQ(out.getSource(), &a);

    out.connect(&b);
    out.connect(&c);
    out.disconnect();
    EXPECT_EQ(out.getSource(), &b); // only the last source is saved
    EXPECT_FALSE(out.isTransparent());
}

TEST(Ports, UnconnectedInputsReadSilenceThatStaysSilent)
{
    RootEnvironment environment;
    Composite root;
    root.subs = [](Composite& c) {
        c.addSubModule<Leaf>("A");
        c.addSubModule<Leaf>("B");
    };
    root.wiring = [](Composite& c) {
        c.connectInput(c.getSubModule("B"), "In", &c.getSubModule("A").getOutput("Out"));
    };
    bringUp(root, environment); // "A"'s input is left open

    const float* in = root.getSubModule("A").getInput("In").getBuffer();
    EXPECT_EQ(in, AudioContainers::silenceSamples());
    EXPECT_TRUE(allZero(in, environment.getBlockCapacity()));

    root.setParameter("Gain_A", 2.0f);
    for (int piece = 0; piece < 4; ++piece)
        root.process();
    const auto& silence = AudioContainers::silenceBuffer();
    EXPECT_TRUE(allZero(silence.data(), silence.size()));
    EXPECT_TRUE(allZero(root.getSubModule("B").getOutput("Out").getBuffer(), 64));
}

TEST(Ports, FlushDenormalKeepsNormalsAndZeroesTheRest)
{
    const float denormal = std::numeric_limits<float>::denorm_min();
    const struct {
        float in;
        float out;
    } cases[] = {{-0.0f, 0.0f},       {denormal, 0.0f},     {-denormal * 1000, 0.0f},
                 {FLT_MIN, FLT_MIN},  {-FLT_MIN, -FLT_MIN}, {1.0f, 1.0f},
                 {-3.5e30f, -3.5e30f}};
    for (const auto& c : cases) {
        float x = c.in;
        flushDenormal(x);
        EXPECT_EQ(x, c.out) << c.in;
        EXPECT_EQ(std::signbit(x), std::signbit(c.out)) << c.in;
    }
    float infinity = std::numeric_limits<float>::infinity();
    flushDenormal(infinity);
    EXPECT_TRUE(std::isinf(infinity));
}

TEST(Ports, HostOutputPresentsBorrowedSamples)
{
    float samples[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    Input in("In", "");
    {
        EnvironmentHostDetails::HostOutput host;
        EXPECT_EQ(host.getName(), "HostOutput");
        host.setSamples(samples, 8);
        in.connect(&host);
        EXPECT_EQ(in.getBuffer(), samples);
        EXPECT_EQ(in.getBufferObject()->size(), 8u);
    }
    EXPECT_EQ(samples[7], 8.0f); // destroying the port left the samples alone
}
