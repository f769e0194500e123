#include "PanelFixture.h"

#include <cmath>
#include <functional>
#include <limits>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "editor/panels/AmpSelector.h"
#include "editor/panels/CabModule.h"
#include "editor/panels/HighLevelControl.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/MultiStateButton.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/Slider.h"
#include "editor/widgets/StaticText.h"

namespace test::panels {
namespace {

namespace GUIp = Zq::BorvanRAZ::GUI;
namespace Doc = Zq::BorvanRAZ::Document;
using Zq::Application::DocView::Parameter;

// The group each cabinet layout puts its widgets in: which layout is shown.
const char* const kCabinetGroups[] = {"CabGN500Panel",  "CabV9EPanel",     "CabJMR410HPanel",
                                      "CabWF212HPanel", "CabRKM410HPanel", "CabRKM810EPanel"};

class CabModuleTest : public EditorTest {
protected:
    Doc::CabModule& cab() { return rig.getCabModule(); }

    void show()
    {
        if (!editor) {
            build();
            open();
        }
        editor->showModule(GUIp::CabId);
        ASSERT_NE(panel(), nullptr);
    }
    GUIp::CabModule* panel() const
    {
        return dynamic_cast<GUIp::CabModule*>(editor->getModulePanel());
    }
    template <class T = GUI::Widget> T* part(const std::string& name)
    {
        return widget<T>(panel(), name);
    }
    std::string selectedText() const { return editor->getSelectedValueText()->getText(); }

