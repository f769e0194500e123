#include "plugin/rig/AmpModule.h"

#include "plugin/docview/EnumIndex.h"
#include "plugin/rig/AmpModels.h"

#include <new>

namespace Zq::BorvanRAZ::Document {

namespace {

constexpr const char* kModelKey = "AmpModel";

} // namespace

AmpModule::AmpModule(platform::CriticalSection* documentLock) : documentLock_(documentLock)
{
    addParameter(kModelKey, ampModel, kDefaultModel, kModelCount, kModelNames, true);
    ampModel.changed.connect([this](Parameter* parameter) { setAmpModel(parameter); });
    setAmpModel(&ampModel);
}

AmpModule::~AmpModule() = default;

void AmpModule::setAmpModel(Parameter* parameter)
{
    if (!parameter)
        return;
    if (current_)
        removeSubUnit(kModelKey);
    current_ = nullptr;
    const int index =
        Application::DocView::enumIndex(parameter->getValue(), kModelCount).value_or(kDefaultModel);
    std::unique_ptr<Module>& model = models_[index];
    try {
        if (!model) {
            switch (index) {
            case 0:
                model = std::make_unique<AmpRE500>();
                break;
            case 1:
                model = std::make_unique<AmpV9E>(documentLock_);
                break;
            case 2:
                model = std::make_unique<AmpRKMClassic>(documentLock_);
                break;
            default:
                model = std::make_unique<AmpRKM4PRO>();
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        // No current head until the next switch.
        return;
    }
    current_ = model.get();
    addSubUnit(kModelKey, current_);
}

} // namespace Zq::BorvanRAZ::Document
