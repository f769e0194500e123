#include "editor/panels/StompModule.h"

#include <cmath>
#include <map>
#include <string>

#include "editor/panels/Main.h"
#include "editor/panels/StompModels.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/PushButton.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

namespace {

// The selector's values in the document's order, with the names shown.
const std::map<int, std::string>& pedalNames()
{
    static const std::map<int, std::string> names = {
        {0, "Empty"},         {1, "Borvan DLK-OD"},   {2, "Borvan DLK-OCT"},
        {3, "Analog Chorus"}, {4, "Analog Delay"},    {5, "Bass Wah"},
        {6, "Compressor"},    {7, "Envelope Filter"}, {8, "Volume Pedal"}};
    return names;
}

std::string slotName(int slot, const char* suffix)
{
    return "Slot" + std::to_string(slot) + suffix;
}

} // namespace

StompBox::StompBox(unsigned slot, Main& root, Application::GUI::Widget* parent,
                   const std::string& layoutName)
    : Panel(root, parent, layoutName), slot_(slot)
{
    Document::Module* model = slotDocument();
    if (!model)
        throw std::runtime_error("Wrong model class");
    addCheckBox("BypassSwitch", &model->bypass);
    addCheckBox("BypassLed", &model->bypass);
}

Document::Module* StompBox::slotDocument() const
{
    return getDocument().getStompModule().getStomp(static_cast<int>(slot_));
}

StompModule::StompModule(Main& root, Application::GUI::Widget* parent)
    : Module(StompId, root, parent, "Stomps.xml")
{
    Document::StompModule& stomps = getDocument().getStompModule();
    for (int slot = 0; slot < kSlots; ++slot) {
        Application::DocView::Parameter* selector = &stomps.stomps[static_cast<std::size_t>(slot)];
        addButtonInc(slotName(slot, "UpButton"), selector, -1.0f);
        addButtonInc(slotName(slot, "DownButton"), selector, 1.0f);
        addStaticText(slotName(slot, "ModelLabel"), selector, pedalNames());
        Application::Widgets::Menu* menu = nullptr;
        Application::Widgets::PushButton* button = nullptr;
        find(slotName(slot, "Menu"), menu);
        find(slotName(slot, "ModelButton"), button);
        for (const auto& [value, name] : pedalNames())
            menu->addItem(name, value);
        addMenu(slotName(slot, "Menu"), selector);
        button->setUserData(static_cast<Application::GUI::Widget*>(menu));
        connect(button->clicked, [](Application::Widgets::AbstractButton* sender, const auto&) {
            static_cast<Application::GUI::Widget*>(sender->getUserData())->show();
        });
        find(slotName(slot, "Area"), areas_[static_cast<std::size_t>(slot)]);
        connect(selector->changed, [this, slot](auto*) { slotChanged(slot); });
        slotChanged(slot);
    }
}

StompModule::~StompModule() = default;

void StompModule::slotChanged(int slot)
{
    auto& pedal = pedals_[static_cast<std::size_t>(slot)];
    if (pedal) {
        forgetSubPanel(pedal.get());
        // A handler of the old pedal may be on the stack: it goes at the end of the event.
        getRoot().deleteLater(std::move(pedal));
    }
    const float value =
        getDocument().getStompModule().stomps[static_cast<std::size_t>(slot)].getValue();
    const int model = std::isfinite(value) ? static_cast<int>(std::trunc(value)) : 0;
    Main& root = getRoot();
    Application::GUI::Widget* area = areas_[static_cast<std::size_t>(slot)];
    const auto n = static_cast<unsigned>(slot);
    try {
        switch (model) {
        case 1:
            pedal = std::make_unique<StompOverdrive>(n, root, area);
            break;
        case 2:
            pedal = std::make_unique<StompOctaver>(n, root, area);
            break;
        case 3:
            pedal = std::make_unique<StompRI1>(n, root, area);
            break;
        case 4:
            pedal = std::make_unique<StompMemoryMan>(n, root, area);
            break;
        case 5:
            pedal = std::make_unique<StompWah>(n, root, area);
            break;
        case 6:
            pedal = std::make_unique<StompDynaComp>(n, root, area);
            break;
        case 7:
            pedal = std::make_unique<StompEnvelopeFilter>(n, root, area);
            break;
        case 8:
            pedal = std::make_unique<StompVolume>(n, root, area);
            break;
        default:
            break;
        }
    } catch (const std::runtime_error&) {
        pedal.reset();
    }
    if (pedal)
        adoptSubPanel(pedal.get());
}

} // namespace Zq::BorvanRAZ::GUI
