#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/dsp/TunerEngine.h"

#include <memory>

namespace AudioEngine::CX2 {

// A chromatic tuner on the instrument input: it passes "In" to "Out" (or mutes it) and publishes
// the detected note through read-only parameters, which the control side reads without a lock
// ("Display" On while a pitch is read, "Cents", "Note", "Deviation"). While "On" is "Off" the
// detector rests and the read-outs keep their last values.
class Tuner : public ModuleBasic {
public:
    Tuner();
    ~Tuner() override;

    void createParameters() override;
    // "Out" always has a buffer of its own.
    void createOutputs() override { createOutputsBuffered(); }
    void bindPorts() override;
    // The parameter is set (and limited) first; the detector then follows "On" and "Mute" by
    // state, and takes "Reference" as passed in, unlimited (400 gives a 400 Hz reference while the
    // parameter reads 425). A reference that is not a finite pitch above 0 is ignored by the
    // detector.
    void setParameter(std::string_view name, float value) override;
    // Rate changes arrive here; runs off the audio thread (re-creates the detector's buffers).
    void update() override;
    void prepare() override;
    std::uint32_t processBlock() override;

    const dsp::Domain::Pitch::TunerEngine& getEngine() const { return *engine_; }

private:
    std::unique_ptr<dsp::Domain::Pitch::TunerEngine> engine_;
    Port* in_ = nullptr;
    Port* out_ = nullptr;
    bool active_ = true;
    ParameterBase* on_ = nullptr;
    ParameterBase* mute_ = nullptr;
    ParameterBase* display_ = nullptr;
    ParameterBase* cents_ = nullptr;
    ParameterBase* note_ = nullptr;
    ParameterBase* deviation_ = nullptr;
    float displayOn_ = 0.0f;
    float displayOff_ = 1.0f;
};

} // namespace AudioEngine::CX2
