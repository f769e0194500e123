#include "ViewFixtures.h"

#include "plugin/docview/UnitMAF.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace Zq::Application::DocView;
using Call = test::RecordingMAF::Call;

class UnitMAFTest : public ::testing::Test {
protected:
    test::RecordingMAF dsp;
    UnitMAF unit{&dsp, "Master_Output"};
    Parameter parameter;
};

TEST_F(UnitMAFTest, pathsAreComponentFirst)
{
    EXPECT_EQ(unit.makePath("Gain"), "Gain_Master_Output");
}

TEST_F(UnitMAFTest, aPlainBindingPushesItsConvertedValueAtOnceAndOnEveryChange)
{
    parameter.setRange(RangeFloat(0.0f, 10.0f));
    parameter.setValue(5.0f, false);
    unit.addParam("Gain_Master_Output", &parameter, ConverterNorm(0.0f, 10.0f));
    parameter.setValue(2.5f, true);
    parameter.setValue(2.5f, true); // unchanged: the parameter does not fire
    const std::vector<Call> expected = {{"Gain_Master_Output", 0.5f},
                                        {"Gain_Master_Output", 0.25f}};
    EXPECT_EQ(dsp.calls, expected);
}

TEST_F(UnitMAFTest, enumeratedBindingsSendTheTableEntryAndNothingOutsideIt)
{
    dsp.namedValues = {{"Chorus", 4.0f}, {"Vibrato", 9.0f}};
    const char* const names[] = {"Chorus", "Vibrato"};
    // Wider than the table, so values past it can be set.
    parameter.setRange(RangeFloat(-5.0f, 5.0f));
    unit.addParamEnum("Mode_Chorus", &parameter, names, 2);
    EXPECT_EQ(dsp.lookups, (std::vector<std::string>{"Mode_Chorus:Chorus", "Mode_Chorus:Vibrato"}));
    for (float value : {1.7f, 2.0f, -1.0f, NAN, 0.0f})
        parameter.setValue(value, true);
    const std::vector<Call> expected = {
        {"Mode_Chorus", 4.0f}, {"Mode_Chorus", 9.0f}, {"Mode_Chorus", 4.0f}};
    EXPECT_EQ(dsp.calls, expected);

    const float values[] = {0.25f, 0.75f};
    Parameter other;
    unit.addParamEnum("Mode_Other", &other, values, 2);
    other.setValue(1.0f, true);
    EXPECT_EQ(dsp.calls.back(), (Call{"Mode_Other", 0.75f}));
}

TEST_F(UnitMAFTest, readBacksTransferOnlyOnUpdateInTheOrderAdded)
{
    Parameter peak;
    Parameter level;
    level.setRange(RangeFloat(0.1f, 10.0f));
    level.setValue(5.0f, false);
    dsp.values = {{"Peak_Amp", 0.75f}};
    unit.addStatus("Peak_Amp", &peak);
    unit.addStatus("Unknown_Amp", &level);
    EXPECT_TRUE(dsp.reads.empty());
    EXPECT_TRUE(dsp.calls.empty());

    unit.update();
    EXPECT_EQ(dsp.reads, (std::vector<std::string>{"Peak_Amp", "Unknown_Amp"}));
    EXPECT_EQ(peak.getValue(), 0.75f);
    EXPECT_EQ(level.getValue(), 0.1f); // an unknown path reads 0, which the range constrains
}

TEST_F(UnitMAFTest, aDisabledAdapterNeitherPushesNorReads)
{
    Parameter peak;
    AdapterMAFParam* binding = unit.addParam("Gain_Master_Output", &parameter);
    AdapterMAFParamStatus* status = unit.addStatus("Peak_Amp", &peak);
    dsp.calls.clear();
    binding->setDisabled(true);
    status->setDisabled(true);
    dsp.values = {{"Peak_Amp", 0.5f}};
    parameter.setValue(0.5f, true);
    binding->push();
    unit.update();
    EXPECT_TRUE(dsp.calls.empty());
    EXPECT_TRUE(dsp.reads.empty());
    EXPECT_EQ(peak.getValue(), 0.0f);
}

TEST_F(UnitMAFTest, aDeletedViewNoLongerPushes)
{
    {
        UnitMAF gone(&dsp, "Gone");
        gone.addParam("Gain_Gone", &parameter);
    }
    dsp.calls.clear();
    parameter.setValue(0.5f, true);
    EXPECT_TRUE(dsp.calls.empty());
}

} // namespace
