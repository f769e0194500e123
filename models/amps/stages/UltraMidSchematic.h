#pragma once

#include "models/amps/stages/ToneEqSchematicStateSpace.h"

namespace AudioEngine::BorvanQom::BorvanRE500TraitsDetails {

// The RE500 head's active mid network: four capacitors around an op-amp, with
// the 50 kOhm mid pot R7 blending two taps into the output. Only "Mid" (m,
// 0 .. 1) acts; the knobs pass through mapControls unchanged. With
// S = (R4 + R5) R7 + R4 R5 the model is
//   A = | -((R0+R3) R6 + R0 R3)/(R0 R6 R3 C0)  0                         0                 -1/(R3
//   C0) |
//       | 0                 -((R5+R7) R2 + S)/(S R2 C1)  -1/(R2 C1)        -R5/(S C1) | | 0 -1/(R2
//       C2)              -(R2+R1)/(R1 R2 C2)    0                            | | -1/(R3 C3) -R5/(S
//       C3)              0       -(R4 R3 + R5 R3 + R4 R7 + R5 R7 + R4 R5)/(S R3 C3) |
//   B = ((R3+R6)/(R6 R3 C0), ((R5+R7) R2 + S)/(S R2 C1), (R2+R1)/(R1 R2 C2),
//        ((R4+R3+R7) R5 + R4 R7)/(S R3 C3))
//   C = (0, -(1-m) R5 R7/S, 0, (m (R4+R5) R7 + R4 R5)/(R4 R5 + (R4+R5) R7))
//   D = (1-m) R5 R7/S
class UltraMidSchematic : public CX1::ToneEqSchematicStateSpace<CX1::ToneEqSchematicTraits, 4> {
public:
    // Ohms; R7 is the mid pot.
    static constexpr double r0 = 33000.0, r1 = 15000.0, r2 = 10000.0, r3 = 10000.0, r4 = 10000.0,
                            r5 = 15000.0, r6 = 10000.0, r7 = 50000.0;
    // Farads.
    static constexpr double c0 = 22e-9, c1 = 2.2e-9, c2 = 100e-9, c3 = 2.2e-9;

    UltraMidSchematic() : ToneEqSchematicStateSpace(1.0) {}

    void mapControls(Value& bass, Value& mid, Value& treble) const override
    {
        (void)bass;
        (void)mid;
        (void)treble;
    }

    void computeModel(Value bass, Value mid, Value treble, Value fs) override;
};

} // namespace AudioEngine::BorvanQom::BorvanRE500TraitsDetails
