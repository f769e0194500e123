#include "ViewFixtures.h"

#include "plugin/docview/AdapterAutomation.h"
#include "plugin/docview/AdapterMAF.h"
#include "plugin/docview/AutomationList.h"
#include "plugin/docview/UnitAutomation.h"

#include <gtest/gtest.h>

#include <climits>
#include <thread>

namespace {

using namespace Zq::Application::DocView;
using Report = test::RecordingProcess::Report;

// One host parameter over a gain knob of +-20 dB (linear 0.1 ... 10).
class AutomationAdapterTest : public ::testing::Test {
protected:
    AutomationAdapterTest()
    {
        gain.setRange(RangeFloat(0.1f, 10.0f));
        gain.setConverter(ConverterdBNorm(-20.0f, 20.0f));
        gain.setValue(1.0f, false);
        unit.addParam(nullptr, "Other", 0, "");
        adapter = unit.addParamdB(&gain, "Gain", 1);
    }

    test::RecordingProcess process;
    AutomationList list{&process};
    UnitAutomation unit{list, "Amp "};
    Parameter gain;
    AdapterAutomation* adapter;
};

TEST_F(AutomationAdapterTest, adaptersAreNumberedAndNamedInCreationOrder)
{
    EXPECT_EQ(list.getCount(), 2);
    EXPECT_EQ(adapter->getIndex(), 1);
    EXPECT_EQ(list.getName(0), "Amp Other");
    EXPECT_EQ(list.getName(1), "Amp Gain");
    EXPECT_TRUE(process.reports.empty()); // binding through the constructor reports nothing
    EXPECT_TRUE(unit.getAdapters().empty());
}

TEST_F(AutomationAdapterTest, bindAndUnbindReportTheIndexWithItsValues)
{
    EXPECT_EQ(list.getDisplayText(1), "0.0 dB");
    adapter->unbind();
    EXPECT_FALSE(adapter->isBound());
    EXPECT_EQ(list.getDisplayText(1), "N/A");
    EXPECT_EQ(list.getTextForNormalized(1, 1.0f), "N/A");
    list.setFromHostNormalized(1, 1.0f);
    gain.setValue(2.0f, true); // no longer seen
    EXPECT_EQ(gain.getValue(), 2.0f);

    adapter->bind(&gain);
    EXPECT_EQ(list.getDisplayText(1), "6.0 dB");
    const std::vector<Report> expected = {{1, 0.0f, 0.0f}, {1, 2.0f, gain.getNormalized()}};
    EXPECT_EQ(process.reports, expected);
}

TEST_F(AutomationAdapterTest, changesMadeInsideAreReportedButHostValuesAreNotEchoed)
{
    // Other views of the parameter see a host value; the host hears nothing back.
    test::RecordingMAF dsp;
    AdapterMAFParam engine(&dsp, "Gain_Amp", &gain);
    test::RecordingWidget knob(&gain);

    list.setFromHostNormalized(1, 0.75f);
    EXPECT_FLOAT_EQ(gain.getValue(), 3.1622777f); // +10 dB
    EXPECT_TRUE(process.reports.empty());
    ASSERT_EQ(dsp.calls.size(), 1u);
    EXPECT_FLOAT_EQ(dsp.calls[0].value, 3.1622777f); // the engine binding's own converter: none
    EXPECT_EQ(knob.shown, std::vector<float>{gain.getNormalized()});

    list.setFromHostValue(1, 1.0f); // a plain value goes through the converter
    EXPECT_EQ(gain.getValue(), 1.0f);
    EXPECT_TRUE(process.reports.empty());

    const std::size_t shown = knob.shown.size();
    knob.move(0.25f); // the editor's change is reported, once
    ASSERT_EQ(process.reports.size(), 1u);
    EXPECT_EQ(process.reports[0].index, 1);
    EXPECT_FLOAT_EQ(process.reports[0].plain, 0.31622776f);
    EXPECT_FLOAT_EQ(process.reports[0].normalized, 0.25f);
    EXPECT_EQ(knob.shown.size(), shown); // and not shown back to the knob that made it
}

TEST_F(AutomationAdapterTest, aHostValueFromInsideAReportIsDropped)
{
    process.onReport = [this](std::int32_t index) { list.setFromHostNormalized(index, 1.0f); };
    gain.setValue(2.0f, true);
    EXPECT_EQ(gain.getValue(), 2.0f);
    EXPECT_EQ(process.reports.size(), 1u);
}

TEST_F(AutomationAdapterTest, aDisabledAdapterNeitherReportsNorAccepts)
{
    adapter->setDisabled(true);
    gain.setValue(2.0f, true);
    list.setFromHostNormalized(1, 1.0f);
    EXPECT_EQ(gain.getValue(), 2.0f);
    EXPECT_TRUE(process.reports.empty());
    adapter->setDisabled(false);
    gain.setValue(3.0f, true);
    EXPECT_EQ(process.reports.size(), 1u);
}

TEST_F(AutomationAdapterTest, queriesAnswerAtOnceWhileAnotherThreadHoldsTheListLock)
{
    EXPECT_EQ(list.getTextForNormalized(1, 1.0f), "20.0 dB");
    EXPECT_FLOAT_EQ(list.convertNormalizedToPlain(1, 0.0f), 0.1f);
    std::thread holder([this] {
        platform::ScopedEnter guard(list.getLock());
        EXPECT_EQ(list.getTextForNormalized(1, 1.0f), "20.0 dB"); // re-entered by the holder
        std::thread other([this] {
            EXPECT_EQ(list.getTextForNormalized(1, 1.0f), "N/A");
            EXPECT_EQ(list.convertNormalizedToPlain(1, 0.0f), 0.0f);
        });
        other.join();
    });
    holder.join();
}

TEST_F(AutomationAdapterTest, indicesOutsideTheListAnswerNeutrallyAndChangeNothing)
{
    for (int index : {-1, 2, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(list.getAdapter(index), nullptr);
        EXPECT_EQ(list.getName(index), "");
        EXPECT_EQ(list.getDisplayText(index), "");
        EXPECT_EQ(list.getTextForNormalized(index, 0.5f), "");
        EXPECT_EQ(list.getValue(index), 0.0f);
        EXPECT_EQ(list.getNormalized(index), 0.0f);
        EXPECT_EQ(list.convertNormalizedToPlain(index, 0.5f), 0.0f);
        list.setFromHostValue(index, 5.0f);
        list.setFromHostNormalized(index, 0.9f);
        list.notifyHost(index);
    }
    EXPECT_EQ(gain.getValue(), 1.0f);
    EXPECT_TRUE(process.reports.empty());
}

} // namespace
