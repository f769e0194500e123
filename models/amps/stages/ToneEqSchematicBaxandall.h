#pragma once

#include "models/amps/stages/ToneEqSchematicStateSpace.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace AudioEngine::CX1 {

namespace ToneEqBaxandallDetails {

// The network's parts in ohms and farads, in this order. P1 is the bass pot, P2
// the treble pot; R2 is the load on the output.
struct Components {
    double r1;
    double p1;
    double p2;
    double r2;
    double r3;
    double r4;
    double r5;
    double c1;
    double c2;
    double c3;
    double c4;
};

using Matrix4 = std::array<std::array<double, 4>, 4>;
using Vector4 = std::array<double, 4>;

struct Model {
    Matrix4 a{};
    Vector4 b{};
    Vector4 c{};
    double d = 0.0;
};

// No pot segment is made smaller than this share of its pot, so that no
// conductance of the network is infinite.
inline constexpr double minimumPotShare = 1e-4;

// The state-space model of the network for mapped pot positions bass' (the
// share of P1 between A and W1) and treble' (the share of P2 between D and O).
// Returns false, leaving model untouched, if the network cannot be solved.
bool computeBaxandallModel(const Components& parts, double bass, double treble,
                           Model& model) noexcept;

} // namespace ToneEqBaxandallDetails

// The passive Baxandall bass and treble stack. Nodes: the source feeds N
// through R1 (R1 = 0 joins N to the source); the bass leg runs N -R4- A -P1- B
// -R5- ground with the wiper W1 on P1, C3 across A-W1 and C4 across W1-B; the
// treble leg runs N -C1- D -P2- E -C2- ground with the wiper O on P2, which is
// the output; R3 joins W1 to O and R2 loads O to ground. The four states are
// the voltages across C1 (N - D), C2 (E), C3 (A - W1) and C4 (W1 - B).
//
// The knobs follow the log-taper law value^log2(10): bass' = 1 - bass^3.321928
// limited to [0.0001, 0.9999] before the subtraction, treble' =
// 1 - treble^3.321928. "Mid" plays no part.
template <class Traits>
class ToneEqSchematicBaxandall : public ToneEqSchematicStateSpace<Traits, 4> {
public:
    using Base = ToneEqSchematicStateSpace<Traits, 4>;
    using Value = typename Base::Value;
    using Components = ToneEqBaxandallDetails::Components;

    static constexpr Value taper = 3.321928;

    ToneEqSchematicBaxandall(const Components& parts, Value outputGain)
        : Base(outputGain), parts_(parts)
    {
    }

    void mapControls(Value& bass, Value& mid, Value& treble) const override
    {
        (void)mid;
        bass = 1.0 - std::clamp<Value>(std::pow(bass, taper), 0.0001, 0.9999);
        treble = 1.0 - std::pow(treble, taper);
    }

    void computeModel(Value bass, Value mid, Value treble, Value fs) override
    {
        (void)mid;
        (void)fs;
        ToneEqBaxandallDetails::Model model;
        if (!ToneEqBaxandallDetails::computeBaxandallModel(parts_, bass, treble, model))
            return;
        this->a_ = model.a;
        this->b_ = model.b;
        this->c_ = model.c;
        this->d_ = model.d;
    }

private:
    Components parts_;
};

} // namespace AudioEngine::CX1
