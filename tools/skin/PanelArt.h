#pragma once

// The art of the editor's bars and panels: the editor background, the module
// arrows, the navigator icons, meters and lamps, the tuner faces and the
// dialogs over the editor. Placed to match the hand-written layouts.

#include <string>
#include <vector>

#include "SkinFiles.h"

namespace skin {

// labelFontFile: the TrueType file legends are set in.
std::vector<Art> drawPanels(const std::string& labelFontFile);

} // namespace skin
