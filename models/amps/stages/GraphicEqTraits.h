#pragma once

#include <array>
#include <cstddef>

namespace AudioEngine::BorvanQom {

// One slider section of a gyrator graphic equaliser: C1 and C2 in farads, R1
// and R2 in ohms. Its centre is f0 = 1 / (2 pi sqrt((R2 - R1) R1 C1 C2)) and
// its largest boost (P_boost + R1) / R1.
struct GraphicEqBandRecord {
    float c1;
    float c2;
    float r1;
    float r2;
};

// The slider's cut-side, boost-side and total resistances, then the bands in
// band order.
template <std::size_t N> struct GraphicEqComponents {
    float pCut;
    float pBoost;
    float pSlider;
    std::array<GraphicEqBandRecord, N> bands;
};

struct GraphicEqGainDescriptor {
    static constexpr float minimum = -12.0f;
    static constexpr float maximum = 12.0f;
    static constexpr float defaultValue = 0.0f;
};

// Centres 40.04, 79.70, 143.16, 310.15, 545.28, 870.95, 2276.80, 5140.88 and
// 8457.80 Hz; boosts 14.88, 12.45 (bands 1 to 6), 14.88 and 17.86 dB.
struct RE500GEQTraits {
    using GainDescriptor = GraphicEqGainDescriptor;
    static constexpr GraphicEqComponents<9> components{15000.0f,
                                                       15000.0f,
                                                       100000.0f,
                                                       {{{4.7e-7f, 4.7e-8f, 3300.0f, 220000.0f},
                                                         {2.2e-7f, 2.2e-8f, 4700.0f, 180000.0f},
                                                         {1e-7f, 1.5e-8f, 4700.0f, 180000.0f},
                                                         {4.7e-8f, 6.8e-9f, 4700.0f, 180000.0f},
                                                         {4.7e-8f, 2.2e-9f, 4700.0f, 180000.0f},
                                                         {3.3e-8f, 1e-9f, 4700.0f, 220000.0f},
                                                         {6.8e-9f, 4.7e-10f, 4700.0f, 330000.0f},
                                                         {3.3e-9f, 3.3e-10f, 3300.0f, 270000.0f},
                                                         {3.3e-9f, 3.3e-10f, 2200.0f, 150000.0f}}}};
};

// Centres 34.10, 107.62, 156.84, 308.15, 595.35, 933.78, 2083.87, 4577.84 and
// 8161.00 Hz; boosts 17.84 (bands 0, 1, 8), 13.58 (bands 2 to 6) and 14.86 dB.
struct RKM4ProGEQTraits {
    using GainDescriptor = GraphicEqGainDescriptor;
    static constexpr GraphicEqComponents<9> components{6800.0f,
                                                       6800.0f,
                                                       20000.0f,
                                                       {{{2.2e-6f, 1e-7f, 1000.0f, 100000.0f},
                                                         {4.7e-7f, 4.7e-8f, 1000.0f, 100000.0f},
                                                         {2.2e-7f, 2.2e-8f, 1800.0f, 120000.0f},
                                                         {1e-7f, 1e-8f, 1800.0f, 150000.0f},
                                                         {5.7e-8f, 4.7e-9f, 1800.0f, 150000.0f},
                                                         {3.3e-8f, 3.3e-9f, 1800.0f, 150000.0f},
                                                         {1.5e-8f, 2.2e-9f, 1800.0f, 100000.0f},
                                                         {1e-8f, 6.8e-10f, 1500.0f, 120000.0f},
                                                         {6.8e-9f, 4.7e-10f, 1000.0f, 120000.0f}}}};
};

} // namespace AudioEngine::BorvanQom
