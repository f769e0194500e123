#pragma once

#include "hostfw/app/epiWindowApplication.h"
#include "hostfw/app/epiWindowManager.h"
#include "hostfw/ui/epiUbo.h"
#include "platform/EventPump.h"

#include <string>
#include <vector>

// An application on a headless pump and a clock the test sets.
struct TestApplication : epiWindowApplication {
    TestApplication()
    {
        setClock([this] { return clock; });
        setEventPump(&events);
    }
    ~TestApplication() override { exit(); }

    double clock = 0.0;
    platform::HeadlessEventPump events;
};

// A top-level window stand-in: takes children, has a native handle of its
// own and records what reaches it.
struct RecordingWindow : epiUbo {
    explicit RecordingWindow(std::vector<std::string>* log = nullptr, const char* name = "window")
        : log(log), name(name)
    {
    }
    bool canHaveChildren() const override { return true; }
    void* nativeHandle() const override { return const_cast<RecordingWindow*>(this); }
    bool onCommand(epiFourCC code) override
    {
        commands.push_back(code);
        if (log)
            log->push_back(name);
        return handles;
    }
    void onKeyDown(int code) override { key("down", code); }
    void onKeyRepeat(int code) override { key("repeat", code); }
    void onKeyUp(int code) override { key("up", code); }
    void key(const char* what, int code)
    {
        keys.push_back(std::string(what) + " " + std::to_string(code));
    }

    std::vector<std::string>* log;
    std::string name;
    bool handles = false;
    std::vector<epiFourCC> commands;
    std::vector<std::string> keys;
};
