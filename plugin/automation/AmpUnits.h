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
    // The head's host parameters in host order, each head's own.
    void addParameters();

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

template <> void AmpModel<Document::AmpRE500>::addParameters();
template <> void AmpModel<Document::AmpV9E>::addParameters();
template <> void AmpModel<Document::AmpRKMClassic>::addParameters();
template <> void AmpModel<Document::AmpRKM4PRO>::addParameters();

// "GN-500".
using AmpRE500 = AmpModel<Document::AmpRE500>;
// "Q-9R".
using AmpV9E = AmpModel<Document::AmpV9E>;
// "RKM-CL".
using AmpRKMClassic = AmpModel<Document::AmpRKMClassic>;
// "RKM-4 PRO".
using AmpRKM4PRO = AmpModel<Document::AmpRKM4PRO>;

} // namespace Zq::BorvanRAZ::Automation
