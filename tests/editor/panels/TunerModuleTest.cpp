#include "PanelFixture.h"

#include "editor/graphics/KeyboardButtons.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/EditText.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/StaticText.h"

namespace test::panels {
namespace {

using Graphics::KeyboardButtons;

class TunerModuleTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        build();
        open();
        editor->showModule(1);
        tuner = editor->getModulePanel();
        field = widget<Widgets::EditText>(tuner, "TuneReference");
    }
    void switchOn()
    {
        rig.getTuner().bypass.setValue(0.0f, true);
        rig.getTuner().displayOff.setValue(0.0f, true);
    }
    // Clicks into the field, types the text and ends with `key`.
    void type(const std::string& text, KeyboardButtons key)
    {
        click(field);
        field->setText("");
        for (char c : text)
            window().key(pw::Key::Character, c);
        window().key(key == KeyboardButtons::Return ? pw::Key::Return : pw::Key::Escape, 0);
        editor->idle();
    }
    std::string text(const char* name)
    {
        return widget<Widgets::StaticText>(tuner, name)->getText();
    }

    Panel* tuner = nullptr;
    Widgets::EditText* field = nullptr;
};

TEST_F(TunerModuleTest, centsShowSignedAndTruncatedAndTheLampsLightWithinFourHundredths)
{
    switchOn();
    struct Case {
        float cents;
        const char* shown;
    };
    for (const Case& c : {Case{5.0f, "+05"}, Case{-12.0f, "-12"}, Case{-0.9f, "+00"}}) {
        rig.getTuner().cents.setValue(c.cents, true);
        tick();
        EXPECT_EQ(text("CentsLabel"), c.shown) << c.cents;
    }
    struct Lamp {
        float deviation;
        bool lit;
    };
    for (const Lamp& l :
         {Lamp{0.04f, true}, Lamp{-0.04f, true}, Lamp{0.0401f, false}, Lamp{-0.5f, false}}) {
        rig.getTuner().deviation.setValue(l.deviation, true);
        tick();
        for (const char* lamp : {"ArrowLeft", "ArrowRight", "TunerPointer"})
            EXPECT_EQ(widget<Widgets::CheckBox>(tuner, lamp)->isChecked(), l.lit)
                << lamp << " " << l.deviation;
        EXPECT_FLOAT_EQ(widget<Widgets::Knob>(tuner, "Light")->getValue(), l.deviation * 50.0f);
    }
    rig.getTuner().note.setValue(9.0f, true);
    tick();
    EXPECT_EQ(text("TuneLabel"), "A");
}

TEST_F(TunerModuleTest, theReferenceTakesOnlyReadableValuesInRange)
{
    EXPECT_EQ(field->getText(), "440.00");
    type("450", KeyboardButtons::Return);
    EXPECT_FLOAT_EQ(rig.getTuner().reference.getValue(), 450.0f);
    EXPECT_EQ(field->getText(), "450.00");

    rig.getTuner().reference.setValue(440.0f, true);
    for (const char* entry : {"460", "4.4.0"}) {
        type(entry, KeyboardButtons::Return);
        EXPECT_FLOAT_EQ(rig.getTuner().reference.getValue(), 440.0f) << entry;
        EXPECT_EQ(field->getText(), "440.00") << entry;
    }
    type("450", KeyboardButtons::Escape);
    EXPECT_FLOAT_EQ(rig.getTuner().reference.getValue(), 440.0f);
    EXPECT_EQ(field->getText(), "440.00");

    // Leaving the field with an entry out of range restores the stored value.
    click(field);
    field->setText("999");
    window().focusOut();
    editor->idle();
    EXPECT_EQ(field->getText(), "440.00");
}

TEST_F(TunerModuleTest, bypassedAtStartTheDisplayHidesAndShowsOnTheTickAfterTheSwitch)
{
    auto* needle = widget<GUI::Widget>(tuner, "Light");
    auto* note = widget<GUI::Widget>(tuner, "TuneLabel");
    tick();
    EXPECT_FALSE(needle->isVisible());
    EXPECT_FALSE(note->isVisible());
    EXPECT_TRUE(field->isVisible());
    auto* bypass = widget<Widgets::CheckBox>(tuner, "BypassSwitch");
    EXPECT_TRUE(bypass->isChecked());
    click(bypass);
    EXPECT_EQ(rig.getTuner().bypass.getValue(), 0.0f);
    EXPECT_FALSE(note->isVisible());
    tick();
    EXPECT_TRUE(needle->isVisible());
    EXPECT_TRUE(note->isVisible());
}

} // namespace
} // namespace test::panels
