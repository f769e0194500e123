#include "models/stomps/StompSet.h"

namespace AudioEngine::BorvanQom::Application {

StompSet::StompSet()
{
    add<StompElement<Empty>>("Empty");
    add("Compressor", StompCreators::compressor());
    add("AnalogChorus", StompCreators::analogChorus());
    add("EnvelopeFilter", StompCreators::envelopeFilter());
    add("BassWah", StompCreators::bassWah());
    add("Volume", StompCreators::volume());
    add("Overdrive", StompCreators::overdrive());
    add("Octaver", StompCreators::octaver());
    add("AnalogDelay", StompCreators::analogDelay());
}

} // namespace AudioEngine::BorvanQom::Application
