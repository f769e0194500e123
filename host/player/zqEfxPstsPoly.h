#pragma once

// The player's handle on the pitch and time library: one effect created by
// id over a source callback, destroyed with the handle.

#include "host/player/zqEfx.h"

#include <cstdint>

namespace player {

class zqEfx {
public:
    zqEfx(int id, void* userData, zqEfxSourceCallback source) : effect_(zqEfxCreate(id))
    {
        zqEfxSetSource(effect_, userData, source);
    }
    virtual ~zqEfx() { zqEfxDestroy(effect_); }
    zqEfx(const zqEfx&) = delete;
    zqEfx& operator=(const zqEfx&) = delete;

    bool setParam(int id, float value) { return zqEfxSetParam(effect_, id, value) != 0; }
    void prepare() { zqEfxPrepare(effect_); }
    // Audio thread.
    void process(float** buffers, std::int64_t outputPosition, int frames)
    {
        zqEfxProcess(effect_, nullptr, buffers, outputPosition, frames);
    }

private:
    zqEfxBase* effect_;
};

// Effect 102 with its time (10004) and pitch (10005) factors.
class zqEfxPstsPoly : public zqEfx {
public:
    zqEfxPstsPoly(void* userData, zqEfxSourceCallback source) : zqEfx(102, userData, source) {}
    bool setTimeFactor(float s) { return setParam(10004, s); }
    bool setPitchFactor(float p) { return setParam(10005, p); }
};

} // namespace player
