#pragma once

#include "plugin/DUZ2.h"
#include "vstbridge/AEffEditor.h"

namespace Zq::Carapace {

class VST;

// X11's Window: an XID, an unsigned long as <X11/X.h> defines it, carried in
// effEditOpen's pointer argument by Linux hosts.
using Window = unsigned long;
static_assert(sizeof(Window) == sizeof(void*));

// The editor frame a VST host talks to. It draws nothing: it opens the
// module's own editor in the host's window through the processor's GUI table
// and tells the module that the host delivers neither mouse nor key events,
// so the module's window takes its own input. UI thread only.
class Editor final : public AEffEditor {
public:
    // Registers itself as the effect's editor and takes its GUI table.
    explicit Editor(VST* effect);

    // The module's editor size, asked on every call; the rectangle all editors
    // of the library share is filled by the first call only.
    bool getRect(Vst::ERect** rect) override;
    // parent carries the X11 Window id of the host's window; the module gets
    // the address of the kept id.
    bool open(void* parent) override;
    // The window id stays: the host may open the editor again.
    void close() override;
    bool isOpen() override { return systemWindow_ != 0; }
    void idle() override;
    void update() override;

private:
    Window systemWindow_ = 0;
    DUZ2::GUITable* gui_;
};

} // namespace Zq::Carapace