    // Presses at one point and releases at another, through the window.
    void drag(int x, int y, int dx, int dy)
    {
        window().mouseMove(x, y, 0);
        window().mouseDown(x, y, 1, 0);
        for (int step = 1; step <= 3; ++step)
            window().mouseMove(x + dx * step / 3, y + dy * step / 3, 1);
        window().mouseUp(x + dx, y + dy, 1, 0);
        editor->idle();
    }
    void dragKnob(GUI::Widget* knob, int dy)
    {
        const auto at = knob->absolutePosition();
        drag(at.x + knob->getSize().x / 2, at.y + knob->getSize().y / 2, 0, dy);
    }
    void dragSlider(Widgets::Slider* slider, int by)
    {
        const auto at = slider->absolutePosition();
        const auto handle = slider->handlePosition();
        // A few pixels into the handle, whatever its size.
        drag(at.x + handle.x + 5, at.y + handle.y + 8, slider->isVertical() ? 0 : by,
             slider->isVertical() ? -by : 0);
    }
    // A click on the menu's item, as the user chooses it.
    void choose(Widgets::Menu* menu, int index)
    {
        // Items lie below the menu's two-pixel bevel, counted from the first.
        const auto at = menu->absolutePosition();
        const auto& rect = menu->getItem(index).rect;
        const auto& first = menu->getItem(0).rect;
        const int x = at.x + 2 + rect.x - first.x + rect.width / 2;
        const int y = at.y + 2 + rect.y - first.y + rect.height / 2;
        window().mouseMove(x, y, 0);
        window().mouseDown(x, y, 1, 0);
        window().mouseUp(x, y, 1, 0);
        editor->idle();
    }
    void set(Parameter& parameter, float value)
    {
        platform::ScopedEnter guard(*rig.getLock());
        parameter.setValue(value, true);
    }
    // A host write as the automation worker applies it: on its own thread,
    // under the document lock, in normalised form.
    void automate(Parameter& parameter, float normalized)
    {
        std::thread worker([&] {
            platform::ScopedEnter guard(*rig.getLock());
            parameter.setNormalized(normalized, true);
        });
        worker.join();
        editor->idle();
    }
    bool shows(int cabinet)
    {
        return editor->getModulePanel() && hasGroup(kCabinetGroups[cabinet]);
    }
    bool hasGroup(const std::string& name)
    {
        GUI::Widget* group = nullptr;
        try {
            panel()->find(name, group);
        } catch (const std::runtime_error&) {
            return false;
        }
        return group->isVisible();
    }
};

TEST(CabinetLayouts, eachCabinetHasItsFrontAndBackAndAnythingElseTheGN500s)
{
    struct Case {
        float value;
        const char* cabinet;
        const char* back;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const Case& c :
         {Case{0, "CabGN-500.xml", "CabBackStandard.xml"}, Case{1, "CabV9E.xml", "CabBackV9E.xml"},
          Case{2, "CabJMR410H.xml", "CabBackJMR410H.xml"},
          Case{3, "CabWF212H.xml", "CabBackStandard.xml"},
          Case{4, "CabRKM410H.xml", "CabBackStandard.xml"},
          Case{5.5f, "CabRKM810E.xml", "CabBackStandard.xml"},
          Case{6, "CabGN-500.xml", "CabBackStandard.xml"},
          Case{-1, "CabGN-500.xml", "CabBackStandard.xml"},
          Case{nan, "CabGN-500.xml", "CabBackStandard.xml"},
          Case{1e30f, "CabGN-500.xml", "CabBackStandard.xml"}}) {
        const GUIp::CabinetLayouts layouts = GUIp::cabinetLayouts(c.value);
        EXPECT_STREQ(layouts.cabinet, c.cabinet) << c.value;
        EXPECT_STREQ(layouts.back, c.back) << c.value;
    }
}

TEST_F(CabModuleTest, eachCabinetBuildsItsLayoutAndOpensItsBackPanel)
{
    // Back panels of our own, each with a group that names it, over the
    // skin's images.
    const char* backs[] = {"CabBackStandard", "CabBackV9E", "CabBackJMR410H"};
    for (const char* back : backs)
        overrides.write(
            std::string(back) + ".xml",
            std::string(R"(<?xml version="1.0" ?><Layout>
  <Group Name=")") +
                back + R"(Marker" TopMost="1" PositionX="0" PositionY="0" SizeW="851" SizeH="420">
    <PushButton Name="BackgroundButton" PositionX="0" PositionY="0" SizeW="851" SizeH="420" />
    <Knob Name="HighLevelControl" Strip="KnobLarge.tgz" Frames="64" PositionX="503" PositionY="200" />
  </Group></Layout>)");
    const char* backOf[] = {"CabBackStandardMarker", "CabBackV9EMarker",
                            "CabBackJMR410HMarker",  "CabBackStandardMarker",
                            "CabBackStandardMarker", "CabBackStandardMarker"};
    show();
    for (int cabinet : {0, 1, 2, 3, 4, 5}) {
        SCOPED_TRACE(cabinet);
        set(cab().cabinetModel, static_cast<float>(cabinet));
        ASSERT_NE(panel(), nullptr);
        EXPECT_TRUE(shows(cabinet));
        EXPECT_EQ(part<Widgets::StaticText>("CabinetModelLabel")->getText(),
                  Doc::CabModule::kCabinetNames[cabinet]);
        click(part("HighLevelSwitch"));
        GUIp::HighLevelControl* back = panel()->getBackPanel();
        ASSERT_NE(back, nullptr);
        GUI::Widget* group = widget<GUI::Widget>(back, backOf[cabinet]);
        EXPECT_TRUE(group->isTopMost());
    }
}

// One row per bound widget: switches are clicked, lamps only follow, the
// slider is dragged, the steppers are clicked from a known value.
TEST_F(CabModuleTest, everyBoundWidgetWorksExactlyItsOwnParameter)
{
    enum class Kind { Switch, Lamp, Slider, Step };
    struct Row {
        const char* widget;
        Kind kind;
        Parameter Doc::CabModule::*parameter;
        float from = 0; // steppers: the value before the click
        float to = 0;   // steppers: the value after it
    };
    using C = Doc::CabModule;
    const Row rows[] = {
        {"BypassSwitch", Kind::Switch, &C::bypass},
        {"BypassLed", Kind::Lamp, &C::bypass},
        {"CabinetMatchSwitch", Kind::Switch, &C::cabinetMatch},
        {"CabinetMatchLed", Kind::Lamp, &C::cabinetMatch},
        {"MicAxisSwitch", Kind::Switch, &C::micAxis},
        {"MicDistSwitch", Kind::Switch, &C::micDist},
        {"AmbienceSlider", Kind::Slider, &C::ambience},
        {"CabinetUpButton", Kind::Step, &C::cabinetModel, 4, 3},
        {"CabinetDownButton", Kind::Step, &C::cabinetModel, 4, 5},
        {"CabinetUpButton", Kind::Step, &C::cabinetModel, 0, 0},
        {"MicUpButton", Kind::Step, &C::micModel, 4, 3},
        {"MicDownButton", Kind::Step, &C::micModel, 4, 5},
        {"MicDownButton", Kind::Step, &C::micModel, 5, 5},
    };
    // The RKM-4 PRO's own cabinet is the one shown, so switching the match
    // on sets nothing else; and the tweeter is at full, so the RKM-810E's
    // rule leaves it there.
    rig.getAmpModule().ampModel.setValue(3.0f, true);
    cab().highLevel.setValue(1.0f, true);
    show();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.widget);
        Parameter& parameter = cab().*row.parameter;
        if (row.kind == Kind::Step)
            set(parameter, row.from);
        const float old = parameter.getValue();
        const std::string before = rig.saveChunk();
        switch (row.kind) {
        case Kind::Lamp: {
            click(part(row.widget));
            EXPECT_EQ(rig.saveChunk(), before) << "a lamp takes no clicks";
            for (float value : {1.0f, 0.0f, old}) {
                set(parameter, value);
                EXPECT_EQ(part<Widgets::CheckBox>(row.widget)->isChecked(), value != 0.0f);
            }
            continue;
        }
        case Kind::Switch:
            click(part(row.widget));
            EXPECT_EQ(part<Widgets::CheckBox>(row.widget)->isChecked(), parameter.getValue() != 0);
            break;
        case Kind::Slider:
            dragSlider(part<Widgets::Slider>(row.widget), 40);
            if (parameter.getValue() == old)
                dragSlider(part<Widgets::Slider>(row.widget), -40);
            EXPECT_TRUE(std::regex_match(selectedText(), std::regex(R"(\d+\.\d)")))
                << selectedText();
            break;
        case Kind::Step:
            click(part(row.widget));
            EXPECT_EQ(parameter.getValue(), row.to);
            break;
        }
        if (row.kind != Kind::Step || row.from != row.to) {
            EXPECT_NE(parameter.getValue(), old);
        }
        const char* const* names =
            row.parameter == &C::cabinetModel ? C::kCabinetNames : C::kMicNames;
        const char* label =
            row.parameter == &C::cabinetModel ? "CabinetModelLabel" : "MicModelLabel";
        if (row.kind == Kind::Step) {
            EXPECT_EQ(part<Widgets::StaticText>(label)->getText(), names[static_cast<int>(row.to)]);
        }
        set(parameter, old);
        EXPECT_EQ(rig.saveChunk(), before) << "only its own parameter moved";
    }
}

