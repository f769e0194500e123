#pragma once

#include "engine/core/ModuleStructured.h"

#include <span>
#include <string_view>

namespace AudioEngine::BorvanQom {

// A mono head whose sub-modules run in series from "In" to "PowerAmp", with a
// peak LED meter "PeakLed" beside the chain: the meter reads the outputs of
// some stages ("In1", "In2", ...) and has no output of its own, so the head's
// "Out" stands for "PowerAmp"."Out" and the series wiring skips the meter.
class HeadWithPeakLed : public ModuleMono {
public:
    using ModuleMono::ModuleMono;

    void createOutputs() override;

protected:
    // The series wiring, then "PeakLed"."In<k+1>" from taps[k]."Out".
    void connectWithPeakLed(std::span<const std::string_view> taps);
};

} // namespace AudioEngine::BorvanQom
