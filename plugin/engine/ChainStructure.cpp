#include "plugin/engine/ChainStructure.h"

namespace Zq::BorvanRAZ::Engine {

ChainStructure::ChainStructure()
    : input_("Input"), output_("Output"), tuner_("Tuner"), stompModule_("StompModule"),
      phaseSplitter_("PhaseSplitter"), phaseAdjust_("PhaseAdjust"), ampModule_("AmpModule"),
      cabModule_("CabModule"), mainMixer_("MainMixer")
{
}

ChainStructure::~ChainStructure() = default;

std::string ChainStructure::compose(const std::string& component, const std::string& base)
{
    return component + "_" + base;
}

std::string ChainStructure::volumeOf(const std::string& base) const
{
    return compose("Volume", compose("PanVolume", base));
}

void ChainStructure::addModule(const std::string& type, const std::string& instance)
{
    description_.modules.push_back({type, instance});
}

void ChainStructure::connect(const std::string& source, const std::string& output,
                             const std::string& destination, const std::string& input)
{
    description_.connections.push_back({source, output, destination, input});
}

void ChainStructure::buildInput()
{
    addModule("LedMeter", compose("Meter", input_));
}

void ChainStructure::buildTuner()
{
    addModule("Tuner", tuner_);
    addModule("Gain", volumeOf(tuner_));
}

void ChainStructure::buildStompModule()
{
    addModule("Stomps", stompModule_);
    addModule("Gain", volumeOf(stompModule_));
}

void ChainStructure::buildPhaseSplitter()
{
    addModule("Splitter", phaseSplitter_);
}

void ChainStructure::buildPhaseAdjust()
{
    addModule("PhaseAdjust", phaseAdjust_);
}

void ChainStructure::buildAmpModule()
{
    addModule("Amps", ampModule_);
    addModule("Gain", volumeOf(ampModule_));
}

void ChainStructure::buildCabModule()
{
    addModule("Convolver", cabModule_);
    addModule("Ambience", compose("Ambience", cabModule_));
    addModule("GainStereo", volumeOf(cabModule_));
}

void ChainStructure::buildMainMixer()
{
    addModule("MixerStereo", mainMixer_);
}

void ChainStructure::buildOutput()
{
    addModule("GainStereo", compose("Master", output_));
    addModule("LedMeter", compose("MeterL", output_));
    addModule("LedMeter", compose("MeterR", output_));
}

AudioEngine::ModuleSetDescription ChainStructure::build()
{
    buildInput();
    buildTuner();
    buildStompModule();
    buildPhaseSplitter();
    buildPhaseAdjust();
    buildAmpModule();
    buildCabModule();
    buildMainMixer();
    buildOutput();

    const std::string inputMeter = compose("Meter", input_);
    const std::string master = compose("Master", output_);
    const std::string ambience = compose("Ambience", cabModule_);
    // One host channel feeds two inputs; a multimap keeps equal keys in the
    // order they were inserted.
    description_.hostInputs.insert({"In", {inputMeter, "In"}});
    description_.hostInputs.insert({"In", {tuner_, "In"}});
    description_.hostOutputs.insert({"OutL", {master, "OutL"}});
    description_.hostOutputs.insert({"OutR", {master, "OutR"}});

    connect(tuner_, "Out", volumeOf(tuner_), "In");
    connect(volumeOf(tuner_), "Out", stompModule_, "In");
    connect(stompModule_, "Out", volumeOf(stompModule_), "In");
    connect(volumeOf(stompModule_), "Out", phaseSplitter_, "In");
    connect(phaseSplitter_, "Out1", ampModule_, "In");
    connect(phaseSplitter_, "Out2", phaseAdjust_, "In");
    connect(ampModule_, "Out", volumeOf(ampModule_), "In");
    connect(volumeOf(ampModule_), "Out", cabModule_, "In");
    connect(cabModule_, "Out", ambience, "InL");
    connect(cabModule_, "Out", ambience, "InR");
    connect(ambience, "OutL", volumeOf(cabModule_), "InL");
    connect(ambience, "OutR", volumeOf(cabModule_), "InR");
    connect(phaseAdjust_, "Out", mainMixer_, "In1L");
    connect(phaseAdjust_, "Out", mainMixer_, "In1R");
    connect(volumeOf(cabModule_), "OutL", mainMixer_, "In2L");
    connect(volumeOf(cabModule_), "OutR", mainMixer_, "In2R");
    connect(mainMixer_, "OutL", master, "InL");
    connect(mainMixer_, "OutR", master, "InR");
    connect(master, "OutL", compose("MeterL", output_), "In");
    connect(master, "OutR", compose("MeterR", output_), "In");

    return description_;
}

} // namespace Zq::BorvanRAZ::Engine
