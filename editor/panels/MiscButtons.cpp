#include "editor/panels/MiscButtons.h"

#include <stdexcept>

#include "editor/panels/Main.h"
#include "editor/widgets/AbstractButton.h"
#include "editor/widgets/Root.h"

namespace Zq::BorvanRAZ::GUI {

MiscButtons::MiscButtons(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "MiscButtons.xml")
{
    Application::Widgets::AbstractButton* infoButton = nullptr;
    Application::Widgets::AbstractButton* prefButton = nullptr;
    find("IButton", infoButton);
    find("PrefButton", prefButton);
    connect(infoButton->clicked, [this](auto*, const auto&) { open(info_); });
    connect(prefButton->clicked, [this](auto*, const auto&) { open(preferences_); });
}

MiscButtons::~MiscButtons()
{
    info_.reset();
    preferences_.reset();
}

template <class P> void MiscButtons::open(std::unique_ptr<P>& slot)
{
    if (slot)
        return;
    try {
        slot = std::make_unique<P>(getRoot(), getRoot().getRoot());
    } catch (const std::runtime_error&) {
        return; // a broken layout opens nothing
    }
    P* panel = slot.get();
    adoptSubPanel(panel);
    // Bound to this very panel: a later one is never closed by it.
    connect(panel->closed, [this, &slot, panel] {
        if (slot.get() != panel)
            return;
        forgetSubPanel(panel);
        getRoot().deleteLater(std::move(slot));
    });
}

} // namespace Zq::BorvanRAZ::GUI
