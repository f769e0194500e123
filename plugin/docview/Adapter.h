#pragma once

#include "plugin/docview/Parameter.h"

#include <boost/signals2/trackable.hpp>

#include <atomic>

namespace Zq::Application::DocView {

// Binds one document parameter to one element of a view (a widget, a DSP
// parameter, a host parameter) and carries changes across. Each family adds a
// third operation of its own after update: AdapterMAF push, AdapterAutomation
// valueToText.
//
// Adapters keep the connections they make in scoped connections, so deleting
// an adapter drops them whichever thread fires the signal next.
class Adapter : public boost::signals2::trackable {
public:
    explicit Adapter(Parameter* parameter) noexcept : parameter_(parameter) {}
    Adapter(const Adapter&) = delete;
    Adapter& operator=(const Adapter&) = delete;
    virtual ~Adapter();

    // Brings the view element in line with the parameter; nothing here.
    virtual void update();

    // While disabled the adapter passes nothing in either direction. Any thread.
    void setDisabled(bool disabled) noexcept
    {
        disabled_.store(disabled, std::memory_order_relaxed);
    }
    bool isDisabled() const noexcept { return disabled_.load(std::memory_order_relaxed); }

    Parameter* getParameter() const noexcept { return parameter_; }

protected:
    void setParameter(Parameter* parameter) noexcept { parameter_ = parameter; }

private:
    std::atomic<bool> disabled_{false};
    Parameter* parameter_;
};

} // namespace Zq::Application::DocView
