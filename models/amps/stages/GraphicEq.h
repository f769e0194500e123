#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/core/Parameter.h"
#include "engine/math/BiquadFilter.h"
#include "engine/math/FilterVariable.h"
#include "engine/modules/Gain.h"
#include "models/amps/stages/GraphicEqTraits.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <numbers>
#include <string>
#include <string_view>
#include <type_traits>

namespace AudioEngine::BorvanQom {

template <class T, class EqTraits> struct GraphicEqBandTraits {
    using Value = T;
    using Traits = EqTraits;
    using Components = std::remove_cvref_t<decltype(EqTraits::components)>;
};

// One slider section. With p = "CutBoost" (0 full cut, 0.5 flat, 1 full boost),
//   H(s) = (1 + N s + A s^2) / (1 + D s + A s^2),  A = T C1 = 1 / w0^2,  T = (R2 - R1) R1 C2,
//   D = C1 (P_cut (1 - p) + R1 + P_slider p (1 - p)),
//   N = C1 (P_boost p + R1 + P_slider p (1 - p)),
// so the gain at f0 is N / D: (P_boost + R1) / R1 at p = 1, its inverse at
// p = 0, 1 at p = 0.5; the shared P_slider term lowers the Q in mid positions.
// The bilinear transform runs with k = pi f0 / tan(pi f0 / fs) in place of
// the rate (s = 2 k (1 - z^-1) / (1 + z^-1)), which maps f0 exactly.
//
// A band centred at or above fs / 2 has no digital image: k turns negative and
// the section unstable. Such a band is flat (b = 1, 0, 0; a = 0, 0), as the
// rate already removes its range. A slider at its centre (N = D) is flat too,
// installed as exactly 1: the transformed record would carry the rounding of
// its two equal polynomials, which the low bands' poles near z = 1 amplify.
template <class BandTraits> class GraphicEqBand : public FilterVariable<BiquadFilter<>> {
public:
    using Components = typename BandTraits::Components;

    GraphicEqBand(const Components& components, std::size_t index)
        : index_(index), pCut_(components.pCut), pBoost_(components.pBoost),
          pSlider_(components.pSlider), c1_(components.bands[index].c1),
          c2_(components.bands[index].c2), r1_(components.bands[index].r1),
          r2_(components.bands[index].r2)
    {
        const double t = (static_cast<double>(r2_) - r1_) * r1_ * c2_;
        const double w0 = std::sqrt(1.0 / (t * c1_));
        t_ = static_cast<float>(t);
        w0_ = static_cast<float>(w0);
        f0_ = static_cast<float>(w0 / (2.0 * std::numbers::pi));
    }

    void createParameters() override
    {
        cutBoost_ =
            parameters_.addParameter(Parameter("CutBoost", "", 0.0f, 1.0f, 0.5f, 0), "CutBoost");
    }

    std::size_t getIndex() const noexcept { return index_; }
    float getCentreHz() const noexcept { return f0_; }
    float getCentreRadians() const noexcept { return w0_; }
    // N / D at f0 for a slider position: the band's gain at its centre.
    float centreGain(float p) const noexcept
    {
        const float shared = pSlider_ * p * (1.0f - p);
        return (pBoost_ * p + r1_ + shared) / (pCut_ * (1.0f - p) + r1_ + shared);
    }

protected:
    void design() override
    {
        const double fs = getSampleRate();
        if (!(f0_ < fs / 2.0)) {
            setCoefficients(1.0f, 0.0f, 0.0f, 0.0f, 0.0f);
            return;
        }
        const double pi = std::numbers::pi_v<float>;
        const auto k = static_cast<float>(pi * f0_ / std::tan(pi * f0_ / fs));
        const float p = cutBoost_->getValue();
        const float a = t_ * c1_;
        const float shared = pSlider_ * p * (1.0f - p);
        const float d = c1_ * (pCut_ * (1.0f - p) + r1_ + shared);
        const float n = c1_ * (pBoost_ * p + r1_ + shared);
        if (n == d) {
            setCoefficients(1.0f, 0.0f, 0.0f, 0.0f, 0.0f);
            return;
        }
        Coefficients z;
        Bilinear(CoefficientsS(1.0f, n, a, 1.0f, d, a)).transform(z, k);
        setCoefficients(z);
    }

private:
    ParameterBase* cutBoost_ = nullptr;
    std::size_t index_;
    float pCut_;
    float pBoost_;
    float pSlider_;
    float c1_;
    float c2_;
    float r1_;
    float r2_;
    float t_ = 0.0f;
    float w0_ = 0.0f;
    float f0_ = 0.0f;
};

// The bands "Filter0" .. "FilterN-1" in series, their "CutBoost" exposed as
// "Band0" .. "BandN-1". A rate change reaches every band through update.
template <class Traits> class GraphicEqBase : public ModuleMono {
public:
    using Band = GraphicEqBand<GraphicEqBandTraits<float, Traits>>;
    static constexpr std::size_t kBands = Traits::components.bands.size();

    static ModuleInfo moduleInfo() { return ModuleInfo{0, "GraphicEqBase", ""}; }

    GraphicEqBase() : ModuleMono(moduleInfo()) {}

    void createSubModules() override
    {
        for (std::size_t i = 0; i < kBands; ++i)
            addSubModule<Band>("Filter" + std::to_string(i), Traits::components, i);
    }

    void createParameters() override
    {
        for (std::size_t i = 0; i < kBands; ++i) {
            const std::string name = "Band" + std::to_string(i);
            parameters_.insert(
                name, std::make_unique<ParameterLinked>(&getSubModule("Filter" + std::to_string(i)),
                                                        "CutBoost", name, ""));
        }
    }

    Band& getBand(std::size_t i) const
    {
        return static_cast<Band&>(getSubModule("Filter" + std::to_string(i)));
    }
};

// The heads' nine-band graphic equaliser: the bands ("GEQ"), then the output
// level ("Gain", dB). "GeqBypass" "On" copies "In" to "Out" exactly and runs
// neither; the bands keep their state across the bypass.
template <class Traits> class GraphicEq : public ModuleMono {
public:
    static ModuleInfo moduleInfo() { return ModuleInfo{0, "GraphicEq", ""}; }

    GraphicEq() : ModuleMono(moduleInfo()) {}

    void createSubModules() override
    {
        addSubModule<GraphicEqBase<Traits>>("GEQ");
        addSubModule<GaindB<typename Traits::GainDescriptor>>("Gain");
    }

    void createParameters() override
    {
        linkChildParameters("GEQ");
        parameters_.insert("GeqGain", std::make_unique<ParameterLinked>(&getSubModule("Gain"),
                                                                        "Gain", "GeqGain", ""));
        bypass_ = parameters_.addParameter(
            Parameter("GeqBypass", "", Parameter::States{"Off", "On"}, "Off", 0), "GeqBypass");
        offValue_ = *bypass_->getStates().find("Off");
    }

    void bindPorts() override
    {
        ModuleMono::bindPorts();
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    // The stored value decides: its integer part against the state "Off".
    void setParameter(std::string_view name, float value) override
    {
        ModuleMono::setParameter(name, value);
        if (name == "GeqBypass")
            bypassed_ = std::trunc(bypass_->getValue()) != offValue_;
    }

    void process() override
    {
        if (!bypassed_) {
            ModuleMono::process();
            return;
        }
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        if (y != x)
            std::copy_n(x, n, y);
    }

    bool isBypassed() const noexcept { return bypassed_; }
    GraphicEqBase<Traits>& getBase() const
    {
        return static_cast<GraphicEqBase<Traits>&>(getSubModule("GEQ"));
    }

private:
    Port* in_ = nullptr;
    Port* out_ = nullptr;
    ParameterBase* bypass_ = nullptr;
    float offValue_ = 0.0f;
    bool bypassed_ = false;
};

} // namespace AudioEngine::BorvanQom
