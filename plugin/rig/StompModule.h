#pragma once

#include "plugin/rig/Module.h"

#include <array>
#include <memory>

namespace Zq::BorvanRAZ::Document {

// The six-slot stomp chain: one model selector per slot and the document of
// the model each slot holds, a sub-unit under the key "Stomp" + slot number.
// A slot's settings live as long as its model: choosing another model and
// then the first again starts the first from its defaults.
class StompModule : public MacroModule {
public:
    static constexpr int kSlotCount = 6;
    static constexpr int kModelCount = 9;
    // The selector values, saved by name; the order is the stomp chain's.
    static constexpr const char* kModelNames[kModelCount] = {
        "Empty",   "Overdrive",  "Octaver",        "CE-1",  "MemoryMan",
        "BassWah", "Compressor", "EnvelopeFilter", "Volume"};

    // "Stomp0" ... "Stomp5".
    std::array<Parameter, kSlotCount> stomps;

    StompModule();
    ~StompModule() override;

    // The model document in the slot; null for an empty slot and for a slot
    // number outside 0 ... 5.
    Module* getStomp(int slot) const;

    // The slot selector's change handler, connected before any view: replaces
    // the slot's document by a new one for the parameter's value (none for
    // "Empty" or a value outside the list). The replaced document stays alive,
    // unreachable, until this slot switches again or the module is destroyed:
    // views bound to it are unbound later in the same change notification, and
    // host text queries on other threads may still be reading it then.
    void setStompModel(int slot, Parameter* parameter);

private:
    std::array<std::unique_ptr<Module>, kSlotCount> models_;
    std::array<std::unique_ptr<Module>, kSlotCount> retired_;
};

} // namespace Zq::BorvanRAZ::Document
