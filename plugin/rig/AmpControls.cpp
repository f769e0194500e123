#include "plugin/rig/AmpControls.h"

#include "plugin/rig/AmpModels.h"

#include <cmath>

namespace Zq::BorvanRAZ::Document {

using Application::DocView::ConverterdB;
using Application::DocView::ConverterdBNorm;
using Application::DocView::ConverterLinear;
using Application::DocView::ConverterNorm;
using Application::DocView::RangeFloat;
using Application::DocView::RangeInt;

namespace {

// The documents' ranges and the DSP's scales the lists point at, built on
// first use so that a document built during static start-up finds them.
struct Scales {
    // Knobs and switches of the heads.
    RangeFloat knob{0.0f, 10.0f};
    RangeInt onOff{0, 1};
    RangeInt midFrequency{1, 5};
    // Voicing gains in decibels, read-outs as linear peaks.
    RangeFloat trimDb{-80.0f, 80.0f};
    RangeFloat peak{0.0f, 100000.0f};
    RangeFloat currentGain{0.0f, 10.0f};
    RangeFloat mainsVoltage{0.5f, 1.5f};
    RangeFloat limitThreshold{0.0f, 40.0f};
    RangeFloat responsiveness{10.0f, 1000.0f};
    RangeFloat compLevel{-40.0f, 1.0f};
    RangeFloat compVolume{-40.0f, 40.0f};
    RangeFloat band10{-10.0f, 10.0f};
    RangeFloat band12{-12.0f, 12.0f};
    // The level after the equaliser spans +-12 dB around unity.
    RangeFloat bandLevel{static_cast<float>(std::pow(10.0, -0.6)),
                         static_cast<float>(std::pow(10.0, 0.6))};
    ConverterdBNorm bandLevelDb{-12.0f, 12.0f};

