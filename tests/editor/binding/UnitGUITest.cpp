// ctest-label: tsan
#include "tests/editor/widgets/WidgetFixture.h"
#include "tests/support/CountingAllocator.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempFolder.h"

#include <stdexcept>
#include <thread>

#include <tinyxml.h>

#include "editor/binding/UnitGUI.h"
#include "editor/resources/PlugInResourceProvider.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/MultiStateButton.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/Slider.h"
#include "editor/widgets/StaticText.h"
#include "plugin/docview/Range.h"
#include "plugin/rig/Rig.h"

namespace test::widgets {
namespace {

using DocView::Parameter;
using DocView::UnitGUI;

std::string tga(int w, int h)
{
    return test::tga::file(
        {.width = static_cast<std::uint16_t>(w), .height = static_cast<std::uint16_t>(h)},
        std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, 0xFF808080u));
}

const char* const kPanel = R"(<Layout>
  <Knob Name="Knob" Strip="Img.tga" Frames="4" PositionX="0"/>
  <Slider Name="Slider" Back="Img.tga" PositionX="0"/>
  <CheckBox Name="Check" PositionX="0" Unchecked="Img.tga"/>
  <PushButton Name="Push" PositionX="0" Released="Img.tga"/>
  <RadioButton Name="Radio" PositionX="0" Unchecked="Img.tga"/>
  <MultiStateButton Name="Multi" PositionX="0" Image0="Img.tga" Image1="Img.tga" Image2="Img.tga"
                    Image3="Img.tga"/>
  <StaticText Name="Text" SizeW="40" SizeH="8"/>
  <StaticText Name="Value" SizeW="40" SizeH="8"/>
  <Menu Name="Menu"/>
</Layout>)";

class UnitGUITest : public WidgetFixture {
protected:
    void SetUp() override
    {
        WidgetFixture::SetUp();
        temp.write("Img.tga", tga(8, 8));
        temp.write("Panel.xml", kPanel);
        provider.addLocation(temp.path(""));
        view = std::make_unique<UnitGUI>(root.get(), provider, "Panel.xml");
    }
    void TearDown() override
    {
        view.reset();
        WidgetFixture::TearDown();
    }
    template <class T> T* get(const std::string& name)
    {
        T* widget = nullptr;
        view->find(name, widget);
        return widget;
    }

    testsupport::TempFolder temp;
    Res::PlugInResourceProvider provider;
    std::unique_ptr<UnitGUI> view;
    Zq::BorvanRAZ::Document::Rig rig;
};

TEST_F(UnitGUITest, aLayoutTheProviderLacksGivesAViewWithoutWidgets)
{
    for (const char* name : {"Missing.xml", ""}) {
        UnitGUI empty(root.get(), provider, name);
        EXPECT_EQ(empty.getLayout(), nullptr);
        EXPECT_THROW(empty.addKnob("Knob", &rig.getOutput().mix), std::runtime_error);
    }
    EXPECT_EQ(provider.getXmlCache().references("Panel.xml"), 0u) << "released once";
    EXPECT_EQ(provider.getXmlCache().size(), 0u);
}

TEST_F(UnitGUITest, bindersLookUpTheirClassAndOwnTheirAdapters)
{
    auto& mix = rig.getOutput().mix;
    auto* first = view->addKnob("Knob", &mix);
    auto* second = view->addKnob("Knob", &mix);
    EXPECT_NE(first, second);
    for (const char* button : {"Push", "Check", "Radio", "Multi"})
        EXPECT_NO_THROW(view->addButtonInc(button, &rig.getTuner().note, 1.0f)) << button;
    EXPECT_EQ(view->getAdapters().size(), 6u);
    EXPECT_THROW(view->addSlider("Knob", &mix), std::runtime_error);
    EXPECT_THROW(view->addCheckBox("Nope", &mix), std::runtime_error);
    EXPECT_THROW(view->addMenu("Text", &mix), std::runtime_error);
    EXPECT_EQ(view->getAdapters().size(), 6u) << "a failed lookup makes no adapter";

    // Both knob adapters follow the parameter until the view goes.
    mix.setValue(25.0f, true);
    EXPECT_FLOAT_EQ(get<Widgets::Knob>("Knob")->getValue(), mix.getNormalized());
    view.reset();
    mix.setValue(50.0f, true); // no adapter left to reach a dead widget
}

