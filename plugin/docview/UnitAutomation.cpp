#include "plugin/docview/UnitAutomation.h"

#include "plugin/docview/AutomationList.h"

#include <memory>

namespace Zq::Application::DocView {

UnitAutomation::UnitAutomation(AutomationList& list, std::string prefix)
    : list_(list), prefix_(std::move(prefix))
{
}

UnitAutomation::~UnitAutomation() = default;

AdapterAutomation* UnitAutomation::enter(std::unique_ptr<AdapterAutomation> adapter)
{
    AdapterAutomation* added = adapter.get();
    list_.add(std::move(adapter));
    return added;
}

AdapterAutomation* UnitAutomation::addParam(Parameter* parameter, const std::string& name,
                                            int precision, const std::string& unit)
{
    return enter(std::make_unique<AdapterAutomationParam>(
        parameter, prefix_ + name, list_.getCount(), &list_, precision, unit));
}

AdapterAutomation* UnitAutomation::addParamdB(Parameter* parameter, const std::string& name,
                                              int precision)
{
    return enter(std::make_unique<AdapterAutomationParamdB>(parameter, prefix_ + name,
                                                            list_.getCount(), &list_, precision));
}

AdapterAutomation* UnitAutomation::addParamEnum(Parameter* parameter, const std::string& name,
                                                const char* const* valueNames, int count)
{
    return enter(std::make_unique<AdapterAutomationParamEnum>(
        parameter, prefix_ + name, list_.getCount(), &list_, valueNames, count));
}

} // namespace Zq::Application::DocView
