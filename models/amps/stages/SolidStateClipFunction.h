#pragma once

#include "models/amps/stages/HardClip.h"

#include <cmath>

namespace AudioEngine::BorvanQom {

// The solid-state power amp's output stage: a symmetric hard clip at
// 10^(dB/20) of full scale (0.7943282 for -2 dB), with no gain of its own.
template <int dB> class SolidStateClipFunction {
public:
    float operator()(float x) const noexcept { return hardClip(x, clipLevel_); }

    float getClipLevel() const noexcept { return clipLevel_; }

private:
    float clipLevel_ = static_cast<float>(std::pow(10.0, dB / 20.0));
};

} // namespace AudioEngine::BorvanQom
