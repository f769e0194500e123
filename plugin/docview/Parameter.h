#pragma once

#include "plugin/docview/Converter.h"
#include "plugin/docview/Range.h"

#include <boost/signals2/signal.hpp>

#include <memory>

namespace Zq::Application::DocView {

// One control of the rig: a float value kept inside its range, a converter to
// the normalised scale of knobs and host automation, a default and a change
// signal.
//
// No lock of its own: callers hold the document lock, and slots run on the
// changing thread inside it. Slots are called in connection order, so the
// document's own handlers (connected first) run before the views'. A slot may
// connect or disconnect slots while the signal fires; a new slot is first
// called by the next change. Firing allocates nothing.
class Parameter {
public:
    using ChangeSignal = boost::signals2::signal<void(Parameter*)>;

    // Fired with this parameter when its value really changes (and on
    // notifyChanged). Receivers that must not outlive their connection derive
    // from boost::signals2::trackable or keep a scoped_connection.
    ChangeSignal changed;

    Parameter();
    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;
    ~Parameter();

    float getValue() const { return value_; }
    // Constrains v by the range; stores and (with notify) fires only when the
    // result differs from the stored value. A NaN that the range passes compares
    // unequal and is stored.
    void setValue(float v, bool notify);

    // The converted value clamped to [0, 1]; NaN gives 0.
    float getNormalized() const;
    // Clamps n to [0, 1] (NaN gives 0), converts, then as setValue.
    void setNormalized(float n, bool notify);

    float getDefault() const { return default_; }
    void setDefault(float v) { default_ = v; }
    // Not clamped: a knob takes it as its default position as it is.
    float getDefaultNormalized() const;

    const Range& getRange() const { return *range_; }
    // Keeps a clone; the stored value is not re-constrained.
    void setRange(const Range& range);
    const Converter& getConverter() const { return *converter_; }
    void setConverter(const Converter& converter);

    // Fires the change signal whether or not anything changed, so that views
    // connected after registration pick up the initial value.
    void notifyChanged();

private:
    float value_ = 0.0f;
    float default_ = 0.0f;
    // Null while the shared [0, 1] range and identity converter are in use.
    std::unique_ptr<Range> ownRange_;
    std::unique_ptr<Converter> ownConverter_;
    const Range* range_;
    const Converter* converter_;
};

} // namespace Zq::Application::DocView
