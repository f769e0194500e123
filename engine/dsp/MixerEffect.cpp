#include "engine/dsp/MixerEffect.h"

#include <cmath>
#include <stdexcept>

namespace mixer {
namespace {

// The controllers' 0..127 scale is held as v = value / 128, so v never reaches 1.
constexpr float kControllerScale = 1.0f / 128.0f;

} // namespace

CAutomatedEffect::CAutomatedEffect(const EffectDescriptor& descriptor)
    : controls_(static_cast<std::size_t>(descriptor.controlCount)), descriptor_(descriptor),
      inputChannels_(descriptor.inputChannels), outputChannels_(descriptor.outputChannels)
{
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlDescriptor& d = descriptor.controls[i];
        Control& c = controls_[i];
        c.value = static_cast<float>(d.defaultValue) * kControllerScale;
        c.current = c.value;
        c.ramp = d.ramp;
        c.controller = d.controller;
        c.changed = true;
    }
}

void CAutomatedEffect::checkFormat(float sampleRate, std::int32_t inputChannels,
                                   std::int32_t outputChannels)
{
    if (!(sampleRate > 0.0f) || !std::isfinite(sampleRate))
        throw std::invalid_argument("mixer effect: the sample rate must be a positive number");
    for (std::int32_t channels : {inputChannels, outputChannels})
        if (channels != 1 && channels != 2)
            throw std::invalid_argument("mixer effect: 1 or 2 channels");
}

std::int32_t CAutomatedEffect::findControl(std::int32_t controller) const noexcept
{
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].controller == controller)
            return static_cast<std::int32_t>(i);
    return -1;
}

void CAutomatedEffect::handleMidiEvent(const MidiEvent& event)
{
    if ((event.data[0] & 0xF0) != 0xB0)
        return;
    const std::int32_t index = findControl(event.data[1]);
    if (index < 0)
        return;
    Control& c = controls_[static_cast<std::size_t>(index)];
    c.value = static_cast<float>(event.data[2] & 0x7F) * kControllerScale;
    c.changed = true;
}

void CAutomatedEffect::setController(std::int32_t controller, std::int32_t value)
{
    // A controller number is one data byte; a wider one would alias onto 0..127.
    if (controller < 0 || controller > 127)
        return;
    MidiEvent event;
    event.data[0] = 0xB0;
    event.data[1] = static_cast<std::uint8_t>(controller);
    event.data[2] = static_cast<std::uint8_t>(value < 0 ? 0 : (value > 127 ? 127 : value));
    handleMidiEvent(event);
}

std::int32_t CAutomatedEffect::getDisplayValue(std::int32_t controller)
{
    const std::int32_t index = findControl(controller);
    if (index < 0)
        return kNotAController;
    return static_cast<std::int32_t>(
        displayValue(index, controls_[static_cast<std::size_t>(index)].value) * 1000.0);
}

void CAutomatedEffect::setFormat(float sampleRate, std::int32_t inputChannels,
                                 std::int32_t outputChannels)
{
    checkFormat(sampleRate, inputChannels, outputChannels);
    sampleRate_ = sampleRate;
    inputChannels_ = inputChannels;
    setOutputChannels(outputChannels);
    markAllChanged();
    applyChangedParameters();
}

void CAutomatedEffect::setOutputChannels(std::int32_t outputChannels)
{
    checkFormat(sampleRate_, inputChannels_, outputChannels);
    outputChannels_ = outputChannels;
}

void CAutomatedEffect::markAllChanged() noexcept
{
    for (Control& c : controls_)
        c.changed = true;
}

bool CAutomatedEffect::rampControls(std::int32_t frames) noexcept
{
    bool moved = false;
    for (Control& c : controls_) {
        const float before = c.current;
        if (c.ramp > 0.0f) {
            const float step = c.ramp * static_cast<float>(frames);
            const float difference = c.value - c.current;
            if (std::fabs(difference) <= step)
                c.current = c.value;
            else
                c.current += difference > 0.0f ? step : -step;
        } else {
            c.current = c.value;
        }
        if (c.current != before) {
            c.changed = true;
            moved = true;
        }
    }
    return moved;
}

bool CAutomatedEffect::takeChanged(std::int32_t index) noexcept
{
    Control& c = controls_[static_cast<std::size_t>(index)];
    const bool changed = c.changed;
    c.changed = false;
    return changed;
}

} // namespace mixer
