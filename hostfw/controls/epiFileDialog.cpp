#include "hostfw/controls/epiFileDialog.h"

#include "hostfw/app/epiWindowApplication.h"
#include "hostfw/app/epiWindowManager.h"
#include "hostfw/controls/epiUiSystemEditText.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

epiFileDialog::OpenedHook& openedHook()
{
    static epiFileDialog::OpenedHook hook;
    return hook;
}

const std::vector<std::string>& noRows()
{
    static const std::vector<std::string> none;
    return none;
}

bool isFolder(const std::string& native)
{
    std::error_code error;
    return fs::is_directory(native, error);
}

// The folder's visible entries, folders first ("name/"), each group in byte
// order; nothing when it cannot be read.
std::vector<std::string> listFolder(const std::string& folder)
{
    std::vector<std::string> folders;
    std::vector<std::string> files;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.')
            continue;
        std::error_code kindError;
        if (it->is_directory(kindError))
            folders.push_back(name + "/");
        else
            files.push_back(name);
    }
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());
    folders.insert(folders.end(), files.begin(), files.end());
    return folders;
}

} // namespace

epiFileDialog::epiFileDialog(epiFileDialogKind kind, const epiPath& start)
    : kind_(kind), start_(start)
{
}

epiFileDialog::OpenedHook epiFileDialog::setOpenedHook(OpenedHook hook)
{
    std::swap(openedHook(), hook);
    return hook;
}

void epiFileDialog::install(epiWindowApplication& app)
{
    setFileDialogPresenter(
        [&app](epiFileDialogKind kind, epiPath& path) { return present(app, kind, path); });
}

bool epiFileDialog::present(epiWindowApplication& app, epiFileDialogKind kind, epiPath& path)
{
    epiWindowManager* manager = app.getWindowManager();
    if (!manager || !dynamic_cast<platform::ui::WindowSystem*>(&manager->pump()))
        return false;
    auto* dialog = new epiFileDialog(kind, path);
    dialog->enableReferenceCount();
    dialog->init();
    dialog->attach(&app);
    dialog->setId(epiCode("fdlg"));
    dialog->setText(kind == epiFileDialogKind::open ? "Open" : "Save As");
    // The layout creates and opens the window, whose loop returns once the
    // dialog has closed.
    const bool answer = dialog->loadLayout("FileDialog.xml") && dialog->accepted_;
    if (answer)
        path = dialog->chosen_;
    dialog->exit();
    return answer;
}

void epiFileDialog::onReady()
{
    epiModalWindow::onReady();
    if (epiUbo* area = findChild(epiCode("list"))) {
        list_ = new epiFileList;
        list_->enableReferenceCount();
        list_->setRect(area->getBounds());
        if (area->addChild(list_)) {
            list_->create();
            list_->setVisible(true, false);
            list_->setListener([this](int row, bool opened) {
                const std::string& name = entries()[static_cast<std::size_t>(row)];
                const bool folder = !name.empty() && name.back() == '/';
                if (opened) {
                    openEntry(row);
                } else if (!folder) {
                    setChildText(epiCode("path"), name.c_str());
                }
            });
        } else {
            list_->release();
            list_ = nullptr;
        }
    }
    // The start: the path's folder and its name, the application's folder
    // for a bare name.
    const std::string native = start_.toNative(getApplication());
    const std::size_t slash = native.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
    if (folder.empty() || !isFolder(folder)) {
        std::error_code error;
        folder = fs::current_path(error).string();
    }
    showFolder(epiPath(folder));
    setChildText(epiCode("path"),
                 slash == std::string::npos ? native.c_str() : native.substr(slash + 1).c_str());
}

void epiFileDialog::onOpened()
{
    // The field takes the keys first, its name selected.
    if (auto* field = dynamic_cast<epiUiSystemEditText*>(findChild(epiCode("path")))) {
        field->takeFocus();
        field->selectAll();
    }
    if (openedHook())
        openedHook()(*this);
    epiModalWindow::onOpened();
}

epiFileList* epiFileDialog::list() const
{
    return list_;
}

const std::vector<std::string>& epiFileDialog::entries() const
{
    return list_ ? list_->rows() : noRows();
}

void epiFileDialog::showFolder(const epiPath& folder)
{
    epiPath shown(folder);
    shown.ensureTrailingSlash();
    // "a/b/../" is shown as "a/".
    std::string normal = fs::path(shown.str()).lexically_normal().string();
    if (normal.empty())
        normal = "/";
    if (normal.back() != '/')
        normal += '/';
    folder_ = epiPath(normal);
    std::vector<std::string> rows;
    if (normal != "/")
        rows.push_back("..");
    const std::vector<std::string> found = listFolder(normal);
    rows.insert(rows.end(), found.begin(), found.end());
    if (list_)
        list_->setRows(std::move(rows));
    setChildText(epiCode("fold"), normal.c_str());
}

void epiFileDialog::openEntry(int index)
{
    const auto& rows = entries();
    if (index < 0 || index >= static_cast<int>(rows.size()))
        return;
    const std::string name = rows[static_cast<std::size_t>(index)];
    if (name == "..") {
        epiPath up(folder_);
        up.toParentFolder();
        showFolder(up);
        return;
    }
    if (name.back() == '/') {
        showFolder(epiPath(folder_.str() + name));
        return;
    }
    setChildText(epiCode("path"), name.c_str());
    accept();
}

void epiFileDialog::accept()
{
    const std::string typed = getChildTextCStr(epiCode("path"));
    if (typed.empty())
        return;
    const std::string resolved = typed[0] == '/' ? typed : folder_.str() + typed;
    if (isFolder(resolved)) {
        // A folder is opened, not chosen.
        showFolder(epiPath(resolved));
        setChildText(epiCode("path"), "");
        return;
    }
    chosen_ = epiPath(resolved);
    accepted_ = true;
    close();
}

bool epiFileDialog::onCommand(epiFourCC id)
{
    if (id == epiCode("okay")) {
        accept();
        return true;
    }
    if (id == epiCode("cncl") || id == epiCode("clos")) {
        accepted_ = false;
        close();
        return true;
    }
    return epiModalWindow::onCommand(id);
}

void epiFileDialog::closeRequested()
{
    accepted_ = false;
    close();
}
