#include "editor/panels/AmpHeads.h"

#include <initializer_list>
#include <stdexcept>

#include "editor/panels/Main.h"
#include "editor/widgets/CheckBox.h"
#include "plugin/rig/AmpModels.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

namespace {

using Application::DocView::Parameter;

// How one widget of a head is bound: switches and lamps as check boxes,
// knobs and sliders with their value text.
enum class Kind { Switch, Knob, Slider };

struct Binding {
    const char* widget;
    Kind kind;
    Parameter* parameter;
    int decimals = 1;
    const char* suffix = "";
    bool text = true;  // a value text in the selected-value display
    bool inDb = false; // a linear gain shown in decibels
};

template <class Model> Model& modelOf(Panel& panel)
{
    auto* model = dynamic_cast<Model*>(panel.getDocument().getAmpModule().getAmpModel());
    if (!model)
        throw std::runtime_error("Wrong model class");
    return *model;
}

// Binds the widgets in the table's order, then their value texts in the same
// order, so the looked-up widgets all exist before any text adapter does.
void bindHead(Application::DocView::UnitGUI& view, Main& root,
              std::initializer_list<Binding> bindings)
{
    for (const Binding& b : bindings) {
        switch (b.kind) {
        case Kind::Switch:
            view.addCheckBox(b.widget, b.parameter);
            break;
        case Kind::Knob:
            view.addKnob(b.widget, b.parameter);
            break;
        case Kind::Slider:
            view.addSlider(b.widget, b.parameter);
            break;
        }
    }
    for (const Binding& b : bindings) {
        if (b.kind == Kind::Switch || !b.text)
            continue;
        if (b.inDb)
            view.addStaticTextValuedB(root.getSelectedValueText(), b.parameter, b.decimals);
        else
            view.addStaticTextValue(root.getSelectedValueText(), b.parameter, b.decimals, b.suffix);
    }
}

Binding sw(const char* widget, Parameter& p)
{
    return {widget, Kind::Switch, &p};
}
Binding knob(const char* widget, Parameter& p, int decimals = 1)
{
    return {widget, Kind::Knob, &p, decimals};
}
Binding band(const char* widget, Parameter& p)
{
    return {widget, Kind::Slider, &p, 1, "dB"};
}

} // namespace

AmpRE500::AmpRE500(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "AmpGN-500.xml")
{
    Document::AmpModule& amp = getDocument().getAmpModule();
    auto& m = modelOf<Document::AmpRE500>(*this);
    bindHead(*this, root,
             {sw("BypassSwitch", amp.bypass),
              sw("BypassLed", amp.bypass),
              sw("MuteSwitch", amp.mute),
              sw("MuteLed", amp.mute),
              sw("PeakLed", m.preampPeak),
              knob("GainKnob", m.gain),
              knob("BassKnob", m.bass),
              knob("MidKnob", m.mid),
              knob("TrebleKnob", m.treble),
              knob("MasterKnob", m.master),
              sw("PadSwitch", m.pad),
              sw("LimitSwitch", m.limit),
              sw("LimitLed", m.limit),
              sw("EqSwitch", m.eqBypass),
              sw("EqLed", m.eqBypass),
              band("Eq40HzSlider", m.bands[0]),
              band("Eq80HzSlider", m.bands[1]),
              band("Eq150HzSlider", m.bands[2]),
              band("Eq300HzSlider", m.bands[3]),
              band("Eq600HzSlider", m.bands[4]),
              band("Eq900HzSlider", m.bands[5]),
              band("Eq2kHzSlider", m.bands[6]),
              band("Eq5kHzSlider", m.bands[7]),
              band("Eq9kHzSlider", m.bands[8])});
    m.gain.notifyChanged();
}

AmpV9E::AmpV9E(Main& root, Application::GUI::Widget* parent) : Panel(root, parent, "AmpQ-9W.xml")
{
    Document::AmpModule& amp = getDocument().getAmpModule();
    auto& m = modelOf<Document::AmpV9E>(*this);
    Binding valves = knob("Valves", m.master);
    valves.text = false;
    bindHead(*this, root,
             {sw("BypassSwitch", amp.bypass), sw("MuteSwitch", amp.mute), knob("GainKnob", m.gain),
              knob("BassKnob", m.bass), knob("MidKnob", m.mid), knob("FreqKnob", m.freq, 0),
              knob("TrebleKnob", m.treble), knob("MasterKnob", m.master), sw("HiSwitch", m.ultraHi),
              sw("LoSwitch", m.ultraLo), sw("WSwitch", m.watts), valves});
    m.gain.notifyChanged();
}

AmpRKMClassic::AmpRKMClassic(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "AmpRKM-Classic.xml")
{
    Document::AmpModule& amp = getDocument().getAmpModule();
    auto& m = modelOf<Document::AmpRKMClassic>(*this);
    find("RedLed", redLed_);
    bindHead(*this, root,
             {sw("BypassSwitch", amp.bypass), sw("MuteSwitch", amp.mute), sw("GreenLed", amp.mute),
              knob("GainKnob", m.gain), knob("BassKnob", m.bass), knob("MidKnob", m.mid),
              knob("FreqKnob", m.freq, 0), knob("TrebleKnob", m.treble),
              knob("MasterKnob", m.master), sw("HiSwitch", m.ultraHi), sw("LoSwitch", m.ultraLo)});
    connect(amp.bypass.changed, [this](Parameter*) { showRedLed(); });
    connect(amp.mute.changed, [this](Parameter*) { showRedLed(); });
    showRedLed();
    m.gain.notifyChanged();
}

void AmpRKMClassic::showRedLed()
{
    const Document::AmpModule& amp = getDocument().getAmpModule();
    redLed_->setChecked(amp.mute.getValue() == 0.0f && amp.bypass.getValue() == 1.0f);
}

AmpRKM4PRO::AmpRKM4PRO(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "AmpRKM-4PRO.xml")
{
    Document::AmpModule& amp = getDocument().getAmpModule();
    auto& m = modelOf<Document::AmpRKM4PRO>(*this);
    Binding level{"EqLevelSlider", Kind::Slider, &m.bandLevel};
    level.inDb = true;
    bindHead(*this, root,
             {sw("BypassSwitch", amp.bypass),    sw("BypassLed", amp.bypass),
              sw("MuteSwitch", amp.mute),        sw("15dBSwitch", m.minus15dB),
              knob("GainKnob", m.gain),          knob("CompressionKnob", m.compression),
              sw("HiSwitch", m.ultraHi),         sw("LoSwitch", m.ultraLo),
              knob("BassKnob", m.bass),          knob("MidKnob", m.mid),
              knob("FreqKnob", m.freq, 0),       knob("TrebleKnob", m.treble),
              sw("LimitDefeatSwitch", m.limit),  sw("BrightSwitch", m.bright),
              knob("MasterKnob", m.master),      sw("LimitLed", m.limitPeak),
              sw("PeakLed", m.preampPeak),       sw("EqLed", m.eqBypass),
              band("Eq33HzSlider", m.bands[0]),  band("Eq80HzSlider", m.bands[1]),
              band("Eq150HzSlider", m.bands[2]), band("Eq300HzSlider", m.bands[3]),
              band("Eq600HzSlider", m.bands[4]), band("Eq900HzSlider", m.bands[5]),
              band("Eq2kHzSlider", m.bands[6]),  band("Eq5kHzSlider", m.bands[7]),
              band("Eq8kHzSlider", m.bands[8]),  level});
    m.gain.notifyChanged();
}

} // namespace Zq::BorvanRAZ::GUI
