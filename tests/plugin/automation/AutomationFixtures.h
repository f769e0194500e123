#pragma once

#include "plugin/DUZ2.h"
#include "plugin/docview/AdapterAutomation.h"
#include "plugin/module/Process.h"
#include "plugin/rig/AmpModels.h"
#include "plugin/rig/StompModels.h"

#include <gtest/gtest.h>

#include <mutex>
#include <ostream>
#include <vector>

namespace Zq::Application::DocView {
inline void PrintTo(const ShortText& text, std::ostream* out)
{
    *out << '"' << text.view() << '"';
}
} // namespace Zq::Application::DocView

namespace test {

using Zq::Application::DocView::Parameter;

// A host that keeps every change the plug-in reports, from any thread.
class RecordingHost : public Zq::DUZ2::Host {
public:
    struct Change {
        std::int32_t index;
        float plain;
        float normalized;
        bool operator==(const Change&) const = default;
    };

    float getTempo() override { return 0.0f; }
    void onParameterChanged(std::int32_t index, float plain, float normalized) override
    {
        std::lock_guard guard(mutex_);
        changes_.push_back({index, plain, normalized});
    }
    std::vector<Change> take()
    {
        std::lock_guard guard(mutex_);
        std::vector<Change> taken;
        taken.swap(changes_);
        return taken;
    }

private:
    std::mutex mutex_;
    std::vector<Change> changes_;
};

inline void PrintTo(const RecordingHost::Change& c, std::ostream* out)
{
    *out << "{" << c.index << ", " << c.plain << ", " << c.normalized << "}";
}

// A processor over the rig document whose automation is the real manager
// (its engine still the stand-in), with a recording host.
class AutomationTest : public ::testing::Test {
protected:
    // The processor's one refreshAmpModels reported the RKM-CL's parameters;
    // each test starts from a quiet host.
    AutomationTest() { host.take(); }

    // Sets a document parameter as the editor would: under the document lock,
    // with notification.
    void change(Parameter& parameter, float value)
    {
        platform::ScopedEnter guard(*rig.getLock());
        parameter.setValue(value, true);
    }
    void setSlot(int slot, int model)
    {
        change(rig.getStompModule().stomps[slot], static_cast<float>(model));
    }
    void setAmp(int model) { change(rig.getAmpModule().ampModel, static_cast<float>(model)); }

    Zq::Application::DocView::AdapterAutomation* adapter(int index)
    {
        return manager.getList().getAdapter(index);
    }

    RecordingHost host;
    Zq::BorvanRAZ::Process processor{host.getHostTable()};
    Zq::DUZ2::ProcessTable* t = processor.getTable();
    Zq::BorvanRAZ::Automation::Main& manager = processor.getAutomation();
    Zq::BorvanRAZ::Document::Rig& rig = processor.getDocument();
};

} // namespace test
