#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/modules/Gain.h"
#include "engine/modules/LinearComb2.h"
#include "models/stomps/ChorusRI1.h"

namespace AudioEngine::CX2 {

namespace ChorusRI1MonoTraitsDetails {
// The input trim: -15 dB .. +15 dB.
struct GainDescriptor {
    static constexpr float minimum = -15.0f;
    static constexpr float maximum = 15.0f;
    static constexpr float defaultValue = 0.0f;
};
} // namespace ChorusRI1MonoTraitsDetails

struct ChorusRI1MonoTraits {
    using Gain = GaindB<ChorusRI1MonoTraitsDetails::GainDescriptor>;
    using Chorus = ChorusRI1<ChorusRI1Traits>;
    using Mixer = LinearComb2<LinearComb2MixerDetails::ScaleDescriptor,
                              LinearComb2MixerDetails::ScaleDescriptor>;
};

// The analog chorus stomp: an input trim ("Gain"), the modulated delay
// ("Chorus") and an even mix of the delayed and the trimmed signal ("Mixer").
// Chorus and vibrato differ only in how the delay moves; the mix stays half
// and half, so the vibrato keeps the pedal's comb colour.
template <class Traits> class ChorusRI1Mono : public ModuleMono {
public:
    ChorusRI1Mono() : ModuleMono(ModuleInfo{0, "ChorusRI1Mono", ""}) {}

    void createSubModules() override
    {
        gain_ = addSubModule<typename Traits::Gain>("Gain");
        chorus_ = addSubModule<typename Traits::Chorus>("Chorus");
        mixer_ = addSubModule<typename Traits::Mixer>("Mixer");
    }

    // "VibRate", "ChorusInt", "VibDepth", "Mode", then "Gain"; the mixer's
    // weights are the model's own.
    void createParameters() override
    {
        linkChildParameters("Chorus");
        linkChildParameters("Gain");
    }

    void connectSubModules() override
    {
        connectInput(*gain_, "In", &getInput("In"));
        connectInput(*chorus_, "In", &gain_->getOutput("Out"));
        connectInput(*mixer_, "In1", &chorus_->getOutput("Out"));
        connectInput(*mixer_, "In2", &gain_->getOutput("Out"));
    }

    // The even mix, and the chorus back in chorus mode: a preparation of the
    // model reaches the chorus as well, so the two never disagree about it.
    void prepare() override
    {
        mixer_->setParameter("A1", 0.5f);
        mixer_->setParameter("A2", 0.5f);
        chorus_->prepare();
    }

    typename Traits::Gain& getGain() const noexcept { return *gain_; }
    typename Traits::Chorus& getChorus() const noexcept { return *chorus_; }
    typename Traits::Mixer& getMixer() const noexcept { return *mixer_; }

private:
    typename Traits::Gain* gain_ = nullptr;
    typename Traits::Chorus* chorus_ = nullptr;
    typename Traits::Mixer* mixer_ = nullptr;
};

} // namespace AudioEngine::CX2
