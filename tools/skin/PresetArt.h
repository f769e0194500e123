#pragma once

// The preset bar's and its dialogs' images, drawn with cairo in the rig's look.

#include <string>
#include <vector>

#include "SkinFiles.h"

namespace skin {

// The name display, the labelled buttons of the preset bar and of the save
// dialog and folder chooser (released, pressed, highlight), the dialogs'
// plates, the name field and the small check box. Labels in the TrueType
// font given.
std::vector<Art> drawPresetArt(const std::string& labelFontFile);

} // namespace skin
