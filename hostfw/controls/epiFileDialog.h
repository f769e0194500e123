#pragma once

#include "hostfw/controls/epiFileList.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/win/epiModalWindow.h"

#include <functional>
#include <string>
#include <vector>

class epiWindowApplication;

// The open and save dialogs of the paths: a modal window made from the
// layout "FileDialog.xml" of the application's resources, with the current
// folder's name ('fold'), its folders (after "..") and files in a list
// ('list'), the path field ('path'), OK ('okay') and Cancel ('cncl').
//
// It starts in the folder of the path it is given (the application's folder
// for a relative or bare name), with the path's file name in the field. A
// file chosen in the list fills the field; a folder opened in the list (or
// typed into the field and confirmed) is shown instead. OK takes the field's
// name, relative to the shown folder unless it begins with "/", and answers
// true with it; Cancel, the close box and a missing layout answer false and
// leave the path as it was. There is no filter: every entry shows, hidden
// ones ("." first) excepted. A folder that cannot be read shows no entries
// but "..".
class epiFileDialog : public epiModalWindow {
public:
    epiFileDialog(epiFileDialogKind kind, const epiPath& start);

    // Shows the dialog and waits until it closes; false without a window
    // system, without the layout, or when cancelled.
    static bool present(epiWindowApplication& app, epiFileDialogKind kind, epiPath& path);
    // Makes the dialog answer every path's askOpenFile and askSaveFile; the
    // application must outlive the presenter (install another, or none,
    // before it goes).
    static void install(epiWindowApplication& app);
    // Called with the dialog once it shows, before its loop runs: tests act
    // on it there (or answer through the paths' presenter, without a window).
    using OpenedHook = std::function<void(epiFileDialog&)>;
    static OpenedHook setOpenedHook(OpenedHook hook);

    // The list in its place, the start folder and name.
    void onReady() override;
    void onOpened() override;
    bool onCommand(epiFourCC id) override;
    void closeRequested() override;

    void showFolder(const epiPath& folder);
    const epiPath& folder() const { return folder_; }
    // The list's rows: "..", then "name/" for folders and the files' names.
    const std::vector<std::string>& entries() const;
    // As a press on the selected row: a folder opens, a file is chosen.
    void openEntry(int index);
    bool accepted() const { return accepted_; }
    const epiPath& chosen() const { return chosen_; }
    epiFileDialogKind kind() const { return kind_; }

private:
    void accept();
    epiFileList* list() const;

    epiFileDialogKind kind_;
    epiPath start_;
    epiPath folder_;
    epiPath chosen_;
    bool accepted_ = false;
    epiFileList* list_ = nullptr;
};
