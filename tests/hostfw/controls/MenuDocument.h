#pragma once

// The main window's menu document as the control tests read it: a File menu
// with two shortcuts and a separator, and a Help menu.

namespace testmenus {

inline constexpr const char* kMenuDocument = R"(<?xml version="1.0"?>
<epi><content><menulist>
  <item><text>File</text><menulist>
    <item><text>Audio and MIDI Setup...</text><name>amst</name></item>
    <item><text>Tempo...</text><name>bpst</name><shortcut><char>t</char></shortcut></item>
    <item><isseparator>1</isseparator></item>
    <item><text>Quit</text><name>quit</name><shortcut><char>q</char></shortcut></item>
  </menulist></item>
  <item><text>Help</text><menulist>
    <item><text>About</text><name>abou</name></item>
  </menulist></item>
</menulist></content></epi>)";

} // namespace testmenus
