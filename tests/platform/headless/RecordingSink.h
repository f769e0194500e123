#pragma once

#include <string>
#include <vector>

#include "platform/headless/WindowLayer.h"

namespace test::ui {

// Writes down every call of a window, one short line each.
class RecordingSink : public platform::ui::WindowSink {
public:
    void exposed(const platform::ui::Rect& a) override
    {
        add("expose " + numbers({a.x, a.y, a.width, a.height}));
    }
    void moved(int x, int y) override { add("moved " + numbers({x, y})); }
    void resized(int w, int h) override { add("resized " + numbers({w, h})); }
    void closeRequested() override { add("close"); }
    void focusChanged(bool focused) override { add(focused ? "focus in" : "focus out"); }
    void pointer(platform::ui::PointerAction action, int x, int y, int delta) override
    {
        static const char* names[] = {"down", "up", "move", "drag", "wheel"};
        std::string line = std::string(names[static_cast<int>(action)]) + " " + numbers({x, y});
        if (action == platform::ui::PointerAction::Wheel)
            line += " " + std::to_string(delta);
        add(line);
    }
    void filesDropped(const std::vector<std::string>& paths, int x, int y) override
    {
        std::string line = "drop " + numbers({x, y});
        for (const std::string& path : paths)
            line += " " + path;
        add(line);
    }

    bool saw(const std::string& line) const
    {
        for (const std::string& call : calls)
            if (call == line)
                return true;
        return false;
    }

    std::vector<std::string> calls;

private:
    void add(const std::string& line) { calls.push_back(line); }
    static std::string numbers(std::initializer_list<int> values)
    {
        std::string text;
        for (int v : values)
            text += (text.empty() ? "" : ",") + std::to_string(v);
        return text;
    }
};

// Polls and dispatches everything pending, as the message loop would.
inline int pumpAll(platform::ui::WindowSystem& system)
{
    int events = 0;
    platform::PumpEvent event;
    while (system.poll(event)) {
        system.dispatch(event);
        ++events;
    }
    return events;
}

} // namespace test::ui
