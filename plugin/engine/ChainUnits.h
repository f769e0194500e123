#pragma once

#include "plugin/engine/UnitEngine.h"
#include "plugin/rig/AmpHeads.h"

#include <boost/signals2/connection.hpp>

#include <string>

namespace Zq::BorvanRAZ::Engine {

// The amplifier: run state, output volume, the amp selector by model name,
// the cabinet's impedance switch, and the bindings of the current head. The
// engine root replaces the whole unit when the head changes.
class AmpModule : public MacroModule {
public:
    // The engine's names of the heads, by the document's "AmpModel" number;
    // the DSP selector gives each name a number of its own.
    static constexpr int kModelCount = Document::kAmpHeadCount;
    static constexpr const std::array<const char*, kModelCount>& kModelNames =
        Document::kAmpHeadEngineNames;

    AmpModule(Application::DocView::MAFInterface* dsp, std::string path, std::string cabinetPath,
              Main& root);
    ~AmpModule() override;

private:
    // "P_0_AmpModule": parameter P of the head in the chain's element "0".
    std::string headPath(const std::string& parameter) const;
    // The bindings of a head's document, in the order of its list's engine
    // positions.
    template <class Head> void bind(Head& head);

    std::string cabinetPath_;
};

// The cabinet: impulse response by cabinet, distance and axis; microphone by
// name; ambience level while the unit runs Normal; tweeter level.
class CabModule : public StereoMacroModule {
public:
    static constexpr int kCabinetCount = 6;
    static constexpr const char* kCabinetNames[kCabinetCount] = {
        "Cabinet_RE500",  "Cabinet_V9E",     "Cabinet_JMR410H",
        "Cabinet_WF212H", "Cabinet_RKM410H", "Cabinet_RKM810"};
    static constexpr int kMicCount = 6;
    static constexpr const char* kMicNames[kMicCount] = {"RE20", "SM57", "MD421",
                                                         "D20",  "U87",  "C414"};

    CabModule(Application::DocView::MAFInterface* dsp, std::string path, Main& root);
    ~CabModule() override;

    // Normal binds the ambience again and sends its current value; Mute,
    // Bypass and Stop release the binding and silence the ambience.
    void setNormal() override;
    void setMute() override;
    void setBypass() override;
    void setStop() override;

private:
    void chooseCabinet();
    // Replaces any binding by a new one, pushed at once.
    void bindAmbience();
    // Drops the binding; with silence also sends the ambience level 0.
    void releaseAmbience(bool silence);

    Application::DocView::AdapterMAFParam* ambience_ = nullptr;
    boost::signals2::scoped_connection cabinetConnection_;
    boost::signals2::scoped_connection distanceConnection_;
    boost::signals2::scoped_connection axisConnection_;
};

// The tuner: four read-outs, frozen while the tuner is bypassed; its own mute
// and on switches in place of a run state.
class TunerModule : public UnitEngine {
public:
    TunerModule(Application::DocView::MAFInterface* dsp, std::string path, Main& root);
    ~TunerModule() override;

private:
    void onMute();
    void onBypass();

    Application::DocView::AdapterMAFParamStatus* display_ = nullptr;
    Application::DocView::AdapterMAFParamStatus* note_ = nullptr;
    Application::DocView::AdapterMAFParamStatus* cents_ = nullptr;
    Application::DocView::AdapterMAFParamStatus* deviation_ = nullptr;
    boost::signals2::scoped_connection muteConnection_;
    boost::signals2::scoped_connection bypassConnection_;
};

// The input meter's read-back.
class Input : public UnitEngine {
public:
    Input(Application::DocView::MAFInterface* dsp, std::string path, Main& root);
    ~Input() override;
};

// The direct path's delay, the dry/wet mix, the master and the two output meters.
class Output : public UnitEngine {
public:
    Output(Application::DocView::MAFInterface* dsp, std::string path, Main& root);
    ~Output() override;
};

} // namespace Zq::BorvanRAZ::Engine
