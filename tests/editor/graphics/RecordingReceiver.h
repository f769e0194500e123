#pragma once

// A window receiver that writes down every call, with the lock's state, and
// paints each area it is asked for in one colour.

#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "editor/graphics/Painter.h"
#include "editor/graphics/Window.h"

namespace test::editor {

using namespace Zq::Application::Graphics;

class RecordingReceiver : public Window::Callback {
public:
    explicit RecordingReceiver(platform::CriticalSection* lock = nullptr) : lock_(lock) {}

    void attach(Window*) override { record("attach"); }
    void detach(Window*) override { record("detach"); }
    void paint(Painter* painter, const BasicRect<int>& area) override
    {
        std::ostringstream s;
        s << "paint " << area.x << "," << area.y << " " << area.width << "x" << area.height;
        record(s.str());
        painted.push_back(area);
        if (paintColour)
            painter->fillRect(paintColour, area);
    }
    void mouseMove(const BasicPoint<int>& p, int modifiers) override
    {
        record("move " + point(p) + " " + std::to_string(modifiers));
    }
    void mouseDown(const BasicPoint<int>& p, int button, int modifiers) override
    {
        record("down " + point(p) + " " + std::to_string(button) + " " + std::to_string(modifiers));
    }
    void mouseUp(const BasicPoint<int>& p, int button, int modifiers) override
    {
        record("up " + point(p) + " " + std::to_string(button) + " " + std::to_string(modifiers));
    }
    void key(KeyboardButtons key, char character, int modifiers) override
    {
        record("key " + std::to_string(int(key)) + " " + std::to_string(int(character)) + " " +
               std::to_string(modifiers));
    }
    void timer() override
    {
        ++timers;
        record("timer");
    }
    void focusLost() override { record("focusLost"); }
    void beginEvent() override { record("begin"); }
    void endEvent() override { record("end"); }

    // The calls so far, joined by "|", and forgotten.
    std::string take()
    {
        std::string joined;
        for (const auto& c : calls)
            joined += (joined.empty() ? "" : "|") + c;
        calls.clear();
        return joined;
    }

    std::vector<std::string> calls;
    std::vector<BasicRect<int>> painted;
    // Whether the lock was held (by this thread) at each call, when checked.
    std::vector<bool> locked;
    std::uint32_t paintColour = 0;
    int timers = 0;
    bool checkLock = false;

private:
    static std::string point(const BasicPoint<int>& p)
    {
        return std::to_string(p.x) + "," + std::to_string(p.y);
    }
    void record(std::string call)
    {
        calls.push_back(std::move(call));
        if (checkLock && lock_) {
            // Held here when another thread cannot enter.
            bool entered = false;
            std::thread([&] {
                entered = lock_->tryEnter();
                if (entered)
                    lock_->leave();
            }).join();
            locked.push_back(!entered);
        }
    }

    platform::CriticalSection* lock_;
};

} // namespace test::editor
