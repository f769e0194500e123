#include "PanelFixture.h"

#include <cmath>
#include <functional>
#include <limits>
#include <regex>
#include <vector>

#include "editor/panels/AmpHeads.h"
#include "editor/panels/AmpModule.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/Slider.h"
#include "editor/widgets/StaticText.h"
#include "plugin/rig/AmpModels.h"

namespace test::panels {
namespace {

namespace GUIp = Zq::BorvanRAZ::GUI;
namespace Doc = Zq::BorvanRAZ::Document;
using Zq::Application::DocView::Parameter;

// How a widget of a head is worked: a switch is clicked, a knob or slider
// dragged; a lamp takes no input and only follows.
enum class Kind { Switch, Lamp, Knob, Slider };

struct Row {
    const char* widget;
    Kind kind;
    std::function<Parameter&(Doc::Rig&)> parameter;
    // The selected-value text after a change, or null where none is bound.
    const char* text = nullptr;
};

constexpr const char* kOneDecimal = R"(-?\d+\.\d)";
constexpr const char* kWhole = R"(-?\d+)";
constexpr const char* kDecibels = R"(-?\d+\.\ddB)";

template <class Model> Model& model(Doc::Rig& rig)
{
    return dynamic_cast<Model&>(*rig.getAmpModule().getAmpModel());
}

std::vector<Row> re500Rows()
{
    using M = Doc::AmpRE500;
    auto amp = [](Parameter Doc::AmpModule::*p) {
        return [p](Doc::Rig& r) -> Parameter& { return r.getAmpModule().*p; };
    };
    auto m = [](Parameter M::*p) {
        return [p](Doc::Rig& r) -> Parameter& { return model<M>(r).*p; };
    };
    std::vector<Row> rows = {
        {"BypassSwitch", Kind::Switch, amp(&Doc::AmpModule::bypass)},
        {"BypassLed", Kind::Lamp, amp(&Doc::AmpModule::bypass)},
        {"MuteSwitch", Kind::Switch, amp(&Doc::AmpModule::mute)},
        {"MuteLed", Kind::Lamp, amp(&Doc::AmpModule::mute)},
        {"PeakLed", Kind::Lamp, m(&M::preampPeak)},
        {"GainKnob", Kind::Knob, m(&M::gain), kOneDecimal},
        {"BassKnob", Kind::Knob, m(&M::bass), kOneDecimal},
        {"MidKnob", Kind::Knob, m(&M::mid), kOneDecimal},
        {"TrebleKnob", Kind::Knob, m(&M::treble), kOneDecimal},
        {"MasterKnob", Kind::Knob, m(&M::master), kOneDecimal},
        {"PadSwitch", Kind::Switch, m(&M::pad)},
        {"LimitSwitch", Kind::Switch, m(&M::limit)},
        {"LimitLed", Kind::Lamp, m(&M::limit)},
        {"EqSwitch", Kind::Switch, m(&M::eqBypass)},
        {"EqLed", Kind::Lamp, m(&M::eqBypass)},
    };
    const char* sliders[] = {"Eq40HzSlider",  "Eq80HzSlider",  "Eq150HzSlider",
                             "Eq300HzSlider", "Eq600HzSlider", "Eq900HzSlider",
                             "Eq2kHzSlider",  "Eq5kHzSlider",  "Eq9kHzSlider"};
    for (int i = 0; i < M::kBandCount; ++i)
        rows.push_back({sliders[i], Kind::Slider,
                        [i](Doc::Rig& r) -> Parameter& { return model<M>(r).bands[i]; },
                        kDecibels});
    return rows;
}

// The rows both tube heads share, in their order from the gain to the
// ultra switches.
template <class M> std::vector<Row> tubeRows()
{
    auto m = [](Parameter M::*p) {
        return [p](Doc::Rig& r) -> Parameter& { return model<M>(r).*p; };
    };
    return {{"GainKnob", Kind::Knob, m(&M::gain), kOneDecimal},
            {"BassKnob", Kind::Knob, m(&M::bass), kOneDecimal},
            {"MidKnob", Kind::Knob, m(&M::mid), kOneDecimal},
            {"FreqKnob", Kind::Knob, m(&M::freq), kWhole},
            {"TrebleKnob", Kind::Knob, m(&M::treble), kOneDecimal},
            {"MasterKnob", Kind::Knob, m(&M::master), kOneDecimal},
            {"HiSwitch", Kind::Switch, m(&M::ultraHi)},
            {"LoSwitch", Kind::Switch, m(&M::ultraLo)}};
}

auto ampParameter(Parameter Doc::AmpModule::*p)
{
    return [p](Doc::Rig& r) -> Parameter& { return r.getAmpModule().*p; };
}

std::vector<Row> v9eRows()
{
    using M = Doc::AmpV9E;
    std::vector<Row> rows = {{"BypassSwitch", Kind::Switch, ampParameter(&Doc::AmpModule::bypass)},
                             {"MuteSwitch", Kind::Switch, ampParameter(&Doc::AmpModule::mute)}};
    for (Row& row : tubeRows<M>())
        rows.push_back(row);
    rows.push_back(
        {"WSwitch", Kind::Switch, [](Doc::Rig& r) -> Parameter& { return model<M>(r).watts; }});
    rows.push_back(
        {"Valves", Kind::Knob, [](Doc::Rig& r) -> Parameter& { return model<M>(r).master; }});
    return rows;
}

std::vector<Row> rkmClassicRows()
{
    std::vector<Row> rows = {{"BypassSwitch", Kind::Switch, ampParameter(&Doc::AmpModule::bypass)},
                             {"MuteSwitch", Kind::Switch, ampParameter(&Doc::AmpModule::mute)},
                             {"GreenLed", Kind::Lamp, ampParameter(&Doc::AmpModule::mute)}};
    for (Row& row : tubeRows<Doc::AmpRKMClassic>())
        rows.push_back(row);
    return rows;
}

std::vector<Row> rkm4proRows()
{
    using M = Doc::AmpRKM4PRO;
    auto m = [](Parameter M::*p) {
        return [p](Doc::Rig& r) -> Parameter& { return model<M>(r).*p; };
    };
    std::vector<Row> rows = {
        {"BypassSwitch", Kind::Switch, ampParameter(&Doc::AmpModule::bypass)},
        {"BypassLed", Kind::Lamp, ampParameter(&Doc::AmpModule::bypass)},
        {"MuteSwitch", Kind::Switch, ampParameter(&Doc::AmpModule::mute)},
        {"15dBSwitch", Kind::Switch, m(&M::minus15dB)},
        {"GainKnob", Kind::Knob, m(&M::gain), kOneDecimal},
        {"CompressionKnob", Kind::Knob, m(&M::compression), kOneDecimal},
        {"HiSwitch", Kind::Switch, m(&M::ultraHi)},
        {"LoSwitch", Kind::Switch, m(&M::ultraLo)},
        {"BassKnob", Kind::Knob, m(&M::bass), kOneDecimal},
        {"MidKnob", Kind::Knob, m(&M::mid), kOneDecimal},
        {"FreqKnob", Kind::Knob, m(&M::freq), kWhole},
        {"TrebleKnob", Kind::Knob, m(&M::treble), kOneDecimal},
        {"LimitDefeatSwitch", Kind::Switch, m(&M::limit)},
        {"BrightSwitch", Kind::Switch, m(&M::bright)},
        {"MasterKnob", Kind::Knob, m(&M::master), kOneDecimal},
        {"LimitLed", Kind::Lamp, m(&M::limitPeak)},
        {"PeakLed", Kind::Lamp, m(&M::preampPeak)},
        {"EqLed", Kind::Lamp, m(&M::eqBypass)},
        {"EqLevelSlider", Kind::Slider, m(&M::bandLevel), kDecibels},
    };
    const char* sliders[] = {"Eq33HzSlider",  "Eq80HzSlider",  "Eq150HzSlider",
                             "Eq300HzSlider", "Eq600HzSlider", "Eq900HzSlider",
                             "Eq2kHzSlider",  "Eq5kHzSlider",  "Eq8kHzSlider"};
    for (int i = 0; i < M::kBandCount; ++i)
        rows.push_back({sliders[i], Kind::Slider,
                        [i](Doc::Rig& r) -> Parameter& { return model<M>(r).bands[i]; },
                        kDecibels});
    return rows;
}

struct Head {
    const char* name;
    int ampModel;
    std::function<std::vector<Row>()> rows;
};

class AmpModuleTest : public EditorTest {
protected:
    void showHead(int ampModel)
    {
        rig.getAmpModule().ampModel.setValue(static_cast<float>(ampModel), true);
        if (!editor) {
            build();
            open();
        }
        editor->showModule(3);
    }
    Panel* head() const
    {
        auto* amp = dynamic_cast<GUIp::AmpModule*>(editor->getModulePanel());
        return amp ? amp->getHead() : nullptr;
    }
    std::string selectedText() const { return editor->getSelectedValueText()->getText(); }

