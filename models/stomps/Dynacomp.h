#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/math/FilterVariable.h"
#include "engine/math/FilterZeroPole.h"
#include "models/stomps/DynacompCompSection.h"

#include <cmath>

namespace AudioEngine::CX2 {

namespace DynacompTraitsDetails {

// The output coupling capacitor and volume pot: H(s) = Volume s / (s + wp), a
// first-order high-pass whose 50 Hz corner is prewarped, wp = 2 fs tan(pi 50 /
// fs), so it sits at 50 Hz at every rate. It also removes the compression
// section's resting level: reset and prepare start the filter as if that
// level had always been there (previous input 2.1421764, previous output 0),
// so a new or reset compressor starts without a thump.
template <class Filter> class FilterOut : public Filter {
public:
    static constexpr float cornerHz = 50.0f;
    static constexpr float restLevel = 2.1421764f; // the section's output at rest

    void createParameters() override
    {
        volume_ =
            this->parameters_.addParameter(Parameter("Volume", "", 0.0f, 1.0f, 0.5f, 0), "Volume");
    }

    void reset() override
    {
        Filter::reset();
        settle();
    }

    void prepare() override
    {
        Filter::prepare();
        settle();
    }

    static typename Filter::CoefficientsS prototype(float volume, float sampleRate)
    {
        const double fs = sampleRate;
        const float pi = std::acos(-1.0f);
        const auto wp =
            static_cast<float>(2.0 * fs * std::tan(static_cast<double>(pi) * cornerHz / fs));
        return {0.0f, volume, wp, 1.0f};
    }

protected:
    void design() override
    {
        this->installDesign(prototype(volume_->getValue(), this->getSampleRate()));
    }

private:
    // One sample through a filter of zero coefficients leaves exactly
    // previous input = restLevel and previous output = 0 behind.
    void settle()
    {
        const auto coefficients = this->getCoefficients();
        this->setCoefficients(0.0f, 0.0f, 0.0f);
        this->tick(restLevel);
        this->setCoefficients(coefficients);
    }

    Parameter* volume_ = nullptr;
};

} // namespace DynacompTraitsDetails

template <class T> struct DynacompTraits;

template <> struct DynacompTraits<float> {
    using CompSection = DynacompCompSection<DynacompCompSectionTraits<float>>;
    using FilterOut = DynacompTraitsDetails::FilterOut<
        FilterVariable<FilterZeroPole<FilterZeroPoleDetails::CoeffsZ<float>>>>;
};

// The transistor compressor pedal: the compression section ("Compressor")
// followed by the output coupling and volume ("FilterOut"). Its knobs are its
// children's, exposed by the composite's own linking as "Sensitivity_Compressor"
// and "Volume_FilterOut".
template <class Traits> class Dynacomp : public ModuleStructured {
public:
    using CompSection = typename Traits::CompSection;
    using FilterOut = typename Traits::FilterOut;

    Dynacomp() : ModuleStructured(ModuleInfo{0, "Dynacomp", ""}) {}

    void createSubModules() override
    {
        section_ = addSubModule<CompSection>("Compressor");
        filterOut_ = addSubModule<FilterOut>("FilterOut");
    }

    void createInputs() override { inputs_.addInput(Input("In", ""), "In"); }

    void createOutputs() override
    {
        outputs_.addHierarchicOutput(Port("Out", "", &filterOut_->getOutput("Out")), "Out");
    }

    void connectSubModules() override
    {
        connectInput(*section_, "In", &getInput("In"));
        connectInput(*filterOut_, "In", &section_->getOutput("Out"));
    }

    CompSection& getCompSection() const noexcept { return *section_; }
    FilterOut& getFilterOut() const noexcept { return *filterOut_; }

private:
    CompSection* section_ = nullptr;
    FilterOut* filterOut_ = nullptr;
};

} // namespace AudioEngine::CX2
