#pragma once

#include "engine/core/Denormal.h"
#include "models/amps/stages/HardClip.h"

#include <cmath>

namespace AudioEngine::BorvanQom::BorvanRE500TraitsDetails {

// An op-amp gain stage of G dB that clips hard at its rails, +-L volts, as the
// RE500 head's two preamp stages do. The output keeps the full gain: with
// L = 14 and G = 21 the stage clips for inputs beyond +-1.24775, with G = 27
// beyond +-0.625357.
template <int L, int G> class OpAmpClipFunction {
public:
    float operator()(float in) const noexcept
    {
        // A subnormal product becomes +0 before it meets the rails.
        return hardClip(flushedDenormal(in * gain_), clipLevel_);
    }

    float getClipLevel() const noexcept { return clipLevel_; }
    float getGain() const noexcept { return gain_; }

private:
    float clipLevel_ = static_cast<float>(L);
    // 10^(G/20): 11.220185 for 21 dB, 22.387211 for 27 dB.
    float gain_ = static_cast<float>(std::pow(10.0, G / 20.0));
};

} // namespace AudioEngine::BorvanQom::BorvanRE500TraitsDetails
