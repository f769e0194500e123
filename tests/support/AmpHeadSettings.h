#pragma once

// The amp heads' front-panel defaults as the rig's amp unit sends them (knobs
// 0..10 normalised, "Freq" 1..5 onto 0..4), by the names the amp chain exposes.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace amps {

// The values of "Model".
enum class Model { Empty = 0, RKMClassic = 1, RE500 = 2, RKM4Pro = 3, V9E = 4 };

// A head control by its exposed name: "<name>_0_AmpModule".
inline std::string ampName(std::string_view name)
{
    return std::string(name) + "_0_AmpModule";
}

using Settings = std::vector<std::pair<std::string, float>>;

// A knob of 0..10, a graphic-equaliser band of -range..+range, as the amp unit
// normalises them.
inline float knob(float v)
{
    return v / 10.0f;
}
inline float band(float v, float range)
{
    return (v + range) / (2.0f * range);
}

// Each model's defaults, by exposed name; "dsm" chooses the tube power amp's
// level of detail, "watts" the V9E's power mode.
inline Settings headDefaults(Model model, float dsm = 0.0f, float watts = 1.0f)
{
    switch (model) {
    case Model::RKMClassic:
        return {{"DSM", dsm},
                {"Gain", knob(5.234375f)},
                {"Bass", knob(5.078125f)},
                {"Treble", knob(5.703125f)},
                {"Mid", knob(5.0f)},
                {"Master", knob(4.921875f)},
                {"UltraHi", 0.0f},
                {"UltraLo", 0.0f},
                {"Frequency", 2.0f},
                {"GainAdjPre", 6.0f},
                {"GainAdjPwr", -16.0f},
                {"GainPrePwr", 0.0f},
                {"GainPostPwr", 0.0f},
                {"PlateCurrentGain", 1.0f},
                {"ScreenCurrentGain", 1.0f},
                {"Variac", 1.0f}};
    case Model::V9E:
        return {{"DSM", dsm},
                {"Gain", knob(4.53125f)},
                {"Bass", knob(5.625f)},
                {"Treble", knob(4.765625f)},
                {"Mid", knob(5.390625f)},
                {"Master", knob(3.203125f)},
                {"UltraHi", 0.0f},
                {"UltraLo", 0.0f},
                {"PowerMode", watts},
                {"Frequency", 1.0f},
                {"GainAdjPre", -1.0f},
                {"GainAdjPwr", -16.0f},
                {"GainPrePwr", 0.0f},
                {"GainPostPwr", 0.0f},
                {"PlateCurrentGain", 1.0f},
                {"ScreenCurrentGain", 1.0f},
                {"Variac", 1.0f}};
    case Model::RE500: {
        Settings s = {{"Pad", 0.0f},
                      {"LimitEnable", 1.0f},
                      {"GeqBypass", 0.0f},
                      {"Gain", knob(6.40625f)},
                      {"Bass", knob(5.078125f)},
                      {"Treble", knob(5.546875f)},
                      {"UltraMid", knob(5.0f)},
                      {"Master", knob(4.6875f)},
                      {"GainAdjPre", 0.0f},
                      {"PreClipperGainAdjust", -10.0f},
                      {"PwrAmpInGainAdjust", 9.0f},
                      {"LimitTreshold", 0.0f},
                      {"LimitResponsiveness", 10.0f}};
        for (int k = 0; k < 9; ++k)
            s.emplace_back("Band" + std::to_string(k), band(0.0f, 10.0f));
        return s;
    }
    case Model::RKM4Pro: {
        Settings s = {{"CompAmount", knob(1.171875f)},
                      {"LimitEnable", 1.0f},
                      {"Pad", 0.0f},
                      {"GeqBypass", 0.0f},
                      {"GeqGain", 0.0f},
                      {"Gain", knob(4.0625f)},
                      {"Bass", knob(5.546875f)},
                      {"Treble", knob(5.859375f)},
                      {"Mid", knob(4.921875f)},
                      {"Master", knob(4.375f)},
                      {"UltraHi", 0.0f},
                      {"UltraLo", 0.0f},
                      {"Frequency", 2.0f},
                      {"Bright", 0.0f},
                      {"CompLevel", 0.4f},
                      {"CompResponsiveness", 500.0f},
                      {"LimitResponsiveness", 500.0f},
                      {"CompVolume", 10.0f},
                      {"GainAdjPre1", 6.0f},
                      {"GainAdjPre2", 0.0f},
                      {"GainAdjPre3", 0.0f},
                      {"PreClipperGainAdjust", -11.0f},
                      {"PwrAmpInGainAdjust", -12.0f},
                      {"LimitTreshold", 0.0f}};
        for (int k = 0; k < 9; ++k)
            s.emplace_back("Band" + std::to_string(k), band(0.0f, 12.0f));
        return s;
    }
    case Model::Empty:
        break;
    }
    return {};
}

} // namespace amps
