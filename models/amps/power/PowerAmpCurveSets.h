#pragma once

#include "models/amps/power/Interpolator2To3.h"
#include "models/amps/power/PowerCurve.h"
#include "models/amps/power/PowerCurveTables.h"

#include <cmath>

// The output-stage curves and supply grids of the three tube power amps. The
// middle grid values are the supply's operating point, so an idle amp sits on
// the centre grid point.

namespace AudioEngine::BorvanQom {

namespace PowerAmpBorvanV9E_50WTraitsDetails {

struct CurveSet {
    static const PowerCurveTable* tables() noexcept { return CurveTables::kTables; }
};

struct Grid : AudioMath::Interpolator2To3Details::Grid {
    Grid()
        : AudioMath::Interpolator2To3Details::Grid({415.0f, 485.0f, 500.0f},
                                                   {410.0f, 484.0f, 510.0f})
    {
    }
};

class VOutClipperCurve5 : public PowerCurve {
public:
    VOutClipperCurve5() : PowerCurve(CurveTables::kTables[4]) {}
};

} // namespace PowerAmpBorvanV9E_50WTraitsDetails

namespace PowerAmpBorvanV9E_100WTraitsDetails {

struct CurveSet {
    static const PowerCurveTable* tables() noexcept { return CurveTables::kTables; }
};

struct Grid : AudioMath::Interpolator2To3Details::Grid {
    Grid()
        : AudioMath::Interpolator2To3Details::Grid({415.0f, 485.0f, 500.0f},
                                                   {410.0f, 484.0f, 510.0f})
    {
    }
};

class VOutClipperCurve5 : public PowerCurve {
public:
    VOutClipperCurve5() : PowerCurve(CurveTables::kTables[4]) {}
};

} // namespace PowerAmpBorvanV9E_100WTraitsDetails

namespace PowerAmpBorvanRKMClassicHeadTraitsDetails {

struct CurveSet {
    static const PowerCurveTable* tables() noexcept { return CurveTables::kTables; }
};

struct Grid : AudioMath::Interpolator2To3Details::Grid {
    Grid()
        : AudioMath::Interpolator2To3Details::Grid({400.0f, 660.0f, 750.0f},
                                                   {280.0f, 345.0f, 450.0f})
    {
    }
};

class VOutClipperCurve5 : public PowerCurve {
public:
    VOutClipperCurve5() : PowerCurve(CurveTables::kTables[4]) {}
};

// Level 0 of the RKM Classic drives its fifth output curve 6 dB hotter: every
// stored value times 10^0.3.
class CurveBoosted : public PowerCurve {
public:
    static inline const float kBoost = static_cast<float>(std::pow(10.0, 0.3));
    CurveBoosted() : PowerCurve(CurveTables::kTables[4], kBoost) {}
};

} // namespace PowerAmpBorvanRKMClassicHeadTraitsDetails

} // namespace AudioEngine::BorvanQom
