#pragma once

#include <optional>
#include <string>

namespace Zq::Application::DocView {

// Numbers in presets and state chunks are always written and read in the C
// locale: hosts often set a process locale with a decimal comma, and a chunk
// written "0,500000" would read back as 0 elsewhere.

// The text of v in a state or preset: the printf "%f" form (six digits after
// the point) whenever it reads back as v, so everything that form always
// wrote stays byte for byte; otherwise the shortest fixed-point text that
// reads back as v exactly. Never an exponent. (NaN and infinities: "%f".)
std::string formatFixed(float v);

// The leading number of the text, as the C library's atof reads it (0 when the
// text starts with no number); nothing when it reads as NaN, which the caller
// treats as a missing value. Beyond the float range gives an infinity.
std::optional<float> parseNumber(const char* text);

} // namespace Zq::Application::DocView
