#pragma once

#include "vstbridge/VstInterface.h"

#include <cstdint>

namespace Zq::Carapace {

class AudioEffect;

// The editor base a host reaches through the effect's editor opcodes. Every
// operation answers false or does nothing until a derived editor serves it.
// All calls come on the host's UI thread.
class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;
    virtual ~AEffEditor() = default;

    virtual AudioEffect* getEffect() { return effect; }
    // Writes the address of a rectangle that outlives the call.
    virtual bool getRect(Vst::ERect** rect)
    {
        if (rect)
            *rect = nullptr;
        return false;
    }
    virtual bool open(void*) { return false; }
    virtual void close() {}
    virtual bool isOpen() { return false; }
    virtual void idle() {}
    virtual bool onKeyDown(Vst::VstKeyCode&) { return false; }
    virtual bool onKeyUp(Vst::VstKeyCode&) { return false; }
    virtual bool onWheel(float) { return false; }
    virtual bool setKnobMode(std::int32_t) { return false; }
    virtual void update() {}

protected:
    AudioEffect* effect;
};

} // namespace Zq::Carapace
