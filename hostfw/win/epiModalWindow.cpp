#include "hostfw/win/epiModalWindow.h"

#include "hostfw/app/epiWindowManager.h"

epiModalWindow::epiModalWindow()
{
    setAttribute(epiCode("Modl"), 1);
}

void epiModalWindow::onOpened()
{
    if (isVisible())
        runModalLoop();
}

void epiModalWindow::onVisibilityChanged()
{
    epiWindow::onVisibilityChanged();
    if (isVisible() && !loopStarted_ && hostWindow())
        runModalLoop();
}

int epiModalWindow::runModalLoop()
{
    loopStarted_ = true;
    epiWindowManager* manager = windowManager();
    if (!hostWindow() || !manager)
        return 0;
    // The window may be released by what runs inside its own loop.
    retain();
    while (hostWindow())
        manager->runTurn(false);
    release();
    return 0;
}