    // A drag of 30 pixels up from the middle of a knob, or from a slider's
    // handle; down instead when up changed nothing (the control at its top).
    void drag(GUI::Widget* w, bool slider, int dy)
    {
        auto at = w->absolutePosition();
        int x = at.x + w->getSize().x / 2;
        int y = at.y + w->getSize().y / 2;
        if (slider) {
            const auto handle = static_cast<Widgets::Slider*>(w)->handlePosition();
            x = at.x + handle.x + 10;
            y = at.y + handle.y + 8;
        }
        window().mouseMove(x, y, 0);
        window().mouseDown(x, y, 1, 0);
        for (int step = 1; step <= 3; ++step)
            window().mouseMove(x, y + dy * step / 3, 1);
        window().mouseUp(x, y + dy, 1, 0);
        editor->idle();
    }

    // Works the widget of the row and checks that exactly its parameter
    // moved: the state differs, and putting that one value back restores it
    // byte for byte.
    void checkRow(const Row& row)
    {
        SCOPED_TRACE(row.widget);
        Parameter& parameter = row.parameter(rig);
        const float old = parameter.getValue();
        const std::string before = rig.saveChunk();
        if (row.kind == Kind::Lamp) {
            auto* lamp = widget<Widgets::CheckBox>(head(), row.widget);
            click(lamp);
            EXPECT_EQ(rig.saveChunk(), before) << "a lamp takes no clicks";
            for (float n : {1.0f, 0.0f}) {
                parameter.setNormalized(n, true);
                EXPECT_EQ(lamp->isChecked(), n != 0.0f);
            }
            parameter.setValue(old, true);
            return;
        }
        if (row.kind == Kind::Switch) {
            click(widget<Widgets::CheckBox>(head(), row.widget));
        } else {
            auto* w = widget<GUI::Widget>(head(), row.widget);
            drag(w, row.kind == Kind::Slider, -30);
            if (parameter.getValue() == old)
                drag(w, row.kind == Kind::Slider, 30);
        }
        EXPECT_NE(parameter.getValue(), old);
        EXPECT_NE(rig.saveChunk(), before);
        if (row.text) {
            EXPECT_TRUE(std::regex_match(selectedText(), std::regex(row.text))) << selectedText();
        }
        parameter.setValue(old, true);
        EXPECT_EQ(rig.saveChunk(), before) << "only its own parameter moved";
    }
};

TEST(AmpHeadChoice, zeroOneThreePickTheirHeadsAndEverythingElseTheClassic)
{
    using GUIp::AmpHead;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float value;
        AmpHead head;
    };
    for (const Case& c :
         {Case{0, AmpHead::RE500}, Case{0.9f, AmpHead::RE500}, Case{1, AmpHead::V9E},
          Case{2, AmpHead::RKMClassic}, Case{3, AmpHead::RKM4PRO}, Case{3.7f, AmpHead::RKM4PRO},
          Case{7, AmpHead::RKMClassic}, Case{-1, AmpHead::RKMClassic},
          Case{nan, AmpHead::RKMClassic}, Case{1e30f, AmpHead::RKMClassic}})
        EXPECT_EQ(GUIp::headForModel(c.value), c.head) << c.value;
}

TEST_F(AmpModuleTest, theModelBuildsItsHeadAndAChangeRebuildsOnlyWhileTheAmpIsShown)
{
    showHead(0);
    ASSERT_NE(dynamic_cast<GUIp::AmpRE500*>(head()), nullptr);
    editor->showModule(1);
    Panel* tuner = editor->getModulePanel();
    rig.getAmpModule().ampModel.setValue(3.0f, true);
    rig.getAmpModule().ampModel.setValue(0.0f, true);
    EXPECT_EQ(editor->getModulePanel(), tuner) << "nothing rebuilt behind another module";
    editor->showModule(3);
    EXPECT_NE(dynamic_cast<GUIp::AmpRE500*>(head()), nullptr);
}

TEST_F(AmpModuleTest, aHeadWhoseModelIsOfAnotherClassThrows)
{
    showHead(1);
    EXPECT_THROW(GUIp::AmpRE500(*editor, editor->getRoot()), std::runtime_error);
}

class AmpHeadTest : public AmpModuleTest, public ::testing::WithParamInterface<Head> {};

TEST_P(AmpHeadTest, everyControlMovesExactlyItsOwnParameterAndShowsItsValueText)
{
    showHead(GetParam().ampModel);
    ASSERT_NE(head(), nullptr);
    for (const Row& row : GetParam().rows())
        checkRow(row);
}

TEST_P(AmpHeadTest, openingShowsTheGainAndLeavesTheStateAsItWas)
{
    showHead(GetParam().ampModel);
    editor->showModule(1);
    editor->getSelectedValueText()->setText("");
    const std::string before = rig.saveChunk();
    editor->showModule(3);
    ASSERT_NE(head(), nullptr);
    EXPECT_EQ(rig.saveChunk(), before);
    EXPECT_TRUE(std::regex_match(selectedText(), std::regex(kOneDecimal))) << selectedText();
}

INSTANTIATE_TEST_SUITE_P(Heads, AmpHeadTest,
                         ::testing::Values(Head{"RE500", 0, re500Rows}, Head{"V9E", 1, v9eRows},
                                           Head{"RKMClassic", 2, rkmClassicRows},
                                           Head{"RKM4PRO", 3, rkm4proRows}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AmpModuleTest, re500TextsMasterWithoutSuffixBandsInDecibels)
{
    showHead(0);
    auto& m = model<Doc::AmpRE500>(rig);
    m.master.setValue(5.0f, true);
    EXPECT_EQ(selectedText(), "5.0");
    m.bands[2].setValue(-3.0f, true);
    EXPECT_EQ(selectedText(), "-3.0dB");
}

TEST_F(AmpModuleTest, eachModelValueBuildsItsHeadAndAnotherChoiceReplacesItAtOnce)
{
    showHead(0);
    for (int value : {1, 2, 3, 0, 3}) {
        rig.getAmpModule().ampModel.setValue(static_cast<float>(value), true);
        Panel* shown = head();
        ASSERT_NE(shown, nullptr) << value;
        const bool right[] = {dynamic_cast<GUIp::AmpRE500*>(shown) != nullptr,
                              dynamic_cast<GUIp::AmpV9E*>(shown) != nullptr,
                              dynamic_cast<GUIp::AmpRKMClassic*>(shown) != nullptr,
                              dynamic_cast<GUIp::AmpRKM4PRO*>(shown) != nullptr};
        EXPECT_TRUE(right[value]) << value;
    }
    // The document keeps its selector within its range: 7 is the 4 PRO.
    rig.getAmpModule().ampModel.setValue(7.0f, true);
    EXPECT_NE(dynamic_cast<GUIp::AmpRKM4PRO*>(head()), nullptr);
}

TEST_F(AmpModuleTest, theValvesAndTheMasterKnobTurnTogether)
{
    showHead(1);
    auto* master = widget<Widgets::Knob>(head(), "MasterKnob");
    auto* valves = widget<Widgets::Knob>(head(), "Valves");
    drag(master, false, -40);
    EXPECT_NE(master->getValue(), 0.0f);
    EXPECT_FLOAT_EQ(valves->getValue(), master->getValue());
    drag(valves, false, 25);
    EXPECT_FLOAT_EQ(master->getValue(), valves->getValue());
    EXPECT_FLOAT_EQ(model<Doc::AmpV9E>(rig).master.getNormalized(), valves->getValue());
}

TEST_F(AmpModuleTest, theClassicRedLampIsLitExactlyForBypassedAndNotMuted)
{
    showHead(2);
    auto* red = widget<Widgets::CheckBox>(head(), "RedLed");
    Doc::AmpModule& amp = rig.getAmpModule();
    struct Case {
        float bypass, mute;
        bool lit;
    };
    for (const Case& c : {Case{1, 0, true}, Case{1, 1, false}, Case{0, 0, false}, Case{0, 1, false},
                          Case{1, 0, true}}) {
        amp.bypass.setValue(c.bypass, true);
        amp.mute.setValue(c.mute, true);
        EXPECT_EQ(red->isChecked(), c.lit) << c.bypass << " " << c.mute;
    }
    // Shown as it stands when the head opens.
    editor->showModule(1);
    editor->showModule(3);
    EXPECT_TRUE(widget<Widgets::CheckBox>(head(), "RedLed")->isChecked());
}

TEST_F(AmpModuleTest, rkm4proLevelReadsInDecibels)
{
    showHead(3);
    model<Doc::AmpRKM4PRO>(rig).bandLevel.setValue(0.5f, true);
    EXPECT_EQ(selectedText(), "-6.0dB");
}

} // namespace
} // namespace test::panels
