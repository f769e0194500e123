#include "plugin/rig/AmpModels.h"

#include "plugin/rig/DsmActivePreference.h"

#include "platform/CriticalSection.h"

#include <cmath>

namespace Zq::BorvanRAZ::Document {

using Application::DocView::ConverterdBNorm;
using Application::DocView::RangeFloat;
using Application::DocView::RangeInt;

namespace {

// Knobs and switches of the heads.
RangeFloat knob()
{
    return RangeFloat(0.0f, 10.0f);
}
RangeInt onOff()
{
    return RangeInt(0, 1);
}
RangeInt midFrequency()
{
    return RangeInt(1, 5);
}
// Voicing gains in decibels, read-outs as linear peaks.
RangeFloat trimDb()
{
    return RangeFloat(-80.0f, 80.0f);
}
RangeFloat peak()
{
    return RangeFloat(0.0f, 100000.0f);
}
RangeFloat currentGain()
{
    return RangeFloat(0.0f, 10.0f);
}
RangeFloat mainsVoltage()
{
    return RangeFloat(0.5f, 1.5f);
}
RangeFloat limitThreshold()
{
    return RangeFloat(0.0f, 40.0f);
}
RangeFloat responsiveness()
{
    return RangeFloat(10.0f, 1000.0f);
}

} // namespace

TubeAmpModel::TubeAmpModel(platform::CriticalSection* documentLock) : documentLock_(documentLock)
{
    addParameter("DSMActive", dsmActive, 0.0f, onOff(), false);
}

TubeAmpModel::~TubeAmpModel() = default;

void TubeAmpModel::followPreference()
{
    DsmActivePreference* preference = findDsmActivePreference();
    if (!preference)
        return;
    // The preference changes on the UI thread, for every processor at once;
    // this document's automation worker or a state load may be at work on it
    // then, so the change waits for the document's lock. The lock is
    // recursive: the editor that made the change holds its own and goes on.
    preference_ = preference->getParameter().changed.connect([this](Parameter* changed) {
        const float value = changed->getValue();
        if (!documentLock_) {
            dsmActive.setValue(value, true);
            return;
        }
        platform::ScopedEnter guard(*documentLock_);
        dsmActive.setValue(value, true);
    });
    // Built under the document's lock by whoever switched the model.
    dsmActive.setValue(static_cast<float>(preference->current()), true);
}

AmpV9E::AmpV9E(platform::CriticalSection* documentLock) : TubeAmpModel(documentLock)
{
    addParameter("UltraHi", ultraHi, 0.0f, onOff(), true);
    addParameter("UltraLo", ultraLo, 0.0f, onOff(), true);
    addParameter("Gain", gain, 4.53125f, knob(), true);
    addParameter("Bass", bass, 5.625f, knob(), true);
    addParameter("Mid", mid, 5.390625f, knob(), true);
    addParameter("Freq", freq, 2.0f, midFrequency(), true);
    addParameter("Treble", treble, 4.765625f, knob(), true);
    addParameter("Master", master, 3.203125f, knob(), true);
    addParameter("Watts", watts, 1.0f, onOff(), true);
    addParameter("GainAdjPre", gainAdjPre, -1.0f, trimDb(), false);
    addParameter("GainAdjPwr", gainAdjPwr, -16.0f, trimDb(), false);
    addParameter("GainPrePwr", gainPrePwr, 0.0f, trimDb(), false);
    addParameter("GainPostPwr", gainPostPwr, 0.0f, trimDb(), false);
    addParameter("PlateCurrentGain", plateCurrentGain, 1.0f, currentGain(), false);
    addParameter("ScreenCurrentGain", screenCurrentGain, 1.0f, currentGain(), false);
    addParameter("Variac", variac, 1.0f, mainsVoltage(), false);
    followPreference();
}

AmpV9E::~AmpV9E() = default;

AmpRKMClassic::AmpRKMClassic(platform::CriticalSection* documentLock) : TubeAmpModel(documentLock)
{
    addParameter("Gain", gain, 5.234375f, knob(), true);
    addParameter("Bass", bass, 5.078125f, knob(), true);
    addParameter("Mid", mid, 5.0f, knob(), true);
    addParameter("Treble", treble, 5.703125f, knob(), true);
    addParameter("Master", master, 4.921875f, knob(), true);
    addParameter("Freq", freq, 3.0f, midFrequency(), true);
    addParameter("UltraHi", ultraHi, 0.0f, onOff(), true);
    addParameter("UltraLo", ultraLo, 0.0f, onOff(), true);
    addParameter("GainAdjPre", gainAdjPre, 6.0f, trimDb(), false);
    addParameter("GainAdjPwr", gainAdjPwr, -16.0f, trimDb(), false);
    addParameter("GainPrePwr", gainPrePwr, 0.0f, trimDb(), false);
    addParameter("GainPostPwr", gainPostPwr, 0.0f, trimDb(), false);
    addParameter("PlateCurrentGain", plateCurrentGain, 1.0f, currentGain(), false);
    addParameter("ScreenCurrentGain", screenCurrentGain, 1.0f, currentGain(), false);
    addParameter("Variac", variac, 1.0f, mainsVoltage(), false);
    followPreference();
}

AmpRKMClassic::~AmpRKMClassic() = default;

AmpRE500::AmpRE500()
{
    addParameter("Master", master, 4.6875f, knob(), true);
    addParameter("Pad", pad, 0.0f, onOff(), true);
    addParameter("Gain", gain, 6.40625f, knob(), true);
    addParameter("Bass", bass, 5.078125f, knob(), true);
    addParameter("Mid", mid, 5.0f, knob(), true);
    addParameter("Treble", treble, 5.546875f, knob(), true);
    addParameter("Limit", limit, 1.0f, onOff(), true);
    addParameter("EqBypass", eqBypass, 0.0f, onOff(), true);
    for (int band = 0; band < kBandCount; ++band)
        addParameter(kBandNames[band], bands[band], 0.0f, RangeFloat(-10.0f, 10.0f), true);
    addParameter("PreampPeak", preampPeak, 0.0f, peak(), false);
    addParameter("GainAdjPre", gainAdjPre, 0.0f, trimDb(), false);
    addParameter("PreClipperGainAdjust", preClipperGainAdjust, -10.0f, trimDb(), false);
    addParameter("PwrAmpInGainAdjust", pwrAmpInGainAdjust, 9.0f, trimDb(), false);
    addParameter("LimitTreshold", limitTreshold, 0.0f, limitThreshold(), false);
    addParameter("LimitResponsiveness", limitResponsiveness, 10.0f, responsiveness(), false);
}

AmpRE500::~AmpRE500() = default;

AmpRKM4PRO::AmpRKM4PRO()
{
    addParameter("Minus15dB", minus15dB, 0.0f, onOff(), true);
    addParameter("Gain", gain, 4.0625f, knob(), true);
    addParameter("Compression", compression, 1.171875f, knob(), true);
    addParameter("UltraHi", ultraHi, 0.0f, onOff(), true);
    addParameter("UltraLo", ultraLo, 0.0f, onOff(), true);
    addParameter("Bass", bass, 5.546875f, knob(), true);
    addParameter("Mid", mid, 4.921875f, knob(), true);
    addParameter("Treble", treble, 5.859375f, knob(), true);
    addParameter("Master", master, 4.375f, knob(), true);
    addParameter("Freq", freq, 3.0f, midFrequency(), true);
    addParameter("Limit", limit, 1.0f, onOff(), true);
    addParameter("EqBypass", eqBypass, 0.0f, onOff(), true);
    for (int band = 0; band < kBandCount; ++band)
        addParameter(kBandNames[band], bands[band], 0.0f, RangeFloat(-12.0f, 12.0f), true);
    // The level after the equaliser spans +-12 dB around unity.
    addParameter("BandLevel", bandLevel, 1.0f,
                 RangeFloat(static_cast<float>(std::pow(10.0, -0.6)),
                            static_cast<float>(std::pow(10.0, 0.6))),
                 ConverterdBNorm(-12.0f, 12.0f), true);
    addParameter("Bright", bright, 0.0f, onOff(), true);
    addParameter("LimitPeak", limitPeak, 0.0f, peak(), false);
    addParameter("PreampPeak", preampPeak, 0.0f, peak(), false);
    addParameter("CompLevel", compLevel, 0.4f, RangeFloat(-40.0f, 1.0f), false);
    addParameter("CompResponsiveness", compResponsiveness, 500.0f, responsiveness(), false);
    addParameter("LimitResponsiveness", limitResponsiveness, 500.0f, responsiveness(), false);
    addParameter("CompVolume", compVolume, 10.0f, RangeFloat(-40.0f, 40.0f), false);
    addParameter("GainAdjPre1", gainAdjPre1, 6.0f, trimDb(), false);
    addParameter("GainAdjPre2", gainAdjPre2, 0.0f, trimDb(), false);
    addParameter("GainAdjPre3", gainAdjPre3, 0.0f, trimDb(), false);
    addParameter("PreClipperGainAdjust", preClipperGainAdjust, -11.0f, trimDb(), false);
    addParameter("PwrAmpInGainAdjust", pwrAmpInGainAdjust, -12.0f, trimDb(), false);
    addParameter("LimitTreshold", limitTreshold, 0.0f, limitThreshold(), false);
}

AmpRKM4PRO::~AmpRKM4PRO() = default;

} // namespace Zq::BorvanRAZ::Document
