#include "plugin/docview/AdapterAutomation.h"

#include "plugin/docview/AutomationList.h"
#include "plugin/docview/EnumIndex.h"
#include "plugin/docview/FlagScope.h"
#include "plugin/docview/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace Zq::Application::DocView {

namespace {

constexpr const char* kNotAvailable = "N/A";

} // namespace

AdapterAutomation::AdapterAutomation(Parameter* parameter, std::string name, int index,
                                     AutomationList* list)
    : Adapter(nullptr), name_(std::move(name)), index_(index), list_(list)
{
    setParameter(&placeholder_);
    if (parameter)
        connect(parameter);
}

AdapterAutomation::~AdapterAutomation() = default;

void AdapterAutomation::connect(Parameter* parameter)
{
    connection_ = parameter->changed.connect([this](Parameter*) { update(); });
    setParameter(parameter);
}

void AdapterAutomation::update()
{
    platform::ScopedEnter guard(list_->getLock());
    if (!bound() || isDisabled() || applying_)
        return;
    FlagScope notifying(notifying_);
    list_->notifyHost(index_);
}

void AdapterAutomation::bind(Parameter* parameter)
{
    if (!parameter) {
        unbind();
        return;
    }
    platform::ScopedEnter guard(list_->getLock());
    connection_.disconnect();
    connect(parameter);
    list_->notifyHost(index_);
}

void AdapterAutomation::unbind()
{
    platform::ScopedEnter guard(list_->getLock());
    connection_.disconnect();
    setParameter(&placeholder_);
    list_->notifyHost(index_);
}

bool AdapterAutomation::isBound()
{
    platform::ScopedEnter guard(list_->getLock());
    return bound();
}

ShortText AdapterAutomation::getDisplayText()
{
    platform::ScopedEnter guard(list_->getLock());
    display_.assign(bound() ? valueToText(getParameter()->getValue()) : kNotAvailable);
    return display_;
}

void AdapterAutomation::setFromHostNormalized(float normalized)
{
    platform::ScopedEnter guard(list_->getLock());
    if (!bound() || isDisabled() || notifying_)
        return;
    FlagScope applying(applying_);
    getParameter()->setNormalized(normalized, true);
}

void AdapterAutomation::setFromHostValue(float value)
{
    platform::ScopedEnter guard(list_->getLock());
    setFromHostNormalized(getParameter()->getConverter().toNormalized(value));
}

ShortText AdapterAutomation::getTextForNormalized(float normalized)
{
    platform::ScopedTryEnter guard(list_->getLock());
    if (!guard || !bound())
        return kNotAvailable;
    return valueToText(getParameter()->getConverter().fromNormalized(normalized));
}

float AdapterAutomation::convertNormalizedToPlain(float normalized)
{
    platform::ScopedTryEnter guard(list_->getLock());
    if (!guard)
        return 0.0f;
    return getParameter()->getConverter().fromNormalized(normalized);
}

AdapterAutomationParam::AdapterAutomationParam(Parameter* parameter, std::string name, int index,
                                               AutomationList* list, int precision,
                                               std::string unit)
    : AdapterAutomation(parameter, std::move(name), index, list), precision_(precision),
      unit_(std::move(unit))
{
}

const char* AdapterAutomationParam::valueToText(float value)
{
    if (!std::isfinite(value)) {
        std::snprintf(text_, kTextSize, "%s", kNotAvailable);
        return text_;
    }
    formatFixed(text_, kTextSize, value, precision_);
    const std::size_t length = std::strlen(text_);
    std::snprintf(text_ + length, kTextSize - length, " %s", unit_.c_str());
    return text_;
}

AdapterAutomationParamdB::AdapterAutomationParamdB(Parameter* parameter, std::string name,
                                                   int index, AutomationList* list, int precision)
    : AdapterAutomation(parameter, std::move(name), index, list), precision_(precision)
{
}

const char* AdapterAutomationParamdB::valueToText(float value)
{
    if (std::isnan(value) || value == INFINITY) {
        std::snprintf(text_, kTextSize, "%s", kNotAvailable);
        return text_;
    }
    // Below -200 dB nothing is heard; the logarithm of 0 would be -inf.
    if (value < 1e-10f) {
        std::snprintf(text_, kTextSize, "-Inf");
        return text_;
    }
    formatFixed(text_, kTextSize, 20.0 * std::log10(static_cast<double>(value)), precision_);
    const std::size_t length = std::strlen(text_);
    std::snprintf(text_ + length, kTextSize - length, " dB");
    return text_;
}

AdapterAutomationParamEnum::AdapterAutomationParamEnum(Parameter* parameter, std::string name,
                                                       int index, AutomationList* list,
                                                       const char* const* valueNames, int count)
    : AdapterAutomation(parameter, std::move(name), index, list)
{
    if (valueNames && count > 0) {
        names_.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            names_.emplace_back(valueNames[i] ? valueNames[i] : "");
    }
}

const char* AdapterAutomationParamEnum::valueToText(float value)
{
    const std::optional<int> i = enumIndex(value, names_.size());
    std::snprintf(text_, kTextSize, "%s",
                  i ? names_[static_cast<std::size_t>(*i)].c_str() : kNotAvailable);
    return text_;
}

} // namespace Zq::Application::DocView
