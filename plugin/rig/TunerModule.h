#pragma once

#include "plugin/rig/Module.h"

namespace Zq::BorvanRAZ::Document {

// The tuner: its reference pitch and the read-outs its display shows, which
// the engine's tuner unit and the editor exchange. Only the output level is
// kept in presets; the tuner starts bypassed and a preset never switches it.
class TunerModule : public MacroModule {
public:
    Parameter displayOff;
    Parameter note; // 0 = C ... 11 = B
    Parameter cents;
    Parameter reference; // hertz of the A above middle C
    Parameter deviation;

    TunerModule();
    ~TunerModule() override;
};

} // namespace Zq::BorvanRAZ::Document
