#pragma once

// The control side of the recording stub module: a stand-in for the plug-in
// module that answers the interface tables from settings a test chooses and
// writes every call that changes something into one journal, in order. A test
// loads the stub by path itself (the bridge loads the same copy) and reaches
// this interface through the exported RecordingStubControl.

#include "plugin/DUZ2.h"

#include <cstdint>
#include <string>
#include <vector>

namespace test {

class RecordingStub {
public:
    // What processors created from now on answer.
    struct Settings {
        std::int32_t flags = 0;
        std::int32_t numParameters = 4;
        std::int32_t width = 851;
        std::int32_t height = 510;
        std::string name = "BorvanQom";
        std::string vendor = "Zq Sonware Production";
        // Every parameter's name and display.
        std::string parameterText = "Parameter";
        // The state a new processor starts with; getChunk hands it out.
        std::string initialState = "<?xml version=\"1.0\"?><Preset Name=\"start\"/>";
        // getChunk answers 0 with no data.
        bool emptyChunk = false;
        // What getNumOutputs answers (-1: "keep yours", as a host reads it).
        std::int32_t numOutputs = 2;
        // Whether process and processMidiEvents go into the journal (they
        // allocate when they do: a test that counts allocations turns it off).
        bool journalAudio = true;
        // Whether process keeps to the channel counts the host set (1 mono,
        // any other stereo; a mono input feeds every output) rather than
        // always two in, two out.
        bool honourChannelCounts = false;
    };

    virtual Settings& settings() = 0;
    // Settings back to their defaults, journal and MIDI record cleared.
    virtual void reset() = 0;

    virtual std::vector<std::string> journal() = 0;
    virtual void clearJournal() = 0;

    // Of the processor created last.
    virtual std::string state() = 0;
    virtual void setState(const std::string& state) = 0;
    virtual std::vector<Zq::DUZ2::MidiEvent> lastMidiEvents() = 0;
    // Calls the host table's getTempo / onParameterChanged.
    virtual float askTempo() = 0;
    virtual void reportChange(std::int32_t index, float plain, float normalized) = 0;
    // The processors alive.
    virtual int processCount() = 0;

protected:
    ~RecordingStub() = default;
};

} // namespace test

using RecordingStubControlFunction = test::RecordingStub* (*)();
