#include "engine/core/Parameter.h"

#include "engine/core/Handler.h"

#include <cmath>

namespace AudioEngine {

ParameterBase::States::States(std::initializer_list<std::string> names)
{
    for (const auto& name : names)
        add(name);
}

float ParameterBase::States::add(const std::string& name)
{
    auto [it, inserted] = values_.try_emplace(name, static_cast<float>(values_.size()));
    (void)inserted;
    return it->second;
}

std::optional<float> ParameterBase::States::find(std::string_view name) const
{
    auto it = values_.find(name);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

Parameter::Parameter(std::string name, std::string label, float minimum, float maximum,
                     float defaultValue, std::uint32_t flags)
    : name_(std::move(name)), label_(std::move(label)), minimum_(minimum), maximum_(maximum),
      default_(defaultValue), flags_(flags), value_(clamp(defaultValue, minimum, maximum))
{
}

Parameter::Parameter(std::string name, std::string label, Range range, std::uint32_t flags)
    : Parameter(std::move(name), std::move(label), range.minimum, range.maximum, range.defaultValue,
                flags)
{
}

namespace {
float stateValue(const ParameterBase::States& states, std::string_view state,
                 std::string_view owner)
{
    if (auto value = states.find(state))
        return *value;
    throw UnknownName("state", state, owner);
}
} // namespace

Parameter::Parameter(std::string name, std::string label, const States& states,
                     std::string_view defaultState, std::uint32_t flags)
    : name_(std::move(name)), label_(std::move(label)), minimum_(0.0f),
      maximum_(static_cast<float>(states.size()) - 1.0f),
      default_(stateValue(states, defaultState, name_)), states_(states), flags_(flags),
      value_(clamp(default_, minimum_, maximum_))
{
}

Parameter::Parameter(const Parameter& other)
    : ParameterBase(), name_(other.getName()), label_(other.getLabel()),
      minimum_(other.getMinimum()), maximum_(other.getMaximum()), default_(other.default_),
      states_(other.states_), flags_(other.flags_), value_(const_cast<Parameter&>(other).getValue())
{
}

float Parameter::clamp(float x, float minimum, float maximum) noexcept
{
    // An exact limit: the same result as the midpoint formula
    // (max - |x - max| + |x - min| + min) / 2 for every finite x, without its
    // rounding, and the ends of the range for the infinities where that
    // formula gives NaN.
    if (x < minimum)
        return minimum;
    if (x > maximum)
        return maximum;
    return x;
}

void Parameter::set(float value)
{
    if (std::isnan(value))
        return;
    const float limited = clamp(value, minimum_, maximum_);
    if (flags_ & kHoldMinimum) {
        float held = value_.load(std::memory_order_relaxed);
        while (limited < held &&
               !value_.compare_exchange_weak(held, limited, std::memory_order_relaxed)) {
        }
    } else if (flags_ & kHoldMaximum) {
        float held = value_.load(std::memory_order_relaxed);
        while (limited > held &&
               !value_.compare_exchange_weak(held, limited, std::memory_order_relaxed)) {
        }
    } else {
        value_.store(limited, std::memory_order_relaxed);
    }
}

float Parameter::getValue()
{
    // A hold parameter's read hands the held value over and starts again from
    // the far end of the range, in one atomic step against the writer.
    if (flags_ & kHoldMinimum)
        return value_.exchange(maximum_, std::memory_order_relaxed);
    if (flags_ & kHoldMaximum)
        return value_.exchange(minimum_, std::memory_order_relaxed);
    return value_.load(std::memory_order_relaxed);
}

ParameterLinked::ParameterLinked(ParameterHandler* module, std::string targetName, std::string name,
                                 std::string label)
    : module_(module), target_(&module->getParameter(targetName)),
      targetName_(std::move(targetName)), name_(std::move(name)), label_(std::move(label))
{
}

ParameterLinked::ParameterLinked(ParameterHandler* module, std::string targetName)
    : module_(module), target_(&module->getParameter(targetName)),
      targetName_(std::move(targetName)), name_(getTarget()->getName()),
      label_(getTarget()->getLabel())
{
}

void ParameterLinked::set(float value)
{
    getModule()->setParameter(targetName_, value);
}
float ParameterLinked::getValue()
{
    return getTarget()->getValue();
}
float ParameterLinked::getMinimum() const
{
    return override_ ? minimum_ : getTarget()->getMinimum();
}
float ParameterLinked::getMaximum() const
{
    return override_ ? maximum_ : getTarget()->getMaximum();
}
float ParameterLinked::getDefault() const
{
    return override_ ? default_ : getTarget()->getDefault();
}
const ParameterBase::States& ParameterLinked::getStates() const
{
    return getTarget()->getStates();
}
std::uint32_t ParameterLinked::getFlags() const
{
    return getTarget()->getFlags();
}

void ParameterLinked::relink(ParameterHandler* module)
{
    ParameterBase* target = &module->getParameter(targetName_);
    module_.store(module, std::memory_order_release);
    target_.store(target, std::memory_order_release);
}

void ParameterLinked::setOverride(float minimum, float maximum, float defaultValue)
{
    minimum_ = minimum;
    maximum_ = maximum;
    default_ = defaultValue;
    override_ = true;
}

std::string ParameterLinked::composeName(std::string_view prefix, std::string_view name)
{
    std::string composed;
    composed.reserve(prefix.size() + 1 + name.size());
    composed.append(prefix).append("_").append(name);
    return composed;
}

ParameterMultiLink::ParameterMultiLink(std::string name, std::vector<ParameterHandler*> modules)
    : name_(std::move(name)), modules_(std::move(modules))
{
    if (modules_.empty())
        throw UnknownName("parameter", name_, "an empty module list");
    reportedName_ = first().getName();
}

ParameterBase& ParameterMultiLink::first() const
{
    return modules_.front()->getParameter(name_);
}

void ParameterMultiLink::set(float value)
{
    for (ParameterHandler* module : modules_)
        module->setParameter(name_, value);
}

const std::string& ParameterMultiLink::getLabel() const
{
    return first().getLabel();
}
float ParameterMultiLink::getValue()
{
    return first().getValue();
}
float ParameterMultiLink::getMinimum() const
{
    return first().getMinimum();
}
float ParameterMultiLink::getMaximum() const
{
    return first().getMaximum();
}
float ParameterMultiLink::getDefault() const
{
    return first().getDefault();
}
const ParameterBase::States& ParameterMultiLink::getStates() const
{
    return first().getStates();
}
std::uint32_t ParameterMultiLink::getFlags() const
{
    return first().getFlags();
}

} // namespace AudioEngine
