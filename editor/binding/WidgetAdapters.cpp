#include "editor/binding/WidgetAdapters.h"

#include <cmath>
#include <cstring>

#include "editor/widgets/AbstractButton.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/MultiStateButton.h"
#include "editor/widgets/Slider.h"
#include "editor/widgets/StaticText.h"
#include "plugin/docview/NumberText.h"

namespace Zq::Application::DocView {

namespace {

// Truncated toward zero, kept inside int's range (a NaN gives 0).
int truncated(float value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483647.0f)
        return 2147483647;
    if (value <= -2147483648.0f)
        return -2147483647 - 1;
    return static_cast<int>(value);
}

} // namespace

template <class W>
AdapterNormalized<W>::AdapterNormalized(Parameter* parameter, W* widget)
    : AdapterGUI(parameter), widget_(widget)
{
    widget_->setMinValue(0.0f);
    widget_->setMaxValue(1.0f);
    widget_->setResetValue(parameter->getDefaultNormalized());
    widget_->setValue(parameter->getNormalized());
    connection_ = widget_->valueChanged.connect([this](W*, float v) { widgetChanged(v); });
}

template <class W> void AdapterNormalized<W>::show(const Parameter& parameter)
{
    widget_->setValue(parameter.getNormalized());
}

template class AdapterNormalized<Widgets::Knob>;
template class AdapterNormalized<Widgets::Slider>;

AdapterCheckBox::AdapterCheckBox(Parameter* parameter, Widgets::CheckBox* checkBox)
    : AdapterGUI(parameter), checkBox_(checkBox)
{
    checkBox_->setChecked(parameter->getValue() != 0.0f);
    connection_ = checkBox_->toggled.connect(
        [this](Widgets::CheckBox*, bool checked) { widgetChanged(checked ? 1.0f : 0.0f); });
}

void AdapterCheckBox::show(const Parameter& parameter)
{
    checkBox_->setChecked(parameter.getNormalized() != 0.0f);
}

AdapterMultiStateButton::AdapterMultiStateButton(Parameter* parameter,
                                                 Widgets::MultiStateButton* button)
    : AdapterGUI(parameter), button_(button)
{
    button_->setState(truncated(parameter->getValue()));
    connection_ = button_->stateChanged.connect([this](Widgets::MultiStateButton*, int state) {
        widgetSetValue(static_cast<float>(state));
    });
}

void AdapterMultiStateButton::show(const Parameter& parameter)
{
    button_->setState(truncated(parameter.getValue()));
}

AdapterButtonInc::AdapterButtonInc(Parameter* parameter, Widgets::AbstractButton* button,
                                   float step)
    : AdapterGUI(parameter), step_(step)
{
    connection_ = button->clicked.connect([this](Widgets::AbstractButton*, const auto&) {
        if (getParameter())
            widgetSetValue(getParameter()->getValue() + step_);
    });
}

AdapterStaticText::AdapterStaticText(Parameter* parameter, Widgets::StaticText* text,
                                     const std::map<int, std::string>& table)
    : AdapterGUI(parameter), text_(text), table_(table)
{
    show(*parameter);
}

void AdapterStaticText::show(const Parameter& parameter)
{
    // A value the table lacks shows the empty text, without growing the table
    // (an insertion would allocate where the update may run).
    static const std::string empty;
    const auto entry = table_.find(truncated(parameter.getValue()));
    text_->setText(entry == table_.end() ? empty : entry->second);
}

AdapterStaticTextValue::AdapterStaticTextValue(Parameter* parameter, Widgets::StaticText* text,
                                               int decimals, const std::string& suffix)
    : AdapterGUI(parameter), text_(text), decimals_(decimals < 0   ? 0
                                                    : decimals > 9 ? 9
                                                                   : decimals),
      suffix_(suffix)
{
    buffer_.reserve(64 + suffix_.size());
}

void AdapterStaticTextValue::show(const Parameter& parameter)
{
    showNumber(parameter.getValue(), suffix_.c_str());
}

void AdapterStaticTextValue::showNumber(double value, const char* suffix)
{
    char digits[64];
    formatFixed(digits, sizeof digits, value, decimals_);
    // Within the capacity reserved at construction: no allocation.
    buffer_.assign(digits);
    buffer_.append(suffix);
    text_->setText(buffer_);
}

AdapterStaticTextValuedB::AdapterStaticTextValuedB(Parameter* parameter, Widgets::StaticText* text,
                                                   int decimals)
    : AdapterStaticTextValue(parameter, text, decimals, "dB")
{
}

void AdapterStaticTextValuedB::show(const Parameter& parameter)
{
    static const float threshold = std::pow(10.0f, -10.0f);
    const float value = parameter.getValue();
    if (value < threshold) {
        static const std::string minusInfinity = "-Inf";
        text_->setText(minusInfinity);
        return;
    }
    showNumber(20.0f * std::log10(value), suffix_.c_str());
}

} // namespace Zq::Application::DocView
