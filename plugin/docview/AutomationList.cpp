#include "plugin/docview/AutomationList.h"

#include "plugin/DUZ2.h"
#include "plugin/docview/AdapterAutomation.h"

namespace Zq::Application::DocView {

AutomationList::AutomationList(DUZ2::Process* processor) : processor_(processor)
{
}

AutomationList::~AutomationList() = default;

int AutomationList::add(std::unique_ptr<AdapterAutomation> adapter)
{
    adapters_.push_back(std::move(adapter));
    return getCount() - 1;
}

AdapterAutomation* AutomationList::getAdapter(int index) const noexcept
{
    return contains(index) ? adapters_[static_cast<std::size_t>(index)].get() : nullptr;
}

const std::string& AutomationList::getName(int index) const noexcept
{
    static const std::string none;
    const AdapterAutomation* adapter = getAdapter(index);
    return adapter ? adapter->getName() : none;
}

ShortText AutomationList::getDisplayText(int index)
{
    AdapterAutomation* adapter = getAdapter(index);
    return adapter ? adapter->getDisplayText() : ShortText();
}

float AutomationList::getValue(int index) const noexcept
{
    const AdapterAutomation* adapter = getAdapter(index);
    return adapter ? adapter->getValue() : 0.0f;
}

float AutomationList::getNormalized(int index) const noexcept
{
    const AdapterAutomation* adapter = getAdapter(index);
    return adapter ? adapter->getNormalized() : 0.0f;
}

ShortText AutomationList::getTextForNormalized(int index, float normalized)
{
    AdapterAutomation* adapter = getAdapter(index);
    return adapter ? adapter->getTextForNormalized(normalized) : ShortText();
}

float AutomationList::convertNormalizedToPlain(int index, float normalized)
{
    AdapterAutomation* adapter = getAdapter(index);
    return adapter ? adapter->convertNormalizedToPlain(normalized) : 0.0f;
}

void AutomationList::setFromHostValue(int index, float value)
{
    if (AdapterAutomation* adapter = getAdapter(index))
        adapter->setFromHostValue(value);
}

void AutomationList::setFromHostNormalized(int index, float normalized)
{
    if (AdapterAutomation* adapter = getAdapter(index))
        adapter->setFromHostNormalized(normalized);
}

void AutomationList::notifyHost(int index)
{
    if (!contains(index) || !processor_)
        return;
    platform::ScopedEnter guard(lock_);
    processor_->notifyHostParameter(index, getValue(index), getNormalized(index));
}

} // namespace Zq::Application::DocView
