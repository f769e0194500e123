#pragma once

#include <memory>

#include "editor/panels/Input.h"
#include "editor/panels/MiniTuner.h"
#include "editor/panels/MiscButtons.h"
#include "editor/panels/Output.h"
#include "editor/panels/SelectedValue.h"

namespace Zq::Application::Widgets {
class PushButton;
}

namespace Zq::BorvanRAZ::GUI {

// The bar along the bottom of the editor: meters, the output section, the
// selected value, the mini tuner, the information and preference buttons,
// and the arrows that move the module area along the chain tuner, stomps,
// amplifier, cabinet and round again.
class LowerPanel : public Panel {
public:
    LowerPanel(Main& root, Application::GUI::Widget* parent);
    ~LowerPanel() override;
    void update() override;

    Application::Widgets::StaticText* getSelectedValueText() const
    {
        return selectedValue_->getText();
    }
    MiniTuner* getMiniTuner() const noexcept { return miniTuner_.get(); }
    MiscButtons* getMiscButtons() const noexcept { return miscButtons_.get(); }
    Input* getInput() const noexcept { return input_.get(); }
    Output* getOutput() const noexcept { return output_.get(); }

private:
    void showButtons(int moduleId);

    std::unique_ptr<MiniTuner> miniTuner_;
    std::unique_ptr<SelectedValue> selectedValue_;
    std::unique_ptr<MiscButtons> miscButtons_;
    std::unique_ptr<Input> input_;
    std::unique_ptr<Output> output_;
    // Left buttons by target module 1..4, then right buttons.
    Application::Widgets::PushButton* left_[4] = {};
    Application::Widgets::PushButton* right_[4] = {};
};

} // namespace Zq::BorvanRAZ::GUI
