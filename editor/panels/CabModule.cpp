#include "editor/panels/CabModule.h"

#include <cmath>
#include <map>
#include <stdexcept>

#include "editor/panels/HighLevelControl.h"
#include "editor/panels/Main.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/MultiStateButton.h"
#include "editor/widgets/PushButton.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

namespace {

using Application::DocView::Parameter;

// A selector's value as the whole number the tables are indexed by; -1 for
// what no table holds (a NaN, or a value beyond any int).
int wholeValue(float value) noexcept
{
    if (!std::isfinite(value) || std::fabs(value) > 1e6f)
        return -1;
    return static_cast<int>(std::trunc(value));
}

std::map<int, std::string> namesOf(const char* const* names, int count)
{
    std::map<int, std::string> table;
    for (int i = 0; i < count; ++i)
        table.emplace(i, names[i]);
    return table;
}

} // namespace

CabinetLayouts cabinetLayouts(float cabinetModel) noexcept
{
    static constexpr CabinetLayouts layouts[Document::CabModule::kCabinetCount] = {
        {"CabGN-500.xml", "CabBackStandard.xml"},  {"CabV9E.xml", "CabBackV9E.xml"},
        {"CabJMR410H.xml", "CabBackJMR410H.xml"},  {"CabWF212H.xml", "CabBackStandard.xml"},
        {"CabRKM410H.xml", "CabBackStandard.xml"}, {"CabRKM810E.xml", "CabBackStandard.xml"}};
    const int value = wholeValue(cabinetModel);
    if (value < 0 || value >= Document::CabModule::kCabinetCount)
        return layouts[0];
    return layouts[value];
}

MicPicture micPicture(float micModel, float micAxis, float micDist) noexcept
{
    struct Mic {
        int frame;
        int shiftNear;
        int shiftFar;
    };
    // The picture's frames hold the microphones in another order than the
    // selector. Two of them are drawn off the common place and moved onto
    // it: the Vintage Dynamic 20 always, the Dynamic 20 only close up.
    static constexpr Mic mics[Document::CabModule::kMicCount] = {{1, 14, 0},  {5, 0, 0}, {3, 0, 0},
                                                                 {0, -5, -5}, {2, 0, 0}, {4, 0, 0}};
    const bool far = micDist != 0.0f;
    MicPicture picture{0, far ? -3 : 0};
    const int value = wholeValue(micModel);
    if (value >= 0 && value < Document::CabModule::kMicCount) {
        const Mic& mic = mics[value];
        picture.frame = mic.frame;
        picture.dx += far ? mic.shiftFar : mic.shiftNear;
    }
    if (far)
        picture.frame += Document::CabModule::kMicCount;
    if (micAxis != 0.0f)
        picture.dx += 50;
    return picture;
}

CabModule::CabModule(Main& root, Application::GUI::Widget* parent)
    : Module(CabId, root, parent,
             cabinetLayouts(root.getDocument().getCabModule().cabinetModel.getValue()).cabinet)
{
    Document::CabModule& cab = getDocument().getCabModule();
    addCheckBox("BypassSwitch", &cab.bypass);
    addCheckBox("BypassLed", &cab.bypass);
    addCheckBox("CabinetMatchSwitch", &cab.cabinetMatch);
    addCheckBox("CabinetMatchLed", &cab.cabinetMatch);
    addCheckBox("MicAxisSwitch", &cab.micAxis);
    addCheckBox("MicDistSwitch", &cab.micDist);
    addSlider("AmbienceSlider", &cab.ambience);
    addStaticTextValue(root.getSelectedValueText(), &cab.ambience, 1, "");

    for (Parameter* p : {&cab.cabinetModel, &cab.micModel, &cab.micAxis, &cab.micDist})
        connect(p->changed, [this](Parameter*) { cabinetChanged(); });

    struct Selector {
        const char* prefix;
        Parameter* parameter;
        std::map<int, std::string> names;
    };
    const Selector selectors[] = {
        {"Cabinet", &cab.cabinetModel,
         namesOf(Document::CabModule::kCabinetNames, Document::CabModule::kCabinetCount)},
        {"Mic", &cab.micModel,
         namesOf(Document::CabModule::kMicNames, Document::CabModule::kMicCount)}};
    for (const Selector& s : selectors) {
        const std::string prefix = s.prefix;
        addButtonInc(prefix + "UpButton", s.parameter, -1.0f);
        addButtonInc(prefix + "DownButton", s.parameter, 1.0f);
        addStaticText(prefix + "ModelLabel", s.parameter, s.names);
        Application::Widgets::Menu* menu = nullptr;
        Application::Widgets::PushButton* button = nullptr;
        find(prefix + "Menu", menu);
        find(prefix + "ModelButton", button);
        for (const auto& [value, name] : s.names)
            menu->addItem(name, value);
        addMenu(prefix + "Menu", s.parameter);
        button->setUserData(static_cast<Application::GUI::Widget*>(menu));
        connect(button->clicked, [](Application::Widgets::AbstractButton* sender, const auto&) {
            static_cast<Application::GUI::Widget*>(sender->getUserData())->show();
        });
    }

    find("Mic", mic_);
    const auto laidOut = mic_->getPosition();
    micX_ = laidOut.x;
    micY_ = laidOut.y;

    Application::Widgets::PushButton* backSwitch = nullptr;
    find("HighLevelSwitch", backSwitch);
    connect(backSwitch->clicked, [this, parent](Application::Widgets::AbstractButton*,
                                                const auto&) { openBackPanel(parent); });

    drawMic();
    cab.ambience.notifyChanged();
}

CabModule::~CabModule() = default;

void CabModule::cabinetChanged()
{
    drawMic();
    applyHighLevelRule();
}

void CabModule::drawMic()
{
    const Document::CabModule& cab = getDocument().getCabModule();
    const MicPicture picture =
        micPicture(cab.micModel.getValue(), cab.micAxis.getValue(), cab.micDist.getValue());
    mic_->setState(picture.frame);
    mic_->setPosition({micX_ + picture.dx, micY_});
}

void CabModule::applyHighLevelRule()
{
    Document::CabModule& cab = getDocument().getCabModule();
    if (cab.keptHighLevel != -1.0f)
        cab.highLevel.setValue(cab.keptHighLevel, true);
    if (wholeValue(cab.cabinetModel.getValue()) == kFullTweeterCabinet) {
        cab.keptHighLevel = cab.highLevel.getValue();
        cab.highLevel.setValue(1.0f, true);
    } else {
        cab.keptHighLevel = -1.0f;
    }
}

void CabModule::openBackPanel(Application::GUI::Widget* parent)
{
    closeBackPanel();
    // A back-panel layout that lacks its widgets opens nothing: the error
    // would otherwise leave through the window's event loop.
    try {
        backPanel_ = std::make_unique<HighLevelControl>(getRoot(), parent, *this);
    } catch (const std::runtime_error&) {
        return;
    }
    adoptSubPanel(backPanel_.get());
}

void CabModule::closeBackPanel()
{
    if (!backPanel_)
        return;
    forgetSubPanel(backPanel_.get());
    getRoot().deleteLater(std::move(backPanel_));
}

} // namespace Zq::BorvanRAZ::GUI
