// Each head's names as the rig sends them ("<name>_0_AmpModule" through the
// change queue) reach the stage parameter behind them; the heads show those
// names and no others; the two LED readings cannot be set.

#include "tests/models/amps/AmpRig.h"

#include <gtest/gtest.h>

#include <set>

using namespace amps;

namespace {

struct Link {
    const char* name;
    std::vector<std::string_view> child;
    const char* target;
};

struct Head {
    Model model;
    std::vector<Link> links;
    std::vector<const char*> readOnly;
};

std::vector<Link> tubeLinks(std::string_view power)
{
    return {{"UltraHi", {"UltraHi"}, "UltraHi"},
            {"Gain", {"Gain"}, "Gain"},
            {"UltraLo", {"UltraLo"}, "UltraLo"},
            {"Bass", {"BaxandallToneEq"}, "Bass"},
            {"Treble", {"BaxandallToneEq"}, "Treble"},
            {"Mid", {"MidEq"}, "MidGain"},
            {"Frequency", {"MidEq"}, "MidFrequency"},
            {"GainAdjPre", {"LevelPreamp"}, "Gain"},
            {"GainAdjPwr", {"LevelPower"}, "Gain"},
            {"Master", {power}, "Volume"},
            {"Variac", {power}, "Variac"},
            {"PlateCurrentGain", {power}, "PlateCurrentGain"},
            {"ScreenCurrentGain", {power}, "ScreenCurrentGain"},
            {"GainPrePwr", {power}, "GainPre"},
            {"GainPostPwr", {power}, "GainPost"},
            {"DSM", {power}, "DSM"}};
}

// The solid-state heads' power amp and graphic equaliser show their own names.
void addSolidState(std::vector<Link>& links)
{
    static const char* const bands[] = {"Band0", "Band1", "Band2", "Band3", "Band4",
                                        "Band5", "Band6", "Band7", "Band8"};
    for (const char* band : bands)
        links.push_back({band, {"GraphicEq"}, band});
    links.push_back({"GeqGain", {"GraphicEq"}, "GeqGain"});
    links.push_back({"GeqBypass", {"GraphicEq"}, "GeqBypass"});
    links.push_back({"PwrAmpInGainAdjust", {"PowerAmp", "PwrAmpInGainAdjust"}, "Gain"});
    links.push_back({"Master", {"PowerAmp", "MasterVolume"}, "Gain"});
    links.push_back({"PreClipperGainAdjust", {"PowerAmp", "PreClipperGainAdjust"}, "Gain"});
    links.push_back({"LimitTreshold", {"PowerAmp", "Limiter"}, "Treshold"});
    links.push_back({"LimitEnable", {"PowerAmp", "Limiter"}, "Enable"});
    links.push_back({"LimitResponsiveness", {"PowerAmp", "Limiter"}, "Responsiveness"});
}

std::vector<Head> heads()
{
    Head classic{Model::RKMClassic, tubeLinks("PowerAmp"), {}};
    // The RKM Classic's power-amp names reach down to the current level.
    for (Link& link : classic.links)
        if (link.child == std::vector<std::string_view>{"PowerAmp"} &&
            std::string_view(link.name) != "DSM")
            link.child = {"PowerAmp", "PowerAmp"};

    Head v9e{Model::V9E, tubeLinks("PowerAmpSelector"), {}};
    v9e.links.push_back({"PowerMode", {"PowerAmpSelector"}, "PowerMode"});

    Head re500{Model::RE500,
               {{"GainAdjPre", {"LevelPreamp"}, "Gain"},
                {"Bass", {"BaxandallToneEq"}, "Bass"},
                {"Treble", {"BaxandallToneEq"}, "Treble"},
                {"UltraMid", {"UltraMid"}, "Mid"},
                {"Pad", {"Gain"}, "Pad"},
                {"Gain", {"Gain"}, "Gain"}},
               {"PreampPeak", "LimitPeak"}};
    addSolidState(re500.links);

    Head pro{Model::RKM4Pro,
             {{"UltraHi", {"UltraHi"}, "UltraHi"},
              {"Gain", {"Gain"}, "Gain"},
              {"CompAmount", {"Compressor"}, "Compression"},
              {"CompLevel", {"Compressor"}, "Level"},
              {"CompVolume", {"Compressor"}, "Volume"},
              {"CompResponsiveness", {"Compressor"}, "Responsiveness"},
              {"UltraLo", {"UltraLo"}, "UltraLo"},
              {"Bass", {"BaxandallToneEq"}, "Bass"},
              {"Treble", {"BaxandallToneEq"}, "Treble"},
              {"Mid", {"MidEq"}, "MidGain"},
              {"Frequency", {"MidEq"}, "MidFrequency"},
              {"GainAdjPre1", {"LevelPreamp1"}, "Gain"},
              {"GainAdjPre2", {"LevelPreamp2"}, "Gain"},
              {"GainAdjPre3", {"LevelPreamp3"}, "Gain"},
              {"Bright", {"Bright"}, "Bright"},
              {"Pad", {"PrefilterStage1"}, "Pad"}},
             {"PreampPeak", "LimitPeak"}};
    addSolidState(pro.links);
    return {classic, v9e, re500, pro};
}

// A value inside the target's range that it does not hold yet: another state,
// or a point a third of the way up the range.
float freshValue(ParameterBase& target)
{
    const float current = target.getValue();
    if (!target.getStates().empty())
        return current == target.getMaximum() ? target.getMinimum() : target.getMaximum();
    const float v = target.getMinimum() + 0.37f * (target.getMaximum() - target.getMinimum());
    return v == current ? target.getMinimum() : v;
}

} // namespace

TEST(AmpLinkTables, EveryExposedNameReachesItsStageThroughTheQueue)
{
    for (const Head& h : heads()) {
        AmpRig rig;
        rig.choose(h.model);
        rig.run(4096);
        Module& head = rig.head();

        std::set<std::string> expected(h.readOnly.begin(), h.readOnly.end());
        std::vector<std::pair<const Link*, float>> sent;
        for (const Link& link : h.links) {
            expected.insert(link.name);
            ParameterBase& target = subModule(head, link.child).getParameter(link.target);
            const float v = freshValue(target);
            rig.pushHead(link.name, v);
            sent.emplace_back(&link, v);
        }
        std::set<std::string> shown;
        for (const auto& [name, parameter] : head.getParameters())
            shown.insert(name);
        EXPECT_EQ(shown, expected) << int(h.model);

        rig.run(11025); // knobs slew over 0.1 s
        for (const auto& [link, v] : sent) {
            // Looked up again: a "DSM" or "PowerMode" switch makes another
            // stage current behind the same name.
            ParameterBase& target = subModule(rig.head(), link->child).getParameter(link->target);
            EXPECT_FLOAT_EQ(target.getValue(), v) << int(h.model) << " " << link->name;
            EXPECT_FLOAT_EQ(rig.headValue(link->name), v) << int(h.model) << " " << link->name;
        }
    }
}

TEST(AmpLinkTables, TheLedReadingsAreReadOnly)
{
    for (Model m : {Model::RE500, Model::RKM4Pro}) {
        AmpRig rig;
        rig.choose(m);
        for (const char* name : {"PreampPeak", "LimitPeak"}) {
            EXPECT_TRUE(rig.set().getParameter(ampName(name)).getFlags() & Parameter::kReadOnly)
                << name;
            rig.pushHead(name, 1.0f);
        }
        rig.run(4096);
        EXPECT_EQ(rig.headValue("PreampPeak"), 0.0f) << int(m);
        EXPECT_EQ(rig.headValue("LimitPeak"), 0.0f) << int(m);
    }
}
