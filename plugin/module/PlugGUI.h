#pragma once

#include "editor/panels/Main.h"
#include "editor/resources/PlugInResourceProvider.h"
#include "plugin/DUZ2.h"

#include <memory>

namespace Zq::BorvanRAZ {

class Process;

// The editor object of one processor: what a GUITable leads to. It owns the
// rig's editor and keeps track of whether its window is open. All entries run
// on the host's UI thread, which drives the editor through idle and update:
// the editor has no thread of its own.
class PlugGUI final : public DUZ2::GUI {
public:
    PlugGUI(Process& process, Application::Res::PlugInResourceProvider& resources);
    // Closes an open window before the editor goes.
    ~PlugGUI() override;

    DUZ2::Process* getProcess() override;
    void getSize(std::int32_t& width, std::int32_t& height) override;
    void setPosition(std::int32_t x, std::int32_t y) override;
    void setHostMouseEvents(bool hostDelivers) override;
    void setHostKeyEvents(bool hostDelivers) override;
    // Opening while open reopens the window on the new parent.
    void open(void* parentWindow) override;
    void close() override;
    void idle() override;
    void update() override;
    void invalidate(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void onMouseDown(std::int32_t x, std::int32_t y, std::int32_t button,
                     std::int32_t modifiers) override;
    void onMouseUp(std::int32_t x, std::int32_t y, std::int32_t button,
                   std::int32_t modifiers) override;
    void onMouseMove(std::int32_t x, std::int32_t y, std::int32_t modifiers) override;
    bool onKey(std::int32_t key, std::int32_t character, std::int32_t modifiers) override;

    bool isOpen() const noexcept { return open_; }
    BorvanRAZ::GUI::Main& getEditor() noexcept { return *editor_; }

private:
    Process& process_;
    bool open_ = false;
    std::unique_ptr<BorvanRAZ::GUI::Main> editor_;
};

} // namespace Zq::BorvanRAZ
