#include "editor/panels/Info.h"

#include "editor/panels/Main.h"
#include "editor/widgets/MultiStateButton.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/StaticText.h"

namespace Zq::BorvanRAZ::GUI {

std::string versionText(const std::string& buildDate)
{
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string tag = "????";
    if (buildDate.size() >= 11) {
        tag[0] = buildDate[10];
        for (int m = 0; m < 12; ++m)
            if (buildDate.compare(0, 3, months[m]) == 0)
                tag[1] = static_cast<char>('A' + m);
        tag[2] = buildDate[4];
        tag[3] = buildDate[5];
    }
    return "1.1.3 build " + tag;
}

Info::Info(Main& root, Application::GUI::Widget* parent) : Panel(root, parent, "Info.xml")
{
    Application::Widgets::StaticText* version = nullptr;
    find("VersionText", version);
    version->setText(versionText(root.getBuildDate()));
    Application::Widgets::PushButton* button = nullptr;
    find("Button", button);
    Application::Widgets::MultiStateButton* pages = nullptr;
    find("PanelRoot", pages);
    connect(button->clicked, [this](auto*, const auto&) { nextPage(); });
}

void Info::nextPage()
{
    Application::Widgets::MultiStateButton* pages = nullptr;
    find("PanelRoot", pages);
    if (pages->getState() + 1 < pages->getStateCount())
        pages->setState(pages->getState() + 1);
    else
        closed();
}

} // namespace Zq::BorvanRAZ::GUI
