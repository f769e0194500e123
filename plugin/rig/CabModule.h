#pragma once

#include "plugin/rig/Module.h"

namespace Zq::BorvanRAZ::Document {

// The speaker cabinet and the microphone in front of it.
class CabModule : public StereoMacroModule {
public:
    static constexpr int kCabinetCount = 6;
    static constexpr const char* kCabinetNames[kCabinetCount] = {"GN-500",  "Q-9R",     "JMR-410H",
                                                                 "WF-212H", "RKM-410H", "RKM-810E"};
    static constexpr int kMicCount = 6;
    static constexpr const char* kMicNames[kMicCount] = {"Dynamic 20",   "Dynamic 57",
                                                         "Dynamic 421",  "Vintage Dynamic 20",
                                                         "Condenser 87", "Condenser 414"};

    Parameter cabinetModel;
    Parameter cabinetMatch; // 1: the cabinet follows the amplifier head
    Parameter micModel;
    Parameter micAxis; // 0 on axis, 1 off axis
    Parameter micDist; // 0 near, 1 far
    Parameter ambience;
    Parameter highLevel; // tweeter level, linear gain

    // The tweeter level the editor's cabinet panel keeps aside while it holds
    // "HighLevel" at 1 for the RKM-810E; -1 when nothing is kept. Neither a
    // parameter nor saved. UI thread, under the document's lock.
    float keptHighLevel = -1.0f;

    CabModule();
    ~CabModule() override;
};

} // namespace Zq::BorvanRAZ::Document
