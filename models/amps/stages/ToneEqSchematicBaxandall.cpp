#include "models/amps/stages/ToneEqSchematicBaxandall.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace AudioEngine::CX1::ToneEqBaxandallDetails {
namespace {

// Excitations of the resistive network: the four capacitor voltages, each
// standing in as a source, then the input.
constexpr int V1 = 0, V2 = 1, V3 = 2, V4 = 3, In = 4, excitations = 5;
// Unknown node voltages.
constexpr int N = 0, W1 = 1, O = 2, nodes = 3;

using System = std::array<std::array<double, nodes + excitations>, nodes>;

// Solves M z = K for all excitation columns at once: Gauss-Jordan with
// partial pivoting on the augmented rows. False for a singular network.
bool solve(System& m) noexcept
{
    for (int col = 0; col < nodes; ++col) {
        int pivot = col;
        for (int r = col + 1; r < nodes; ++r)
            if (std::fabs(m[r][col]) > std::fabs(m[pivot][col]))
                pivot = r;
        if (!(std::fabs(m[pivot][col]) > 0.0))
            return false;
        std::swap(m[col], m[pivot]);
        const double inverse = 1.0 / m[col][col];
        for (auto& v : m[col])
            v *= inverse;
        for (int r = 0; r < nodes; ++r) {
            if (r == col)
                continue;
            const double factor = m[r][col];
            for (int j = 0; j < nodes + excitations; ++j)
                m[r][j] -= factor * m[col][j];
        }
    }
    return true;
}

} // namespace

bool computeBaxandallModel(const Components& parts, double bass, double treble,
                           Model& model) noexcept
{
    const auto segment = [](double share, double pot) {
        return std::max(share, minimumPotShare) * pot;
    };
    const double gb1 = 1.0 / segment(bass, parts.p1);         // A - W1
    const double gb2 = 1.0 / segment(1.0 - bass, parts.p1);   // W1 - B
    const double gt1 = 1.0 / segment(treble, parts.p2);       // D - O
    const double gt2 = 1.0 / segment(1.0 - treble, parts.p2); // O - E
    const double g2 = 1.0 / parts.r2;
    const double g3 = 1.0 / parts.r3;
    const double g4 = 1.0 / parts.r4;
    const double g5 = 1.0 / parts.r5;

    // With each capacitor as a source, D = N - v1, E = v2, A = W1 + v3 and
    // B = W1 - v4, so the unknowns are N, W1 and O. Rows are Kirchhoff's
    // current law at the super-nodes {N, D} and {A, W1, B} and at O; the
    // columns after the node columns hold the excitations' coefficients on the
    // right-hand side.
    System m{};
    if (parts.r1 > 0.0) {
        const double g1 = 1.0 / parts.r1;
        m[N][N] = g1 + g4 + gt1;
        m[N][W1] = -g4;
        m[N][O] = -gt1;
        m[N][nodes + In] = g1;
        m[N][nodes + V3] = g4;
        m[N][nodes + V1] = gt1;
    } else {
        // A direct connection: N is the source.
        m[N][N] = 1.0;
        m[N][nodes + In] = 1.0;
    }
    m[W1][N] = -g4;
    m[W1][W1] = g4 + g5 + g3;
    m[W1][O] = -g3;
    m[W1][nodes + V3] = -g4;
    m[W1][nodes + V4] = g5;

    m[O][N] = -gt1;
    m[O][W1] = -g3;
    m[O][O] = gt1 + gt2 + g3 + g2;
    m[O][nodes + V1] = -gt1;
    m[O][nodes + V2] = gt2;

    if (!solve(m))
        return false;

    // Capacitor currents, each in the sense of its voltage, per excitation:
    //   C1: (D - O) gt1           = (N - v1 - O) gt1
    //   C2: (O - E) gt2           = (O - v2) gt2
    //   C3: (N - A) g4 - v3 gb1   = (N - W1 - v3) g4 - v3 gb1
    //   C4: B g5 - v4 gb2         = (W1 - v4) g5 - v4 gb2
    const std::array<double, 4> capacitance = {parts.c1, parts.c2, parts.c3, parts.c4};
    Model result;
    for (int j = 0; j < excitations; ++j) {
        const double n = m[N][nodes + j];
        const double w = m[W1][nodes + j];
        const double o = m[O][nodes + j];
        const auto own = [j](int source) { return j == source ? 1.0 : 0.0; };
        const std::array<double, 4> current = {
            (n - own(V1) - o) * gt1,
            (o - own(V2)) * gt2,
            (n - w - own(V3)) * g4 - own(V3) * gb1,
            (w - own(V4)) * g5 - own(V4) * gb2,
        };
        for (int k = 0; k < 4; ++k) {
            const double derivative = current[k] / capacitance[k];
            if (!std::isfinite(derivative) || !std::isfinite(o))
                return false;
            if (j == In)
                result.b[k] = derivative;
            else
                result.a[k][j] = derivative;
        }
        if (j == In)
            result.d = o;
        else
            result.c[j] = o;
    }
    model = result;
    return true;
}

} // namespace AudioEngine::CX1::ToneEqBaxandallDetails
