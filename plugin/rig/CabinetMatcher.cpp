#include "plugin/rig/CabinetMatcher.h"

#include "plugin/docview/EnumIndex.h"
#include "plugin/rig/AmpModule.h"
#include "plugin/rig/CabModule.h"

namespace Zq::BorvanRAZ::Document {

CabinetMatcher::CabinetMatcher(AmpModule& amp, CabModule& cab) : amp_(amp), cab_(cab)
{
    ampChanged_ = amp_.ampModel.changed.connect([this](auto*) { match(); });
    matchChanged_ = cab_.cabinetMatch.changed.connect([this](auto*) { match(); });
}

void CabinetMatcher::match()
{
    if (cab_.cabinetMatch.getValue() == 0.0f)
        return;
    // The selector's range keeps it whole and within the table; anything else
    // (a NaN included) matches nothing.
    const auto head =
        Application::DocView::enumIndex(amp_.ampModel.getValue(), AmpModule::kModelCount);
    if (!head)
        return;
    cab_.cabinetModel.setValue(static_cast<float>(kCabinetForAmp[*head]), true);
}

} // namespace Zq::BorvanRAZ::Document
