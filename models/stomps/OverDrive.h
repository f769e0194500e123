#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/math/BiquadFilter.h"
#include "engine/math/Curve2.h"
#include "engine/math/FilterVariable.h"
#include "engine/math/FilterZeroPole.h"
#include "engine/math/SplineCubic.h"
#include "engine/modules/LinearComb2.h"
#include "models/amps/stages/Function.h"
#include "models/stomps/OverDriveCurve.h"

#include <string_view>

namespace AudioEngine::BorvanQom {

namespace OverDriveTraitsDetails {

namespace ClipperDetails {

// The curve's knots: the generated samples spread over [0, 1].
class ClipperCurve : public AudioMath::Curve2<AudioMath::Curve2Traits<float>> {
public:
    ClipperCurve()
        : Curve2(ClipperCurveTable::samples, ClipperCurveTable::count, ClipperCurveTable::x0,
                 ClipperCurveTable::x1)
    {
    }
};

// Clamped ends: flat at the origin (the dead zone), and at 1.0 the slope with
// which the saturation goes on beyond the last sample.
struct SplineTraits {
    using Curve = ClipperCurve;
    static constexpr AudioMath::SplineEnds ends = AudioMath::SplineEnds::Clamped;
    static constexpr AudioMath::SplineFinder finder = AudioMath::SplineFinder::BinarySearch;
    static constexpr float startSlope = 0.0f;
    static constexpr float endSlope = 0.0518f;
};

// The rectifying clipper C: the positive half-wave goes through the curve as it
// is; the negative one is folded up and scaled by the texture T first, so T = 0
// rectifies half-wave and T = 1 full-wave. A NaN input goes the positive way.
class Clipper : public AudioMath::SplineCubic<SplineTraits> {
public:
    float operator()(float x) const noexcept { return evaluate(x < 0.0f ? -(x * texture_) : x); }

    float getTexture() const noexcept { return texture_; }
    void setTexture(float texture) noexcept { texture_ = texture; }

private:
    float texture_ = 0.0f;
};

} // namespace ClipperDetails

// Band-pass 100 Hz .. 11 kHz with unity gain at the geometric centre.
class PreFilterType : public FilterVariable<BiquadFilter<BiquadFilterDetails::CoeffsZ<float>>> {
protected:
    void design() override;
};

// The clipper as a leaf; "Texture" (0 .. 1, default 0.5) sets T. A finite value
// outside 0 .. 1 reaches T as it is while the parameter shows it clamped.
class ClipperType : public Function<ClipperDetails::Clipper> {
public:
    void createParameters() override;
    void setParameter(std::string_view name, float value) override;

    float getTexture() const noexcept { return getFunction().getTexture(); }
};

// The DC blocker after the rectifier: first-order high-pass at 3.5 Hz. A new
// preparation starts it from rest.
class HPFType : public FilterVariable<FilterZeroPole<FilterZeroPoleDetails::CoeffsZ<float>>> {
public:
    void prepare() override;

protected:
    void design() override;
};

// The dry/wet mixer: "Blend" b sets "A1" = 1 - b (dry) and "A2" = b (wet).
class MixerType : public LinearComb2<LinearComb2MixerDetails::ScaleDescriptor,
                                     LinearComb2MixerDetails::ScaleDescriptor> {
public:
    void createParameters() override;
    void setParameter(std::string_view name, float value) override;
};

} // namespace OverDriveTraitsDetails

struct OverDriveTraits {
    using PreFilter = OverDriveTraitsDetails::PreFilterType;
    using Clipper = OverDriveTraitsDetails::ClipperType;
    using HPF = OverDriveTraitsDetails::HPFType;
    using Mixer = OverDriveTraitsDetails::MixerType;
};

// The overdrive stomp: Out = A1 In + A2 HPF(Clip(PreFilter(In))). There is no
// drive control; how hard the rectifier clips follows the level that reaches it.
template <class Traits> class OverDrive : public ModuleStructured {
public:
    OverDrive() : ModuleStructured(ModuleInfo{0, "OverDrive", ""}) {}

    // Also the processing order, so the model adds no delay.
    void createSubModules() override
    {
        preFilter_ = addSubModule<typename Traits::PreFilter>("PreFilter");
        clipper_ = addSubModule<typename Traits::Clipper>("Clipper");
        hpf_ = addSubModule<typename Traits::HPF>("HPF");
        mixer_ = addSubModule<typename Traits::Mixer>("Mixer");
    }

    // "Texture", then "A1", "A2", "Blend", under their own names.
    void createParameters() override
    {
        linkChildParameters("Clipper");
        linkChildParameters("Mixer");
    }

    void createInputs() override { inputs_.addInput(Input("In", ""), "In"); }

    void createOutputs() override
    {
        outputs_.addHierarchicOutput(Port("Out", "", &mixer_->getOutput("Out")), "Out");
    }

    void connectSubModules() override
    {
        Port* in = &getInput("In");
        connectInput(*preFilter_, "In", in);
        connectInput(*clipper_, "In", &preFilter_->getOutput("Out"));
        connectInput(*hpf_, "In", &clipper_->getOutput("Out"));
        connectInput(*mixer_, "In1", in);
        connectInput(*mixer_, "In2", &hpf_->getOutput("Out"));
    }

    typename Traits::PreFilter& getPreFilter() const noexcept { return *preFilter_; }
    typename Traits::Clipper& getClipper() const noexcept { return *clipper_; }
    typename Traits::HPF& getHPF() const noexcept { return *hpf_; }
    typename Traits::Mixer& getMixer() const noexcept { return *mixer_; }

private:
    typename Traits::PreFilter* preFilter_ = nullptr;
    typename Traits::Clipper* clipper_ = nullptr;
    typename Traits::HPF* hpf_ = nullptr;
    typename Traits::Mixer* mixer_ = nullptr;
};

} // namespace AudioEngine::BorvanQom
