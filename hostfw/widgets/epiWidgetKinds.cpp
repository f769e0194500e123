#include "hostfw/widgets/epiWidgetKinds.h"

#include "hostfw/app/epiWindowApplication.h"
#include "hostfw/widgets/epiUiBitmapPopup.h"
#include "hostfw/widgets/epiUiBitmapWidgets.h"
#include "hostfw/widgets/epiUiDynamicWidgets.h"
#include "hostfw/widgets/epiUiPopupMenu.h"
#include "hostfw/widgets/epiUiTextWidgets.h"

namespace {

template <typename Widget> void registerKind(const char (&kind)[5])
{
    epiWindowApplication::registerUiKind(epiCode(kind), []() -> epiObject* { return new Widget; });
}

} // namespace

void epiRegisterWidgetKinds()
{
    registerKind<epiUiBitmapImage>("iBim");
    registerKind<epiUiBitmapFilmImage>("iBfi");
    registerKind<epiUiBitmapRotary>("iBrt");
    registerKind<epiUiBitmapTriggeredRotary>("iBrr");
    registerKind<epiUiBitmapScroll>("iBsc");
    registerKind<epiUiBitmapButton>("iBbt");
    registerKind<epiUiBitmapCheckBox>("iBck");
    registerKind<epiUiBitmapRadio>("iBrd");
    registerKind<epiUiBitmapCheckBoxWithText>("iBct");
    registerKind<epiUiBitmapCheckWithIcon>("iBci");
    registerKind<epiUiBitmapButtonWithIcon>("iBbi");
    registerKind<epiUiBitmapLevMeter>("iBlm");
    registerKind<epiUiBitmapText>("iBst");
    registerKind<epiUiBitmapTextRolling>("iBtr");
    registerKind<epiUiBitmapButtonWithText>("iBwt");
    registerKind<epiUiBitmapRadioWithText>("iBrs");
    registerKind<epiUiBitmapPopup>("iBpu");
    registerKind<epiUiPopupMenu>("iPmu");
    registerKind<epiUiDynamicImage>("iDim");
    registerKind<epiUiDynamicButton>("iDbt");
    registerKind<epiUiDynamicCheckBox>("iDck");
    registerKind<epiUiDynamicKnob>("iDkn");
    registerKind<epiUiDynamicLevelMeter>("iDlv");
}
