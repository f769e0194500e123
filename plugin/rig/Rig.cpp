#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::Document {

Rig::Rig() : amp_(getLock()), cabinetMatcher_(amp_, cab_)
{
    addSubUnit("Tuner", &tuner_);
    addSubUnit("Stomp", &stomp_);
    addSubUnit("Amp", &amp_);
    addSubUnit("Cab", &cab_);
    addSubUnit("Input", &input_);
    addSubUnit("Output", &output_);
}

Rig::~Rig() = default;

MacroModule* Rig::getUnit(int moduleId)
{
    switch (moduleId) {
    case kTunerUnit:
        return &tuner_;
    case kStompUnit:
        return &stomp_;
    case kCabUnit:
        return &cab_;
    default:
        return &amp_;
    }
}

} // namespace Zq::BorvanRAZ::Document
