#pragma once

#include "hostfw/app/epiApplication.h"

class epiUbo;

// The application with windows: the framework's object factory, the first
// windows and the run loop.
//
// The factory answers group 'Appl' with the five services ('Clip', 'Keyb',
// 'Menu', 'Rsrc', 'Wind') and group 'GrUi' from a table that each part of the
// user interface fills with its own kinds (windows, containers, widgets,
// native controls), then the bitmaps 'iBmp' (epiBitmap) and 'iBmD'
// (epiBitmapDib); any other 'GrUi' kind gives a plain epiUbo. Everything else goes to
// epiApplication's factory.
class epiWindowApplication : public epiApplication {
public:
    using UiMaker = epiObject* (*)();

    epiObject* createObject(epiFourCC group, epiFourCC kind, void* argument) override;
    // Opens the first windows, then runs the window manager's message loop
    // until it quits, then the hook after the loop; 0.
    int run(int argc, char** argv) override;

    // Windows: the factory's 'iWin' object, unless a derived application
    // answers the kind itself; null when it is not a UI object.
    virtual epiUbo* createWindowObject(epiFourCC kind);
    // A layout document's content "name" is the window's kind: the window is
    // created, counted, initialised, attached, named and built from the
    // document. Null without "epi"/"content" or a window for the kind.
    epiUbo* buildWindowFromLayoutText(const epiText& document);
    // The same from the 'laya' resource of that name.
    epiUbo* openWindowFromLayout(const char* layoutName);
    // A window of the kind without a layout, created, opened and shown.
    epiUbo* openWindowOfKind(epiFourCC kind);

    // Keeps the arguments while the first windows open.
    void startWithArguments(int argc, char** argv);
    // The arguments of the start, only while the first windows open.
    bool getStartArguments(int& argc, char**& argv) const;

    // Adds (or replaces) the maker of a 'GrUi' kind for every application.
    static void registerUiKind(epiFourCC kind, UiMaker maker);
    static void unregisterUiKind(epiFourCC kind);

protected:
    // The host opens its windows here.
    virtual void openFirstWindows() {}
    virtual void afterLoop() {}

private:
    int startArgc_ = 0;
    char** startArgv_ = nullptr;
};
