#pragma once

#include "plugin/DUZ2.h"

#include <atomic>
#include <cstdint>
#include <mutex>

// The MIDI input between its producers (the MIDI back end's thread, the
// computer keyboard on the user-interface thread) and the audio callback:
// 1000 fixed 8-byte entries. The consumer never waits; producers take a lock
// among themselves only, so two of them never claim the same entry. A full
// ring drops the newest message rather than overwrite unread ones.
class vphoMidiRing {
public:
    static constexpr int kEntries = 1000;

    // Any producer thread. A message of 1 to 4 bytes is queued (the unused
    // bytes zeroed); a longer one (system exclusive), an empty one or one
    // that finds the ring full is dropped: false.
    bool push(const std::uint8_t* bytes, int length);
    // Audio thread: moves what is queued into batch (up to capacity), the
    // delta frames numbering the events 0, 1, 2 ... in arrival order. Never
    // allocates or waits.
    int drain(Zq::DUZ2::MidiEvent* batch, int capacity);

private:
    Zq::DUZ2::MidiEvent entries_[kEntries] = {};
    std::atomic<int> write_{0};
    std::atomic<int> read_{0};
    std::mutex producers_;
};
