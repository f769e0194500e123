#pragma once

#include "plugin/docview/Adapter.h"

#include <boost/signals2/connection.hpp>

namespace Zq::Application::DocView {

// Base of the editor's widget adapters. Two flags keep a change from echoing:
// changing is set while the widget is setting the parameter, showing while the
// parameter is being shown in the widget. UI thread, under the document lock.
class AdapterGUI : public Adapter {
public:
    // Connects update to the parameter's change signal (null binds nothing).
    explicit AdapterGUI(Parameter* parameter);
    ~AdapterGUI() override;

    // Shows the parameter in the widget, unless disabled or the widget itself
    // made the change.
    void update() override;

protected:
    // What update shows; nothing here.
    virtual void show(const Parameter& parameter);
    // The widget moved to a normalised position: sets the parameter, with
    // notification, unless disabled or the move came from show.
    void widgetChanged(float normalized);
    // The same for a widget that gives a plain value (a state, a step).
    void widgetSetValue(float value);

private:
    bool changing_ = false;
    bool showing_ = false;
    boost::signals2::scoped_connection connection_;
};

} // namespace Zq::Application::DocView
