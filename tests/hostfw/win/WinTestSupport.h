#pragma once

#include "hostfw/app/epiWindowApplication.h"
#include "hostfw/app/epiWindowManager.h"
#include "hostfw/win/epiWinKinds.h"
#include "hostfw/win/epiWindow.h"
#include "platform/headless/HeadlessWindowSystem.h"

#include <string>
#include <vector>

namespace test::win {

// An application whose windows live on a headless window system, with a
// clock the test sets. The window manager keeps running when the last
// window closes unless a test asks otherwise.
struct WinApp : epiWindowApplication {
    explicit WinApp(platform::ui::WindowSystem* windows = nullptr)
    {
        epiRegisterWindowKinds();
        setClock([this] { return clock; });
        setEventPump(windows ? windows : &headless);
        init();
        getWindowManager()->setQuitOnLastWindow(false);
    }
    ~WinApp() override { exit(); }

    // Turns of the message loop until nothing is pending.
    void settle(int turns = 8)
    {
        for (int i = 0; i < turns; ++i)
            getWindowManager()->runTurn();
    }

    double clock = 0.0;
    platform::ui::HeadlessWindowSystem headless;
};

// A window that writes down what reaches it.
struct LogWindow : epiWindow {
    void onActivated() override { log.push_back("activated"); }
    void onDeactivated() override { log.push_back("deactivated"); }
    void onFileDroppedAt(const epiPath& path, const epiPoint& point) override
    {
        log.push_back("drop " + path.str() + " " + std::to_string(point.x) + "," +
                      std::to_string(point.y));
    }
    bool canClose() override
    {
        log.push_back("canClose");
        return closable;
    }
    void close() override
    {
        if (hostWindow())
            log.push_back("close");
        epiWindow::close();
    }
    void onMessage(epiFourCC key, epiUbo*, void*) override
    {
        if (key == epiCode("boCh"))
            log.push_back("boCh");
    }
    bool onCommand(epiFourCC id) override
    {
        commands.push_back(id);
        return epiWindow::onCommand(id);
    }

    bool closable = true;
    std::vector<std::string> log;
    std::vector<epiFourCC> commands;
};

// A child that fills itself with its colour and writes down what reaches it.
struct PaintChild : epiUbo {
    explicit PaintChild(std::uint32_t argb = 0xFFFF0000) : colour(argb) {}
    void draw(const epiRect& clip) override
    {
        ++draws;
        clips.push_back(clip);
        fillRect(getBounds(), colour);
        epiUbo::draw(clip);
    }
    void onMouseDown(const epiPoint& point) override
    {
        log.push_back("down " + std::to_string(point.x) + "," + std::to_string(point.y));
        reportHit();
    }
    void onMouseWheel(const epiPoint&, int notches) override
    {
        log.push_back("wheel " + std::to_string(notches));
    }
    void onMouseDrag(const epiPoint&) override { log.push_back("drag"); }

    epiColor colour;
    int draws = 0;
    std::vector<epiRect> clips;
    std::vector<std::string> log;
};

// Adds a counted child at the frame and runs its life cycle up to shown.
template <class T> T* addChild(epiUbo& parent, T* child, const epiRect& frame, epiFourCC id = 0)
{
    child->enableReferenceCount();
    child->setId(id);
    child->setRect(frame);
    if (!parent.addChild(child)) {
        child->release();
        return nullptr;
    }
    child->create();
    child->open();
    child->onReady();
    child->setVisible(true, true);
    return child;
}

} // namespace test::win
