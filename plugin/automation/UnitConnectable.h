#pragma once

#include "plugin/docview/UnitAutomation.h"
#include "plugin/docview/UnitDoc.h"
#include "plugin/rig/AmpControls.h"

#include <functional>
#include <vector>

namespace Zq::BorvanRAZ::Automation {

using Application::DocView::AdapterAutomation;
using Application::DocView::AutomationList;
using Application::DocView::Parameter;
using Application::DocView::UnitDoc;

// An automation unit for a model whose document comes and goes with the
// user's choices: its host parameters keep their indices while the unit is
// connected to the present model document, or to none.
class UnitConnectable : public Application::DocView::UnitAutomation {
public:
    using UnitAutomation::UnitAutomation;
    ~UnitConnectable() override;

    // Binds the unit's host parameters to the model document, or unbinds them
    // for null (and for a document of another model). Every bind and unbind
    // is reported to the host. Under the document lock.
    virtual void connect(UnitDoc* unit) = 0;
    virtual bool isConnected() = 0;
};

// Host parameters of a model unit with the way to each one's parameter in the
// model's document class.
template <class Doc> class ModelBindings {
public:
    using Getter = std::function<Parameter&(Doc&)>;

    void add(AdapterAutomation* adapter, Getter get) { rows_.push_back({adapter, get}); }

    void bind(Doc& document)
    {
        for (const Row& row : rows_)
            row.adapter->bind(&row.get(document));
    }
    void unbind()
    {
        for (const Row& row : rows_)
            row.adapter->unbind();
    }
    bool anyBound() const
    {
        for (const Row& row : rows_)
            if (row.adapter->isBound())
                return true;
        return false;
    }

private:
    struct Row {
        AdapterAutomation* adapter;
        Getter get;
    };
    std::vector<Row> rows_;
};

// The value names the units share.
using Document::kOffOn;
inline constexpr const char* kChorusVibrato[] = {"Chorus", "Vibrato"};

} // namespace Zq::BorvanRAZ::Automation
