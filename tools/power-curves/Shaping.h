#pragma once

#include "AmpData.h"
#include "PushPullStage.h"

#include <array>
#include <vector>

namespace power_curves {

// The 27 tables of one model, in double: index kind * 9 + (triple - 1).
using Tables = std::array<std::vector<double>, 3 * kTriples>;

inline int tableIndex(Kind kind, int triple)
{
    return static_cast<int>(kind) * kTriples + triple - 1;
}

// The calibrated model sampled over every table's range.
Tables sampleModel(const AmpData& amp, const Stage& stage);

// Brings the model's tables onto the stored values, keeping the model's shape:
// - each table of triples 1, 5 and 9 is scaled and offset, c = a(k) m + b, where a takes one
//   value on the negative and one on the positive side (blended through the middle) and b is a
//   constant; the three are solved so that c meets the stored values at k = 0, 90 and 180.
//   The output tables blend a by the output's own level, so a plateau stays flat; the current
//   tables blend it by k;
// - the untabulated triples are corrected the same way towards targets taken from the model:
//   their ends scaled by the end ratios (stored over model; for the currents the mean of the two)
//   of the tabulated triple with the same plate supply, which sets the load line and so the plateau
//   and the saturated currents, and their value at x = 0 shifted as at the tabulated triple with
//   the same screen supply, which sets the idle current; so all nine come from one model and keep
//   its order;
// - the fifth output table further meets its six inner stored values through a C1 blend of the
//   remaining differences between neighbouring stored knots (fading out over the onset of each
//   plateau), and gets its extremes: a sin^2 bump over the onset of each plateau, sized by
//   bisection, sets the overshoot before the plateau to the given extreme (or removes it where
//   the extreme is the end sample);
// - finally every stored value is written at its knot.
// A stored value of the wrong sign for a drawn current (positive) is kept at its knot alone: the
// curve around it follows the model.
Tables shapeTables(const AmpData& amp, const Tables& model);

} // namespace power_curves
