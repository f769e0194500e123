#include "plugin/rig/StompModule.h"

#include "plugin/docview/EnumIndex.h"
#include "plugin/rig/StompModels.h"

#include <new>
#include <string>

namespace Zq::BorvanRAZ::Document {

namespace {

std::string slotKey(int slot)
{
    return "Stomp" + std::to_string(slot);
}

} // namespace

StompModule::StompModule()
{
    for (int slot = 0; slot < kSlotCount; ++slot) {
        addParameter(slotKey(slot), stomps[slot], 0, kModelCount, kModelNames, true);
        stomps[slot].changed.connect(
            [this, slot](Parameter* parameter) { setStompModel(slot, parameter); });
    }
}

// The slots' documents go with the members; the sub-unit table only points at them.
StompModule::~StompModule() = default;

Module* StompModule::getStomp(int slot) const
{
    return slot >= 0 && slot < kSlotCount ? models_[slot].get() : nullptr;
}

void StompModule::setStompModel(int slot, Parameter* parameter)
{
    if (slot < 0 || slot >= kSlotCount || !parameter)
        return;
    const std::string key = slotKey(slot);
    std::unique_ptr<Module> old = std::move(models_[slot]);
    if (old)
        removeSubUnit(key);
    try {
        // 0 ("Empty") for NaN and for anything outside the list.
        models_[slot] = createStompModel(
            Application::DocView::enumIndex(parameter->getValue(), kModelCount).value_or(0));
    } catch (const std::bad_alloc&) {
        // The slot stays empty.
    }
    if (models_[slot])
        addSubUnit(key, models_[slot].get());
    // Whatever this slot retired last time is unbound everywhere by now.
    retired_[slot] = std::move(old);
}

} // namespace Zq::BorvanRAZ::Document
