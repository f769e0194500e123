#include "models/RigModuleCreators.h"

namespace AudioEngine::BorvanQom::Application {

ModuleCreators::ModuleCreators()
{
    add<CX2::Application::Gain<20>>("Gain");
    add<CX2::Application::GainStereo<20>>("GainStereo");
    add<CX2::Meter<100, 500, 4>>("VuMeter");
    add<CX2::Meter<0, 600, 0>>("LedMeter");
    add<CX2::ReverbAmbience>("Ambience");
    add<CX2::Tuner>("Tuner");
    add<StompChain>("Stomps");
    add<PhaseAdjust<20>>("PhaseAdjust");
    add<MixerStereo>("MixerStereo");
    add<AmpChain>("Amps");
    add<CX2::Application::ModuleCX2<CabinetBorvan<WooferSetTraits, TweeterSetTraits>>>("Convolver");
    add<CX2::Application::SplitterStereo>("SplitterStereo");
    add<CX2::Application::AdderStereo>("AdderStereo");
    add<CX2::Application::AddAndSplit>("AddAndSplit");
    add<CX2::Application::AddAndSplitStereo>("AddAndSplitStereo");
    add<Adder<2>>("Adder");
    add<Splitter>("Splitter");
}

} // namespace AudioEngine::BorvanQom::Application
