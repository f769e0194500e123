#pragma once

#include "engine/math/Curve2.h"
#include "models/stomps/DynacompCurveTables.h"

#include <cstdint>

namespace AudioEngine::CX2::DynacompCompSectionTraitsDetails {

// The compressor's sampled device curves, each filled from its generated
// table (DynacompCurveTables.cpp) over its float bounds; the tables are double
// except the junction current's, which is float.

// The output transistors' collector voltages against the scaled current w:
// 1018 samples, one a microampere-equivalent step of w.
struct ClipDomain {
    static constexpr std::int32_t count = 1018;
    static constexpr float first = -1.8e-5f;
    static constexpr float last = 0.000999f;
};

// The junctions' curves against their voltage: 2001 samples over -1 .. 1 V.
struct JunctionDomain {
    static constexpr std::int32_t count = 2001;
    static constexpr float first = -1.0f;
    static constexpr float last = 1.0f;
};

// The transistor fed with the negative half: rests near 6.864 V at w = 0,
// dips to about 4.77 V, then rises with the current.
template <class T> class ClipCurveNeg : public AudioMath::Curve2<AudioMath::Curve2Traits<T>> {
public:
    ClipCurveNeg()
    {
        this->setFromTable(Tables::clipCurveNeg, ClipDomain::count, ClipDomain::first,
                           ClipDomain::last);
    }
};

// The transistor fed with the positive half, which is also the section's
// output: 2.1421764 V at w = 0, rising monotonically.
template <class T> class ClipCurvePos : public AudioMath::Curve2<AudioMath::Curve2Traits<T>> {
public:
    ClipCurvePos()
    {
        this->setFromTable(Tables::clipCurvePos, ClipDomain::count, ClipDomain::first,
                           ClipDomain::last);
    }
};

// A rectifying junction's on-resistance against its voltage: about 7e11 ohms
// while it blocks, down to about 129 ohms at 1 V.
template <class T> class ROnCurve : public AudioMath::Curve2<AudioMath::Curve2Traits<T>> {
public:
    ROnCurve()
    {
        this->setFromTable(Tables::rOnCurve, JunctionDomain::count, JunctionDomain::first,
                           JunctionDomain::last);
    }
};

// A rectifying junction's current against its voltage: 0 at 0 V, a forward
// diode above, a reverse leakage path below.
template <class T> class KMethodCurve : public AudioMath::Curve2<AudioMath::Curve2Traits<T>> {
public:
    KMethodCurve()
    {
        this->setFromTable(Tables::kMethodCurve, JunctionDomain::count, JunctionDomain::first,
                           JunctionDomain::last);
    }
};

} // namespace AudioEngine::CX2::DynacompCompSectionTraitsDetails