TEST_F(UnitGUITest, aTurnedKnobSetsItsParameterOnceAndIsNotSetBack)
{
    auto& mix = rig.getOutput().mix;
    auto* knob = get<Widgets::Knob>("Knob");
    view->addKnob("Knob", &mix);
    EXPECT_EQ(knob->getMinValue(), 0.0f);
    EXPECT_EQ(knob->getMaxValue(), 1.0f);
    EXPECT_FLOAT_EQ(knob->getResetValue(), mix.getDefaultNormalized());
    EXPECT_FLOAT_EQ(knob->getValue(), mix.getNormalized());

    int changes = 0, moves = 0;
    mix.changed.connect([&](Parameter*) { ++changes; });
    knob->valueChanged.connect([&](Widgets::Knob*, float) { ++moves; });
    knob->setValue(0.25f);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(moves, 1) << "the knob is not set back";
    EXPECT_FLOAT_EQ(mix.getNormalized(), 0.25f);

    mix.setValue(mix.getValue(), true); // unchanged: no signal, no widget touched
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(moves, 1);

    mix.setNormalized(0.75f, true);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.75f);
    EXPECT_EQ(changes, 2) << "the knob's own signal is ignored while shown";
}

TEST_F(UnitGUITest, sliderCheckBoxMultiStateMenuAndStep)
{
    auto& mix = rig.getOutput().mix;
    auto* slider = get<Widgets::Slider>("Slider");
    view->addSlider("Slider", &mix);
    slider->setValue(0.5f);
    EXPECT_FLOAT_EQ(mix.getNormalized(), 0.5f);
    mix.setNormalized(0.2f, true);
    EXPECT_FLOAT_EQ(slider->getValue(), 0.2f);

    auto& level = rig.getCabModule().highLevel;
    level.setNormalized(0.3f, true);
    auto* check = get<Widgets::CheckBox>("Check");
    view->addCheckBox("Check", &level);
    EXPECT_TRUE(check->isChecked());
    level.setNormalized(0.0f, true);
    EXPECT_FALSE(check->isChecked());
    check->setChecked(true);
    EXPECT_FLOAT_EQ(level.getNormalized(), 1.0f);

    auto& cabinet = rig.getCabModule().cabinetModel;
    cabinet.setValue(3.0f, true);
    auto* multi = get<Widgets::MultiStateButton>("Multi");
    view->addMultiStateButton("Multi", &cabinet);
    EXPECT_EQ(multi->getState(), 3);
    multi->setState(2);
    EXPECT_EQ(cabinet.getValue(), 2.0f);
    cabinet.setValue(1.0f, true);
    EXPECT_EQ(multi->getState(), 1);

    auto& mic = rig.getCabModule().micModel;
    auto* menu = get<Widgets::Menu>("Menu");
    menu->addItem("first", 1);
    menu->addItem("second", 2);
    view->addMenu("Menu", &mic);
    menu->selected(menu, 1);
    EXPECT_EQ(mic.getValue(), 2.0f);

    auto& note = rig.getTuner().note;
    note.setValue(10.0f, true);
    auto* step = view->addButtonInc("Push", &note, 1.0f);
    int changes = 0;
    note.changed.connect([&](Parameter*) { ++changes; });
    auto* push = get<Widgets::PushButton>("Push");
    push->clicked(push, {0, 0});
    push->clicked(push, {0, 0});
    EXPECT_EQ(note.getValue(), 11.0f);
    EXPECT_EQ(changes, 1) << "at the top of the range nothing is notified";

    step->setDisabled(true);
    note.setValue(3.0f, true);
    push->clicked(push, {0, 0});
    EXPECT_EQ(note.getValue(), 3.0f);
}

