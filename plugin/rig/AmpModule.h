#pragma once

#include "plugin/rig/AmpHeads.h"
#include "plugin/rig/Module.h"

#include <array>
#include <memory>

namespace platform {
class CriticalSection;
}

namespace Zq::BorvanRAZ::Document {

// The amplifier slot: the head selector and one document per head, created
// on the head's first selection and kept while the module lives, so every
// head keeps its settings across switches. The current head's document is the
// sub-unit "AmpModel"; presets carry only its settings.
class AmpModule : public MacroModule {
public:
    static constexpr int kModelCount = kAmpHeadCount;
    static constexpr int kDefaultModel = 2;
    static constexpr const std::array<const char*, kModelCount>& kModelNames =
        kAmpHeadDocumentNames;

    Parameter ampModel;

    // documentLock: the owning document's lock, handed to the heads that
    // follow the plug-in-wide preference (null outside a document).
    explicit AmpModule(platform::CriticalSection* documentLock = nullptr);
    ~AmpModule() override;

    // The current head's document; never null after construction unless
    // memory ran out while creating one.
    Module* getAmpModel() const { return current_; }

    // The selector's change handler, connected before any view and run once
    // at construction. A value outside the list selects "RKM-CL".
    void setAmpModel(Parameter* parameter);

private:
    platform::CriticalSection* documentLock_;
    std::array<std::unique_ptr<Module>, kModelCount> models_;
    Module* current_ = nullptr;
};

} // namespace Zq::BorvanRAZ::Document