TEST_F(CabModuleTest, theModelButtonsOpenTheirMenusAndAChoiceRebuildsInsideItsOwnClick)
{
    show();
    // Runs after the root's handler: sees whether the click was still going
    // on and the old panel still waiting when the new one was already there.
    const Panel* old = nullptr;
    bool rebuiltInside = false;
    boost::signals2::scoped_connection probe = cab().cabinetModel.changed.connect([&](Parameter*) {
        rebuiltInside =
            editor->insideEvent() && editor->getModulePanel() != old && editor->pendingCount() > 0;
    });

    auto* micMenu = part<Widgets::Menu>("MicMenu");
    click(part("MicModelButton"));
    ASSERT_TRUE(micMenu->isVisible());
    ASSERT_EQ(micMenu->getItemCount(), 6);
    EXPECT_EQ(micMenu->getItem(3).text, "Vintage Dynamic 20");
    old = panel();
    choose(micMenu, 3);
    EXPECT_EQ(cab().micModel.getValue(), 3.0f);
    EXPECT_EQ(panel(), old) << "a microphone is no reason to rebuild";
    EXPECT_EQ(part<Widgets::StaticText>("MicModelLabel")->getText(), "Vintage Dynamic 20");

    auto* cabinetMenu = part<Widgets::Menu>("CabinetMenu");
    click(part("CabinetModelButton"));
    ASSERT_TRUE(cabinetMenu->isVisible());
    ASSERT_EQ(cabinetMenu->getItemCount(), 6);
    EXPECT_EQ(cabinetMenu->getItem(5).text, "RKM-810E");
    choose(cabinetMenu, 1);
    EXPECT_EQ(cab().cabinetModel.getValue(), 1.0f);
    EXPECT_TRUE(rebuiltInside);
    EXPECT_TRUE(shows(1));
    EXPECT_EQ(editor->pendingCount(), 0u) << "the old panel went when the click ended";

    old = panel();
    rebuiltInside = false;
    click(part("CabinetUpButton"));
    EXPECT_EQ(cab().cabinetModel.getValue(), 0.0f);
    EXPECT_TRUE(rebuiltInside);
    EXPECT_TRUE(shows(0));
    EXPECT_EQ(editor->pendingCount(), 0u);
    // The new panel works like the first.
    click(part("MicDownButton"));
    EXPECT_EQ(cab().micModel.getValue(), 4.0f);
}

