#include "plugin/rig/StompModule.h"

#include "plugin/rig/StompModels.h"

#include <cmath>
#include <new>
#include <string>

namespace Zq::BorvanRAZ::Document {

namespace {

std::string slotKey(int slot)
{
    return "Stomp" + std::to_string(slot);
}

// The selector value as a whole number; 0 ("Empty") for NaN and for anything
// outside the list, so no value reaches an out-of-range conversion.
int selectorValue(float value)
{
    const double v = std::trunc(static_cast<double>(value));
    return v >= 0.0 && v < StompModule::kModelCount ? static_cast<int>(v) : 0;
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
        models_[slot] = createStompModel(selectorValue(parameter->getValue()));
    } catch (const std::bad_alloc&) {
        // The slot stays empty.
    }
    if (models_[slot])
        addSubUnit(key, models_[slot].get());
    // Whatever this slot retired last time is unbound everywhere by now.
    retired_[slot] = std::move(old);
}

} // namespace Zq::BorvanRAZ::Document
