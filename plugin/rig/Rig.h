#pragma once

#include "plugin/document/Main.h"
#include "plugin/rig/AmpModule.h"
#include "plugin/rig/CabModule.h"
#include "plugin/rig/CabinetMatcher.h"
#include "plugin/rig/InputOutput.h"
#include "plugin/rig/StompModule.h"
#include "plugin/rig/TunerModule.h"

namespace Zq::BorvanRAZ::Document {

// The processor's document of the whole rig: the document root with the six
// units of the signal chain below it, under the keys "Tuner", "Stomp", "Amp",
// "Cab", "Input" and "Output". A fresh rig has the tuner bypassed, every stomp
// slot empty, the "RKM-CL" head and the "RKM-410H" cabinet with the
// "Condenser 87" microphone.
class Rig : public Main {
public:
    // The module numbers of getUnit.
    static constexpr int kTunerUnit = 1;
    static constexpr int kStompUnit = 2;
    static constexpr int kCabUnit = 4;

    Rig();
    ~Rig() override;

    TunerModule& getTuner() { return tuner_; }
    StompModule& getStompModule() { return stomp_; }
    AmpModule& getAmpModule() { return amp_; }
    CabModule& getCabModule() { return cab_; }
    Input& getInput() { return input_; }
    Output& getOutput() { return output_; }

    // 1 the tuner, 2 the stomp chain, 4 the cabinet, any other number the
    // amplifier. Never null.
    MacroModule* getUnit(int moduleId);

private:
    TunerModule tuner_;
    StompModule stomp_;
    AmpModule amp_;
    CabModule cab_;
    Input input_;
    Output output_;
    // Last: its handlers run after the amp module's own, and it goes first.
    CabinetMatcher cabinetMatcher_;
};

} // namespace Zq::BorvanRAZ::Document
