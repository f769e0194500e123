#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/host/ModuleCreators.h"
#include "engine/modules/ModuleSelector.h"
#include "models/amps/power/PowerAmpFilterPost.h"
#include "models/amps/power/PowerAmpLevel0.h"
#include "models/amps/power/PowerAmpLevel1.h"

namespace AudioEngine::CX2 {

// The two levels of detail of a tube power amp, in the order of the "DSM"
// states: "Level0" = 0, "Level1" = 1.
template <class Traits> struct PowerAmpDSMSet : ModuleSelectorDetails::ModuleCreators {
    static constexpr const char* name = "DSM";
    PowerAmpDSMSet()
    {
        add<PowerAmpLevel0<typename Traits::L0Traits>>("Level0");
        add<PowerAmpLevel1<typename Traits::L1Traits>>("Level1");
    }
};

// Chooses the level of detail by "DSM" and carries the six settings over a
// switch. Both levels are built, and so prepared, with the selector, and a
// rate change reaches both through update; a switch only resets the new
// level (level 1 restarts its supply at its rest), so it never builds
// anything on the audio thread. The rest output it gives the post filter is
// the current level's.
template <class DSMSet>
class PowerAmpDSMSelector : public ModuleSelector<DSMSet>, public PowerAmpRestSource {
public:
    float getRestOutput() const noexcept override
    {
        return static_cast<const PowerAmpLevelBase*>(this->getCurrentElement())->getRestOutput();
    }
};

// A tube power amp, the last stage of a tube head: "In" through the level of
// detail that "DSM" selects ("PowerAmp") and the fixed post filter
// ("FilterPost") to "Out". It shows the selector's parameters under their own
// names: "DSM", "Volume", "GainPre", "GainPost", "Variac", "PlateCurrentGain",
// "ScreenCurrentGain", the same at either level.
//
// Traits: L0Traits, L1Traits (see the levels) and FilterPost.
template <class Traits> class PowerAmp : public ModuleMono {
public:
    using Selector = PowerAmpDSMSelector<PowerAmpDSMSet<Traits>>;
    using FilterPost = typename Traits::FilterPost;

    PowerAmp() : ModuleMono(ModuleInfo{0, "PowerAmp", ""}) {}

    void createSubModules() override
    {
        addSubModule<Selector>("PowerAmp");
        addSubModule<FilterPost>("FilterPost");
    }

    void createParameters() override { linkChildParameters("PowerAmp"); }

    void bindPorts() override
    {
        ModuleMono::bindPorts();
        getFilterPost().setRestSource(&getSelector());
    }

    Selector& getSelector() const { return static_cast<Selector&>(getSubModule("PowerAmp")); }
    FilterPost& getFilterPost() const
    {
        return static_cast<FilterPost&>(getSubModule("FilterPost"));
    }
};

} // namespace AudioEngine::CX2
