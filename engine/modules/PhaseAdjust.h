#pragma once

#include "engine/modules/DelayLine.h"

namespace AudioEngine::BorvanQom {

// Time-aligns one path of the top-level chain against another by up to
// MaximumMs milliseconds.
template <int MaximumMs> class PhaseAdjust : public DelayLine<DelayLineTraits> {
public:
    PhaseAdjust() : DelayLine<DelayLineTraits>(static_cast<float>(MaximumMs)) {}
};

} // namespace AudioEngine::BorvanQom
