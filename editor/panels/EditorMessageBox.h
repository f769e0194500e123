#pragma once

namespace Zq::BorvanRAZ::GUI {

// The editor's questions as X11 message boxes while an editor window is open.
//
// The message sink is process-wide (platform::setMessageHandler); the first
// living scope installs the X11 box of platform/x11 and the last one to go
// puts back the handler that was there before, so that a host with several
// editors open, or none, keeps one consistent sink. The box runs its own
// event loop on a connection of its own until answered, inside the editor's
// event and so under the document lock, as a task-modal box does. Without a
// display (or with ZQ_MESSAGE_BOX=stderr) the previous handler answers.
//
// The editor root holds one for as long as its window is open. UI thread.
class EditorMessageBox {
public:
    EditorMessageBox();
    ~EditorMessageBox();
    EditorMessageBox(const EditorMessageBox&) = delete;
    EditorMessageBox& operator=(const EditorMessageBox&) = delete;

    // How many scopes are alive.
    static int count();
};

} // namespace Zq::BorvanRAZ::GUI
