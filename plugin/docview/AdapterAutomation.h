#pragma once

#include "plugin/docview/Adapter.h"
#include "plugin/docview/ShortText.h"

#include <boost/signals2/connection.hpp>

#include <string>
#include <vector>

namespace Zq::Application::DocView {

class AutomationList;

// One host parameter: a fixed index and name, bound to whichever document
// parameter stands behind it for the moment. Unbound, it rests on a private
// placeholder (0 in [0, 1], no conversion), shows "N/A" and ignores the host.
//
// Everything that reads or changes the binding, applies a host value or
// reports to the host runs under the automation list's lock, which is
// recursive: a report reads the display text again on the same thread. Two
// flags stop echoes: applying (a host value is being set, so the change is not
// reported back) and notifying (a report is under way, so a host value that
// arrives from inside it is dropped).
class AdapterAutomation : public Adapter {
public:
    // With a parameter the adapter binds it at once, without a report; with
    // null it starts unbound.
    AdapterAutomation(Parameter* parameter, std::string name, int index, AutomationList* list);
    ~AdapterAutomation() override;

    // Reports the bound parameter to the host, unless the change came from
    // the host or the adapter is unbound or disabled. Connected to the bound
    // parameter's change signal; runs on the changing thread.
    void update() override;
    // The host's display of a value, written to the adapter's text buffer and
    // returned from it. Allocates nothing. Call with the list lock held.
    virtual const char* valueToText(float value) = 0;

    // Binding and unbinding report the index to the host at once (unbound:
    // value 0, normalised 0). bind(null) unbinds.
    void bind(Parameter* parameter);
    void unbind();
    bool isBound();

    // "N/A" while unbound.
    ShortText getDisplayText();
    // A normalised value from the host, set with notification; refused while
    // unbound, disabled or reporting.
    void setFromHostNormalized(float normalized);
    // The host's plain value, turned to normalised by the present parameter's
    // converter, then as setFromHostNormalized.
    void setFromHostValue(float value);
    // Host queries that must never wait: when the list lock is busy they
    // answer "N/A" and 0 at once.
    ShortText getTextForNormalized(float normalized);
    float convertNormalizedToPlain(float normalized);

    // The present parameter's value and normalised value (the placeholder's 0
    // while unbound). No lock: callers hold the list lock.
    float getValue() const noexcept { return getParameter()->getValue(); }
    float getNormalized() const noexcept { return getParameter()->getNormalized(); }

    const std::string& getName() const noexcept { return name_; }
    int getIndex() const noexcept { return index_; }

protected:
    static constexpr std::size_t kTextSize = ShortText::kCapacity + 1;
    char text_[kTextSize] = {};

private:
    bool bound() const noexcept { return getParameter() != &placeholder_; }
    void connect(Parameter* parameter);

    Parameter placeholder_;
    std::string name_;
    int index_;
    AutomationList* list_;
    bool applying_ = false;
    bool notifying_ = false;
    boost::signals2::scoped_connection connection_;
    ShortText display_;
};

// The value with a number of decimals, a blank and a unit ("42 %", "0.50 ").
class AdapterAutomationParam : public AdapterAutomation {
public:
    AdapterAutomationParam(Parameter* parameter, std::string name, int index, AutomationList* list,
                           int precision, std::string unit);
    const char* valueToText(float value) override;

    int getPrecision() const noexcept { return precision_; }
    const std::string& getUnit() const noexcept { return unit_; }

private:
    int precision_;
    std::string unit_;
};

// A linear gain shown in decibels ("-6.0 dB"); "-Inf" below 1e-10.
class AdapterAutomationParamdB : public AdapterAutomation {
public:
    AdapterAutomationParamdB(Parameter* parameter, std::string name, int index,
                             AutomationList* list, int precision);
    const char* valueToText(float value) override;

    int getPrecision() const noexcept { return precision_; }

private:
    int precision_;
};

// One of a list of value names, chosen by the whole part of the value.
class AdapterAutomationParamEnum : public AdapterAutomation {
public:
    AdapterAutomationParamEnum(Parameter* parameter, std::string name, int index,
                               AutomationList* list, const char* const* valueNames, int count);
    const char* valueToText(float value) override;

    const std::vector<std::string>& getValueNames() const noexcept { return names_; }

private:
    std::vector<std::string> names_; // value i -> names_[i]
};

} // namespace Zq::Application::DocView
