#include "editor/panels/LowerPanel.h"

#include "editor/panels/Main.h"
#include "editor/widgets/PushButton.h"

namespace Zq::BorvanRAZ::GUI {

LowerPanel::LowerPanel(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "LowerPanel.xml")
{
    connect(root.moduleChanged, [this](int moduleId) { showButtons(moduleId); });
    selectedValue_ = buildIn<SelectedValue>("SelectedValueArea");
    input_ = buildIn<Input>("InputArea");
    output_ = buildIn<Output>("OutputArea", selectedValue_->getText());
    miscButtons_ = buildIn<MiscButtons>("MiscButtonsArea");
    miniTuner_ = buildIn<MiniTuner>("MiniTunerArea");
    const char* const modules[] = {"Tuner", "Stomp", "Amp", "Cab"};
    for (int side = 0; side < 2; ++side)
        for (int i = 0; i < 4; ++i) {
            Application::Widgets::PushButton*& button = side == 0 ? left_[i] : right_[i];
            find(std::string("To") + modules[i] + (side == 0 ? "LeftButton" : "RightButton"),
                 button);
            connect(button->clicked,
                    [this, i](auto*, const auto&) { getRoot().showModule(i + 1); });
        }
    showButtons(root.getModule());
}

LowerPanel::~LowerPanel()
{
    miscButtons_.reset();
    input_.reset();
    output_.reset();
    selectedValue_.reset();
    miniTuner_.reset();
}

void LowerPanel::showButtons(int moduleId)
{
    // The way round the chain: left goes back, right goes on.
    static const int leftOf[] = {0, CabId, TunerId, StompId, AmpId};
    static const int rightOf[] = {0, StompId, AmpId, CabId, TunerId};
    const bool known = moduleId >= TunerId && moduleId <= CabId;
    for (int i = 0; i < 4; ++i) {
        const bool showLeft = known && leftOf[moduleId] == i + 1;
        const bool showRight = known && rightOf[moduleId] == i + 1;
        if (left_[i] && !showLeft)
            left_[i]->hide();
        if (right_[i] && !showRight)
            right_[i]->hide();
    }
    if (known) {
        if (Application::Widgets::PushButton* l = left_[leftOf[moduleId] - 1])
            l->show();
        if (Application::Widgets::PushButton* r = right_[rightOf[moduleId] - 1])
            r->show();
    }
}

void LowerPanel::update()
{
    input_->update();
    output_->update();
    miniTuner_->update();
}

} // namespace Zq::BorvanRAZ::GUI
