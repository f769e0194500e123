#pragma once

#include <memory>
#include <string>

#include "editor/panels/Panel.h"

namespace Zq::Application::Widgets {
class MultiStateButton;
}

namespace Zq::BorvanRAZ::GUI {

class HighLevelControl;

// The layouts a value of "CabinetModel" shows: the cabinet's front, and the
// back panel with its tweeter knob. Values outside the six cabinets show the
// GN-500's.
struct CabinetLayouts {
    const char* cabinet;
    const char* back;
};
CabinetLayouts cabinetLayouts(float cabinetModel) noexcept;

// Where the microphone picture stands for the present microphone settings:
// the frame of the "Mic" button (six microphones near, the same six far) and
// the shift from its laid-out place.
struct MicPicture {
    int frame;
    int dx;
};
MicPicture micPicture(float micModel, float micAxis, float micDist) noexcept;

// The cabinet module: cabinet and microphone selectors, microphone distance
// and axis, cabinet match, ambience, the microphone picture, and the back
// panel with the tweeter level behind a switch. The editor root rebuilds it
// whenever the cabinet changes while it is shown, so its layout follows the
// cabinet.
//
// It also keeps one rule of the document: while the RKM-810E is chosen,
// "HighLevel" is held at 1 and its former value kept aside for the next
// cabinet. The rule runs on every change of the cabinet or the microphone
// while the panel exists, never on merely opening it.
class CabModule : public Module {
public:
    // RKM-810E: the cabinet whose tweeter level is held at full.
    static constexpr int kFullTweeterCabinet = 5;

    CabModule(Main& root, Application::GUI::Widget* parent);
    ~CabModule() override;

    // The rule above, on the document's present values. The root runs it
    // once after a rebuild that a cabinet change caused: the new panel's own
    // handler is connected during that change and so does not hear it.
    void applyHighLevelRule();

    // The open back panel, or null.
    HighLevelControl* getBackPanel() const noexcept { return backPanel_.get(); }
    // Its click comes from the back panel's own button: the panel goes when
    // the event ends.
    void closeBackPanel();

private:
    void cabinetChanged();
    void drawMic();
    void openBackPanel(Application::GUI::Widget* parent);

    Application::Widgets::MultiStateButton* mic_ = nullptr;
    int micX_ = 0;
    int micY_ = 0;
    std::unique_ptr<HighLevelControl> backPanel_;
};

} // namespace Zq::BorvanRAZ::GUI
