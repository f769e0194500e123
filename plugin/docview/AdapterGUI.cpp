#include "plugin/docview/AdapterGUI.h"

#include "plugin/docview/FlagScope.h"

namespace Zq::Application::DocView {

AdapterGUI::AdapterGUI(Parameter* parameter) : Adapter(parameter)
{
    if (parameter)
        connection_ = parameter->changed.connect([this](Parameter*) { update(); });
}

AdapterGUI::~AdapterGUI() = default;

void AdapterGUI::update()
{
    if (isDisabled() || changing_ || !getParameter())
        return;
    FlagScope showing(showing_);
    show(*getParameter());
}

void AdapterGUI::show(const Parameter&)
{
}

void AdapterGUI::widgetChanged(float normalized)
{
    if (isDisabled() || showing_ || !getParameter())
        return;
    FlagScope changing(changing_);
    getParameter()->setNormalized(normalized, true);
}

void AdapterGUI::widgetSetValue(float value)
{
    if (isDisabled() || showing_ || !getParameter())
        return;
    FlagScope changing(changing_);
    getParameter()->setValue(value, true);
}

} // namespace Zq::Application::DocView
