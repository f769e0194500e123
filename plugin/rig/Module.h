#pragma once

#include "plugin/document/Serializable.h"
#include "plugin/docview/Parameter.h"
#include "plugin/docview/UnitDoc.h"

#include <boost/signals2/signal.hpp>

namespace Zq::BorvanRAZ::Document {

// A unit of the rig that can stand alone as a preset of its own (the editor's
// per-module presets): every top-level module of the signal chain and every
// stomp and amplifier model. Carries the two switches every chain element has.
class Module : public Serializable, public Application::DocView::UnitDoc {
public:
    using Parameter = Application::DocView::Parameter;

    // Fired around a load from a stream (a per-module preset), also when the
    // text held nothing to load.
    boost::signals2::signal<void()> beforeLoad;
    boost::signals2::signal<void()> afterLoad;

    Parameter mute;
    Parameter bypass;

    Module() : Module(true) {}
    ~Module() override;

    using UnitDoc::load;
    using UnitDoc::save;

    // The module alone as a preset document with a "Preset" root. Text that is
    // malformed, nested too deep or without a root changes nothing.
    void load(std::istream& in) override;
    void save(std::ostream& out) const override;

protected:
    // switchesSaved false leaves "Mute" and "Bypass" out of the named table,
    // so presets neither carry nor change them.
    explicit Module(bool switchesSaved);
};

// A module with its own output level.
class MacroModule : public Module {
public:
    Parameter outputVolume;

    MacroModule() : MacroModule(true) {}
    ~MacroModule() override;

protected:
    explicit MacroModule(bool switchesSaved);
};

// A macro module whose output is placed in the stereo field.
class StereoMacroModule : public MacroModule {
public:
    Parameter outputPan;

    StereoMacroModule();
    ~StereoMacroModule() override;
};

} // namespace Zq::BorvanRAZ::Document
