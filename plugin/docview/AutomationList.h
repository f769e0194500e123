#pragma once

#include "platform/CriticalSection.h"
#include "plugin/docview/ShortText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Zq::DUZ2 {
class Process;
}

namespace Zq::Application::DocView {

class AdapterAutomation;

// The host parameters of one processor, in index order: an adapter's index is
// its position here. The list owns its adapters, and its lock guards their
// binding, host values and reports. It reports to the processor, which tells
// the host.
//
// Every operation by index answers neutrally (an empty text, "N/A" where a
// display is asked, 0) and changes nothing for an index outside 0 ... count - 1.
class AutomationList {
public:
    // processor may be null: reports then go nowhere.
    explicit AutomationList(DUZ2::Process* processor);
    AutomationList(const AutomationList&) = delete;
    AutomationList& operator=(const AutomationList&) = delete;
    ~AutomationList();

    // Takes ownership; returns the adapter's index (the new count - 1). The
    // list grows only while its owner is built, before any other thread sees it.
    int add(std::unique_ptr<AdapterAutomation> adapter);
    int getCount() const noexcept { return static_cast<int>(adapters_.size()); }
    bool contains(std::int64_t index) const noexcept { return index >= 0 && index < getCount(); }
    AdapterAutomation* getAdapter(int index) const noexcept;

    const std::string& getName(int index) const noexcept;
    ShortText getDisplayText(int index);
    // No lock: the caller holds the list lock, or owns every thread that could
    // rebind the adapter.
    float getValue(int index) const noexcept;
    float getNormalized(int index) const noexcept;
    ShortText getTextForNormalized(int index, float normalized);
    float convertNormalizedToPlain(int index, float normalized);
    void setFromHostValue(int index, float value);
    void setFromHostNormalized(int index, float normalized);
    // Tells the processor the adapter's present value and normalised value.
    void notifyHost(int index);

    platform::CriticalSection& getLock() noexcept { return lock_; }

private:
    platform::CriticalSection lock_;
    DUZ2::Process* processor_;
    std::vector<std::unique_ptr<AdapterAutomation>> adapters_;
};

} // namespace Zq::Application::DocView
