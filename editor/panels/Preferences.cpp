#include "editor/panels/Preferences.h"

#include "editor/widgets/CheckBox.h"
#include "editor/widgets/PushButton.h"
#include "plugin/rig/DsmActivePreference.h"

namespace Zq::BorvanRAZ::GUI {

Preferences::Preferences(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "Preferences.xml")
{
    find("DSMActiveCheckBox", dsmActive_);
    // Without the module's preference (an editor outside the module) the box
    // shows off and saving stores nothing.
    const Document::DsmActivePreference* preference = Document::findDsmActivePreference();
    dsmActive_->setChecked(preference && preference->current() != 0);
    Application::Widgets::PushButton* saveButton = nullptr;
    Application::Widgets::PushButton* closeButton = nullptr;
    Application::Widgets::PushButton* cancelButton = nullptr;
    find("SaveButton", saveButton);
    find("CloseButton", closeButton);
    find("CancelButton", cancelButton);
    connect(saveButton->clicked, [this](auto*, const auto&) { save(); });
    connect(closeButton->clicked, [this](auto*, const auto&) { closed(); });
    connect(cancelButton->clicked, [this](auto*, const auto&) { closed(); });
}

void Preferences::save()
{
    if (Document::DsmActivePreference* preference = Document::findDsmActivePreference())
        preference->getParameter().setValue(dsmActive_->isChecked() ? 1.0f : 0.0f, true);
    closed();
}

} // namespace Zq::BorvanRAZ::GUI
