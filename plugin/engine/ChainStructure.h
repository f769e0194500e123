#pragma once

#include "engine/core/ModuleSetDescription.h"

#include <string>

namespace Zq::BorvanRAZ::Engine {

// Writes the description of the rig's top-level chain: sixteen modules, the
// host input "In" feeding the input meter and the tuner, the host outputs
// "OutL"/"OutR" taken from the master, and twenty connections.
//
// Module instance names are composed from nine base names ("Volume" onto
// "PanVolume" onto "Tuner" gives "Volume_PanVolume_Tuner"). The engine units
// reach their DSP parameters under the same names, so every name here is part
// of the units' interface.
class ChainStructure {
public:
    ChainStructure();
    ChainStructure(const ChainStructure&) = delete;
    ChainStructure& operator=(const ChainStructure&) = delete;
    ~ChainStructure();

    // Appends every module, host binding and connection, then returns a copy
    // of the whole. Call it once: a second call appends everything again.
    AudioEngine::ModuleSetDescription build();

    // component + "_" + base.
    static std::string compose(const std::string& component, const std::string& base);

private:
    void addModule(const std::string& type, const std::string& instance);
    void connect(const std::string& source, const std::string& output,
                 const std::string& destination, const std::string& input);

    void buildInput();
    void buildTuner();
    void buildStompModule();
    void buildPhaseSplitter();
    void buildPhaseAdjust();
    void buildAmpModule();
    void buildCabModule();
    void buildMainMixer();
    void buildOutput();
    // The output-volume wrapper of a unit: "Volume_PanVolume_" + base.
    std::string volumeOf(const std::string& base) const;

    const std::string input_;
    const std::string output_;
    const std::string tuner_;
    const std::string stompModule_;
    const std::string phaseSplitter_;
    const std::string phaseAdjust_;
    const std::string ampModule_;
    const std::string cabModule_;
    const std::string mainMixer_;

    AudioEngine::ModuleSetDescription description_;
};

} // namespace Zq::BorvanRAZ::Engine
