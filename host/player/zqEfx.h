#pragma once

// The C-style entry points of the pitch and time effect library.
//
// Calling order: create, set the source, set parameters 10000, 10001 and
// 10002, prepare, then any number of process calls; the time (10004) and
// pitch (10005) factors may change between them. Changing the channels or the
// rate needs a new prepare.

#include "host/player/zqEfxBase.h"

#include <cstdint>

extern "C" {

// 102 (pitch and time) or 103 (bypass); any other id yields null.
player::zqEfxBase* zqEfxCreate(int id);
void zqEfxDestroy(player::zqEfxBase* effect);
// Answer 1 when the effect knows the parameter, else 0.
int zqEfxSetParam(player::zqEfxBase* effect, int id, float value);
int zqEfxGetParam(player::zqEfxBase* effect, int id, float* value);
// Audio thread: never allocates. Answers 1 (0 for a null effect).
int zqEfxProcess(player::zqEfxBase* effect, void* reserved, float** channelBuffers,
                 std::int64_t position, int frames);
void zqEfxPrepare(player::zqEfxBase* effect);
void zqEfxSetSource(player::zqEfxBase* effect, void* userData, zqEfxSourceCallback callback);
}
