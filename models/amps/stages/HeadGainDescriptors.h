#pragma once

// The two gain laws' ranges that every head uses: a trim in dB and a knob.
namespace AudioEngine::BorvanQom::HeadGainDescriptors {

// -80 .. +80 dB, 0 dB by default.
struct TrimDb {
    static constexpr float minimum = -80.0f;
    static constexpr float maximum = 80.0f;
    static constexpr float defaultValue = 0.0f;
};

// 0 .. 1, half-way by default.
struct Knob {
    static constexpr float minimum = 0.0f;
    static constexpr float maximum = 1.0f;
    static constexpr float defaultValue = 0.5f;
};

} // namespace AudioEngine::BorvanQom::HeadGainDescriptors
