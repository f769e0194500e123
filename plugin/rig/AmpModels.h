#pragma once

#include "plugin/rig/Module.h"

#include <boost/signals2/connection.hpp>

#include <array>

namespace platform {
class CriticalSection;
}

namespace Zq::BorvanRAZ::Document {

// The four amplifier heads' documents. Front-panel controls are saved; the
// voicing values (fixed per model) and the peak read-outs the engine writes
// are members only, so presets neither carry nor reset them. Each head's
// controls (names, defaults, ranges, host entries and DSP paths) stand in its
// list in AmpControls.cpp; the classes only hold the members.

// Base of the two tube heads, whose power amplifier has two detail levels.
// Their "DSMActive" follows the plug-in-wide preference of the same name for
// as long as the document lives. The controls both heads have are members
// here; each head's list gives them their names, defaults and order.
class TubeAmpModel : public Module {
public:
    Parameter dsmActive;
    Parameter gain;
    Parameter bass;
    Parameter mid;
    Parameter treble;
    Parameter master;
    Parameter freq; // mid frequency switch, 1 ... 5
    Parameter ultraHi;
    Parameter ultraLo;
    Parameter gainAdjPre;
    Parameter gainAdjPwr;
    Parameter gainPrePwr;
    Parameter gainPostPwr;
    Parameter plateCurrentGain;
    Parameter screenCurrentGain;
    Parameter variac;

    ~TubeAmpModel() override;

protected:
    // documentLock: the lock of the document this model belongs to, taken
    // around every change the preference brings (null for a model outside a
    // document).
    explicit TubeAmpModel(platform::CriticalSection* documentLock);
    // Connects to the preference and takes its value; called once the
    // model's own parameters are declared.
    void followPreference();

private:
    platform::CriticalSection* documentLock_;
    boost::signals2::scoped_connection preference_;
};

// "Q-9R".
class AmpV9E : public TubeAmpModel {
public:
    Parameter watts; // 0 50 W, 1 100 W

    explicit AmpV9E(platform::CriticalSection* documentLock = nullptr);
    ~AmpV9E() override;
};

// "RKM-CL".
class AmpRKMClassic : public TubeAmpModel {
public:
    explicit AmpRKMClassic(platform::CriticalSection* documentLock = nullptr);
    ~AmpRKMClassic() override;
};

// "GN-500".
class AmpRE500 : public Module {
public:
    static constexpr int kBandCount = 9;
    static constexpr const char* kBandNames[kBandCount] = {"Band40",   "Band80",   "Band150",
                                                           "Band300",  "Band600",  "Band900",
                                                           "Band2000", "Band5000", "Band9000"};

    Parameter master;
    Parameter pad;
    Parameter gain;
    Parameter bass;
    Parameter mid;
    Parameter treble;
    Parameter limit;
    Parameter eqBypass;
    std::array<Parameter, kBandCount> bands; // decibels
    Parameter preampPeak;
    Parameter gainAdjPre;
    Parameter preClipperGainAdjust;
    Parameter pwrAmpInGainAdjust;
    Parameter limitTreshold;
    Parameter limitResponsiveness;

    AmpRE500();
    ~AmpRE500() override;
};

// "RKM-4 PRO".
class AmpRKM4PRO : public Module {
public:
    static constexpr int kBandCount = 9;
    static constexpr const char* kBandNames[kBandCount] = {"Band33",   "Band80",   "Band150",
                                                           "Band300",  "Band600",  "Band900",
                                                           "Band2000", "Band5000", "Band8000"};

    Parameter minus15dB;
    Parameter gain;
    Parameter compression;
    Parameter ultraHi;
    Parameter ultraLo;
    Parameter bass;
    Parameter mid;
    Parameter treble;
    Parameter master;
    Parameter freq; // mid frequency switch, 1 ... 5
    Parameter limit;
    Parameter eqBypass;
    std::array<Parameter, kBandCount> bands; // decibels
    Parameter bandLevel;                     // linear gain after the equaliser
    Parameter bright;
    Parameter limitPeak;
    Parameter preampPeak;
    Parameter compLevel;
    Parameter compResponsiveness;
    Parameter limitResponsiveness;
    Parameter compVolume;
    Parameter gainAdjPre1;
    Parameter gainAdjPre2;
    Parameter gainAdjPre3;
    Parameter preClipperGainAdjust;
    Parameter pwrAmpInGainAdjust;
    Parameter limitTreshold;

    AmpRKM4PRO();
    ~AmpRKM4PRO() override;
};

} // namespace Zq::BorvanRAZ::Document
