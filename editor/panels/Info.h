#pragma once

#include <string>

#include <boost/signals2/signal.hpp>

#include "editor/panels/Panel.h"

namespace Zq::BorvanRAZ::GUI {

// The information panel over the editor: the version with its build tag and
// a few pages, one click each; the click on the last page fires closed.
class Info : public Panel {
public:
    boost::signals2::signal<void()> closed;

    Info(Main& root, Application::GUI::Widget* parent);

private:
    void nextPage();
};

// "1.1.3 build " and a tag from a build date in the compiler's form: the
// year's last digit, the month as a letter (A January ... L December), the
// day's two characters as given ("Jun  4 2009" gives "9F 4").
std::string versionText(const std::string& buildDate);

} // namespace Zq::BorvanRAZ::GUI
