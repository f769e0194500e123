#pragma once

#include <memory>
#include <vector>

namespace Zq::Application::DocView {

// Maps a parameter's value to a second scale (the normalised side) and back.
// The normalised side is [0, 1] for the editor and host, but a converter also
// feeds a DSP parameter its own scale, so nothing here limits either side.
// Every formula runs in double and rounds once to float on return.
class Converter {
public:
    virtual ~Converter() = default;
    virtual std::unique_ptr<Converter> clone() const = 0;
    virtual float fromNormalized(float n) const = 0;
    virtual float toNormalized(float v) const = 0;

protected:
    Converter() = default;
    Converter(const Converter&) = default;
    Converter& operator=(const Converter&) = default;
};

class ConverterNull final : public Converter {
public:
    std::unique_ptr<Converter> clone() const override
    {
        return std::make_unique<ConverterNull>(*this);
    }
    float fromNormalized(float n) const override { return n; }
    float toNormalized(float v) const override { return v; }
};

// [min, max] onto [0, 1].
class ConverterNorm final : public Converter {
public:
    ConverterNorm(float min, float max) : min_(min), range_(max - min) {}
    std::unique_ptr<Converter> clone() const override
    {
        return std::make_unique<ConverterNorm>(*this);
    }
    float fromNormalized(float n) const override;
    float toNormalized(float v) const override;

private:
    float min_;
    float range_;
};

// [min, max] onto [1, 0].
class ConverterInv final : public Converter {
public:
    ConverterInv(float min, float max) : min_(min), range_(max - min) {}
    std::unique_ptr<Converter> clone() const override
    {
        return std::make_unique<ConverterInv>(*this);
    }
    float fromNormalized(float n) const override;
    float toNormalized(float v) const override;

private:
    float min_;
    float range_;
};

// The value interval [a, b] onto the normalised interval [c, d].
class ConverterLinear final : public Converter {
public:
    ConverterLinear(float a, float b, float c, float d) : a_(a), b_(b), c_(c), d_(d) {}
    std::unique_ptr<Converter> clone() const override
    {
        return std::make_unique<ConverterLinear>(*this);
    }
    float fromNormalized(float n) const override;
    float toNormalized(float v) const override;

private:
    float a_, b_, c_, d_;
};

// Linear gain on the value side, decibels on the normalised side. The
// logarithm is unguarded: 0 gives -inf and a negative gain NaN, which a
// parameter's getNormalized clamps to 0.
class ConverterdB final : public Converter {
public:
    std::unique_ptr<Converter> clone() const override
    {
        return std::make_unique<ConverterdB>(*this);
    }
    float fromNormalized(float n) const override;
    float toNormalized(float v) const override;
};

// Linear gain on the value side, [minDb, maxDb] in decibels onto [0, 1].
class ConverterdBNorm final : public Converter {
public:
    ConverterdBNorm(float minDb, float maxDb) : minDb_(minDb), range_(maxDb - minDb) {}
    std::unique_ptr<Converter> clone() const override
    {
        return std::make_unique<ConverterdBNorm>(*this);
    }
    float fromNormalized(float n) const override;
    float toNormalized(float v) const override;

private:
    float minDb_;
    float range_;
};

// [min, max] onto [0, 1] along a power law: the value is n ^ exponent of the way up.
class ConverterPowNorm final : public Converter {
public:
    ConverterPowNorm(float exponent, float min, float max)
        : exponent_(exponent), min_(min), range_(max - min)
    {
    }
    std::unique_ptr<Converter> clone() const override
    {
        return std::make_unique<ConverterPowNorm>(*this);
    }
    float fromNormalized(float n) const override;
    float toNormalized(float v) const override;

private:
    float exponent_;
    float min_;
    float range_;
};

// A chain of converters: toNormalized runs the members first to last,
// fromNormalized last to first. Each member hands on a float, as a member
// used on its own would return.
class ConverterCombiner final : public Converter {
public:
    ConverterCombiner(const Converter& first, const Converter& second);
    ConverterCombiner(const ConverterCombiner& other);
    ConverterCombiner& operator=(const ConverterCombiner&) = delete;

    std::unique_ptr<Converter> clone() const override
    {
        return std::make_unique<ConverterCombiner>(*this);
    }
    float fromNormalized(float n) const override;
    float toNormalized(float v) const override;

private:
    std::vector<std::unique_ptr<Converter>> members_;
};

} // namespace Zq::Application::DocView
