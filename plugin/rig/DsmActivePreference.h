#pragma once

#include "plugin/docview/Parameter.h"

#include "platform/Settings.h"

#include <boost/signals2/connection.hpp>

#include <atomic>
#include <cstdint>
#include <string>

namespace Zq::BorvanRAZ::Document {

// The plug-in-wide power-amplifier detail level (0 or 1), shared by every
// processor of the module: the tube amplifier documents mirror it in their own
// "DSMActive", the editor's preferences panel sets it. It persists as the
// number "DSMActive" under the product's settings key.
class DsmActivePreference {
public:
    static constexpr const char* kValueName = "DSMActive";
    // What a first run, with nothing stored, takes and stores.
    static constexpr std::int32_t kFirstRunValue = 1;

    // Reads the stored value; when there is none (or it cannot be read) takes
    // 1 and stores 1, without a message. From then on every change is stored.
    explicit DsmActivePreference(const std::string& productKey);
    DsmActivePreference(const DsmActivePreference&) = delete;
    DsmActivePreference& operator=(const DsmActivePreference&) = delete;
    ~DsmActivePreference();

    // Set only on the host's UI thread (the preferences panel); its change
    // signal runs the documents' handlers there.
    Application::DocView::Parameter& getParameter() { return parameter_; }

    // The value as of the last change, readable on any thread: documents may
    // be created on an automation worker while the UI thread changes it.
    int current() const { return current_.load(std::memory_order_acquire); }

private:
    Application::DocView::Parameter parameter_;
    platform::RegistrySettings settings_;
    std::atomic<int> current_{0};
    boost::signals2::scoped_connection store_;
};

// The module's one preference, set up while the module loads (before any host
// call) and released when it unloads. Create is idempotent: a second call
// keeps the existing preference and returns it. Control thread only.
DsmActivePreference* createDsmActivePreference();
void releaseDsmActivePreference();
// The preference if it is set up, else null (a document then keeps 0).
DsmActivePreference* findDsmActivePreference();

} // namespace Zq::BorvanRAZ::Document
