#include "host/app/vphoMidiRing.h"

bool vphoMidiRing::push(const std::uint8_t* bytes, int length)
{
    if (bytes == nullptr || length < 1 || length > 4)
        return false;
    std::lock_guard lock(producers_);
    const int write = write_.load(std::memory_order_relaxed);
    const int next = (write + 1) % kEntries;
    if (next == read_.load(std::memory_order_acquire))
        return false;
    Zq::DUZ2::MidiEvent& entry = entries_[write];
    entry.deltaFrames = 0;
    for (int i = 0; i < 4; ++i)
        entry.data[i] = i < length ? bytes[i] : 0;
    // The entry is complete before the consumer can see the index move.
    write_.store(next, std::memory_order_release);
    return true;
}

int vphoMidiRing::drain(Zq::DUZ2::MidiEvent* batch, int capacity)
{
    int read = read_.load(std::memory_order_relaxed);
    const int write = write_.load(std::memory_order_acquire);
    int count = 0;
    while (read != write && count < capacity) {
        batch[count] = entries_[read];
        batch[count].deltaFrames = count;
        ++count;
        read = (read + 1) % kEntries;
    }
    // Hands the drained entries back to the producers.
    read_.store(read, std::memory_order_release);
    return count;
}
