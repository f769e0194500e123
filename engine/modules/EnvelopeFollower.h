#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/math/SampleFlush.h"

#include <cstdint>

namespace AudioEngine {

// Which peaks a follower tracks.
enum class EnvelopePolarity { Positive, Negative };

// A peak follower with separate attack and release: two first-order low-pass
// sub-modules share one state, and each sample steps whichever of them the
// sample calls for, so a switch between them is continuous. Per sample x:
//   1. Positive: a negative x is scaled by 0.1 (a half-wave rectifier that
//      leaks a tenth); Negative: the same for a positive x.
//   2. Attack while x is beyond the envelope (above it for Positive, below for
//      Negative), release otherwise: ties and NaN release.
//   3. env = y = b0 x + b1 x1 - a1 y1 with the chosen filter's coefficients;
//      then x1 = x, y1 = y. The output sample is env.
// The filters are never processed as modules: only their designs are used,
// which follow the rate through their own prepare and update. Traits names
// the two filter types (AttackFilter, ReleaseFilter: FilterZeroPole stages)
// and the polarity.
//
// Every partial sum and result is flushed (SampleFlush.h), and so is the
// input: subnormals never settle into the state, and a NaN or infinite input
// sample reads as silence. prepare sets the envelope to 0; reset clears the
// filters' shared state and leaves the envelope.
template <class Traits> class EnvelopeFollower : public ModuleExplicit {
public:
    using AttackFilter = typename Traits::AttackFilter;
    using ReleaseFilter = typename Traits::ReleaseFilter;
    static constexpr bool kPositive = Traits::polarity == EnvelopePolarity::Positive;

    struct State {
        float x1 = 0.0f;
        float y1 = 0.0f;
    };

    EnvelopeFollower() : ModuleExplicit(ModuleInfo{0, "EnvelopeFollower", ""}) {}

    void createSubModules() override
    {
        attack_ = addSubModule<AttackFilter>("FilterAttack");
        release_ = addSubModule<ReleaseFilter>("FilterRelease");
    }

    // "Attack" and "Release", linked to the filters' own.
    void createParameters() override
    {
        linkChildParameters("FilterAttack");
        linkChildParameters("FilterRelease");
    }

    void createInputs() override { inputs_.addInput(Input("In", ""), "In"); }
    void createOutputs() override
    {
        outputs_.addBufferedOutput(OutputBuffered("Out", "", getBlockCapacity()), "Out");
    }

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    // The filters' designs for the current rate, and the envelope back to 0.
    void prepare() override
    {
        attack_->prepare();
        release_->prepare();
        envelope_ = 0.0f;
    }

    void reset() override
    {
        ModuleExplicit::reset();
        state_ = State{};
    }

    void process() override
    {
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        const auto attack = attack_->getCoefficients();
        const auto release = release_->getCoefficients();
        State s = state_;
        float env = envelope_;
        for (std::uint32_t i = 0; i < n; ++i) {
            float v = AudioMath::flushedSample(x[i]);
            if (kPositive ? v < 0.0f : v > 0.0f)
                v = AudioMath::flushedSample(0.1f * v);
            const bool attacking = kPositive ? v > env : v < env;
            const auto& k = attacking ? attack : release;
            const float feedForward = AudioMath::flushedSample(k.b1 * s.x1 + k.b0 * v);
            const float feedBack = AudioMath::flushedSample(k.a1 * s.y1);
            env = AudioMath::flushedSample(feedForward - feedBack);
            s.x1 = v;
            s.y1 = env;
            y[i] = env;
        }
        state_ = s;
        envelope_ = env;
    }

    float getEnvelope() const noexcept { return envelope_; }
    const State& getFilterState() const noexcept { return state_; }
    AttackFilter& getAttackFilter() const noexcept { return *attack_; }
    ReleaseFilter& getReleaseFilter() const noexcept { return *release_; }

private:
    AttackFilter* attack_ = nullptr;
    ReleaseFilter* release_ = nullptr;
    Port* in_ = nullptr;
    Port* out_ = nullptr;
    State state_;
    float envelope_ = 0.0f;
};

} // namespace AudioEngine
