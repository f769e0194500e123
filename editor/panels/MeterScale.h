#pragma once

namespace Zq::BorvanRAZ::GUI {

// The meters' position for a linear level: 0 dB at 0, -6 dB at -30 (the
// middle of the ladder), -60 dB at -60; silence, -60 dB or less, and a level
// that is not a finite positive number sit at the bottom, -62.
float meterPosition(float level);

} // namespace Zq::BorvanRAZ::GUI
