#pragma once

#include "plugin/docview/UnitMAF.h"

#include <boost/signals2/connection.hpp>

#include <string>

namespace Zq::BorvanRAZ::Document {
class Module;
class MacroModule;
} // namespace Zq::BorvanRAZ::Document

namespace Zq::BorvanRAZ::Engine {

class Main;

// "Gain_Volume_PanVolume_" + base: the gain of a unit's output-volume wrapper.
std::string volumeGainPath(const std::string& base);

// The DSP side of one document unit: bindings from the unit's parameters to
// DSP parameters found by path, all through the MAFInterface (no unit touches
// a DSP module). Handlers and pushes run on the thread that changes the
// document, which holds the document lock; update and tempoChanged run on the
// audio thread while it holds the document lock. Units take no lock of their own.
class UnitEngine : public Application::DocView::UnitMAF {
public:
    UnitEngine(Application::DocView::MAFInterface* dsp, std::string path, Main& root);
    ~UnitEngine() override;

    // The host tempo has changed (Main::currentTempo holds it). Nothing here.
    virtual void tempoChanged();

    Main& getRoot() const noexcept { return root_; }

private:
    Main& root_;
};

// A unit whose DSP module has a run state ("Process": Normal, Bypass, Mute,
// Stop) that follows the document unit's "Mute" and "Bypass": Mute wins,
// Bypass next, both off is Normal.
class Module : public UnitEngine {
public:
    Module(Application::DocView::MAFInterface* dsp, std::string path, Main& root,
           Document::Module* documentUnit);
    ~Module() override;

    virtual void setNormal();
    virtual void setMute();
    virtual void setBypass();
    virtual void setStop();

    Document::Module* getDocumentUnit() const noexcept { return documentUnit_; }

    // While set, the run-state handlers ignore the document. Nothing sets it
    // yet; it is there for a caller that must switch both switches at once.
    void setSuppressed(bool suppressed) noexcept { suppressed_ = suppressed; }

    // True while the document unit asks for Normal (neither muted nor bypassed).
    bool documentIsNormal() const;

private:
    void onMute();
    void onBypass();

    bool suppressed_ = false;
    std::string processPath_;
    Document::Module* documentUnit_;
    boost::signals2::scoped_connection muteConnection_;
    boost::signals2::scoped_connection bypassConnection_;
};

// A module with an output volume wrapper: the document's "OutputVolume"
// (linear) drives "Gain_Volume_PanVolume_" + path in decibels.
class MacroModule : public Module {
public:
    MacroModule(Application::DocView::MAFInterface* dsp, std::string path, Main& root,
                Document::MacroModule* documentUnit);
    ~MacroModule() override;
};

class StereoMacroModule : public MacroModule {
public:
    using MacroModule::MacroModule;
    ~StereoMacroModule() override;
};

// A stomp model in one slot of the stomp chain; its document unit is the
// model document of that slot.
class StompBox : public Module {
public:
    StompBox(Application::DocView::MAFInterface* dsp, std::string slotPath, Main& root, int slot);
    ~StompBox() override;

    int getSlot() const noexcept { return slot_; }

private:
    int slot_;
};

} // namespace Zq::BorvanRAZ::Engine
