#pragma once

#include <string>

namespace Zq::Application::Utils {

// Shows the folder in the desktop's file manager through xdg-open, the path
// passed as one argument (no shell reads it). Returns at once; the child is
// reaped without the caller waiting. Without xdg-open on the PATH the user is
// told so in a message box. An empty path does nothing.
void openFolderInShell(const std::string& path);

// Lets the user choose a folder. `folder` holds the folder to preselect (none
// when empty) and receives the choice; true when the user confirmed.
class FolderSelect {
public:
    virtual ~FolderSelect() = default;
    virtual bool browse(const std::string& rootFolder, std::string& folder) = 0;
};

} // namespace Zq::Application::Utils
