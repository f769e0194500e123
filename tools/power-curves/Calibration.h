#pragma once

#include "AmpData.h"
#include "PushPullStage.h"

#include <vector>

namespace power_curves {

// The model's value of one table at a sample index.
double modelValue(const AmpData& amp, const Stage& stage, int triple, Kind kind, int k);

// Small-signal slope dv/dx of the model's output at x = 0 of a triple.
double modelSlopeAtZero(const AmpData& amp, const Stage& stage, int triple);

// Fits the amp's free stage constants to its stored values and its slope at 0, each value
// weighted by its size (relative error, with a floor per kind so that values near zero count
// in absolute terms). Returns the calibrated stage.
Stage calibrate(const AmpData& amp, double& rmsError);

const char* parameterName(int index);
double parameterValue(const Stage& stage, int index);

} // namespace power_curves
