#include "editor/binding/UnitGUI.h"

#include <tinyxml.h>

#include "editor/widgets/AbstractButton.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/MultiStateButton.h"
#include "editor/widgets/Slider.h"
#include "editor/widgets/StaticText.h"

namespace Zq::Application::DocView {

UnitGUI::UnitGUI(GUI::Widget* parent, Res::PlugInResourceProvider& provider,
                 const std::string& layoutName)
    : provider_(provider)
{
    if (layoutName.empty())
        return;
    Res::XmlCache& documents = provider_.getXmlCache();
    const TiXmlDocument* document = documents.get(layoutName);
    if (!document)
        return;
    try {
        layout_ = std::make_unique<Widgets::LayoutManager>(
            *document, parent, provider_.getImageCache(), provider_.getFontCache());
    } catch (...) {
        documents.release(document);
        throw;
    }
    documents.release(document);
}

UnitGUI::~UnitGUI()
{
    layout_.reset();
    clearAdapters();
}

AdapterKnob* UnitGUI::addKnob(const std::string& name, Parameter* parameter)
{
    Widgets::Knob* knob = nullptr;
    find(name, knob);
    return bind<AdapterKnob>(parameter, knob);
}

AdapterSlider* UnitGUI::addSlider(const std::string& name, Parameter* parameter)
{
    Widgets::Slider* slider = nullptr;
    find(name, slider);
    return bind<AdapterSlider>(parameter, slider);
}

AdapterCheckBox* UnitGUI::addCheckBox(const std::string& name, Parameter* parameter)
{
    Widgets::CheckBox* checkBox = nullptr;
    find(name, checkBox);
    return bind<AdapterCheckBox>(parameter, checkBox);
}

AdapterButtonInc* UnitGUI::addButtonInc(const std::string& name, Parameter* parameter, float step)
{
    Widgets::AbstractButton* button = nullptr;
    find(name, button);
    return bind<AdapterButtonInc>(parameter, button, step);
}

AdapterStaticText* UnitGUI::addStaticText(const std::string& name, Parameter* parameter,
                                          const std::map<int, std::string>& table)
{
    Widgets::StaticText* text = nullptr;
    find(name, text);
    return bind<AdapterStaticText>(parameter, text, table);
}

AdapterMenu* UnitGUI::addMenu(const std::string& name, Parameter* parameter)
{
    Widgets::Menu* menu = nullptr;
    find(name, menu);
    return bind<AdapterMenu>(parameter, static_cast<SelectionMenu*>(menu));
}

AdapterMultiStateButton* UnitGUI::addMultiStateButton(const std::string& name, Parameter* parameter)
{
    Widgets::MultiStateButton* button = nullptr;
    find(name, button);
    return bind<AdapterMultiStateButton>(parameter, button);
}

AdapterStaticTextValue* UnitGUI::addStaticTextValue(Widgets::StaticText* text, Parameter* parameter,
                                                    int decimals, const std::string& suffix)
{
    return bind<AdapterStaticTextValue>(parameter, text, decimals, suffix);
}

AdapterStaticTextValuedB* UnitGUI::addStaticTextValuedB(Widgets::StaticText* text,
                                                        Parameter* parameter, int decimals)
{
    return bind<AdapterStaticTextValuedB>(parameter, text, decimals);
}

} // namespace Zq::Application::DocView
