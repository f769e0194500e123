#include "editor/panels/Panel.h"

#include <algorithm>

#include "editor/panels/AdapterStaticTextMeter.h"
#include "editor/panels/Main.h"
#include "plugin/docview/Adapter.h"

namespace Zq::BorvanRAZ::GUI {

Panel::Panel(Main& root, Application::GUI::Widget* parent, const std::string& layoutName)
    : UnitGUI(parent, root.getResourceProvider(), layoutName), root_(root)
{
}

Panel::~Panel() = default;

Document::Rig& Panel::getDocument() const
{
    return root_.getDocument();
}

AdapterStaticTextMeter* Panel::addStaticTextMeter(Application::Widgets::StaticText* text,
                                                  Application::DocView::Parameter* parameter)
{
    auto adapter = std::make_unique<AdapterStaticTextMeter>(parameter, text);
    AdapterStaticTextMeter* raw = adapter.get();
    addAdapter(std::move(adapter));
    return raw;
}

void Panel::makeInert()
{
    if (inert_)
        return;
    inert_ = true;
    connections_.clear();
    for (const auto& adapter : getAdapters())
        adapter->setDisabled(true);
    if (Application::Widgets::LayoutManager* layout = getLayout())
        for (Application::GUI::Widget* widget : layout->getWidgets())
            widget->hide();
    for (Panel* sub : subPanels_)
        sub->makeInert();
}

void Panel::forgetSubPanel(Panel* panel)
{
    subPanels_.erase(std::remove(subPanels_.begin(), subPanels_.end(), panel), subPanels_.end());
}

Module::Module(int moduleId, Main& root, Application::GUI::Widget* parent,
               const std::string& layoutName)
    : Panel(root, parent, layoutName), moduleId_(moduleId)
{
}

} // namespace Zq::BorvanRAZ::GUI
