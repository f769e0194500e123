#pragma once

#include "plugin/module/standin/Document.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Zq::Application::Res {
class PlugInResourceProvider;
}

namespace Zq::BorvanRAZ::StandIn {

using ResourceProvider = Application::Res::PlugInResourceProvider;

// Stands in for the rig's editor until it exists: the editor's operations,
// with its size, stored position and own-mouse/own-keys flags, opening no
// window. Every call, and the editor's deletion, is written to one journal
// shared by all stand-in editors ("open", "invalidate 10 20 100 50", ...).
class Editor {
public:
    static constexpr std::int32_t kWidth = 851;
    static constexpr std::int32_t kHeight = 510;

    Editor(ResourceProvider& resources, Document& document);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    void getSize(std::int32_t& width, std::int32_t& height);
    void setPosition(std::int32_t x, std::int32_t y);
    // Own mouse/keys become the negation of the argument; the new flag is returned.
    bool setHostMouseEvents(bool hostDelivers);
    bool setHostKeyEvents(bool hostDelivers);
    // On Linux the parent points to an X11 Window id.
    void open(void* parentWindow);
    void close();
    void idle();
    void invalidate(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    void onMouseDown(std::int32_t x, std::int32_t y, std::int32_t button, std::int32_t modifiers);
    void onMouseUp(std::int32_t x, std::int32_t y, std::int32_t button, std::int32_t modifiers);
    void onMouseMove(std::int32_t x, std::int32_t y, std::int32_t modifiers);
    // False at once while the editor takes keys itself; otherwise the answer
    // set by setKeyAnswer (false until then).
    bool onKey(std::int32_t key, std::int32_t character, std::int32_t modifiers);

    bool isWindowOpen() const noexcept { return windowOpen_; }
    bool ownsMouse() const noexcept { return ownMouse_; }
    bool ownsKeys() const noexcept { return ownKeys_; }
    std::int32_t getX() const noexcept { return x_; }
    std::int32_t getY() const noexcept { return y_; }
    void setKeyAnswer(bool answer) noexcept { keyAnswer_ = answer; }
    ResourceProvider& getResourceProvider() noexcept { return resources_; }
    Document& getDocument() noexcept { return document_; }

    static std::vector<std::string> journal();
    static void clearJournal();

private:
    static void note(const std::string& call);

    ResourceProvider& resources_;
    Document& document_;
    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
    bool ownMouse_ = true;
    bool ownKeys_ = true;
    bool windowOpen_ = false;
    bool keyAnswer_ = false;
};

} // namespace Zq::BorvanRAZ::StandIn
