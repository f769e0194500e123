#include "models/amps/stages/UltraMidSchematic.h"

namespace AudioEngine::BorvanQom::BorvanRE500TraitsDetails {

void UltraMidSchematic::computeModel(Value bass, Value mid, Value treble, Value fs)
{
    (void)bass;
    (void)treble;
    (void)fs;
    const double m = mid;
    const double s = (r4 + r5) * r7 + r4 * r5;

    a_ = {};
    a_[0][0] = -((r0 + r3) * r6 + r0 * r3) / (r0 * r6 * r3 * c0);
    a_[0][3] = -1.0 / (r3 * c0);
    a_[1][1] = -((r5 + r7) * r2 + s) / (s * r2 * c1);
    a_[1][2] = -1.0 / (r2 * c1);
    a_[1][3] = -r5 / (s * c1);
    a_[2][1] = -1.0 / (r2 * c2);
    a_[2][2] = -(r2 + r1) / (r1 * r2 * c2);
    a_[3][0] = -1.0 / (r3 * c3);
    a_[3][1] = -r5 / (s * c3);
    a_[3][3] = -(r4 * r3 + r5 * r3 + r4 * r7 + r5 * r7 + r4 * r5) / (s * r3 * c3);

    b_ = {(r3 + r6) / (r6 * r3 * c0), ((r5 + r7) * r2 + s) / (s * r2 * c1),
          (r2 + r1) / (r1 * r2 * c2), ((r4 + r3 + r7) * r5 + r4 * r7) / (s * r3 * c3)};

    c_ = {0.0, -(1.0 - m) * r5 * r7 / s, 0.0,
          (m * (r4 + r5) * r7 + r4 * r5) / (r4 * r5 + (r4 + r5) * r7)};
    d_ = (1.0 - m) * r5 * r7 / s;
}

} // namespace AudioEngine::BorvanQom::BorvanRE500TraitsDetails
