#pragma once

#include "engine/core/Denormal.h"
#include "engine/core/ModuleStructured.h"
#include "engine/core/Parameter.h"
#include "engine/math/SampleFlush.h"
#include "models/amps/stages/ResponsivenessFilter.h"
#include "models/amps/stages/SplineClipper.h"
#include "models/amps/stages/StageCurveTables.h"
#include "models/amps/stages/Vactrol.h"
#include "models/amps/stages/VactrolStage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string_view>

namespace AudioEngine::BorvanQom {

namespace CompressorTraitsDetails {

// The detector: volts across the LED's rectifier in, LED amperes out.
using PhotoDiodeRectifierType =
    SplineClipper<StageCurveTables::CompressorPhotoDiodeRectifier, ClipperInput::Unchanged>;

class Filter : public ResponsivenessFilter {};

} // namespace CompressorTraitsDetails

// The RKM4Pro's optical compressor: a divider of a 330k series resistor over a
// 50k shunt, the shunt paralleled by the photoresistor with 100 ohms in series;
// the LED is driven from the rectified divider output, times the detector gain.
struct CompressorTraits {
    using Vactrol = BorvanQom::Vactrol<VTL5C7VactrolTraits>;
    using Filter = CompressorTraitsDetails::Filter;
    using PhotoDiodeRectifier = CompressorTraitsDetails::PhotoDiodeRectifierType;

    static constexpr float detectorGain = 19.0f;
    static constexpr float seriesResistor = 330000.0f;
    static constexpr float shuntResistor = 50000.0f;
    static constexpr float photoSeriesResistor = 100.0f;
    static constexpr float makeUpGain = 7.6f;
};

// Per sample, with the photoresistance R before this sample's vactrol step:
//   Rp = shunt || (100 + R),  G = Rp / (330k + Rp)   (0.12610 dark, 0.0006033 at 100 ohms)
//   gs = "Filter"(G a),  I = rectifier(|G in a c|),  vactrol step with I,
//   out = gs in V,
// with a = "Level" (below 0 it inverts the polarity), c = 19 "Compression" and
// V = 7.6 10^(0.05 "Volume") read once per block. Dark, the stage's gain is
// 7.6 x 0.12610 = 0.9584 a V. "Compression" 0 switches it off: "Out" is then an
// exact copy of "In", and R, the filter and the vactrol stay as they were.
//
// The children are run by the compressor, never by the graph; their inputs
// stay unconnected. An input sample that is NaN or infinite is taken as
// silence, as the filters of the rig take it, so it never reaches R.
template <class Traits> class Compressor : public VactrolStage<typename Traits::Vactrol> {
    using Stage = VactrolStage<typename Traits::Vactrol>;

public:
    static ModuleInfo moduleInfo() { return ModuleInfo{0, "Compressor", ""}; }

    Compressor() : Stage(moduleInfo()) {}

    void createSubModules() override
    {
        Stage::createSubModules();
        filter_ = this->template addSubModule<typename Traits::Filter>("Filter");
    }

    void createParameters() override
    {
        compression_ = this->parameters_.addParameter(
            Parameter("Compression", "", 0.0f, 1.0f, 0.5f, 0), "Compression");
        level_ = this->parameters_.addParameter(
            Parameter("Level", "", -40.0f, 1.0f, 1.0f, Parameter::kSetAtOnceAfterStates), "Level");
        volume_ = this->parameters_.addParameter(
            Parameter("Volume", "", -40.0f, 40.0f, 0.0f, Parameter::kSetAtOnceAfterStates),
            "Volume");
        this->linkChildParameters("Filter");
    }

    // The stored (limited) value decides: a NaN leaves the state as it was.
    void setParameter(std::string_view name, float value) override
    {
        Stage::setParameter(name, value);
        if (name == "Compression")
            enabled_ = compression_->getValue() != 0.0f;
    }

    void process() override { processBlock(); }

    std::uint32_t processBlock()
    {
        const std::uint32_t n = this->getChunkSize();
        const float* x = this->in_->getBuffer();
        float* y = this->out_->getBuffer();
        if (!enabled_) {
            if (y != x)
                std::copy_n(x, n, y);
            return n;
        }
        const float a = level_->getValue();
        const float c = Traits::detectorGain * compression_->getValue();
        const float v =
            Traits::makeUpGain * static_cast<float>(std::pow(10.0, 0.05 * volume_->getValue()));
        float r = this->getResistance();
        for (std::uint32_t i = 0; i < n; ++i) {
            const float in = AudioMath::flushedSample(x[i]);
            const float g = dividerGain(r);
            const float divided = g * in * a;
            const float smoothed = filter_->tick(g * a);
            const float current = rectifier_(std::fabs(divided * c));
            this->getVactrol().step(current, r);
            y[i] = flushedDenormal(smoothed * in * v);
        }
        this->setResistance(r);
        return n;
    }

    // The divider's gain for a photoresistance.
    static float dividerGain(float resistance) noexcept
    {
        const float leg = Traits::photoSeriesResistor + resistance;
        const float parallel = Traits::shuntResistor * leg / (leg + Traits::shuntResistor);
        return parallel / (Traits::seriesResistor + parallel);
    }

    bool isEnabled() const noexcept { return enabled_; }
    typename Traits::Filter& getFilter() const noexcept { return *filter_; }

private:
    ParameterBase* compression_ = nullptr;
    ParameterBase* level_ = nullptr;
    ParameterBase* volume_ = nullptr;
    typename Traits::Filter* filter_ = nullptr;
    typename Traits::PhotoDiodeRectifier rectifier_;
    bool enabled_ = true;
};

} // namespace AudioEngine::BorvanQom
