#pragma once

#include "editor/panels/StompModule.h"

namespace Zq::BorvanRAZ::GUI {

// The pedal faces of the stomp chain, each bound to the document of the
// pedal in its slot; each shows one of its values on opening.
class StompOverdrive : public StompBox {
public:
    StompOverdrive(unsigned slot, Main& root, Application::GUI::Widget* parent);
};

} // namespace Zq::BorvanRAZ::GUI
