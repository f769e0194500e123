#include "editor/panels/AmpSelector.h"

#include <map>

#include "editor/panels/Main.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/PushButton.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

AmpSelector::AmpSelector(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "AmpSelector.xml")
{
    static const std::map<int, std::string> heads = {
        {0, "GN-500"}, {1, "Q-9R"}, {2, "RKM-CL"}, {3, "RKM-4 PRO"}};
    Application::DocView::Parameter* model = &getDocument().getAmpModule().ampModel;
    addStaticText("AmpModelLabel", model, heads);
    Application::Widgets::Menu* menu = nullptr;
    Application::Widgets::PushButton* button = nullptr;
    find("AmpMenu", menu);
    find("AmpModelButton", button);
    for (const auto& [value, name] : heads)
        menu->addItem(name, value);
    addMenu("AmpMenu", model);
    button->setUserData(static_cast<Application::GUI::Widget*>(menu));
    connect(button->clicked, [](Application::Widgets::AbstractButton* sender, const auto&) {
        static_cast<Application::GUI::Widget*>(sender->getUserData())->show();
    });
}

} // namespace Zq::BorvanRAZ::GUI
