#include "plugin/docview/Converter.h"

#include <cmath>

namespace Zq::Application::DocView {

namespace {

float dBToGain(double dB)
{
    return static_cast<float>(std::pow(10.0, dB * 0.05));
}
double gainTodB(float gain)
{
    return 20.0 * std::log10(static_cast<double>(gain));
}

} // namespace

float ConverterNorm::fromNormalized(float n) const
{
    return static_cast<float>(double(n) * range_ + min_);
}

float ConverterNorm::toNormalized(float v) const
{
    return static_cast<float>((double(v) - min_) / range_);
}

float ConverterInv::fromNormalized(float n) const
{
    return static_cast<float>((1.0 - n) * range_ + min_);
}

float ConverterInv::toNormalized(float v) const
{
    return static_cast<float>(1.0 - (double(v) - min_) / range_);
}

float ConverterLinear::fromNormalized(float n) const
{
    return static_cast<float>((double(b_) - a_) * (double(n) - c_) / (double(d_) - c_) + a_);
}

float ConverterLinear::toNormalized(float v) const
{
    return static_cast<float>((double(d_) - c_) * (double(v) - a_) / (double(b_) - a_) + c_);
}

float ConverterdB::fromNormalized(float n) const
{
    return dBToGain(n);
}

float ConverterdB::toNormalized(float v) const
{
    return static_cast<float>(gainTodB(v));
}

float ConverterdBNorm::fromNormalized(float n) const
{
    return dBToGain(double(n) * range_ + minDb_);
}

float ConverterdBNorm::toNormalized(float v) const
{
    return static_cast<float>((gainTodB(v) - minDb_) / range_);
}

float ConverterPowNorm::fromNormalized(float n) const
{
    return static_cast<float>(std::pow(double(n), double(exponent_)) * range_ + min_);
}

float ConverterPowNorm::toNormalized(float v) const
{
    return static_cast<float>(std::pow((double(v) - min_) / range_, 1.0 / exponent_));
}

ConverterCombiner::ConverterCombiner(const Converter& first, const Converter& second)
{
    members_.reserve(2);
    members_.push_back(first.clone());
    members_.push_back(second.clone());
}

ConverterCombiner::ConverterCombiner(const ConverterCombiner& other) : Converter(other)
{
    members_.reserve(other.members_.size());
    for (const auto& member : other.members_)
        members_.push_back(member->clone());
}

float ConverterCombiner::fromNormalized(float n) const
{
    for (auto it = members_.rbegin(); it != members_.rend(); ++it)
        n = (*it)->fromNormalized(n);
    return n;
}

float ConverterCombiner::toNormalized(float v) const
{
    for (const auto& member : members_)
        v = member->toNormalized(v);
    return v;
}

} // namespace Zq::Application::DocView
