#include "plugin/docview/UnitDoc.h"

#include "plugin/docview/EnumIndex.h"
#include "plugin/docview/XmlNumber.h"

#include <tinyxml.h>

#include <cmath>
#include <cstring>

namespace Zq::Application::DocView {

namespace {

} // namespace

UnitDoc::~UnitDoc() = default;

void UnitDoc::load(const TiXmlElement& element)
{
    loadParameters(element);
    loadSubUnits(element);
}

void UnitDoc::save(TiXmlElement& element) const
{
    saveParameters(element);
    saveSubUnits(element);
}

void UnitDoc::loadParameters(const TiXmlElement& element)
{
    for (const auto& [name, entry] : parameters_) {
        const char* text = element.Attribute(name.c_str());
        Parameter& parameter = *entry.parameter;
        if (entry.valueNames) {
            // A missing attribute looks for a value named "Default"; when none
            // matches, the parameter keeps its value.
            const char* wanted = text ? text : "Default";
            // The names up to the range's maximum, never past the end of the list.
            const double top = std::trunc(static_cast<double>(parameter.getRange().getMax()));
            int last = entry.valueCount - 1;
            if (top < last)
                last = top < 0.0 ? -1 : static_cast<int>(top);
            for (int i = 0; i <= last; ++i) {
                if (std::strcmp(entry.valueNames[i], wanted) == 0) {
                    parameter.setValue(static_cast<float>(i), true);
                    break;
                }
            }
            continue;
        }
        // A missing number, and one that reads as NaN, resets to the default:
        // a NaN must never reach the signal chain through a preset.
        const auto value = text ? parseNumber(text) : std::nullopt;
        parameter.setValue(value ? *value : parameter.getDefault(), true);
    }
}

void UnitDoc::loadSubUnits(const TiXmlElement& element)
{
    for (const auto& [name, unit] : subUnits_) {
        if (const TiXmlElement* child = element.FirstChildElement(name.c_str()))
            unit->load(*child);
    }
}

void UnitDoc::saveParameters(TiXmlElement& element) const
{
    for (const auto& [name, entry] : parameters_) {
        const float value = entry.parameter->getValue();
        if (!entry.valueNames) {
            element.SetAttribute(name.c_str(), formatFixed(value).c_str());
            continue;
        }
        // A value outside the list (possible only after a narrower setRange)
        // has no name to write; leaving the attribute out keeps the value on load.
        if (const auto i = enumIndex(value, static_cast<std::size_t>(entry.valueCount)))
            element.SetAttribute(name.c_str(), entry.valueNames[*i]);
    }
}

void UnitDoc::saveSubUnits(TiXmlElement& element) const
{
    for (const auto& [name, unit] : subUnits_) {
        auto* child = new TiXmlElement(name.c_str());
        element.LinkEndChild(child);
        unit->save(*child);
    }
}

void UnitDoc::addParameter(const std::string& name, Parameter& parameter, float defaultValue,
                           const Range& range, const Converter& converter, bool persistent)
{
    parameter.setRange(range);
    parameter.setConverter(converter);
    parameter.setValue(defaultValue, true);
    parameter.setDefault(defaultValue);
    if (persistent)
        enter(name, parameter, nullptr, 0);
    parameter.notifyChanged();
}

void UnitDoc::addParameter(const std::string& name, Parameter& parameter, float defaultValue,
                           const Range& range, bool persistent)
{
    addParameter(name, parameter, defaultValue, range,
                 ConverterNorm(range.getMin(), range.getMax()), persistent);
}

void UnitDoc::addParameter(const std::string& name, Parameter& parameter, int defaultValue,
                           int count, const char* const* valueNames, bool persistent)
{
    const float value = static_cast<float>(defaultValue);
    parameter.setRange(RangeInt(0, count - 1));
    parameter.setConverter(ConverterNorm(0.0f, static_cast<float>(count - 1)));
    parameter.setValue(value, true);
    parameter.setDefault(value);
    if (persistent)
        enter(name, parameter, valueNames, count);
    parameter.notifyChanged();
}

void UnitDoc::enter(const std::string& name, Parameter& parameter, const char* const* valueNames,
                    int valueCount)
{
    parameters_.insert_or_assign(name, Entry{&parameter, valueNames, valueCount});
}

void UnitDoc::addSubUnit(const std::string& name, UnitDoc* unit)
{
    subUnits_.erase(name);
    if (unit)
        subUnits_.emplace(name, unit);
}

void UnitDoc::removeSubUnit(const std::string& name)
{
    subUnits_.erase(name);
}

} // namespace Zq::Application::DocView
