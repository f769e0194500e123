#include "editor/panels/AdapterStaticTextMeter.h"

#include <cmath>

#include "editor/widgets/StaticText.h"
#include "plugin/docview/Parameter.h"

namespace Zq::BorvanRAZ::GUI {

AdapterStaticTextMeter::AdapterStaticTextMeter(Application::DocView::Parameter* parameter,
                                               Application::Widgets::StaticText* text)
    : AdapterGUI(parameter), text_(text)
{
}

const char* AdapterStaticTextMeter::noteValue(float value) noexcept
{
    static const char* const names[] = {"1/32", "1/16", "1/16t", "1/16d", "1/8",  "1/8t", "1/8d",
                                        "1/4",  "1/4t", "1/4d",  "1/2",   "1/2t", "1/2d", "1/1"};
    if (!std::isfinite(value) || value <= -1.0f || value >= 14.0f)
        return "";
    const int index = static_cast<int>(std::trunc(value));
    return index >= 0 && index < 14 ? names[index] : "";
}

void AdapterStaticTextMeter::show(const Application::DocView::Parameter& parameter)
{
    text_->setText(noteValue(parameter.getValue()));
}

} // namespace Zq::BorvanRAZ::GUI
