#include "plugin/docview/AdapterMenu.h"

namespace Zq::Application::DocView {

AdapterMenu::AdapterMenu(Parameter* parameter, SelectionMenu* menu)
    : AdapterGUI(parameter), menu_(menu)
{
    if (menu_)
        selection_ = menu_->selected.connect(
            [this](SelectionMenu* chosen, int index) { onSelected(chosen, index); });
}

AdapterMenu::~AdapterMenu() = default;

void AdapterMenu::update()
{
}

void AdapterMenu::onSelected(SelectionMenu* menu, int index)
{
    if (isDisabled() || !getParameter())
        return;
    float value = 0.0f;
    if (!menu || !menu->getItemValue(index, value))
        return;
    getParameter()->setValue(value, true);
}

} // namespace Zq::Application::DocView
