#include "host/app/vphoApplication.h"

#include "host/app/vphoHostWindows.h"
#include "hostfw/app/epiMenu.h"
#include "hostfw/app/epiWindowManager.h"
#include "hostfw/controls/epiControlKinds.h"
#include "hostfw/controls/epiFileDialog.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/widgets/epiWidgetKinds.h"
#include "hostfw/win/epiWinKinds.h"
#include "platform/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

bool vphoOpenResourcePack(epiResources& resources, const vphoPluginLoadInfo& info,
                          const std::string& applicationFolder, std::string& problem)
{
    if (resources.openEmbedded(epiResources::kEmbeddedPackId, nullptr))
        return true;
    const std::string name = info.getInternalName();
    if (resources.findAndOpen(name.c_str(), name.c_str()))
        return true;
    problem = "no resource pack found. Searched the pack built into the program, then \"" + name +
              ".frs\" and \"" + name + ".prs\" in \"" + applicationFolder + "\", in \"" +
              applicationFolder + name + ".app/Contents/Resources/\" and in \"" +
              applicationFolder + "../Resources/\".";
    return false;
}

void vphoFailWithoutResourcePack(const vphoPluginLoadInfo& info, const std::string& problem)
{
    const std::string text = std::string(info.getProductName()) + " cannot start: " + problem;
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    platform::showMessageBox(text, info.getWindowTitle(), 0);
    std::exit(kNoResourcePackExit);
}

bool vphoApplication::openResourcePack()
{
    epiResources* resources = getResources();
    std::string problem = "the resource service did not start.";
    if (resources && vphoOpenResourcePack(*resources, *info_, applicationPath().getCStr(), problem))
        return true;
    vphoFailWithoutResourcePack(*info_, problem);
}

void vphoApplication::registerKinds()
{
    epiRegisterWindowKinds();
    epiRegisterWidgetKinds();
    epiRegisterControlKinds();
}

epiUbo* vphoApplication::createWindowObject(epiFourCC kind)
{
    switch (kind) {
    case vphoHostWindow::kKind:
        if (host_)
            return nullptr; // one plug-in window a run
        host_ = new vphoHostWindow(nativeIds_);
        return host_;
    case epiCode("lowa"):
        return new vphoLoadingWindow;
    case epiCode("mesg"):
        return new ejpMessage;
    case epiCode("bmse"):
        return new vphoBpmSetupWindow;
    case epiCode("ause"):
        return new vphoAudioMidiSetup;
    default:
        return epiWindowApplication::createWindowObject(kind);
    }
}

void vphoApplication::exit()
{
    if (vphoHostWindow* host = std::exchange(host_, nullptr)) {
        epiWindowManager* manager = getWindowManager();
        if (!manager || manager->findWindowByKind(vphoHostWindow::kKind) != host)
            host->exit();
    }
    epiWindowApplication::exit();
}

void vphoApplication::openFirstWindows()
{
    info_ = std::make_unique<BorvanQomPluginLoadInfo>();
    openResourcePack();
    if (info_->hasMainBar() && getMenu())
        getMenu()->loadMenuBar(vphoMidiLayout(*info_, "mainbar_midi.xml", "mainbar_nomidi.xml"));
    openWindowFromLayout("loading.xml");
    if (!openWindowFromLayout("host.xml")) {
        const std::string text = std::string(info_->getProductName()) +
                                 " cannot start: the main window's layout \"host.xml\" did not "
                                 "open.";
        std::fprintf(stderr, "%s\n", text.c_str());
        platform::showMessageBox(text, info_->getWindowTitle(), 0);
        std::exit(1);
    }
    info_.reset();
}

int hostWinMain(int argc, char** argv, platform::EventPump* windows, bool nativeIds)
{
    vphoApplication::registerKinds();
    vphoApplication* application = vphoApplication::create();
    application->setEventPump(windows);
    application->setNativeWindowIds(nativeIds);
    epiFileDialog::install(*application);
    const int result = application->entry(argc, argv);
    setFileDialogPresenter(nullptr);
    delete application;
    return result;
}
