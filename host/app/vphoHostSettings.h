#pragma once

#include <atomic>
#include <string>

// The standalone host's persistent settings: audio technology, devices,
// channels, buffer size and sample rate, MIDI input, tempo, the automatic
// session switch and the input gain, one value each under the product's key.
//
// The tempo and the input gain are read by the audio thread (the plug-in asks
// for the tempo once per block) while the user-interface thread may change
// them, so they are atomics; everything else belongs to the user-interface
// thread.
class vphoHostSettings {
public:
    static constexpr int kChannelSlots = 16;
    static constexpr const char* kDefaultBufferSize = "128";
    static constexpr const char* kDefaultSampleRate = "48000";
    // 0 dB .. +24 dB, the range of the status bar's gain control.
    static constexpr float kMinInputGain = 1.0f;
    static constexpr float kMaxInputGain = 15.85f;

    struct Channel {
        bool active = false;
        std::string name;
        bool operator==(const Channel&) const = default;
    };

    vphoHostSettings() { setDefaults(); }
    vphoHostSettings(const vphoHostSettings& other) { *this = other; }
    vphoHostSettings& operator=(const vphoHostSettings& other);

    // The full default set: technology "Asio", preset 0, 128 frames at
    // 48000 Hz, 120 BPM, gain 2.0, automatic sessions off, not defaulted.
    void setDefaults();
    // 0, 1 or 2: one of the maker's interfaces; any other number changes only
    // the buffer size, the sample rate and the channel switches (all off).
    void applyInterfacePreset(int preset);
    // False, with every field defaulted and the defaulted mark set, when any
    // of the nine single values is missing or unreadable. A stored gain
    // outside 0..24 dB is brought into it; a buffer size or a sample rate that
    // is not a positive number reads as the default.
    bool load(const std::string& productKey);
    // Channels never stored stay absent unless active; a channel stored once
    // gets its switch updated.
    void save(const std::string& productKey) const;

    // The buffer size and sample rate as numbers: the default for anything
    // that is not a positive integer.
    int bufferFrames() const;
    int sampleRateHz() const;

    float getTempo() const { return tempo_.load(std::memory_order_relaxed); }
    void setTempo(float bpm) { tempo_.store(bpm, std::memory_order_relaxed); }
    float getInputGain() const { return inputGain_.load(std::memory_order_relaxed); }
    void setInputGain(float factor) { inputGain_.store(factor, std::memory_order_relaxed); }

    std::string technology;
    std::string inputDevice;
    std::string outputDevice;
    Channel inputs[kChannelSlots];
    Channel outputs[kChannelSlots];
    std::string bufferSize;
    std::string sampleRate;
    std::string midiInputDevice;
    bool autoSession = false;
    bool defaulted = false;

private:
    std::atomic<float> tempo_{120.0f};
    std::atomic<float> inputGain_{2.0f};
};

// A positive decimal integer (no sign, no trailing text, within int), else 0.
int vphoPositiveNumber(const std::string& text);
