#pragma once

namespace AudioEngine::AudioMath {

// One knot of a sampled curve.
template <class X, class Y = X> struct Point2 {
    X x;
    Y y;
};

} // namespace AudioEngine::AudioMath
