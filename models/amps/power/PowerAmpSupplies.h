#pragma once

#include "models/amps/power/KMethod.h"

#include <cstddef>

// The power supplies of the tube power amps: filter capacitors and resistors
// charged from the mains through a rectifier diode string (u0, volts) and
// loaded by the output stage's plate current (u1, from the first capacitor)
// and screen current (u2, from the last node). The diode string sees
// vd = u0 - x0 + Fc i, mains minus first capacitor minus the drop on the
// rectifier path's series resistance (-Fc ohm).

namespace AudioEngine::BorvanQom {

namespace PowerAmpBorvanV9EDetails {

using NonLinearity = DiodeStringCurve<3>;

// Two filter capacitors (x0, x1) of 110 uF with 112 kohm bleeders, joined by
// 150 ohm; shared by the 50W and the 100W power amp.
struct Supply {
    static constexpr std::size_t states = 2;
    // The state that is the second supply voltage of the curve grid.
    static constexpr std::size_t screenNode = 1;
    using NonLinearity = PowerAmpBorvanV9EDetails::NonLinearity;

    static SupplyModel<2> model() noexcept
    {
        constexpr float c1 = 110e-6f, c2 = 110e-6f, r1 = 112000.0f, r2 = 112000.0f, link = 150.0f;
        SupplyModel<2> m{};
        m.ac.data = {-1.0f / (c1 * r1) - 1.0f / (link * c1), 1.0f / (link * c1), 1.0f / (link * c2),
                     -1.0f / (c2 * r2) - 1.0f / (link * c2)};
        m.bc.data = {0.0f, -1.0f / c1, 0.0f, 0.0f, 0.0f, -1.0f / c2};
        m.cc.data = {1.0f / c1, 0.0f};
        m.dc.data = {-1.0f, 0.0f};
        m.ec.data = {1.0f, 0.0f, 0.0f};
        m.fc.data = {-50.126f};
        return m;
    }

    // The centre of the curve grid, with the idle input; the circuit's own
    // rest for that input is about 485.7 and 483.7 V.
    static SupplyOperatingPoint<2> operatingPoint() noexcept
    {
        return {{{485.0f, 484.0f}}, {{494.5f, 0.11f, 0.009f}}, 0.0f};
    }
};

using KMethod = KMethodSolver<Supply>;

} // namespace PowerAmpBorvanV9EDetails

namespace PowerAmpBorvanRKMClassicHeadTraitsDetails {

// Reservoir x0 and second node x1 (50 uF each, bleeders 300 kohm and
// 440 kohm, 15 kohm between them); two branch nodes x2 (47 uF) and x3
// (100 uF) fed from x1 through 47 kohm each. x2 carries no load; the screens
// draw from x3.
struct Supply {
    static constexpr std::size_t states = 4;
    static constexpr std::size_t screenNode = 3;
    using NonLinearity = DiodeStringCurve<2>;

    static SupplyModel<4> model() noexcept
    {
        constexpr float c1 = 50e-6f, c2 = 50e-6f;
        constexpr float bleed0 = 300000.0f, bleed1 = 440000.0f, r01 = 15000.0f, branch = 47000.0f;
        constexpr float k2 = 0.45269352f; // 1 / (47 kohm 47 uF)
        constexpr float k3 = 0.21276596f; // 1 / (47 kohm 100 uF)
        SupplyModel<4> m{};
        m.ac.data = {-1.0f / (c1 * bleed0) - 1.0f / (c1 * r01),
                     1.0f / (c1 * r01),
                     0.0f,
                     0.0f,
                     1.0f / (c2 * r01),
                     -1.0f / (c2 * r01) - 1.0f / (c2 * bleed1) - 2.0f / (c2 * branch),
                     1.0f / (c2 * branch),
                     1.0f / (c2 * branch),
                     0.0f,
                     k2,
                     -k2,
                     0.0f,
                     0.0f,
                     k3,
                     0.0f,
                     -k3};
        m.bc.data = {0.0f, -1.0f / c1, 0.0f, 0.0f, 0.0f, 0.0f,
                     0.0f, 0.0f,       0.0f, 0.0f, 0.0f, -10000.0f}; // 1 / 100 uF
        m.cc.data = {1.0f / c1, 0.0f, 0.0f, 0.0f};
        m.dc.data = {-1.0f, 0.0f, 0.0f, 0.0f};
        m.ec.data = {1.0f, 0.0f, 0.0f};
        m.fc.data = {-50.0f};
        return m;
    }

    // The centre of the curve grid (x0 and x3) with the idle input; the
    // circuit's own rest is about 660.1, 569.5, 569.5 and 346.2 V.
    static SupplyOperatingPoint<4> operatingPoint() noexcept
    {
        return {{{660.0f, 574.0f, 574.0f, 345.0f}}, {{665.0f, 0.058f, 0.00475f}}, 0.0f};
    }
};

class KMethod : public KMethodSolver<Supply> {
public:
    using NonLinearity = Supply::NonLinearity;
    using KMethodSolver::KMethodSolver;
};

} // namespace PowerAmpBorvanRKMClassicHeadTraitsDetails

} // namespace AudioEngine::BorvanQom
