#include "plugin/module/standin/Automation.h"

#include <cstdio>

namespace Zq::BorvanRAZ::StandIn {
namespace {

std::string display(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

} // namespace

bool Automation::known(std::int32_t index) const
{
    if (index >= 0 && static_cast<std::size_t>(index) < parameters_.size())
        return true;
    ++outOfRange_;
    return false;
}

std::int32_t Automation::getNumParameters() const
{
    std::lock_guard lock(mutex_);
    return static_cast<std::int32_t>(parameters_.size());
}

std::string Automation::getParameterName(std::int32_t index) const
{
    std::lock_guard lock(mutex_);
    return known(index) ? parameters_[index].name : std::string();
}

std::string Automation::getParameterDisplay(std::int32_t index) const
{
    std::lock_guard lock(mutex_);
    return known(index) ? display(parameters_[index].value) : std::string();
}

float Automation::getParameterValue(std::int32_t index) const
{
    std::lock_guard lock(mutex_);
    return known(index) ? parameters_[index].value : 0.0f;
}

float Automation::getParameterNormalized(std::int32_t index) const
{
    return getParameterValue(index);
}

void Automation::setParameterValue(std::int32_t index, float plain)
{
    std::lock_guard lock(mutex_);
    if (known(index))
        parameters_[index].value = plain;
}

void Automation::setParameterNormalized(std::int32_t index, float normalized)
{
    setParameterValue(index, normalized);
}

std::string Automation::getParameterTextForNormalized(std::int32_t index, float normalized) const
{
    std::lock_guard lock(mutex_);
    return known(index) ? display(normalized) : std::string();
}

float Automation::convertNormalizedToPlain(std::int32_t index, float normalized) const
{
    std::lock_guard lock(mutex_);
    return known(index) ? normalized : 0.0f;
}

void Automation::addParameter(const std::string& name, float value)
{
    std::lock_guard lock(mutex_);
    parameters_.push_back({name, value});
}

} // namespace Zq::BorvanRAZ::StandIn
