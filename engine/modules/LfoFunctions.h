#pragma once

#include <cmath>
#include <numbers>

namespace AudioEngine::LfoFunctions {

// The waveforms of an LFO over the phase p in cycles, one period on [0, 1].

// -1 at p = 0 and 1, +1 at p = 0.5.
template <class Phase = float, class Value = float> struct Triangle {
    Value operator()(Phase p) const noexcept
    {
        return Value(1) - Value(4) * std::abs(p - Phase(0.5));
    }
};

// sin(k x p) with k = 2 pi, pi rounded to single precision: 0 at p = 0, +1 at
// p = 0.25, -1 at p = 0.75.
template <class Phase = float, class Value = float> struct Sine {
    Phase k = Phase(2) * static_cast<Phase>(std::numbers::pi_v<float>);
    Value operator()(Phase p) const noexcept { return static_cast<Value>(std::sin(k * p)); }
};

} // namespace AudioEngine::LfoFunctions
