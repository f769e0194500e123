#pragma once

#include "plugin/docview/AdapterGUI.h"

#include <boost/signals2/connection.hpp>
#include <boost/signals2/signal.hpp>

namespace Zq::Application::DocView {

// What the menu adapter needs of the editor's menu widget: items that each
// carry a float value, and a signal fired with the menu and the chosen item's
// index.
class SelectionMenu {
public:
    boost::signals2::signal<void(SelectionMenu*, int)> selected;

    virtual ~SelectionMenu() = default;
    // The value item index carries; false for an index the menu has no item at.
    virtual bool getItemValue(int index, float& value) const = 0;
};

// Sets the parameter to the value of the menu item the user chose. A change of
// the parameter does not move the menu: the menu shows nothing until opened.
class AdapterMenu : public AdapterGUI {
public:
    AdapterMenu(Parameter* parameter, SelectionMenu* menu);
    ~AdapterMenu() override;

    void update() override;

private:
    void onSelected(SelectionMenu* menu, int index);

    SelectionMenu* menu_;
    boost::signals2::scoped_connection selection_;
};

} // namespace Zq::Application::DocView
