#include "plugin/rig/DsmActivePreference.h"

#include "platform/MessageBox.h"
#include "plugin/docview/Range.h"

namespace Zq::BorvanRAZ::Document {

namespace {

constexpr const char* kProductKey = "BorvanQom";

// Set up and torn down on the control thread at load and unload, read by
// documents being built; never swapped while a processor lives.
DsmActivePreference* modulePreference = nullptr;

int asLevel(float value)
{
    return value >= 1.0f ? 1 : 0;
}

} // namespace

DsmActivePreference::DsmActivePreference(const std::string& productKey) : settings_(productKey)
{
    parameter_.setRange(Application::DocView::RangeInt(0, 1));
    std::int32_t stored = 0;
    std::string problem;
    if (!settings_.readNumber(kValueName, stored, &problem)) {
        stored = kFirstRunValue;
        // Something that is not a value file stays as it is: only a missing
        // value (or one of the other type) is written.
        if (problem.empty())
            settings_.writeNumber(kValueName, stored);
        else
            platform::showInstallError(kValueName, problem);
    }
    parameter_.setValue(static_cast<float>(stored), true);
    current_.store(asLevel(parameter_.getValue()), std::memory_order_release);
    // Connected first, so the value is stored and published before any
    // document follows it.
    store_ = parameter_.changed.connect([this](Application::DocView::Parameter* parameter) {
        const int level = asLevel(parameter->getValue());
        current_.store(level, std::memory_order_release);
        settings_.writeNumber(kValueName, level);
    });
}

DsmActivePreference::~DsmActivePreference() = default;

DsmActivePreference* createDsmActivePreference()
{
    if (!modulePreference)
        modulePreference = new DsmActivePreference(kProductKey);
    return modulePreference;
}

void releaseDsmActivePreference()
{
    delete modulePreference;
    modulePreference = nullptr;
}

DsmActivePreference* findDsmActivePreference()
{
    return modulePreference;
}

} // namespace Zq::BorvanRAZ::Document
