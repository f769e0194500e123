#include "hostfw/win/epiWinKinds.h"

#include "hostfw/app/epiWindowApplication.h"
#include "hostfw/win/epiUiBitmapView.h"
#include "hostfw/win/epiUiDecorate.h"
#include "hostfw/win/epiWindow.h"

void epiRegisterWindowKinds()
{
    using App = epiWindowApplication;
    App::registerUiKind(epiCode("iWin"), []() -> epiObject* { return new epiWindow; });
    App::registerUiKind(epiCode("iCon"), []() -> epiObject* { return new epiUiContainer; });
    App::registerUiKind(epiCode("iCos"),
                        []() -> epiObject* { return new epiUiScrollableContainer; });
    App::registerUiKind(epiCode("iBde"), []() -> epiObject* { return new epiUiDecorate; });
    App::registerUiKind(epiCode("iSco"), []() -> epiObject* { return new epiUiSystemContainer; });
    App::registerUiKind(epiCode("iSde"), []() -> epiObject* { return new epiUiSystemDecorate; });
    App::registerUiKind(epiCode("iBvw"), []() -> epiObject* { return new epiUiBitmapView; });
    App::registerUiKind(epiCode("iBco"),
                        []() -> epiObject* { return new epiUiBitmapViewContainer; });
}
