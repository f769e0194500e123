#pragma once

#include "plugin/docview/AdapterAutomation.h"
#include "plugin/docview/UnitView.h"

#include <string>

namespace Zq::Application::DocView {

class AutomationList;

// The host's view of a document unit: it creates host parameters in the
// automation list, which owns them and numbers them in creation order. Each
// one's host name is the unit's prefix followed by the name given. The
// adapters are not in the view's own adapter list.
class UnitAutomation : public UnitView {
public:
    UnitAutomation(AutomationList& list, std::string prefix);
    ~UnitAutomation() override;

    // parameter may be null: the adapter then starts unbound.
    AdapterAutomation* addParam(Parameter* parameter, const std::string& name, int precision,
                                const std::string& unit);
    AdapterAutomation* addParamdB(Parameter* parameter, const std::string& name, int precision);
    AdapterAutomation* addParamEnum(Parameter* parameter, const std::string& name,
                                    const char* const* valueNames, int count);

    AutomationList& getList() const noexcept { return list_; }

private:
    AdapterAutomation* enter(std::unique_ptr<AdapterAutomation> adapter);

    AutomationList& list_;
    std::string prefix_;
};

} // namespace Zq::Application::DocView
