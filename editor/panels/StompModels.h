#pragma once

#include "editor/panels/StompModule.h"

namespace Zq::Application::GUI {
class Widget;
}
namespace Zq::Application::Widgets {
class CheckBox;
class Knob;
class MultiStateButton;
} // namespace Zq::Application::Widgets
namespace Zq::Application::DocView {
class AdapterStaticTextValue;
}
namespace Zq::BorvanRAZ::Document {
class StompWah;
}

namespace Zq::BorvanRAZ::GUI {

class AdapterStaticTextMeter;

// The pedal faces of the stomp chain, each bound to the document of the
// pedal in its slot; each shows one of its values on opening.
class StompOverdrive : public StompBox {
public:
    StompOverdrive(unsigned slot, Main& root, Application::GUI::Widget* parent);
};

class StompOctaver : public StompBox {
public:
    StompOctaver(unsigned slot, Main& root, Application::GUI::Widget* parent);
};

// The chorus: its three mode switches all show the one chorus/vibrato mode.
class StompRI1 : public StompBox {
public:
    StompRI1(unsigned slot, Main& root, Application::GUI::Widget* parent);
};

// The analog delay: a time in milliseconds, or with "BPM" on a note value
// following the host's tempo; only the knob and the text of the mode in force
// show.
class StompMemoryMan : public StompBox {
public:
    StompMemoryMan(unsigned slot, Main& root, Application::GUI::Widget* parent);

private:
    void bpmChanged();

    Application::GUI::Widget* delayKnob_ = nullptr;
    Application::GUI::Widget* delayBpmKnob_ = nullptr;
    Application::DocView::AdapterStaticTextValue* delayText_ = nullptr;
    AdapterStaticTextMeter* noteText_ = nullptr;
};

// The wah: one switch off, on and auto over the pedal's bypass and mode.
class StompWah : public StompBox {
public:
    StompWah(unsigned slot, Main& root, Application::GUI::Widget* parent);

private:
    void modeChanged();
    void bypassChanged();
    void switchChanged(int state);
    void showLamps(int state);

    Document::StompWah* model_ = nullptr;
    Application::Widgets::MultiStateButton* modeSwitch_ = nullptr;
    Application::Widgets::CheckBox* autoLed_ = nullptr;
    Application::Widgets::CheckBox* onLed_ = nullptr;
    bool switchBusy_ = false;
};

class StompDynaComp : public StompBox {
public:
    StompDynaComp(unsigned slot, Main& root, Application::GUI::Widget* parent);
};

// The envelope filter: its lamps show the band mode.
class StompEnvelopeFilter : public StompBox {
public:
    StompEnvelopeFilter(unsigned slot, Main& root, Application::GUI::Widget* parent);

private:
    void bandModeChanged();

    Application::Widgets::CheckBox* bpLed_ = nullptr;
    Application::Widgets::CheckBox* lpLed_ = nullptr;
    Application::Widgets::CheckBox* hpLed_ = nullptr;
};

class StompVolume : public StompBox {
public:
    StompVolume(unsigned slot, Main& root, Application::GUI::Widget* parent);
};

} // namespace Zq::BorvanRAZ::GUI
