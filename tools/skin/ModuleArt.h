#pragma once

// The art of the module panels: the amplifier heads' faces and lamps, placed
// to match the hand-written layouts of the heads.

#include <string>
#include <vector>

#include "SkinFiles.h"

namespace skin {

// labelFontFile: the TrueType file legends are set in.
std::vector<Art> drawModules(const std::string& labelFontFile);

} // namespace skin