TEST_F(UnitGUITest, aDisabledAdapterNeitherFollowsNorChanges)
{
    auto& mix = rig.getOutput().mix;
    auto* knob = get<Widgets::Knob>("Knob");
    auto* adapter = view->addKnob("Knob", &mix);
    adapter->setDisabled(true);
    const float shown = knob->getValue();
    mix.setNormalized(0.1f, true);
    EXPECT_EQ(knob->getValue(), shown);
    knob->setValue(0.9f);
    EXPECT_FLOAT_EQ(mix.getNormalized(), 0.1f);
    adapter->setDisabled(false);
    mix.setNormalized(0.4f, true);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.4f);
}

TEST_F(UnitGUITest, valueTexts)
{
    auto* text = get<Widgets::StaticText>("Value");
    struct Case {
        float value;
        int kind; // 0 value, 1 dB, 2 table
        int decimals;
        const char* suffix;
        const char* expected;
    };
    const Case cases[] = {
        {0.5f, 0, 1, "", "0.5"},    {440.0f, 0, 2, "", "440.00"}, {500.0f, 0, 1, "ms", "500.0ms"},
        {0.0f, 1, 1, "", "-Inf"},   {1e-12f, 1, 1, "", "-Inf"},   {1.0f, 1, 1, "", "0.0dB"},
        {0.5f, 1, 1, "", "-6.0dB"}, {2.7f, 2, 0, "", "two"},      {5.0f, 2, 0, "", ""},
    };
    const std::map<int, std::string> table = {{1, "one"}, {2, "two"}};
    for (const char* name : {"C", "de_DE.UTF-8"}) {
        const testsupport::ScopedLocale locale(name);
        if (!locale.active()) {
            ADD_FAILURE() << "locale " << name << " missing";
            continue;
        }
        for (const Case& c : cases) {
            Parameter parameter;
            parameter.setRange(DocView::RangeFloat(0.0f, 1000.0f));
            text->setText("unset");
            if (c.kind == 0)
                view->addStaticTextValue(text, &parameter, c.decimals, c.suffix);
            else if (c.kind == 1)
                view->addStaticTextValuedB(text, &parameter, c.decimals);
            else
                view->addStaticText("Value", &parameter, table);
            if (c.kind != 2)
                EXPECT_EQ(text->getText(), "unset") << "nothing before the first change";
            parameter.setValue(c.value == 0.0f ? 1.0f : 0.0f, false);
            parameter.setValue(c.value, true);
            EXPECT_EQ(text->getText(), c.expected) << c.value << " in " << name;
            view->clearAdapters();
        }
    }
}

TEST_F(UnitGUITest, anotherThreadUnderTheDocumentLockUpdatesWithoutAllocating)
{
    auto& mix = rig.getOutput().mix;
    auto& level = rig.getCabModule().highLevel;
    auto& master = rig.getOutput().master;
    auto* knob = get<Widgets::Knob>("Knob");
    auto* check = get<Widgets::CheckBox>("Check");
    auto* text = get<Widgets::StaticText>("Value");
    view->addKnob("Knob", &mix);
    view->addCheckBox("Check", &level);
    view->addStaticTextValuedB(text, &master, 1);
    int mixWrites = 0;
    mix.changed.connect([&](Parameter*) { ++mixWrites; });
    level.setNormalized(0.0f, true);

    long allocations = -1;
    std::thread worker([&] {
        rig.getLock()->lock();
        test::allocations::take();
        {
            test::allocations::Counting counting;
            mix.setNormalized(0.625f, true);
            level.setNormalized(1.0f, true);
            master.setValue(0.5f, true);
        }
        allocations = test::allocations::take();
        rig.getLock()->unlock();
    });
    worker.join();
    rig.getLock()->lock();
    EXPECT_EQ(allocations, 0);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.625f);
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(text->getText(), "-6.0dB");
    EXPECT_EQ(mixWrites, 1) << "nothing written back";
    rig.getLock()->unlock();
}

} // namespace
} // namespace test::widgets
