#pragma once

#include <memory>

#include "editor/panels/Panel.h"

namespace Zq::BorvanRAZ::GUI {

// The amplifier module: no widgets of its own, only the head panel of the
// model the document selects at the time it is built. The editor root
// rebuilds it whenever the model changes while it is shown.
class AmpModule : public Module {
public:
    AmpModule(Main& root, Application::GUI::Widget* parent);
    ~AmpModule() override;

    Panel* getHead() const noexcept { return head_.get(); }

private:
    std::unique_ptr<Panel> head_;
};

// The head a value of "AmpModel" shows: 0 GN-500, 1 Q-9R, 3 RKM-4 PRO, and
// RKM-CL for 2 and anything else.
enum class AmpHead { RE500, V9E, RKMClassic, RKM4PRO };
AmpHead headForModel(float ampModel) noexcept;

} // namespace Zq::BorvanRAZ::GUI
