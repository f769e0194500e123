#include "hostfw/controls/epiControlKinds.h"

#include "hostfw/app/epiWindowApplication.h"
#include "hostfw/controls/epiMenuBar.h"
#include "hostfw/controls/epiUiSystemEditText.h"
#include "hostfw/controls/epiUiSystemPopup.h"
#include "hostfw/controls/epiUiSystemScroll.h"
#include "hostfw/controls/epiUiSystemToggles.h"
#include "hostfw/win/epiWindow.h"

#include <memory>

namespace {

template <typename Control> void registerKind(const char (&kind)[5])
{
    epiWindowApplication::registerUiKind(epiCode(kind), []() -> epiObject* { return new Control; });
}

} // namespace

void epiRegisterControlKinds()
{
    registerKind<epiUiSystemButton>("iSbt");
    registerKind<epiUiSystemPopup>("iSpu");
    registerKind<epiUiSystemPopupArrow>("iSpa");
    registerKind<epiUiSystemStaticText>("iSst");
    registerKind<epiUiSystemStaticScrollText>("iSrt");
    registerKind<epiUiSystemRollingText>("iSrx");
    registerKind<epiUiSystemEditText>("iSet");
    registerKind<epiUiSystemScroll>("iSsc");
    registerKind<epiUiSystemRadio>("iSrd");
    registerKind<epiUiSystemCheckBox>("iSck");
    registerKind<epiUiSystemProgressBar>("iSpb");
    epiWindow::setStripFactory([](epiWindow& window) -> std::unique_ptr<epiWindowStrip> {
        return std::make_unique<epiMenuBar>(window);
    });
}
