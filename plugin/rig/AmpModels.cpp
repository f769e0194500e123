#include "plugin/rig/AmpModels.h"

#include "plugin/rig/AmpControls.h"
#include "plugin/rig/DsmActivePreference.h"

#include "platform/CriticalSection.h"

namespace Zq::BorvanRAZ::Document {

using Application::DocView::RangeInt;

namespace {

// A head's controls in its list's order, each with its range, default and
// whether presets carry it.
template <class Head> void addControls(Head& head)
{
    for (const AmpControl<Head>& row : ampControls<Head>()) {
        auto& parameter = row.member.of(head);
        if (row.converter)
            head.addParameter(row.name, parameter, row.defaultValue, *row.range, *row.converter,
                              row.saved);
        else
            head.addParameter(row.name, parameter, row.defaultValue, *row.range, row.saved);
    }
}

} // namespace

TubeAmpModel::TubeAmpModel(platform::CriticalSection* documentLock) : documentLock_(documentLock)
{
    addParameter("DSMActive", dsmActive, 0.0f, RangeInt(0, 1), false);
}

TubeAmpModel::~TubeAmpModel() = default;

void TubeAmpModel::followPreference()
{
    DsmActivePreference* preference = findDsmActivePreference();
    if (!preference)
        return;
    // The preference changes on the UI thread, for every processor at once;
    // this document's automation worker or a state load may be at work on it
    // then, so the change waits for the document's lock. The lock is
    // recursive: the editor that made the change holds its own and goes on.
    preference_ = preference->getParameter().changed.connect([this](Parameter* changed) {
        const float value = changed->getValue();
        if (!documentLock_) {
            dsmActive.setValue(value, true);
            return;
        }
        platform::ScopedEnter guard(*documentLock_);
        dsmActive.setValue(value, true);
    });
    // Built under the document's lock by whoever switched the model.
    dsmActive.setValue(static_cast<float>(preference->current()), true);
}

AmpV9E::AmpV9E(platform::CriticalSection* documentLock) : TubeAmpModel(documentLock)
{
    addControls(*this);
    followPreference();
}

AmpV9E::~AmpV9E() = default;

AmpRKMClassic::AmpRKMClassic(platform::CriticalSection* documentLock) : TubeAmpModel(documentLock)
{
    addControls(*this);
    followPreference();
}

AmpRKMClassic::~AmpRKMClassic() = default;

AmpRE500::AmpRE500()
{
    addControls(*this);
}

AmpRE500::~AmpRE500() = default;

AmpRKM4PRO::AmpRKM4PRO()
{
    addControls(*this);
}

AmpRKM4PRO::~AmpRKM4PRO() = default;

} // namespace Zq::BorvanRAZ::Document
