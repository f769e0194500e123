#include "plugin/rig/CabinetMatcher.h"

#include "plugin/rig/AmpModule.h"
#include "plugin/rig/CabModule.h"

#include <cmath>

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
    const double head = std::trunc(static_cast<double>(amp_.ampModel.getValue()));
    if (!(head >= 0.0 && head < AmpModule::kModelCount))
        return;
    cab_.cabinetModel.setValue(static_cast<float>(kCabinetForAmp[static_cast<int>(head)]), true);
}

} // namespace Zq::BorvanRAZ::Document
