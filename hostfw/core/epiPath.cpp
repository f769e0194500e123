#include "hostfw/core/epiPath.h"

#include "hostfw/core/epiApplicationObject.h"

#include <sys/stat.h>
#include <unistd.h>

std::string epiPath::toNative(const epiApplicationObject* application) const
{
    if (isAbsolute())
        return str();
    if (!application)
        application = epiApplicationObject::programApplication();
    epiText folder;
    if (!application || !application->getApplicationPath(folder) || folder.isEmpty())
        return str();
    std::string native = folder.str();
    if (native.back() != '/')
        native += '/';
    return native + str();
}

void epiPath::fromNative(const char* native)
{
    assign(native);
}

void epiPath::cutToFolder()
{
    const std::size_t slash = str().rfind('/');
    truncate(slash == std::string::npos ? 0 : slash + 1);
}

void epiPath::ensureTrailingSlash()
{
    if (!isEmpty() && lastChar() != '/')
        appendChar('/');
}

void epiPath::appendFolderName(const char* name)
{
    append(name);
    ensureTrailingSlash();
}

void epiPath::appendFolderText(const epiText& name)
{
    appendText(&name);
    ensureTrailingSlash();
}

void epiPath::toParentFolder()
{
    cutToFolder();
    if (lastChar() == '/')
        removeLastChar();
    cutToFolder();
}

bool epiPath::exists() const
{
    struct stat info;
    return !isEmpty() && ::stat(toNative().c_str(), &info) == 0;
}

std::u16string epiPath::toNativeWide() const
{
    std::u16string wide;
    if (!epiUtf8ToUtf16(toNative(), wide))
        wide.clear();
    return wide;
}

bool epiPath::fromNativeWide(const char16_t* native)
{
    std::string utf8;
    if (!native || !epiUtf16ToUtf8(native, utf8))
        return false;
    fromNative(utf8.c_str());
    return true;
}

bool epiPath::deleteFile() const
{
    return !isEmpty() && ::unlink(toNative().c_str()) == 0;
}

epiPath epiPath::getParent() const
{
    epiPath parent(*this);
    parent.cutToFolder();
    return parent;
}

epiText epiPath::getFileName() const
{
    std::string name = str();
    if (!name.empty() && name.back() == '/')
        name.pop_back();
    const std::size_t slash = name.rfind('/');
    return epiText(slash == std::string::npos ? name : name.substr(slash + 1));
}

epiText epiPath::getExtension() const
{
    const std::string name = getFileName().str();
    const std::size_t dot = name.rfind('.');
    return epiText(dot == std::string::npos ? name : name.substr(dot + 1));
}

epiText epiPath::getNameWithoutExtension() const
{
    const std::string name = getFileName().str();
    const std::size_t dot = name.rfind('.');
    return epiText(dot == std::string::npos ? name : name.substr(0, dot));
}

void epiPath::insertBeforeExtension(const char* suffix)
{
    const epiText extension = getExtension();
    std::string rebuilt =
        getParent().str() + getNameWithoutExtension().str() + (suffix ? suffix : "");
    rebuilt += "." + extension.str();
    assign(rebuilt.c_str());
}

void epiPath::replaceExtension(const char* extension)
{
    std::string rebuilt = getParent().str() + getNameWithoutExtension().str();
    rebuilt += ".";
    rebuilt += extension ? extension : "";
    assign(rebuilt.c_str());
}

namespace {

epiFileDialogPresenter& fileDialogPresenter()
{
    static epiFileDialogPresenter presenter;
    return presenter;
}

bool askFile(epiFileDialogKind kind, epiPath& path)
{
    const epiFileDialogPresenter presenter = fileDialogPresenter();
    if (!presenter)
        return false;
    epiPath chosen = path;
    if (!presenter(kind, chosen))
        return false;
    path = chosen;
    return true;
}

} // namespace

epiFileDialogPresenter setFileDialogPresenter(epiFileDialogPresenter presenter)
{
    std::swap(fileDialogPresenter(), presenter);
    return presenter;
}

bool epiPath::askOpenFile()
{
    return askFile(epiFileDialogKind::open, *this);
}

bool epiPath::askSaveFile()
{
    return askFile(epiFileDialogKind::save, *this);
}
