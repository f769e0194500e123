// Every host index through the processor's table: writes by normalised and by
// plain value land in the document, the host's reads agree with the adapter
// behind the index (or with the placeholder of a model that is not active),
// and a host write is never echoed back to the host.

#include "ProcessorFixtures.h"

#include <set>

namespace {

using test::Processor;

class ProcessorParameters : public ::testing::Test {
protected:
    void runBlock()
    {
        std::vector<float> in(64, 0.0f), left, right;
        p.run(in, left, right, 64);
    }

    test::RecordingHost host;
    Processor p{host.getHostTable()};
};

TEST_F(ProcessorParameters, everyIndexTakesHostWritesAndReadsLikeItsAdapter)
{
    auto& list = p.processor.getAutomation().getList();
    ASSERT_EQ(p->getNumParameters(p.t), 107);
    // A fresh rig: every stomp slot empty, the RKM-CL head.
    std::set<int> bound = {0, 1, 2, 3, 4, 40, 41};
    for (int i = 68; i <= 75; ++i)
        bound.insert(i);
    for (int i = 99; i <= 106; ++i)
        bound.insert(i);

    for (int index = 0; index < 107; ++index) {
        SCOPED_TRACE(testing::Message() << index << " " << p->getParameterName(p.t, index));
        host.changes.clear();
        const bool active = bound.count(index) != 0;
        ASSERT_EQ(list.getAdapter(index)->isBound(), active);

        // Each write applied, then the host's three reads against the adapter's.
        float values[3] = {};
        const float writes[3] = {0.0f, 1.0f, 0.5f};
        for (int w = 0; w < 4; ++w) {
            if (w < 3)
                p->setParameterNormalized(p.t, index, writes[w]);
            else
                p->setParameterValue(p.t, index, values[0]); // back to the bottom by plain value
            p.settle();
            const float value = p->getParameterValue(p.t, index);
            if (w < 3)
                values[w] = value;
            const std::string display = p->getParameterDisplay(p.t, index);
            if (!active) {
                EXPECT_EQ(display, "N/A");
                EXPECT_EQ(value, 0.0f);
                EXPECT_EQ(p->getParameterNormalized(p.t, index), 0.0f);
                continue;
            }
            EXPECT_EQ(value, list.getValue(index)) << "write " << w;
            EXPECT_EQ(p->getParameterNormalized(p.t, index), list.getNormalized(index))
                << "write " << w;
            EXPECT_EQ(display, std::string(list.getDisplayText(index).view())) << "write " << w;
        }
        if (active) {
            EXPECT_NE(values[0], values[1]) << "the writes reached the document";
            EXPECT_EQ(p->getParameterValue(p.t, index), values[0]) << "the plain write";
        }
        for (const auto& change : host.changes)
            EXPECT_NE(change.index, index) << "a host write came back to the host";
        runBlock(); // the engine takes what the writes queued
    }
}

TEST_F(ProcessorParameters, readingsOfTheHostsTextsAndConversions)
{
    p->setParameterNormalized(p.t, 68, 0.8f); // RKM-CL gain, 0 .. 10
    p.settle();
    EXPECT_EQ(p->getParameterValue(p.t, 68), 8.0f);
    EXPECT_STREQ(p->getParameterTextForNormalized(p.t, 0, 1.0f), "20.0 dB");
    EXPECT_FLOAT_EQ(p->convertNormalizedToPlain(p.t, 0, 0.0f), 0.1f);

    struct Name {
        int index;
        const char* name;
    };
    for (const Name& n : {Name{0, "Master Level"}, Name{5, "Analog Chorus Bypass"},
                          Name{42, "Amp GN-500 Pad"}, Name{106, "Cab Output Volume"}})
        EXPECT_STREQ(p->getParameterName(p.t, n.index), n.name) << n.index;
}

} // namespace
