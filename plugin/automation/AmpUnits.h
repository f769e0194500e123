#pragma once

#include "plugin/automation/UnitConnectable.h"
#include "plugin/rig/AmpModels.h"

#include <string>
#include <utility>

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
    }

    void connect(UnitDoc* unit) override
    {
        if (Doc* document = dynamic_cast<Doc*>(unit))
            bindings_.bind(*document);
        else
            bindings_.unbind();
    }
    bool isConnected() override { return bindings_.anyBound(); }

protected:
    ModelBindings<Doc> bindings_;

    // The graphic equaliser's bands: their parameters hold decibels, shown
    // whole ("3 dB").
    template <std::size_t N, std::size_t... Band>
    void addBands(const char* const (&names)[N], std::index_sequence<Band...>)
    {
        (bindings_.add(addParam(nullptr, names[Band], 0, "dB"),
                       [](Doc& d) -> Parameter& { return d.bands[Band]; }),
         ...);
    }
};

// "GN-500".
class AmpRE500 : public AmpModel<Document::AmpRE500> {
public:
    AmpRE500(AutomationList& list, const std::string& modelName);
};

// "Q-9R".
class AmpV9E : public AmpModel<Document::AmpV9E> {
public:
    AmpV9E(AutomationList& list, const std::string& modelName);
};

// "RKM-CL".
class AmpRKMClassic : public AmpModel<Document::AmpRKMClassic> {
public:
    AmpRKMClassic(AutomationList& list, const std::string& modelName);
};

// "RKM-4 PRO".
class AmpRKM4PRO : public AmpModel<Document::AmpRKM4PRO> {
public:
    AmpRKM4PRO(AutomationList& list, const std::string& modelName);
};

} // namespace Zq::BorvanRAZ::Automation
