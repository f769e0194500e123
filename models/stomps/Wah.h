#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/math/BiquadFilter.h"
#include "engine/math/FilterVariable.h"

#include <cstdint>

namespace AudioEngine::BorvanQom {

struct WahTraits {
    // The side chain's filter: a first-order high-pass at 100 Hz, s / (s + 200
    // pi), realised as a biquad by the full second-order bilinear map, which
    // adds a pole at z = -1 cancelled by a zero there (the pole kept just
    // inside the circle, see design). It feeds only the envelope, which reads
    // its mean absolute value per block.
    class FilterSide : public FilterVariable<BiquadFilter<BiquadFilterDetails::CoeffsZ<float>>> {
    protected:
        void design() override;
    };

    // The wah proper: a resonant band-pass whose centre, Q and peak gain follow
    // the pedal position "Depth" d (0 .. 1): centre 150 2^(2.3 d) Hz, Q 4 + 2.5 d,
    // peak gain 8.5 + 6 d, reached exactly at the centre's digital image.
    class FilterWah : public FilterVariable<BiquadFilter<BiquadFilterDetails::CoeffsZ<float>>> {
    public:
        void createParameters() override;

    protected:
        void design() override;

    private:
        ParameterBase* depth_ = nullptr;
    };
};

} // namespace AudioEngine::BorvanQom

namespace AudioEngine::CX1 {

// The bass wah: "FilterWah" at the pedal position c = min(1, 6 A e + W), with
// W = "Wah", A = "Auto" ("On" 0: the pedal alone; "Auto" 1: the envelope e of
// the side-filtered input opens the filter as the player digs in). The output
// is the wah filter's alone; the dry mix belongs to the slot.
template <class Traits> class Wah : public ModuleStructured {
public:
    using FilterSide = typename Traits::FilterSide;
    using FilterWah = typename Traits::FilterWah;

    Wah() : ModuleStructured(ModuleInfo{0, "Wah", ""}) {}

    void createSubModules() override
    {
        side_ = addSubModule<FilterSide>("FilterSide");
        wah_ = addSubModule<FilterWah>("FilterWah");
    }

    // The model's own controls; the filters' parameters stay inside.
    void createParameters() override
    {
        auto_ = parameters_.addParameter(
            Parameter("Auto", "", ParameterBase::States{"On", "Auto"}, "On", 0), "Auto");
        pedal_ = parameters_.addParameter(Parameter("Wah", "", 0.0f, 1.0f, 0.0f, 0), "Wah");
    }

    void createInputs() override { inputs_.addInput(Input("In", ""), "In"); }

    void createOutputs() override
    {
        outputs_.addHierarchicOutput(Port("Out", "", &wah_->getOutput("Out")), "Out");
    }

    void connectSubModules() override
    {
        connectInput(*side_, "In", &getInput("In"));
        connectInput(*wah_, "In", &getInput("In"));
    }

    void bindPorts() override
    {
        ModuleStructured::bindPorts();
        sideOut_ = &side_->getOutput("Out");
    }

    // The envelope is signal state too: a reset (a switch to this model, or
    // "Bypass") starts it from rest with the filters.
    void reset() override
    {
        ModuleStructured::reset();
        envelope_ = 0.0f;
    }

    void process() override
    {
        side_->process();
        const std::uint32_t n = this->getChunkSize();
        if (n > 0) {
            const float* y = sideOut_->getBuffer();
            float sum = 0.0f;
            for (std::uint32_t i = 0; i < n; ++i)
                sum += y[i] < 0.0f ? -y[i] : y[i];
            envelope_ = envelopeStep(envelope_, sum / static_cast<float>(n));
        }
        wah_->setParameter("Depth", position(envelope_, auto_->getValue(), pedal_->getValue()));
        wah_->process();
    }

    // e' = 0.99 e + 0.03 m for the block's mean absolute side signal m: about
    // 100 blocks to settle, at three times the mean. Kept a normal float: a
    // subnormal, infinite or NaN result (only a side signal near the float
    // range's end overflows the sum) starts the envelope over from 0.
    static float envelopeStep(float envelope, float mean) noexcept;
    // c = 6 A e + W, at most 1.
    static float position(float envelope, float automatic, float pedal) noexcept
    {
        const float c = envelope * automatic * 6.0f + pedal;
        return c > 1.0f ? 1.0f : c;
    }

    float getEnvelope() const noexcept { return envelope_; }
    FilterSide& getFilterSide() const noexcept { return *side_; }
    FilterWah& getFilterWah() const noexcept { return *wah_; }

private:
    FilterSide* side_ = nullptr;
    FilterWah* wah_ = nullptr;
    ParameterBase* auto_ = nullptr;
    ParameterBase* pedal_ = nullptr;
    Port* sideOut_ = nullptr;
    float envelope_ = 0.0f;
};

template <class Traits> float Wah<Traits>::envelopeStep(float envelope, float mean) noexcept
{
    return AudioMath::flushedSample(0.99f * envelope + 0.03f * mean);
}

} // namespace AudioEngine::CX1
