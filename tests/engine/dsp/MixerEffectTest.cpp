#include "engine/dsp/ResonantCutoff.h"
#include "engine/dsp/RoomReverb.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

using mixer::MidiEvent;
using mixer::RoomReverbCX2;
using mixer::TRoomReverb;

namespace {

// Records every MIDI event before the effect handles it.
class RecordingReverb : public RoomReverbCX2 {
public:
    void handleMidiEvent(const MidiEvent& event) override
    {
        events.push_back(event);
        RoomReverbCX2::handleMidiEvent(event);
    }
    std::vector<MidiEvent> events;
};

class RecordingHost : public mixer::IEffectHost {
public:
    void setController(std::int32_t controller, std::int32_t value) override
    {
        calls.push_back({controller, value});
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> calls;
};

MidiEvent controlChange(std::uint8_t status, std::uint8_t controller, std::uint8_t value)
{
    MidiEvent event;
    event.data[0] = status;
    event.data[1] = controller;
    event.data[2] = value;
    return event;
}

} // namespace

TEST(MixerEffect, ControlsStartAtTheirDefaultsOver128WithTheirChangedFlagsSet)
{
    const TRoomReverb reverb;
    const mixer::TResonantCutoff cutoff(mixer::TResonantCutoff::kEnvelopeMode, 0);
    for (const mixer::CAutomatedEffect* effect :
         {static_cast<const mixer::CAutomatedEffect*>(&reverb),
          static_cast<const mixer::CAutomatedEffect*>(&cutoff)}) {
        const mixer::EffectDescriptor& d = effect->getDescriptor();
        ASSERT_EQ(effect->getControlCount(), d.controlCount);
        for (std::int32_t i = 0; i < d.controlCount; ++i) {
            const auto& c = effect->getControl(i);
            EXPECT_EQ(c.value, d.controls[i].defaultValue * 0.0078125f) << d.controls[i].name;
            EXPECT_EQ(c.controller, d.controls[i].controller);
            EXPECT_TRUE(c.changed);
        }
    }
    EXPECT_STREQ(reverb.getDescriptor().name, "Room Reverb");
    EXPECT_STREQ(cutoff.getDescriptor().name, "ResonantCutoff");
    EXPECT_EQ(reverb.getSampleRate(), 44100.0f);
}

TEST(MixerEffect, AControlChangeSetsItsControlAndMarksItChangedAndNothingElseDoes)
{
    TRoomReverb reverb;
    reverb.setFormat(44100.0f, 2, 2); // applies: every flag cleared
    for (std::int32_t i = 0; i < reverb.getControlCount(); ++i)
        ASSERT_FALSE(reverb.getControl(i).changed);

    reverb.handleMidiEvent(controlChange(0xB3, 104, 100)); // any MIDI channel
    EXPECT_EQ(reverb.getControl(TRoomReverb::kLevel).value, 100.0f / 128.0f);
    EXPECT_TRUE(reverb.getControl(TRoomReverb::kLevel).changed);

    // Not a control change, an unknown controller, a controller of the other effect.
    reverb.handleMidiEvent(controlChange(0x90, 89, 10));
    reverb.handleMidiEvent(controlChange(0xB0, 91, 10));
    reverb.handleMidiEvent(controlChange(0xB0, 21, 10));
    reverb.setController(89 + 256, 10); // would alias onto 89 as a byte
    reverb.setController(-1, 10);
    for (std::int32_t i = 0; i < reverb.getControlCount(); ++i) {
        if (i != TRoomReverb::kLevel) {
            EXPECT_FALSE(reverb.getControl(i).changed) << i;
        }
    }
    EXPECT_EQ(reverb.getControl(TRoomReverb::kTime).value, 40.0f / 128.0f);

    reverb.applyChangedParameters();
    EXPECT_FALSE(reverb.getControl(TRoomReverb::kLevel).changed) << "applying clears the flag";
    EXPECT_EQ(reverb.getLevelValue(), 100.0f / 128.0f);
}

TEST(MixerEffect, SetControllerSendsAControlChangeThroughTheMidiHandler)
{
    RecordingReverb reverb;
    reverb.setController(103, 77);
    reverb.setController(89, 500); // limited to a data byte's range
    reverb.setController(90, -3);
    ASSERT_EQ(reverb.events.size(), 3u);
    EXPECT_EQ(reverb.events[0].data[0], 0xB0);
    EXPECT_EQ(reverb.events[0].data[1], 103);
    EXPECT_EQ(reverb.events[0].data[2], 77);
    EXPECT_EQ(reverb.getControl(TRoomReverb::kSize).value, 77.0f / 128.0f);
    EXPECT_EQ(reverb.getControl(TRoomReverb::kTime).value, 127.0f / 128.0f);
    EXPECT_EQ(reverb.getControl(TRoomReverb::kColor).value, 0.0f);
}

TEST(MixerEffect, DisplayValuesAreTheMappedValuesTimes1000)
{
    TRoomReverb reverb;
    struct Case {
        std::int32_t controller;
        std::int32_t value;
        std::int32_t shown;
    };
    // Time 0.1 x 3^(2v) s, Color 11000 x 2^(-3.2 (1 - v)) Hz, Density and Level v,
    // Size 0.01 + 0.03 v s.
    const Case cases[] = {
        {89, 0, 100},   {89, 64, 300},  {90, 64, 3628646}, {90, 0, 1197007},
        {102, 64, 500}, {104, 32, 250}, {103, 0, 10},      {103, 64, 25},
    };
    for (const Case& c : cases) {
        reverb.setController(c.controller, c.value);
        EXPECT_NEAR(reverb.getDisplayValue(c.controller), c.shown, 1)
            << c.controller << " at " << c.value;
    }
    for (std::int32_t other : {0, 88, 91, 101, 105, 21})
        EXPECT_EQ(reverb.getDisplayValue(other), static_cast<std::int32_t>(0x80000002u)) << other;
}

TEST(MixerEffect, HostAutomationGoesToTheHostAndIsIgnoredWithoutOne)
{
    TRoomReverb reverb;
    reverb.setFormat(44100.0f, 2, 2);
    reverb.automateTime(1);
    reverb.automateLevel(5);
    for (std::int32_t i = 0; i < reverb.getControlCount(); ++i)
        EXPECT_FALSE(reverb.getControl(i).changed) << "without a host nothing moves";

    RecordingHost host;
    reverb.setHost(&host);
    reverb.automateTime(1);
    reverb.automateColor(2);
    reverb.automateDensity(3);
    reverb.automateSize(4);
    reverb.automateLevel(5);
    const std::vector<std::pair<std::int32_t, std::int32_t>> expected{
        {89, 1}, {90, 2}, {102, 3}, {103, 4}, {104, 5}};
    EXPECT_EQ(host.calls, expected);
}

TEST(MixerEffect, AFormatOutsideOneOrTwoChannelsOrAPositiveRateIsRefused)
{
    TRoomReverb reverb;
    EXPECT_THROW(reverb.setFormat(0.0f, 2, 2), std::invalid_argument);
    EXPECT_THROW(reverb.setFormat(std::numeric_limits<float>::quiet_NaN(), 2, 2),
                 std::invalid_argument);
    EXPECT_THROW(reverb.setFormat(std::numeric_limits<float>::infinity(), 2, 2),
                 std::invalid_argument);
    EXPECT_THROW(reverb.setFormat(44100.0f, 3, 2), std::invalid_argument);
    EXPECT_THROW(reverb.setFormat(44100.0f, 2, 0), std::invalid_argument);
    EXPECT_EQ(reverb.getSampleRate(), 44100.0f);
    EXPECT_EQ(reverb.getLevel(), 0.0f);
    EXPECT_EQ(reverb.query(1234), 1234u);
}
