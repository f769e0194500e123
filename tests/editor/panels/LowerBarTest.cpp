#include "PanelFixture.h"

#include <cmath>
#include <limits>
#include <set>

#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/StaticText.h"

namespace test::panels {
namespace {

const char* const kArrows[] = {"ToTunerLeftButton", "ToStompLeftButton",  "ToAmpLeftButton",
                               "ToCabLeftButton",   "ToTunerRightButton", "ToStompRightButton",
                               "ToAmpRightButton",  "ToCabRightButton"};

class LowerBarTest : public EditorTest {
protected:
    std::set<std::string> visibleArrows()
    {
        std::set<std::string> shown;
        for (const char* name : kArrows)
            if (widget<GUI::Widget>(&lower(), name)->isVisible())
                shown.insert(name);
        return shown;
    }
};

TEST_F(LowerBarTest, theArrowsShowTheNeighboursOfTheShownModuleAndClickingThemMovesAlong)
{
    build();
    open();
    EXPECT_EQ(visibleArrows(), (std::set<std::string>{"ToStompLeftButton", "ToCabRightButton"}))
        << "the amplifier at start";
    struct Step {
        const char* click;
        int module;
        std::set<std::string> shown;
    };
    const Step steps[] = {
        {"ToCabRightButton", 4, {"ToAmpLeftButton", "ToTunerRightButton"}},
        {"ToTunerRightButton", 1, {"ToCabLeftButton", "ToStompRightButton"}},
        {"ToStompRightButton", 2, {"ToTunerLeftButton", "ToAmpRightButton"}},
        {"ToTunerLeftButton", 1, {"ToCabLeftButton", "ToStompRightButton"}},
        {"ToCabLeftButton", 4, {"ToAmpLeftButton", "ToTunerRightButton"}},
        {"ToAmpLeftButton", 3, {"ToStompLeftButton", "ToCabRightButton"}},
        {"ToStompLeftButton", 2, {"ToTunerLeftButton", "ToAmpRightButton"}},
        {"ToAmpRightButton", 3, {"ToStompLeftButton", "ToCabRightButton"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.click);
        click(widget<GUI::Widget>(&lower(), step.click));
        EXPECT_EQ(editor->getModule(), step.module);
        EXPECT_EQ(visibleArrows(), step.shown);
    }
    editor->showModule(0);
    EXPECT_TRUE(visibleArrows().empty()) << "no module, no arrows";
}

TEST_F(LowerBarTest, metersFollowTheLevelsAndTheClipLampLatchesUntilReset)
{
    build();
    open();
    auto* out = widget<Widgets::Knob>(lower().getOutput(), "OutMeter");
    auto* in = widget<Widgets::Knob>(lower().getInput(), "InMeter");
    auto* clip = widget<Widgets::CheckBox>(lower().getOutput(), "ClipLed");
    auto& output = rig.getOutput();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float left, right, meter;
    };
    // Levels the engine may report (a float range lets a NaN through).
    const Case cases[] = {{1.0f, 1.0f, 0.0f},   {0.5f, 0.5f, -30.0f}, {0.0005f, 0.0005f, -62.0f},
                          {0.0f, 0.0f, -62.0f}, {nan, nan, -62.0f},   {-1.0f, -1.0f, -62.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left);
        output.outputLevelMeterL.setValue(c.left, true);
        output.outputLevelMeterR.setValue(c.right, true);
        rig.getInput().inputLevelMeter.setValue(c.left, true);
        tick();
        EXPECT_NEAR(out->getValue(), c.meter, 0.1);
        EXPECT_NEAR(in->getValue(), c.meter, 0.1);
        if (std::isfinite(c.left))
            EXPECT_FALSE(clip->isChecked());
        clip->setChecked(false);
    }
    output.outputLevelMeterL.setValue(1.0f, true);
    output.outputLevelMeterR.setValue(1.01f, true);
    tick();
    EXPECT_TRUE(clip->isChecked());
    output.outputLevelMeterR.setValue(0.1f, true);
    tick();
    EXPECT_TRUE(clip->isChecked()) << "latched";
    click(widget<GUI::Widget>(lower().getOutput(), "ClipButton"));
    EXPECT_FALSE(clip->isChecked());
}

TEST_F(LowerBarTest, mixTextAndTheVolumeKnobOfTheShownModule)
{
    build();
    open();
    Widgets::StaticText* text = editor->getSelectedValueText();
    auto& mix = rig.getOutput().mix;
    struct Case {
        float value;
        const char* shown;
    };
    for (const Case& c : {Case{50.0f, "50%"}, Case{0.5f, "Direct"}, Case{100.0f, "Amp"}}) {
        mix.setValue(c.value, true);
        EXPECT_EQ(text->getText(), c.shown);
    }

    auto* volume = widget<Widgets::Knob>(lower().getOutput(), "VolumeKnob");
    volume->setValue(0.25f); // as a drag would
    EXPECT_FLOAT_EQ(rig.getAmpModule().outputVolume.getNormalized(), 0.25f);
    editor->showModule(1);
    volume->setValue(0.75f);
    EXPECT_FLOAT_EQ(rig.getTuner().outputVolume.getNormalized(), 0.75f);
    EXPECT_FLOAT_EQ(rig.getAmpModule().outputVolume.getNormalized(), 0.25f);
    editor->showModule(0);
    const float before = rig.getTuner().outputVolume.getValue();
    volume->setValue(0.1f);
    EXPECT_EQ(rig.getTuner().outputVolume.getValue(), before) << "unbound with no module";
}

class MiniTunerTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        build();
        open();
        rig.getTuner().bypass.setValue(0.0f, true);
        rig.getTuner().displayOff.setValue(0.0f, true);
        light = widget<Widgets::Knob>(lower().getMiniTuner(), "Light");
        pointer = widget<Widgets::CheckBox>(lower().getMiniTuner(), "TunerPointer");
        label = widget<Widgets::StaticText>(lower().getMiniTuner(), "TuneLabel");
    }
    void refreshAfter(double elapsed, float cents)
    {
        rig.getTuner().cents.setValue(cents, true);
        seconds += elapsed;
        tick();
    }
    double position() const { return lower().getMiniTuner()->getPosition(); }
    Zq::BorvanRAZ::GUI::LowerPanel& lower() const { return *editor->getLowerPanel(); }

