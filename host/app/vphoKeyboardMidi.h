#pragma once

#include <cstdint>
#include <functional>

// The computer keyboard as a MIDI source: 16 letters play notes over a
// movable octave, 'm' is the modulation wheel, the arrows move controllers
// 10 (pan) and 7 (volume), and a few characters are commands of the window.
// Every message is three bytes, handed to send (the same path as device
// input). User-interface thread.
class vphoKeyboardMidi {
public:
    using Send = std::function<void(const std::uint8_t* bytes, int length)>;

    // What the window does with a character beyond the MIDI it sent.
    enum class Action {
        none,
        toggleInputMute,       // 'M'
        togglePlayerIntoInput, // 'P'
        tapTempo,              // 'T'
        toPlayer,              // any code this table does not use
    };

    static constexpr const char* kNoteKeys = "awsedftgyhujkolp";
    static constexpr int kMaxOctave = 7;

    explicit vphoKeyboardMidi(Send send) : send_(std::move(send)) {}

    Action onCharacter(int code);
    void onKeyRelease(int code);
    // 28 and 29 move controller 10 down and up, 30 and 31 controller 7 up and
    // down; 80 plays the next test note.
    void onArrowKey(int code);

    int octave() const { return octave_; }
    int volume() const { return volume_; }
    int pan() const { return pan_; }

private:
    void sendMessage(int status, int data1, int data2);
    void allNotesOff() { sendMessage(176, 123, 0); }
    static int noteIndex(int code);

    Send send_;
    int octave_ = 3;
    int volume_ = 65; // controller 7
    int pan_ = 64;    // controller 10
    int testNote_ = 0;
};
