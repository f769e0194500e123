#pragma once

#include "plugin/automation/UnitConnectable.h"
#include "plugin/rig/AmpModels.h"

#include <string>

namespace Zq::BorvanRAZ::Automation {

// An amplifier head's host parameters, over the document class Doc. The
// prefix is "Amp ", the model name and a blank ("Amp GN-500 "). The heads'
// own "Bypass" is not automated.
template <class Doc> class AmpModel : public UnitConnectable {
public:
    // modelName ends with a blank.
    AmpModel(AutomationList& list, const std::string& modelName)
        : UnitConnectable(list, "Amp " + modelName)
    {
        addParameters();
    }

    void connect(UnitDoc* unit) override
    {
        if (Doc* document = dynamic_cast<Doc*>(unit))
            bindings_.bind(*document);
        else
            bindings_.unbind();
    }
    bool isConnected() override { return bindings_.anyBound(); }

private:
    // The head's host parameters in host order, from its list of controls.
    void addParameters();

    ModelBindings<Doc> bindings_;
};

// Each head's host parameters come from its list of controls.
extern template class AmpModel<Document::AmpRE500>;
extern template class AmpModel<Document::AmpV9E>;
extern template class AmpModel<Document::AmpRKMClassic>;
extern template class AmpModel<Document::AmpRKM4PRO>;

// "GN-500".
using AmpRE500 = AmpModel<Document::AmpRE500>;
// "Q-9R".
using AmpV9E = AmpModel<Document::AmpV9E>;
// "RKM-CL".
using AmpRKMClassic = AmpModel<Document::AmpRKMClassic>;
// "RKM-4 PRO".
using AmpRKM4PRO = AmpModel<Document::AmpRKM4PRO>;

} // namespace Zq::BorvanRAZ::Automation