TEST_F(CabModuleTest, theMicrophonePictureFollowsModelDistanceAndAxis)
{
    show();
    // Dynamic 57 near and on axis stands where the layout puts it.
    set(cab().micModel, 1.0f);
    set(cab().micDist, 0.0f);
    set(cab().micAxis, 0.0f);
    auto* mic = part<Widgets::MultiStateButton>("Mic");
    ASSERT_EQ(mic->getStateCount(), 12);
    EXPECT_FALSE(mic->isEnabled()) << "a picture, not a control";
    const auto home = mic->getPosition();
    struct Case {
        int model, dist, axis;
        int frame, dx;
    };
    const Case cases[] = {
        {0, 0, 0, 1, 14}, {0, 0, 1, 1, 64},  {0, 1, 0, 7, -3},  {0, 1, 1, 7, 47},  {1, 0, 0, 5, 0},
        {1, 0, 1, 5, 50}, {1, 1, 0, 11, -3}, {1, 1, 1, 11, 47}, {2, 0, 0, 3, 0},   {2, 0, 1, 3, 50},
        {2, 1, 0, 9, -3}, {2, 1, 1, 9, 47},  {3, 0, 0, 0, -5},  {3, 0, 1, 0, 45},  {3, 1, 0, 6, -8},
        {3, 1, 1, 6, 42}, {4, 0, 0, 2, 0},   {4, 0, 1, 2, 50},  {4, 1, 0, 8, -3},  {4, 1, 1, 8, 47},
        {5, 0, 0, 4, 0},  {5, 0, 1, 4, 50},  {5, 1, 0, 10, -3}, {5, 1, 1, 10, 47},
    };
    for (const Case& c : cases) {
        set(cab().micModel, static_cast<float>(c.model));
        set(cab().micDist, static_cast<float>(c.dist));
        set(cab().micAxis, static_cast<float>(c.axis));
        EXPECT_EQ(mic->getState(), c.frame) << c.model << c.dist << c.axis;
        EXPECT_EQ(mic->getPosition().x, home.x + c.dx) << c.model << c.dist << c.axis;
        EXPECT_EQ(mic->getPosition().y, home.y);
    }
    // A rebuilt panel draws the picture as it stands from the start.
    set(cab().cabinetModel, 0.0f);
    EXPECT_EQ(part<Widgets::MultiStateButton>("Mic")->getState(), 10);
}

// The tweeter is held at full for the RKM-810E whichever way it is chosen,
// and its former level comes back with the next cabinet.
TEST_F(CabModuleTest, theRkm810eHoldsTheTweeterAtFullAndGivesTheLevelBack)
{
    struct Way {
        const char* name;
        std::function<void()> choose810e;
        std::function<void()> leave;
    };
    auto menu = [this](int item) {
        return [this, item] {
            click(part("CabinetModelButton"));
            choose(part<Widgets::Menu>("CabinetMenu"), item);
        };
    };
    auto button = [this](const char* name) { return [this, name] { click(part(name)); }; };
    auto automation = [this](float normalized) {
        return [this, normalized] { automate(cab().cabinetModel, normalized); };
    };
    auto ampMenu = [this](int item) {
        return [this, item] {
            auto* selector = upper().getAmpSelector();
            click(widget<GUI::Widget>(selector, "AmpModelButton"));
            choose(widget<Widgets::Menu>(selector, "AmpMenu"), item);
        };
    };
    const Way ways[] = {{"menu", menu(5), menu(0)},
                        {"buttons", button("CabinetDownButton"), button("CabinetUpButton")},
                        {"host automation", automation(1.0f), automation(0.0f)},
                        {"amp menu with cabinet match", ampMenu(2), ampMenu(0)}};
    rig.getAmpModule().ampModel.setValue(3.0f, true);
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        set(cab().cabinetModel, 4.0f);
        set(cab().highLevel, 0.5f);
        set(cab().cabinetMatch, std::string(way.name).find("match") != std::string::npos);
        show();
        way.choose810e();
        ASSERT_EQ(cab().cabinetModel.getValue(), 5.0f);
        EXPECT_TRUE(shows(5));
        EXPECT_EQ(cab().highLevel.getValue(), 1.0f);
        EXPECT_EQ(cab().keptHighLevel, 0.5f);

        click(part("MicDownButton"));
        click(part("MicAxisSwitch"));
        EXPECT_EQ(cab().highLevel.getValue(), 1.0f) << "a microphone change keeps it at full";
        EXPECT_EQ(cab().keptHighLevel, 0.5f);

        way.leave();
        EXPECT_NE(cab().cabinetModel.getValue(), 5.0f);
        EXPECT_EQ(cab().highLevel.getValue(), 0.5f);
        EXPECT_EQ(cab().keptHighLevel, -1.0f);
        editor->showModule(GUIp::TunerId);
    }
}

