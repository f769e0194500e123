#include "hostfw/app/epiWindowApplication.h"

#include "hostfw/app/epiKeyboard.h"
#include "hostfw/app/epiMenu.h"
#include "hostfw/app/epiWindowManager.h"
#include "hostfw/gfx/epiBitmapDib.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/res/epiXmlChunk.h"
#include "hostfw/ui/epiUbo.h"

#include <map>
#include <new>

namespace {
std::map<epiFourCC, epiWindowApplication::UiMaker>& uiKinds()
{
    static std::map<epiFourCC, epiWindowApplication::UiMaker> table;
    return table;
}
} // namespace

void epiWindowApplication::registerUiKind(epiFourCC kind, UiMaker maker)
{
    if (maker)
        uiKinds()[kind] = maker;
}

void epiWindowApplication::unregisterUiKind(epiFourCC kind)
{
    uiKinds().erase(kind);
}

epiObject* epiWindowApplication::createObject(epiFourCC group, epiFourCC kind, void* argument)
{
    if (group == epiCode("Appl")) {
        switch (kind) {
        case epiCode("Clip"):
            return new epiClipboard;
        case epiCode("Keyb"):
            return new epiKeyboard;
        case epiCode("Menu"):
            return new epiMenu;
        case epiCode("Rsrc"):
            return new epiResources;
        case epiCode("Wind"):
            return new epiWindowManager;
        default:
            break;
        }
    } else if (group == epiCode("GrUi")) {
        const auto found = uiKinds().find(kind);
        if (found != uiKinds().end())
            return found->second();
        if (kind == epiCode("iBmp"))
            return new epiBitmap;
        if (kind == epiCode("iBmD"))
            return new epiBitmapDib;
        if (epiObject* plain = new (std::nothrow) epiUbo)
            return plain;
    }
    return epiApplication::createObject(group, kind, argument);
}

int epiWindowApplication::run(int argc, char** argv)
{
    startWithArguments(argc, argv);
    if (epiWindowManager* manager = getWindowManager())
        manager->runMessageLoop();
    afterLoop();
    return 0;
}

void epiWindowApplication::startWithArguments(int argc, char** argv)
{
    startArgc_ = argc;
    startArgv_ = argv;
    openFirstWindows();
    startArgc_ = 0;
    startArgv_ = nullptr;
}

bool epiWindowApplication::getStartArguments(int& argc, char**& argv) const
{
    if (!startArgv_)
        return false;
    argc = startArgc_;
    argv = startArgv_;
    return true;
}

epiUbo* epiWindowApplication::createWindowObject(epiFourCC)
{
    epiObject* made = createObject(epiCode("GrUi"), epiCode("iWin"), nullptr);
    auto* window = dynamic_cast<epiUbo*>(made);
    if (!window)
        delete made;
    return window;
}

epiUbo* epiWindowApplication::buildWindowFromLayoutText(const epiText& document)
{
    epiXmlChunk root;
    root.setText(document);
    const epiXmlChunk content = root.getChild("epi").getChild("content");
    if (content.isEmpty())
        return nullptr;
    const epiFourCC kind = content.getChild("name").getText().toFourCC();
    epiUbo* window = createWindowObject(kind);
    if (!window)
        return nullptr;
    window->enableReferenceCount();
    window->init();
    window->attach(this);
    window->setId(kind);
    window->applyLayout(content);
    return window;
}

epiUbo* epiWindowApplication::openWindowFromLayout(const char* layoutName)
{
    epiResources* resources = getResources();
    epiText document;
    if (!resources || !layoutName || !resources->loadText(layoutName, epiCode("laya"), document))
        return nullptr;
    return buildWindowFromLayoutText(document);
}

epiUbo* epiWindowApplication::openWindowOfKind(epiFourCC kind)
{
    epiUbo* window = createWindowObject(kind);
    if (!window)
        return nullptr;
    window->enableReferenceCount();
    window->init();
    window->attach(this);
    window->setId(kind);
    window->create();
    window->open();
    window->setVisible(true, true);
    return window;
}
