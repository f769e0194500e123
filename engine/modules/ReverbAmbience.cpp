#include "engine/modules/ReverbAmbience.h"

namespace AudioEngine::CX2 {

void ReverbAmbience::prepare()
{
    // Before the reverb is formatted and started, so that these values are
    // the ones start applies.
    setParameter("Time", 30.0f);
    setParameter("Color", 64.0f);
    setParameter("Density", 64.0f);
    setParameter("Level", 64.0f);
    setParameter("Size", 16.0f);
    Reverb::prepare();
}

} // namespace AudioEngine::CX2
