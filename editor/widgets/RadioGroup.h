#pragma once

#include <map>

#include <boost/signals2/connection.hpp>
#include <boost/signals2/signal.hpp>
#include <boost/signals2/trackable.hpp>

namespace Zq::Application::Widgets {

class CheckBox;
class RadioButton;

// Keeps at most one of its radio buttons checked. Not a widget: buttons and
// group may die in either order; whichever goes first ends the membership.
class RadioGroup : public boost::signals2::trackable {
public:
    boost::signals2::signal<void(RadioGroup*)> destroyed;
    boost::signals2::signal<void(RadioGroup*, RadioButton*)> selectionChanged;

    RadioGroup() = default;
    RadioGroup(const RadioGroup&) = delete;
    RadioGroup& operator=(const RadioGroup&) = delete;
    virtual ~RadioGroup();

    void add(RadioButton* button);
    void remove(RadioButton* button);
    RadioButton* getCurrent() const { return current_; }

private:
    void onToggled(CheckBox* sender, bool checked);

    RadioButton* current_ = nullptr;
    std::map<RadioButton*, boost::signals2::scoped_connection> members_;
};

} // namespace Zq::Application::Widgets
