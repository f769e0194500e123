#include "host/player/zqEfx.h"

#include "host/player/zqEfxImplPstsPoly.h"

using player::zqEfxBase;

zqEfxBase* zqEfxCreate(int id)
{
    switch (id) {
    case player::zqEfxImplPstsPoly::kId:
        return new player::zqEfxImplPstsPoly;
    case player::zqEfxBypass::kId:
        return new player::zqEfxBypass;
    default:
        return nullptr;
    }
}

void zqEfxDestroy(zqEfxBase* effect)
{
    delete effect;
}

int zqEfxSetParam(zqEfxBase* effect, int id, float value)
{
    return effect != nullptr && effect->setParam(id, value) ? 1 : 0;
}

int zqEfxGetParam(zqEfxBase* effect, int id, float* value)
{
    return effect != nullptr && effect->getParam(id, value) ? 1 : 0;
}

int zqEfxProcess(zqEfxBase* effect, void* reserved, float** channelBuffers, std::int64_t position,
                 int frames)
{
    return effect != nullptr ? effect->process(reserved, channelBuffers, position, frames) : 0;
}

void zqEfxPrepare(zqEfxBase* effect)
{
    if (effect != nullptr)
        effect->prepare();
}

void zqEfxSetSource(zqEfxBase* effect, void* userData, zqEfxSourceCallback callback)
{
    if (effect != nullptr)
        effect->setSource(userData, callback);
}