TEST_F(CabModuleTest, showingTheRkm810eChangesNothing)
{
    set(cab().cabinetModel, 5.0f);
    set(cab().highLevel, 0.5f);
    const std::string before = rig.saveChunk();
    show();
    EXPECT_TRUE(shows(5));
    EXPECT_EQ(rig.saveChunk(), before);
    EXPECT_EQ(cab().keptHighLevel, -1.0f);
}

TEST_F(CabModuleTest, theBackPanelsKnobDrivesTheTweeterAndTheBackdropClosesIt)
{
    show();
    click(part("HighLevelSwitch"));
    GUIp::HighLevelControl* back = panel()->getBackPanel();
    ASSERT_NE(back, nullptr);
    const float old = cab().highLevel.getValue();
    const std::string before = rig.saveChunk();
    dragKnob(widget<GUI::Widget>(back, "HighLevelControl"), -40);
    EXPECT_GT(cab().highLevel.getValue(), old);
    EXPECT_TRUE(std::regex_match(selectedText(), std::regex(R"(-?\d+\.\ddB)"))) << selectedText();
    set(cab().highLevel, old);
    EXPECT_EQ(rig.saveChunk(), before) << "only the tweeter level moved";

    struct Case {
        float level;
        const char* text;
    };
    for (const Case& c : {Case{0.5f, "-6.0dB"}, Case{1.0f, "0.0dB"}, Case{2e-6f, "-114.0dB"},
                          Case{9e-7f, "-Inf"}, Case{0.0f, "-Inf"}}) {
        set(cab().highLevel, c.level);
        EXPECT_EQ(selectedText(), c.text) << c.level;
    }

    // A click beside the back lands on the backdrop. The probe runs after
    // the panel's own handler: the back panel is let go, but waits until
    // the click is over.
    set(cab().highLevel, old);
    bool waitsForTheClick = false;
    boost::signals2::scoped_connection probe =
        widget<Widgets::PushButton>(back, "BackgroundButton")
            ->clicked.connect([&](Widgets::AbstractButton*, const GUI::Widget::Point&) {
                waitsForTheClick =
                    panel()->getBackPanel() == nullptr && editor->pendingCount() == 1;
            });
    window().mouseMove(20, 20, 0);
    window().mouseDown(20, 20, 1, 0);
    window().mouseUp(20, 20, 1, 0);
    editor->idle();
    EXPECT_TRUE(waitsForTheClick);
    EXPECT_EQ(panel()->getBackPanel(), nullptr);
    EXPECT_EQ(editor->pendingCount(), 0u);
    EXPECT_EQ(rig.saveChunk(), before);
}

TEST_F(CabModuleTest, openingEveryModuleHeadPedalAndCabinetLeavesTheStateAsItWas)
{
    build();
    open();
    auto& stomps = rig.getStompModule();
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        editor->showModule(GUIp::NoModule);
        set(rig.getAmpModule().ampModel, static_cast<float>(round % 4));
        set(cab().cabinetModel, static_cast<float>(round));
        set(cab().highLevel, 0.25f);
        for (int slot = 0; slot < 6; ++slot)
            set(stomps.stomps[slot], static_cast<float>((slot + round * 3) % 9));
        const std::string before = rig.saveChunk();
        for (int module : {GUIp::TunerId, GUIp::StompId, GUIp::AmpId, GUIp::CabId}) {
            editor->showModule(module);
            ASSERT_NE(editor->getModulePanel(), nullptr) << module;
            tick();
        }
        click(part("HighLevelSwitch"));
        ASSERT_NE(panel()->getBackPanel(), nullptr);
        tick();
        EXPECT_EQ(rig.saveChunk(), before);
    }
}

} // namespace
} // namespace test::panels