    Widgets::Knob* light = nullptr;
    Widgets::CheckBox* pointer = nullptr;
    Widgets::StaticText* label = nullptr;
};

TEST_F(MiniTunerTest, theNeedleGlidesAtItsSpeedAndReachesANearTargetAtOnce)
{
    refreshAfter(0.04, 40.0f);
    EXPECT_NEAR(position(), 8.0, 1e-9) << "a 40 ms tick moves at most 8 cents";
    EXPECT_FLOAT_EQ(light->getValue(), 8.0f);
    refreshAfter(10.0, 30.0f);
    EXPECT_DOUBLE_EQ(position(), 30.0) << "reached after a long pause, not passed";
    refreshAfter(0.04, -50.0f);
    EXPECT_NEAR(position(), 22.0, 1e-9);
}

TEST_F(MiniTunerTest, theInTuneLampCoversPlusMinusTwoCents)
{
    for (float cents : {2.0f, -2.0f, 2.01f, -2.01f}) {
        refreshAfter(10.0, cents);
        EXPECT_EQ(pointer->isChecked(), std::fabs(cents) <= 2.0f) << cents;
    }
}

TEST_F(MiniTunerTest, theNoteNameTruncatesAndABypassedTunerHidesAndResumesWhereItWas)
{
    rig.getTuner().note.setValue(11.9f, false);
    refreshAfter(10.0, 20.0f);
    EXPECT_EQ(label->getText(), "B");
    EXPECT_TRUE(light->isVisible());

    rig.getTuner().bypass.setValue(1.0f, true);
    refreshAfter(10.0, -40.0f);
    EXPECT_FALSE(light->isVisible());
    EXPECT_FALSE(label->isVisible());
    EXPECT_FALSE(pointer->isVisible());
    EXPECT_DOUBLE_EQ(position(), 20.0);

    rig.getTuner().bypass.setValue(0.0f, true);
    refreshAfter(0.04, -40.0f);
    EXPECT_TRUE(light->isVisible());
    EXPECT_NEAR(position(), 12.0, 1e-9) << "from where it was hidden, at its speed";
}

} // namespace
} // namespace test::panels
