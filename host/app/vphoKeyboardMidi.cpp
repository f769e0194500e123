#include "host/app/vphoKeyboardMidi.h"

#include <algorithm>
#include <cstring>

int vphoKeyboardMidi::noteIndex(int code)
{
    if (code <= 0 || code > 127)
        return -1;
    const char* found = std::strchr(kNoteKeys, code);
    return found ? static_cast<int>(found - kNoteKeys) : -1;
}

void vphoKeyboardMidi::sendMessage(int status, int data1, int data2)
{
    const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(status),
                                   static_cast<std::uint8_t>(data1),
                                   static_cast<std::uint8_t>(data2)};
    if (send_)
        send_(bytes, 3);
}

vphoKeyboardMidi::Action vphoKeyboardMidi::onCharacter(int code)
{
    const int note = noteIndex(code);
    if (note >= 0) {
        sendMessage(144, octave_ * 12 + note + 24, 100);
        return Action::none;
    }
    switch (code) {
    case 'm':
        sendMessage(176, 1, 127);
        return Action::none;
    case '+':
        allNotesOff();
        octave_ = std::min(octave_ + 1, kMaxOctave);
        return Action::none;
    case '-':
        allNotesOff();
        octave_ = std::max(octave_ - 1, 0);
        return Action::none;
    case 'X':
        allNotesOff();
        return Action::none;
    case 'M':
        return Action::toggleInputMute;
    case 'P':
        return Action::togglePlayerIntoInput;
    case 'T':
        return Action::tapTempo;
    case 28:
    case 29:
    case 30:
    case 31:
        onArrowKey(code);
        return Action::none;
    default:
        break;
    }
    if (code >= '0' && code <= '7') {
        octave_ = code - '0';
        allNotesOff();
        return Action::none;
    }
    return Action::toPlayer;
}

void vphoKeyboardMidi::onKeyRelease(int code)
{
    const int note = noteIndex(code);
    if (note >= 0)
        sendMessage(144, octave_ * 12 + note + 24, 0);
    else if (code == 'm')
        sendMessage(176, 1, 0);
}

void vphoKeyboardMidi::onArrowKey(int code)
{
    switch (code) {
    case 28:
        pan_ = std::max(pan_ - 1, 0);
        sendMessage(176, 10, pan_);
        break;
    case 29:
        pan_ = std::min(pan_ + 1, 127);
        sendMessage(176, 10, pan_);
        break;
    case 30:
        volume_ = std::min(volume_ + 1, 127);
        sendMessage(176, 7, volume_);
        break;
    case 31:
        volume_ = std::max(volume_ - 1, 0);
        sendMessage(176, 7, volume_);
        break;
    case 80:
        sendMessage(144, 36 + testNote_, 100);
        testNote_ = (testNote_ + 1) % 60;
        break;
    default:
        break;
    }
}
