#pragma once

#include "engine/dsp/CMutex.h"

#include <cstdint>
#include <vector>

namespace mixer {

// A MIDI message as an effect receives it: the frame offset within the block
// and up to four message bytes (status first).
struct MidiEvent {
    std::int32_t offset = 0;
    std::uint8_t data[4] = {};
};

// One automatable control of an effect: its name, the MIDI controller that
// addresses it, its default (0..127) and the largest step per frame by which
// it follows a new value (in units of v = value / 128; negative: it jumps).
struct ControlDescriptor {
    const char* name;
    std::int32_t controller;
    std::int32_t defaultValue;
    float ramp;
};

// The static description of one effect type.
struct EffectDescriptor {
    const char* name;
    std::int32_t inputChannels;
    std::int32_t outputChannels;
    std::int32_t controlCount;
    const ControlDescriptor* controls;
};

// The MIDI side of every mixer effect.
class CMIDIObject {
public:
    virtual ~CMIDIObject() = default;
    // Gives up the caller's use of the MIDI interface. The effect's owner keeps
    // the object alive; nothing is freed here.
    virtual void release() {}
    // Answers its argument: the object needs no translation of its handle.
    virtual std::uintptr_t query(std::uintptr_t argument) { return argument; }
};

// What an effect's owner calls. Set-up calls (setFormat, start, stop) and
// controller changes may come from any thread, but never at the same time as
// process; in this system all of them come from the audio thread between
// pieces. An owner that drives one effect from two threads serialises the calls
// with the effect's CMutex (its try-lock on the audio thread).
class IAutomatedEffect {
public:
    virtual ~IAutomatedEffect() = default;

    // Recomputes what depends on the controls whose changed flag is set and
    // clears those flags.
    virtual void applyChangedParameters() = 0;
    // The control's mapped value x 1000, truncated to an integer (milliseconds
    // for times, millihertz for corners); kNotAController for a controller
    // number that addresses no control.
    virtual std::int32_t getDisplayValue(std::int32_t controller) = 0;
    // frames interleaved frames from in to out at the channel counts of the
    // last setFormat. Audio thread; never allocates.
    virtual void process(float* out, const float* in, std::int32_t frames) = 0;
    // A control change (status 0xB0, any MIDI channel) sets the control whose
    // controller matches to value / 128 and marks it changed; other messages
    // and unknown controllers are ignored.
    virtual void handleMidiEvent(const MidiEvent& event) = 0;
    // Rate in hertz and channel counts (1 or 2); marks every control changed
    // and applies them. Throws std::invalid_argument for a rate that is not a
    // positive finite number or a channel count other than 1 or 2.
    virtual void setFormat(float sampleRate, std::int32_t inputChannels,
                           std::int32_t outputChannels) = 0;
    virtual void setOutputChannels(std::int32_t outputChannels) = 0;
    virtual const EffectDescriptor& getDescriptor() const = 0;
    virtual void start() = 0;
    // Answers whether the effect was running.
    virtual bool stop() = 0;
    // No mixer effect meters its output: always 0.
    virtual float getLevel() const { return 0.0f; }
    // Sends the control change (0xB0, controller, value) to handleMidiEvent;
    // the value is limited to 0..127, a controller outside 0..127 is ignored.
    virtual void setController(std::int32_t controller, std::int32_t value) = 0;
};

// The answer of getDisplayValue for a controller that addresses no control.
constexpr std::int32_t kNotAController = static_cast<std::int32_t>(0x80000002u);

// The controls, channel counts and rate shared by the mixer effects.
//
// Each control holds two values: `value`, where the controller put it
// (v = controller value / 128), and `current`, the value the effect's derived
// quantities were last computed from. An effect without ramps makes current
// jump to value when it applies a change; one with ramps moves current toward
// value piece by piece (rampControls).
class CAutomatedEffect : public IAutomatedEffect, public CMIDIObject {
public:
    struct Control {
        float value = 0.0f;
        float current = 0.0f;
        float ramp = -1.0f;
        std::int32_t controller = -1;
        bool changed = false;
    };

    // Every control starts at default / 128 (value and current) with its
    // changed flag set; the rate is 44100 Hz until setFormat.
    explicit CAutomatedEffect(const EffectDescriptor& descriptor);
    CAutomatedEffect(const CAutomatedEffect&) = delete;
    CAutomatedEffect& operator=(const CAutomatedEffect&) = delete;

    void handleMidiEvent(const MidiEvent& event) override;
    void setController(std::int32_t controller, std::int32_t value) override;
    std::int32_t getDisplayValue(std::int32_t controller) override;
    // Stores the format, marks every control changed and applies them.
    void setFormat(float sampleRate, std::int32_t inputChannels,
                   std::int32_t outputChannels) override;
    void setOutputChannels(std::int32_t outputChannels) override;
    const EffectDescriptor& getDescriptor() const override { return descriptor_; }

    float getSampleRate() const noexcept { return sampleRate_; }
    std::int32_t getInputChannels() const noexcept { return inputChannels_; }
    std::int32_t getOutputChannels() const noexcept { return outputChannels_; }
    std::int32_t getControlCount() const noexcept
    {
        return static_cast<std::int32_t>(controls_.size());
    }
    const Control& getControl(std::int32_t index) const
    {
        return controls_.at(static_cast<std::size_t>(index));
    }
    // The index of the control addressed by a controller number, or -1.
    std::int32_t findControl(std::int32_t controller) const noexcept;
    void markAllChanged() noexcept;

    utils::CMutex& getMutex() noexcept { return mutex_; }

protected:
    // The mapped value of control `index` at v, in the unit the display shows
    // divided by 1000.
    virtual double displayValue(std::int32_t index, float v) const = 0;

    // Moves each control with a ramp toward its value by at most ramp x frames
    // and makes each control without one jump; marks the ones that moved
    // changed. Answers whether any moved.
    bool rampControls(std::int32_t frames) noexcept;
    // Clears and answers the changed flag of control `index`.
    bool takeChanged(std::int32_t index) noexcept;
    // Throws std::invalid_argument for a rate that is not a positive finite
    // number or a channel count other than 1 or 2.
    static void checkFormat(float sampleRate, std::int32_t inputChannels,
                            std::int32_t outputChannels);

    std::vector<Control> controls_;

private:
    const EffectDescriptor& descriptor_;
    float sampleRate_ = 44100.0f;
    std::int32_t inputChannels_;
    std::int32_t outputChannels_;
    utils::CMutex mutex_;
};

} // namespace mixer
