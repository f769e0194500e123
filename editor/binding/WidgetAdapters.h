#pragma once

#include <map>
#include <string>

#include <boost/signals2/connection.hpp>

#include "plugin/docview/AdapterGUI.h"

namespace Zq::Application::Widgets {
class AbstractButton;
class CheckBox;
class Knob;
class MultiStateButton;
class Slider;
class StaticText;
} // namespace Zq::Application::Widgets

namespace Zq::Application::DocView {

// The editor's widget adapters. Neither the parameter nor the widget is owned:
// the widget belongs to the view's layout, which goes before the adapters.
//
// Updates run wherever the parameter changes, under the document lock: the UI
// thread, the automation worker and, for values the engine reports back, the
// audio thread. So no update allocates: value texts are printed into fixed
// buffers, and texts of up to 15 characters fit a string's own storage.

// A knob or a slider over [0, 1] in normalised values, the parameter's
// default normalised as its reset value.
template <class W> class AdapterNormalized : public AdapterGUI {
public:
    AdapterNormalized(Parameter* parameter, W* widget);

protected:
    void show(const Parameter& parameter) override;

private:
    W* widget_;
    boost::signals2::scoped_connection connection_;
};

class AdapterKnob : public AdapterNormalized<Widgets::Knob> {
public:
    using AdapterNormalized::AdapterNormalized;
};

class AdapterSlider : public AdapterNormalized<Widgets::Slider> {
public:
    using AdapterNormalized::AdapterNormalized;
};

// Checked for any non-zero value; a toggle sets normalised 1 or 0.
class AdapterCheckBox : public AdapterGUI {
public:
    AdapterCheckBox(Parameter* parameter, Widgets::CheckBox* checkBox);

protected:
    void show(const Parameter& parameter) override;

private:
    Widgets::CheckBox* checkBox_;
    boost::signals2::scoped_connection connection_;
};

// The button's state is the plain value truncated toward zero.
class AdapterMultiStateButton : public AdapterGUI {
public:
    AdapterMultiStateButton(Parameter* parameter, Widgets::MultiStateButton* button);

protected:
    void show(const Parameter& parameter) override;

private:
    Widgets::MultiStateButton* button_;
    boost::signals2::scoped_connection connection_;
};

// Each click adds the step to the plain value; the parameter's range clamps.
class AdapterButtonInc : public AdapterGUI {
public:
    AdapterButtonInc(Parameter* parameter, Widgets::AbstractButton* button, float step);

private:
    float step_;
    boost::signals2::scoped_connection connection_;
};

// The table's text for the plain value truncated toward zero; a value the
// table lacks shows the empty text.
class AdapterStaticText : public AdapterGUI {
public:
    AdapterStaticText(Parameter* parameter, Widgets::StaticText* text,
                      const std::map<int, std::string>& table);

protected:
    void show(const Parameter& parameter) override;

private:
    Widgets::StaticText* text_;
    std::map<int, std::string> table_;
};

// The plain value in fixed notation with the given decimals (0 to 9), then
// the suffix; shows nothing before the first change.
class AdapterStaticTextValue : public AdapterGUI {
public:
    AdapterStaticTextValue(Parameter* parameter, Widgets::StaticText* text, int decimals,
                           const std::string& suffix);

protected:
    void show(const Parameter& parameter) override;
    // Puts the number and suffix into the text without allocating.
    void showNumber(double value, const char* suffix);

    Widgets::StaticText* text_;
    int decimals_;
    std::string suffix_;

private:
    std::string buffer_;
};

// 20·log10 of the plain value with the given decimals and "dB"; "-Inf" below
// 10^-10. Shows nothing before the first change.
class AdapterStaticTextValuedB : public AdapterStaticTextValue {
public:
    AdapterStaticTextValuedB(Parameter* parameter, Widgets::StaticText* text, int decimals);

protected:
    void show(const Parameter& parameter) override;
};

} // namespace Zq::Application::DocView
