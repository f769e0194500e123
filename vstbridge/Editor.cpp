#include "vstbridge/Editor.h"

#include "vstbridge/VST.h"

#include <cstdint>

namespace Zq::Carapace {
namespace {

// One rectangle for every editor of the loaded library: hosts keep the
// address they were given. All editors run on the host's one UI thread.
Vst::ERect sharedRect{};
bool sharedRectFilled = false;

} // namespace

Editor::Editor(VST* effect) : AEffEditor(effect), gui_(effect->getGUITable())
{
    effect->setEditor(this);
}

bool Editor::getRect(Vst::ERect** rect)
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    gui_->getSize(gui_, &width, &height);
    if (!sharedRectFilled) {
        sharedRect = {0, 0, static_cast<std::int16_t>(height), static_cast<std::int16_t>(width)};
        sharedRectFilled = true;
    }
    if (rect)
        *rect = &sharedRect;
    return true;
}

bool Editor::open(void* parent)
{
    systemWindow_ = reinterpret_cast<Window>(parent);
    gui_->setHostMouseEvents(gui_, 0);
    gui_->setHostKeyEvents(gui_, 0);
    gui_->open(gui_, &systemWindow_);
    return true;
}

void Editor::close()
{
    gui_->close(gui_);
}

void Editor::idle()
{
    gui_->idle(gui_);
}

void Editor::update()
{
    gui_->update(gui_);
}

} // namespace Zq::Carapace
