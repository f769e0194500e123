#include "host/app/vphoKeyboardMidi.h"
#include "host/app/vphoMidiRing.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using Bytes = std::array<int, 4>;

std::vector<Bytes> drainAll(vphoMidiRing& ring)
{
    static Zq::DUZ2::MidiEvent batch[vphoMidiRing::kEntries];
    const int n = ring.drain(batch, vphoMidiRing::kEntries);
    std::vector<Bytes> out;
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(batch[i].deltaFrames, i) << "events numbered in arrival order";
        out.push_back({batch[i].data[0], batch[i].data[1], batch[i].data[2], batch[i].data[3]});
    }
    return out;
}

TEST(MidiRing, messagesOfOneToFourBytesPassAndTheRestIsZeroed)
{
    vphoMidiRing ring;
    const std::uint8_t sysex[6] = {0xF0, 1, 2, 3, 4, 0xF7};
    const std::uint8_t noteOn[3] = {0x90, 60, 100};
    const std::uint8_t clock[1] = {0xF8};
    const std::uint8_t four[4] = {1, 2, 3, 4};
    EXPECT_FALSE(ring.push(sysex, 6)) << "longer than 4 bytes takes no entry";
    EXPECT_FALSE(ring.push(sysex, 5));
    EXPECT_FALSE(ring.push(noteOn, 0));
    EXPECT_TRUE(ring.push(noteOn, 3));
    EXPECT_TRUE(ring.push(clock, 1));
    EXPECT_TRUE(ring.push(four, 4));
    EXPECT_EQ(drainAll(ring),
              (std::vector<Bytes>{{0x90, 60, 100, 0}, {0xF8, 0, 0, 0}, {1, 2, 3, 4}}));
    EXPECT_TRUE(drainAll(ring).empty());
}

TEST(MidiRing, aFullRingKeepsWhatItHoldsAndDropsTheNewest)
{
    vphoMidiRing ring;
    int accepted = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::uint8_t cc[3] = {0xB0, 7, static_cast<std::uint8_t>(i % 128)};
        accepted += ring.push(cc, 3) ? 1 : 0;
    }
    EXPECT_EQ(accepted, vphoMidiRing::kEntries - 1);
    const auto delivered = drainAll(ring);
    ASSERT_EQ(delivered.size(), static_cast<std::size_t>(accepted))
        << "a lapped reader would see an empty ring";
    for (int i = 0; i < accepted; ++i)
        ASSERT_EQ(delivered[static_cast<std::size_t>(i)][2], i % 128) << "the oldest come first";
    // Room again after the drain, across the wrap of the indices.
    const std::uint8_t cc[3] = {0xB0, 1, 5};
    EXPECT_TRUE(ring.push(cc, 3));
    EXPECT_EQ(drainAll(ring), (std::vector<Bytes>{{0xB0, 1, 5, 0}}));
}

// The keyboard's messages as the window would queue them.
struct KeyboardFixture {
    std::vector<std::vector<int>> sent;
    vphoKeyboardMidi keys{[this](const std::uint8_t* b, int n) { sent.emplace_back(b, b + n); }};
};

TEST(KeyboardMidi, theKeyTable)
{
    using Action = vphoKeyboardMidi::Action;
    const struct {
        std::string name;
        std::vector<int> characters; // negative: the release of that code
        std::vector<std::vector<int>> messages;
        Action lastAction;
        int octave;
    } cases[] = {
        {"'a' at octave 3 is note 60, released with velocity 0",
         {'a', -'a'},
         {{144, 60, 100}, {144, 60, 0}},
         Action::none,
         3},
        {"'p' is the 16th key", {'p'}, {{144, 75, 100}}, Action::none, 3},
        {"'m' is the modulation wheel", {'m', -'m'}, {{176, 1, 127}, {176, 1, 0}}, Action::none, 3},
        {"'+' stops the notes and stops at octave 7",
         {'7', '+', 'a'},
         {{176, 123, 0}, {176, 123, 0}, {144, 7 * 12 + 24, 100}},
         Action::none,
         7},
        {"'-' stops at octave 0",
         {'-', '-', '-', '-', 'a'},
         {{176, 123, 0}, {176, 123, 0}, {176, 123, 0}, {176, 123, 0}, {144, 24, 100}},
         Action::none,
         0},
        {"'X' is all notes off", {'X'}, {{176, 123, 0}}, Action::none, 3},
        {"'8' is no octave", {'8'}, {}, Action::toPlayer, 3},
        {"'M' toggles the input mute", {'M'}, {}, Action::toggleInputMute, 3},
        {"'P' toggles the player into the input", {'P'}, {}, Action::togglePlayerIntoInput, 3},
        {"'T' taps the tempo", {'T'}, {}, Action::tapTempo, 3},
        {"a space goes to the player", {' '}, {}, Action::toPlayer, 3},
        {"the arrows as characters", {28, 30}, {{176, 10, 63}, {176, 7, 66}}, Action::none, 3},
    };
    for (const auto& c : cases) {
        KeyboardFixture f;
        Action last = Action::none;
        for (int code : c.characters) {
            if (code < 0)
                f.keys.onKeyRelease(-code);
            else
                last = f.keys.onCharacter(code);
        }
        EXPECT_EQ(f.sent, c.messages) << c.name;
        EXPECT_EQ(last, c.lastAction) << c.name;
        EXPECT_EQ(f.keys.octave(), c.octave) << c.name;
    }
}

TEST(KeyboardMidi, theArrowsKeepTheControllersWithin0To127AndCode80PlaysTestNotes)
{
    KeyboardFixture f;
    for (int i = 0; i < 200; ++i) {
        f.keys.onArrowKey(29);
        f.keys.onArrowKey(30);
    }
    EXPECT_EQ(f.keys.pan(), 127);
    EXPECT_EQ(f.keys.volume(), 127);
    EXPECT_EQ(f.sent.back(), (std::vector<int>{176, 7, 127}));
    for (int i = 0; i < 200; ++i) {
        f.keys.onArrowKey(28);
        f.keys.onArrowKey(31);
    }
    EXPECT_EQ(f.keys.pan(), 0);
    EXPECT_EQ(f.keys.volume(), 0);
    EXPECT_EQ(f.sent.back(), (std::vector<int>{176, 7, 0}));

    f.sent.clear();
    for (int i = 0; i < 61; ++i)
        f.keys.onArrowKey(80);
    EXPECT_EQ(f.sent[0], (std::vector<int>{144, 36, 100}));
    EXPECT_EQ(f.sent[59], (std::vector<int>{144, 95, 100}));
    EXPECT_EQ(f.sent[60], (std::vector<int>{144, 36, 100})) << "the counter wraps after 60";
}

} // namespace
