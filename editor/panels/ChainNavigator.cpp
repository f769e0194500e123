#include "editor/panels/ChainNavigator.h"

#include <stdexcept>

#include "editor/panels/Main.h"
#include "editor/widgets/RadioButton.h"
#include "editor/widgets/RadioGroup.h"

namespace Zq::BorvanRAZ::GUI {

ChainNavigator::ChainNavigator(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "ChainNavigator.xml")
{
    connect(root.moduleChanged, [this](int moduleId) { moduleShown(moduleId); });
    // Radio groups live beside the named widgets, never among them.
    Application::Widgets::RadioGroup* group =
        getLayout() ? getLayout()->getGroup("ModuleGroup") : nullptr;
    if (!group)
        throw std::runtime_error("Widget not found");
    connect(group->selectionChanged,
            [this](auto*, Application::Widgets::RadioButton* button) { buttonChosen(button); });
    const char* const names[] = {"TunerModuleRadioButton", "StompModuleRadioButton",
                                 "AmpModuleRadioButton", "CabModuleRadioButton"};
    for (int i = 0; i < 4; ++i)
        find(names[i], buttons_[i]);
}

void ChainNavigator::moduleShown(int moduleId)
{
    if (moduleId >= TunerId && moduleId <= CabId && buttons_[moduleId - 1])
        buttons_[moduleId - 1]->setChecked(true);
}

void ChainNavigator::buttonChosen(Application::Widgets::RadioButton* button)
{
    for (int i = 0; i < 4; ++i)
        if (button && button == buttons_[i])
            getRoot().showModule(i + 1);
}

} // namespace Zq::BorvanRAZ::GUI
