#pragma once

#include <cmath>
#include <string>

namespace Zq::BorvanRAZ::GUI {

// The tuner's note number, truncated toward zero, as a name; a number out of
// 0..11 (or not a number) shows nothing. The names are static, so showing one
// allocates nothing.
inline const std::string& noteName(float note)
{
    static const std::string names[] = {"C", "C#", "D", "D#", "E", "F", "F#",
                                        "G", "G#", "A", "A#", "B", ""};
    if (!(note > -1.0f && note < 12.0f))
        return names[12];
    return names[static_cast<int>(std::trunc(note))];
}

} // namespace Zq::BorvanRAZ::GUI
