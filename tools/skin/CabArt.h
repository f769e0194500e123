#pragma once

// The art of the cabinet panels: the six cabinets with their control plate,
// the microphone picture in its twelve frames, the back panels and the few
// controls only the cabinet uses, placed to match the hand-written cabinet
// layouts.

#include <string>
#include <vector>

#include "SkinFiles.h"

namespace skin {

// labelFontFile: the TrueType file legends are set in.
std::vector<Art> drawCabinets(const std::string& labelFontFile);

} // namespace skin
