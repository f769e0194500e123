#include "plugin/module/PlugGUI.h"

#include "plugin/module/PlugIn.h"
#include "plugin/module/Process.h"
#include "plugin/rig/Rig.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace Zq::BorvanRAZ {
namespace {

// Corners from a host may lie anywhere in the int32 range; their difference
// must not overflow.
std::int32_t extent(std::int32_t from, std::int32_t to)
{
    const std::int64_t length = static_cast<std::int64_t>(to) - from;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(length, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

} // namespace

PlugGUI::PlugGUI(Process& process, Application::Res::PlugInResourceProvider& resources)
    : process_(process),
      editor_(std::make_unique<BorvanRAZ::GUI::Main>(
          resources, process.getDocument(), BorvanRAZ::GUI::Main::Services{},
          // The preset folder as the plug-in object reads it, afresh each time.
          BorvanRAZ::GUI::Main::PresetServices{[] {
                                                   const PlugIn* plugIn = PlugIn::findInstance();
                                                   return plugIn ? plugIn->getPresetPath()
                                                                 : std::string();
                                               },
                                               kProductName}))
{
}

PlugGUI::~PlugGUI()
{
    if (open_)
        editor_->close();
}

DUZ2::Process* PlugGUI::getProcess()
{
    return &process_;
}

void PlugGUI::getSize(std::int32_t& width, std::int32_t& height)
{
    std::tie(width, height) = editor_->getSize();
}

void PlugGUI::setPosition(std::int32_t x, std::int32_t y)
{
    editor_->setPosition(x, y);
}

void PlugGUI::setHostMouseEvents(bool hostDelivers)
{
    editor_->setHostMouseEvents(hostDelivers);
}

void PlugGUI::setHostKeyEvents(bool hostDelivers)
{
    editor_->setHostKeyEvents(hostDelivers);
}

void PlugGUI::open(void* parentWindow)
{
    // A second window would be lost to the editor: the first goes.
    if (open_)
        close();
    editor_->open(parentWindow);
    open_ = true;
}

void PlugGUI::close()
{
    if (!open_)
        return;
    editor_->close();
    open_ = false;
}

// Hosts reach the editor through either entry (a VST host's idle arrives as
// idle); each pumps the editor's window while it is open.
void PlugGUI::idle()
{
    if (open_)
        editor_->idle();
}

void PlugGUI::update()
{
    if (open_)
        editor_->idle();
}

void PlugGUI::invalidate(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    if (open_)
        editor_->invalidate(x1, y1, extent(x1, x2), extent(y1, y2));
}

void PlugGUI::onMouseDown(std::int32_t x, std::int32_t y, std::int32_t button,
                          std::int32_t modifiers)
{
    editor_->onMouseDown(x, y, button, modifiers);
}

void PlugGUI::onMouseUp(std::int32_t x, std::int32_t y, std::int32_t button, std::int32_t modifiers)
{
    editor_->onMouseUp(x, y, button, modifiers);
}

void PlugGUI::onMouseMove(std::int32_t x, std::int32_t y, std::int32_t modifiers)
{
    editor_->onMouseMove(x, y, modifiers);
}

bool PlugGUI::onKey(std::int32_t key, std::int32_t character, std::int32_t modifiers)
{
    return editor_->onKey(key, character, modifiers);
}

} // namespace Zq::BorvanRAZ
