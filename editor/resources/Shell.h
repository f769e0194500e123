#pragma once

#include <functional>
#include <string>

namespace Zq::Application::Utils {

// Shows the folder in the desktop's file manager through xdg-open, the path
// passed as one argument (no shell reads it). Returns at once; the child is
// reaped without the caller waiting. Without xdg-open on the PATH the user is
// told so in a message box. An empty path does nothing.
void openFolderInShell(const std::string& path);

// Lets the user choose a folder, without blocking the editor: browse shows
// the chooser at `folder` (at `rootFolder` when empty) and returns at once;
// `done` runs once, with true and the folder when the user confirmed, with
// false when the user cancelled.
class FolderSelect {
public:
    using Done = std::function<void(bool confirmed, const std::string& folder)>;
    virtual ~FolderSelect() = default;
    virtual void browse(const std::string& rootFolder, const std::string& folder, Done done) = 0;
};

} // namespace Zq::Application::Utils