    // A knob of 0 ... 10 onto the DSP's 0 ... 1.
    ConverterNorm knobToDsp{0.0f, 10.0f};
    // The mid-frequency switch 1 ... 5 onto the DSP's 0 ... 4.
    ConverterLinear midFrequencyToDsp{1.0f, 5.0f, 0.0f, 4.0f};
    ConverterdB decibelsToDsp;
    ConverterNorm band10ToDsp{-10.0f, 10.0f};
    ConverterNorm band12ToDsp{-12.0f, 12.0f};
};

const Scales& scales()
{
    static const Scales instance;
    return instance;
}

using Parameter = Application::DocView::Parameter;
using Host = AmpControlHost;
using Kind = AmpControlHost::Kind;

constexpr Host number(int position, const char* name, int precision = 1)
{
    return {Kind::Number, position, name, precision};
}
constexpr Host decibels(int position, const char* name, int precision)
{
    return {Kind::Decibel, position, name, precision};
}
template <std::size_t N>
constexpr Host choice(int position, const char* name, const char* const (&valueNames)[N])
{
    return {Kind::Enum, position, name, 0, "", valueNames, static_cast<int>(N)};
}
constexpr Host noHost{};

constexpr AmpControlEngine dsp(int position, const char* path,
                               const Application::DocView::Converter* converter = nullptr)
{
    return {position, path, converter, false};
}
constexpr AmpControlEngine readBack(int position, const char* path)
{
    return {position, path, nullptr, true};
}

// A member of the head's class or of a base it shares with other heads.
template <class Owner> struct OwnMember {
    Parameter Owner::*member;
    template <class Head> constexpr operator AmpControlMember<Head>() const
    {
        return {static_cast<Parameter Head::*>(member)};
    }
};
template <class Owner> constexpr OwnMember<Owner> own(Parameter Owner::*member)
{
    return {member};
}

constexpr const char* kWatts[] = {"50W", "100W"};
constexpr const char* kEngineBands[] = {"Band0", "Band1", "Band2", "Band3", "Band4",
                                        "Band5", "Band6", "Band7", "Band8"};

// Band k of a graphic equaliser: saved in decibels, shown whole to the host.
template <class Head>
AmpControl<Head> band(int k, const RangeFloat& range, const char* hostName, int hostPosition,
                      const ConverterNorm& toDsp, int enginePosition)
{
    static_assert(Head::kBandCount == std::size(kEngineBands));
    return {Head::kBandNames[k],
            {nullptr, &Head::bands, k},
            0.0f,
            &range,
            nullptr,
            true,
            {Kind::Number, hostPosition, hostName, 0, "dB"},
            dsp(enginePosition, kEngineBands[k], &toDsp)};
}

} // namespace

// Some host names read the opposite of what the switch does ("EQ On" on
// "EqBypass", "Limit Defeat" on "Limit"): hosts know the parameters by these
// names, so they stay.

template <> std::span<const AmpControl<AmpV9E>> ampControls<AmpV9E>()
{
    using H = AmpV9E;
    const Scales& s = scales();
    static const AmpControl<H> rows[] = {
        {"UltraHi", own(&H::ultraHi), 0.0f, &s.onOff, nullptr, true, choice(0, "UltraHi", kOffOn),
         dsp(5, "UltraHi")},
        {"UltraLo", own(&H::ultraLo), 0.0f, &s.onOff, nullptr, true, choice(1, "UltraLo", kOffOn),
         dsp(6, "UltraLo")},
        {"Gain", own(&H::gain), 4.53125f, &s.knob, nullptr, true, number(2, "Gain"),
         dsp(0, "Gain", &s.knobToDsp)},
        {"Bass", own(&H::bass), 5.625f, &s.knob, nullptr, true, number(3, "Bass"),
         dsp(1, "Bass", &s.knobToDsp)},
        {"Mid", own(&H::mid), 5.390625f, &s.knob, nullptr, true, number(4, "Mid"),
         dsp(3, "Mid", &s.knobToDsp)},
        {"Freq", own(&H::freq), 2.0f, &s.midFrequency, nullptr, true, number(5, "Frequency", 0),
         dsp(8, "Frequency", &s.midFrequencyToDsp)},
        {"Treble", own(&H::treble), 4.765625f, &s.knob, nullptr, true, number(6, "Treble"),
         dsp(2, "Treble", &s.knobToDsp)},
        {"Master", own(&H::master), 3.203125f, &s.knob, nullptr, true, number(7, "Master"),
         dsp(4, "Master", &s.knobToDsp)},
        {"Watts", own(&H::watts), 1.0f, &s.onOff, nullptr, true, choice(8, "PowerMode", kWatts),
         dsp(7, "PowerMode")},
        {"GainAdjPre", own(&H::gainAdjPre), -1.0f, &s.trimDb, nullptr, false, noHost,
         dsp(9, "GainAdjPre")},
        {"GainAdjPwr", own(&H::gainAdjPwr), -16.0f, &s.trimDb, nullptr, false, noHost,
         dsp(10, "GainAdjPwr")},
        {"GainPrePwr", own(&H::gainPrePwr), 0.0f, &s.trimDb, nullptr, false, noHost,
         dsp(11, "GainPrePwr")},
        {"GainPostPwr", own(&H::gainPostPwr), 0.0f, &s.trimDb, nullptr, false, noHost,
         dsp(12, "GainPostPwr")},
        {"PlateCurrentGain", own(&H::plateCurrentGain), 1.0f, &s.currentGain, nullptr, false,
         noHost, dsp(13, "PlateCurrentGain")},
        {"ScreenCurrentGain", own(&H::screenCurrentGain), 1.0f, &s.currentGain, nullptr, false,
         noHost, dsp(14, "ScreenCurrentGain")},
        {"Variac", own(&H::variac), 1.0f, &s.mainsVoltage, nullptr, false, noHost,
         dsp(15, "Variac")},
    };
    return rows;
}

template <> std::span<const AmpControl<AmpRKMClassic>> ampControls<AmpRKMClassic>()
{
    using H = AmpRKMClassic;
    const Scales& s = scales();
    static const AmpControl<H> rows[] = {
        {"Gain", own(&H::gain), 5.234375f, &s.knob, nullptr, true, number(0, "Gain"),
         dsp(0, "Gain", &s.knobToDsp)},
        {"Bass", own(&H::bass), 5.078125f, &s.knob, nullptr, true, number(3, "Bass"),
         dsp(1, "Bass", &s.knobToDsp)},
        {"Mid", own(&H::mid), 5.0f, &s.knob, nullptr, true, number(4, "Midrange"),
         dsp(3, "Mid", &s.knobToDsp)},
        {"Treble", own(&H::treble), 5.703125f, &s.knob, nullptr, true, number(6, "Treble"),
         dsp(2, "Treble", &s.knobToDsp)},
        {"Master", own(&H::master), 4.921875f, &s.knob, nullptr, true, number(7, "Master"),
         dsp(4, "Master", &s.knobToDsp)},
        {"Freq", own(&H::freq), 3.0f, &s.midFrequency, nullptr, true, number(5, "Frequency", 0),
         dsp(7, "Frequency", &s.midFrequencyToDsp)},
        {"UltraHi", own(&H::ultraHi), 0.0f, &s.onOff, nullptr, true, choice(1, "UltraHi", kOffOn),
         dsp(5, "UltraHi")},
        {"UltraLo", own(&H::ultraLo), 0.0f, &s.onOff, nullptr, true, choice(2, "UltraLo", kOffOn),
         dsp(6, "UltraLo")},
        {"GainAdjPre", own(&H::gainAdjPre), 6.0f, &s.trimDb, nullptr, false, noHost,
         dsp(8, "GainAdjPre")},
        {"GainAdjPwr", own(&H::gainAdjPwr), -16.0f, &s.trimDb, nullptr, false, noHost,
         dsp(9, "GainAdjPwr")},
        {"GainPrePwr", own(&H::gainPrePwr), 0.0f, &s.trimDb, nullptr, false, noHost,
         dsp(10, "GainPrePwr")},
        {"GainPostPwr", own(&H::gainPostPwr), 0.0f, &s.trimDb, nullptr, false, noHost,
         dsp(11, "GainPostPwr")},
        {"PlateCurrentGain", own(&H::plateCurrentGain), 1.0f, &s.currentGain, nullptr, false,
         noHost, dsp(12, "PlateCurrentGain")},
        {"ScreenCurrentGain", own(&H::screenCurrentGain), 1.0f, &s.currentGain, nullptr, false,
         noHost, dsp(13, "ScreenCurrentGain")},
        {"Variac", own(&H::variac), 1.0f, &s.mainsVoltage, nullptr, false, noHost,
         dsp(14, "Variac")},
    };
    return rows;
}

template <> std::span<const AmpControl<AmpRE500>> ampControls<AmpRE500>()
{
    using H = AmpRE500;
    const Scales& s = scales();
    static const AmpControl<H> rows[] = {
        {"Master", own(&H::master), 4.6875f, &s.knob, nullptr, true, number(5, "Master"),
         dsp(16, "Master", &s.knobToDsp)},
        {"Pad", own(&H::pad), 0.0f, &s.onOff, nullptr, true, choice(0, "Pad", kOffOn),
         dsp(0, "Pad")},
        {"Gain", own(&H::gain), 6.40625f, &s.knob, nullptr, true, number(1, "Gain"),
         dsp(12, "Gain", &s.knobToDsp)},
        {"Bass", own(&H::bass), 5.078125f, &s.knob, nullptr, true, number(2, "Bass"),
         dsp(13, "Bass", &s.knobToDsp)},
        {"Mid", own(&H::mid), 5.0f, &s.knob, nullptr, true, number(3, "Ultra Mid"),
         dsp(15, "UltraMid", &s.knobToDsp)},
        {"Treble", own(&H::treble), 5.546875f, &s.knob, nullptr, true, number(4, "Treble"),
         dsp(14, "Treble", &s.knobToDsp)},
        {"Limit", own(&H::limit), 1.0f, &s.onOff, nullptr, true, choice(6, "Limit", kOffOn),
         dsp(1, "LimitEnable")},
        {"EqBypass", own(&H::eqBypass), 0.0f, &s.onOff, nullptr, true, choice(7, "EQ On", kOffOn),
         dsp(2, "GeqBypass")},
        band<H>(0, s.band10, "Band 40Hz", 8, s.band10ToDsp, 3),
        band<H>(1, s.band10, "Band 80Hz", 9, s.band10ToDsp, 4),
        band<H>(2, s.band10, "Band 150Hz", 10, s.band10ToDsp, 5),
        band<H>(3, s.band10, "Band 300Hz", 11, s.band10ToDsp, 6),
        band<H>(4, s.band10, "Band 600Hz", 12, s.band10ToDsp, 7),
        band<H>(5, s.band10, "Band 900Hz", 13, s.band10ToDsp, 8),
        band<H>(6, s.band10, "Band 2KHz", 14, s.band10ToDsp, 9),
        band<H>(7, s.band10, "Band 5KHz", 15, s.band10ToDsp, 10),
        band<H>(8, s.band10, "Band 9KHz", 16, s.band10ToDsp, 11),
        {"PreampPeak", own(&H::preampPeak), 0.0f, &s.peak, nullptr, false, noHost,
         readBack(17, "PreampPeak")},
        {"GainAdjPre", own(&H::gainAdjPre), 0.0f, &s.trimDb, nullptr, false, noHost,
         dsp(18, "GainAdjPre")},
        {"PreClipperGainAdjust", own(&H::preClipperGainAdjust), -10.0f, &s.trimDb, nullptr, false,
         noHost, dsp(19, "PreClipperGainAdjust")},
        {"PwrAmpInGainAdjust", own(&H::pwrAmpInGainAdjust), 9.0f, &s.trimDb, nullptr, false, noHost,
         dsp(20, "PwrAmpInGainAdjust")},
        {"LimitTreshold", own(&H::limitTreshold), 0.0f, &s.limitThreshold, nullptr, false, noHost,
         dsp(21, "LimitTreshold")},
        {"LimitResponsiveness", own(&H::limitResponsiveness), 10.0f, &s.responsiveness, nullptr,
         false, noHost, dsp(22, "LimitResponsiveness")},
    };
    return rows;
}

template <> std::span<const AmpControl<AmpRKM4PRO>> ampControls<AmpRKM4PRO>()
{
    using H = AmpRKM4PRO;
    const Scales& s = scales();
    static const AmpControl<H> rows[] = {
        {"Minus15dB", own(&H::minus15dB), 0.0f, &s.onOff, nullptr, true, choice(0, "-15dB", kOffOn),
         dsp(4, "Pad")},
        {"Gain", own(&H::gain), 4.0625f, &s.knob, nullptr, true, number(1, "Gain"),
         dsp(16, "Gain", &s.knobToDsp)},
        {"Compression", own(&H::compression), 1.171875f, &s.knob, nullptr, true,
         number(2, "Compression"), dsp(0, "CompAmount", &s.knobToDsp)},
        {"UltraHi", own(&H::ultraHi), 0.0f, &s.onOff, nullptr, true, choice(3, "UltraHi", kOffOn),
         dsp(21, "UltraHi")},
        {"UltraLo", own(&H::ultraLo), 0.0f, &s.onOff, nullptr, true, choice(4, "UltraLo", kOffOn),
         dsp(22, "UltraLo")},
        {"Bass", own(&H::bass), 5.546875f, &s.knob, nullptr, true, number(5, "Bass"),
         dsp(17, "Bass", &s.knobToDsp)},
        {"Mid", own(&H::mid), 4.921875f, &s.knob, nullptr, true, number(6, "Midrange"),
         dsp(19, "Mid", &s.knobToDsp)},
        {"Treble", own(&H::treble), 5.859375f, &s.knob, nullptr, true, number(8, "Treble"),
         dsp(18, "Treble", &s.knobToDsp)},
        {"Master", own(&H::master), 4.375f, &s.knob, nullptr, true, number(11, "Master"),
         dsp(20, "Master", &s.knobToDsp)},
        {"Freq", own(&H::freq), 3.0f, &s.midFrequency, nullptr, true, number(7, "Frequency", 0),
         dsp(23, "Frequency", &s.midFrequencyToDsp)},
        {"Limit", own(&H::limit), 1.0f, &s.onOff, nullptr, true, choice(9, "Limit Defeat", kOffOn),
         dsp(1, "LimitEnable")},
        {"EqBypass", own(&H::eqBypass), 0.0f, &s.onOff, nullptr, true,
         choice(12, "Eq Active", kOffOn), dsp(5, "GeqBypass")},
        band<H>(0, s.band12, "Band 33Hz", 13, s.band12ToDsp, 7),
        band<H>(1, s.band12, "Band 80Hz", 14, s.band12ToDsp, 8),
        band<H>(2, s.band12, "Band 150Hz", 15, s.band12ToDsp, 9),
        band<H>(3, s.band12, "Band 300Hz", 16, s.band12ToDsp, 10),
        band<H>(4, s.band12, "Band 600Hz", 17, s.band12ToDsp, 11),
        band<H>(5, s.band12, "Band 900Hz", 18, s.band12ToDsp, 12),
        band<H>(6, s.band12, "Band 2KHz", 19, s.band12ToDsp, 13),
        band<H>(7, s.band12, "Band 5KHz", 20, s.band12ToDsp, 14),
        band<H>(8, s.band12, "Band 8KHz", 21, s.band12ToDsp, 15),
        {"BandLevel", own(&H::bandLevel), 1.0f, &s.bandLevel, &s.bandLevelDb, true,
         decibels(22, "Eq Level", 0), dsp(6, "GeqGain", &s.decibelsToDsp)},
        {"Bright", own(&H::bright), 0.0f, &s.onOff, nullptr, true, choice(10, "Bright", kOffOn),
         dsp(24, "Bright")},
        {"LimitPeak", own(&H::limitPeak), 0.0f, &s.peak, nullptr, false, noHost,
         readBack(3, "LimitPeak")},
        {"PreampPeak", own(&H::preampPeak), 0.0f, &s.peak, nullptr, false, noHost,
         readBack(2, "PreampPeak")},
        {"CompLevel", own(&H::compLevel), 0.4f, &s.compLevel, nullptr, false, noHost,
         dsp(25, "CompLevel")},
        {"CompResponsiveness", own(&H::compResponsiveness), 500.0f, &s.responsiveness, nullptr,
         false, noHost, dsp(26, "CompResponsiveness")},
        {"LimitResponsiveness", own(&H::limitResponsiveness), 500.0f, &s.responsiveness, nullptr,
         false, noHost, dsp(27, "LimitResponsiveness")},
        {"CompVolume", own(&H::compVolume), 10.0f, &s.compVolume, nullptr, false, noHost,
         dsp(28, "CompVolume")},
        {"GainAdjPre1", own(&H::gainAdjPre1), 6.0f, &s.trimDb, nullptr, false, noHost,
         dsp(29, "GainAdjPre1")},
        {"GainAdjPre2", own(&H::gainAdjPre2), 0.0f, &s.trimDb, nullptr, false, noHost,
         dsp(30, "GainAdjPre2")},
        {"GainAdjPre3", own(&H::gainAdjPre3), 0.0f, &s.trimDb, nullptr, false, noHost,
         dsp(31, "GainAdjPre3")},
        {"PreClipperGainAdjust", own(&H::preClipperGainAdjust), -11.0f, &s.trimDb, nullptr, false,
         noHost, dsp(32, "PreClipperGainAdjust")},
        {"PwrAmpInGainAdjust", own(&H::pwrAmpInGainAdjust), -12.0f, &s.trimDb, nullptr, false,
         noHost, dsp(33, "PwrAmpInGainAdjust")},
        {"LimitTreshold", own(&H::limitTreshold), 0.0f, &s.limitThreshold, nullptr, false, noHost,
         dsp(34, "LimitTreshold")},
    };
    return rows;
}

} // namespace Zq::BorvanRAZ::Document
