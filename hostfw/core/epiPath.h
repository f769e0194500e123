#pragma once

#include "hostfw/core/epiText.h"

#include <functional>
#include <string>

class epiApplicationObject;

// A file or folder name in the framework's notation: "/" separates, a leading
// "/" makes the path absolute, a trailing "/" names a folder. On this system
// the native notation is the same, so conversion only resolves a relative path
// against the application's folder; the text is UTF-8 throughout.
class epiPath : public epiText {
public:
    epiPath() = default;
    epiPath(const char* text) : epiText(text) {}
    epiPath(std::string text) : epiText(std::move(text)) {}
    epiPath(const epiText& text) : epiText(text) {}

    // The name for system calls: a relative path gets the folder of the given
    // application object (or of the program's application) in front.
    virtual std::string toNative(const epiApplicationObject* application = nullptr) const;
    virtual void fromNative(const char* native);
    // Keeps everything up to and including the last "/".
    virtual void cutToFolder();
    // Appends "/" unless the path is empty or already ends in one.
    virtual void ensureTrailingSlash();
    virtual void appendFolderName(const char* name);
    virtual void appendFolderText(const epiText& name);
    virtual void toParentFolder();
    virtual bool isFolder() const { return lastChar() == '/'; }
    virtual bool exists() const;
    virtual bool isAbsolute() const { return !isEmpty() && getCStr()[0] == '/'; }
    // UTF-16 forms of the native path, for callers that want them.
    virtual std::u16string toNativeWide() const;
    virtual bool fromNativeWide(const char16_t* native);

    bool deleteFile() const;
    epiPath getParent() const;
    epiText getFileName() const;
    epiText getExtension() const;
    epiText getNameWithoutExtension() const;
    void insertBeforeExtension(const char* suffix);
    void insertBeforeExtension(const epiText& suffix) { insertBeforeExtension(suffix.getCStr()); }
    void replaceExtension(const char* extension);
    void replaceExtension(const epiText& extension) { replaceExtension(extension.getCStr()); }

    // The open and save dialogs, starting from this path. On OK the path
    // becomes the chosen one and the answer is true; on cancel or any error the
    // path stays as it was and the answer is false.
    bool askOpenFile();
    bool askSaveFile();
};

enum class epiFileDialogKind { open, save };

// Who answers epiPath's dialogs: the framework's dialog window once the
// controls are set up, or a test. The presenter gets the path to start from
// and changes it only when it answers true. Without one, every dialog answers
// false. Returns the presenter that was installed before.
using epiFileDialogPresenter = std::function<bool(epiFileDialogKind, epiPath&)>;
epiFileDialogPresenter setFileDialogPresenter(epiFileDialogPresenter presenter);
