#include "plugin/rig/AmpModule.h"

#include "plugin/docview/EnumIndex.h"
#include "plugin/rig/AmpModels.h"

#include <new>
#include <type_traits>

namespace Zq::BorvanRAZ::Document {

namespace {

constexpr const char* kModelKey = "AmpModel";

} // namespace

AmpModule::AmpModule(platform::CriticalSection* documentLock) : documentLock_(documentLock)
{
    addParameter(kModelKey, ampModel, kDefaultModel, kModelCount, kModelNames.data(), true);
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
        forEachAmpHead([this, index, &model](int number, const auto& head) {
            using Head = typename std::remove_cvref_t<decltype(head)>::Document;
            if (number != index || model)
                return;
            // The tube heads follow the plug-in-wide preference under the
            // document's lock.
            if constexpr (std::is_constructible_v<Head, platform::CriticalSection*>)
                model = std::make_unique<Head>(documentLock_);
            else
                model = std::make_unique<Head>();
        });
    } catch (const std::bad_alloc&) {
        // No current head until the next switch.
        return;
    }
    current_ = model.get();
    addSubUnit(kModelKey, current_);
}

} // namespace Zq::BorvanRAZ::Document
