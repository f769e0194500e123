#pragma once

#include "PushPullStage.h"

#include <array>
#include <string>
#include <vector>

// What each of the three power amps' curve set must show: its supply grid, the input ranges of
// its tables, the sampled values it is calibrated to and stores exactly, and its tube stage.

namespace power_curves {

constexpr int kPoints = 181; // samples per table
constexpr int kTriples = 9;  // grid points; triple n sits at (axis0[(n-1) % 3], axis1[(n-1) / 3])

enum Kind { kV = 0, kI1 = 1, kI2 = 2 };

struct Range {
    float x0;
    float x1;
};

// One stored value at a knot of one table.
struct Pin {
    int triple; // 1..9
    Kind kind;
    int k; // sample index 0..180
    double value;
};

struct AmpData {
    std::string name;                          // C++ scope of the model's tables
    std::string label;                         // for messages
    std::array<double, 3> axis0;               // plate supply s0 at the grid points, volts
    std::array<double, 3> axis1;               // screen supply s1, volts
    Range vRange;                              // input range of every output-voltage table
    std::array<Range, kTriples> currentRanges; // input range of each triple's I1 and I2 tables
    std::vector<Pin> pins;                     // values stored exactly
    double vMin;                               // extremes of the fifth output table
    double vMax;
    double slopeAtZero;              // small-signal slope of the fifth output table at x = 0
    bool zeroAtOrigin;               // v(0) = 0 exactly on every output table
    Stage stage;                     // starting point of the calibration
    std::vector<int> freeParameters; // which stage constants the calibration moves
};

// The three models in the order V9E 50W, V9E 100W, RKM Classic.
std::vector<AmpData> ampData();

inline double axisValue(const std::array<double, 3>& axis, int index)
{
    return axis[index];
}
inline double supply0(const AmpData& amp, int triple)
{
    return amp.axis0[(triple - 1) % 3];
}
inline double supply1(const AmpData& amp, int triple)
{
    return amp.axis1[(triple - 1) / 3];
}

// x of sample k over a range, as the engine's curves place their knots (in float).
float knotX(Range range, int k);

} // namespace power_curves
