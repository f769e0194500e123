#include "editor/panels/AmpModule.h"

#include <cmath>

#include "editor/panels/AmpHeads.h"
#include "editor/panels/Main.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

AmpHead headForModel(float ampModel) noexcept
{
    if (!std::isfinite(ampModel))
        return AmpHead::RKMClassic;
    switch (static_cast<long>(std::trunc(std::fmax(-1e6f, std::fmin(ampModel, 1e6f))))) {
    case 0:
        return AmpHead::RE500;
    case 1:
        return AmpHead::V9E;
    case 3:
        return AmpHead::RKM4PRO;
    default:
        return AmpHead::RKMClassic;
    }
}

AmpModule::AmpModule(Main& root, Application::GUI::Widget* parent) : Module(AmpId, root, parent, "")
{
    switch (headForModel(getDocument().getAmpModule().ampModel.getValue())) {
    case AmpHead::RE500:
        head_ = std::make_unique<AmpRE500>(root, parent);
        break;
    case AmpHead::V9E:
        head_ = std::make_unique<AmpV9E>(root, parent);
        break;
    case AmpHead::RKM4PRO:
        head_ = std::make_unique<AmpRKM4PRO>(root, parent);
        break;
    case AmpHead::RKMClassic:
        head_ = std::make_unique<AmpRKMClassic>(root, parent);
        break;
    }
    adoptSubPanel(head_.get());
}

AmpModule::~AmpModule() = default;

} // namespace Zq::BorvanRAZ::GUI
