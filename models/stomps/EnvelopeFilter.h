#pragma once

#include "engine/dsp/ResonantCutoff.h"
#include "models/stomps/ModuleMonoZq1.h"

#include <cstdint>
#include <string_view>

namespace AudioEngine::CX2 {

namespace EnvelopeFilterDetails {

// The resonant cutoff in envelope mode with the standard follower (0.99 of
// itself per piece, 0.03 of the piece's peak).
class Filter : public mixer::TResonantCutoff {
public:
    Filter() : TResonantCutoff(kEnvelopeMode, 0) {}
    ~Filter() override;
};

// The controller numbers of the core's controls.
inline constexpr std::int32_t kFrequencyController = 21;
inline constexpr std::int32_t kResonanceController = 22;
inline constexpr std::int32_t kDepthController = 23;
inline constexpr std::int32_t kShapeController = 25;

} // namespace EnvelopeFilterDetails

// The envelope filter stomp: a resonant filter whose cutoff the playing level
// sweeps up by up to four octaves ("Depth") from a resting cutoff ("Freq"),
// with "Reso" for the resonance, one or two sections ("Poles" "12", "24") and
// the response ("Mode" "HP", "BP", "LP").
//
// The knobs (0 .. 127) reach the core as controller values, truncated; the
// band-pass, whose peak is unity where the low- and high-pass pass their
// band at unity, is lifted by 12 dB (10^0.6) after the core to sound as loud.
class EnvelopeFilter : public ModuleMonoZq1<EnvelopeFilterDetails::Filter> {
public:
    EnvelopeFilter() : ModuleMonoZq1(ModuleInfo{0, "EnvelopeFilter", ""}) {}

    void createParameters() override;
    // Stores the value, sends what it changes to the core, then lets the core
    // apply it (its ramps still glide to the new value piece by piece).
    void setParameter(std::string_view name, float value) override;
    std::uint32_t processBlock() override;

    float getModeGain() const noexcept { return modeGain_; }
    // The controls' shape word: poles bits (2, 4) | response bits (16 HP, 8 BP, 0 LP).
    std::int32_t getShapeWord() const noexcept { return shapeWord_; }

private:
    void sendShape();

    ParameterBase* freq_ = nullptr;
    ParameterBase* reso_ = nullptr;
    ParameterBase* depth_ = nullptr;
    ParameterBase* poles_ = nullptr;
    ParameterBase* mode_ = nullptr;
    float modeGain_ = 1.0f;
    std::int32_t shapeWord_ = 0;
};

} // namespace AudioEngine::CX2
