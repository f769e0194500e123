#pragma once

#include <string_view>

namespace AudioEngine {

// A filter stage whose coefficients follow its parameters and the sample rate:
// Filter is BiquadFilter or FilterZeroPole, and each stage overrides design() to
// compute its s-domain prototype from its parameters and install it with
// installDesign. The design runs
//   - in prepare, after the framework's own prepare (so at build, with the
//     environment's rate);
//   - in update, which the owner broadcasts when the sample rate changes;
//   - after every setParameter on the stage, once the parameter holds its value.
// All three run on the thread that processes the graph or before processing
// starts, so a design must not allocate, lock or throw.
template <class Filter> class FilterVariable : public Filter {
public:
    using Filter::Filter;

    void prepare() override
    {
        Filter::prepare();
        design();
    }
    void update() override
    {
        Filter::update();
        design();
    }
    void setParameter(std::string_view name, float value) override
    {
        Filter::setParameter(name, value);
        design();
    }

protected:
    // Computes the prototype and calls installDesign.
    virtual void design() = 0;

    // Maps the prototype to the z domain at the environment's sample rate and
    // makes it the filter's coefficients.
    void installDesign(const typename Filter::CoefficientsS& prototype)
    {
        typename Filter::Coefficients z;
        typename Filter::Bilinear(prototype).transform(z, this->getSampleRate());
        this->setCoefficients(z);
    }
};

} // namespace AudioEngine
