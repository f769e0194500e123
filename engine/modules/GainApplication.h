#pragma once

#include "engine/core/ModuleDualMono.h"
#include "engine/modules/Gain.h"

namespace AudioEngine::CX2::Application {

namespace GainDetails {
// A general-purpose trim of +/- Range dB around unity.
template <int Range> struct Descriptor {
    static constexpr float minimum = -static_cast<float>(Range);
    static constexpr float maximum = static_cast<float>(Range);
    static constexpr float defaultValue = 0.0f;
};
} // namespace GainDetails

// The top-level chain's mono gain, +/- Range dB.
template <int Range> class Gain : public GaindB<GainDetails::Descriptor<Range>> {
};

// Its stereo form: "L" and "R" under one "Gain" that sets both.
template <int Range>
class GainStereo : public ModuleDualMono<Gain<Range>, ModuleDualMonoDetails::LinkParameter> {
};

} // namespace AudioEngine::CX2::Application
