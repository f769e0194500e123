#include "models/stomps/ChorusRI1.h"

namespace AudioEngine::CX2::ChorusRI1TraitsDetails {

Curve::Curve()
{
    float delaysMs[9];
    for (int i = 0; i < 9; ++i)
        delaysMs[i] = 512000.0f / (clocksHz[i] + clocksHz[i]);
    setFromTable(delaysMs, 9, firstVolts, lastVolts);
}

} // namespace AudioEngine::CX2::ChorusRI1TraitsDetails
