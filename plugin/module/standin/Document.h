#pragma once

#include "plugin/document/Main.h"

namespace Zq::BorvanRAZ::StandIn {

// The editor and engine stand-ins hold the processor's document by its base:
// the rig document is real, they only keep a reference to it.
using Document = BorvanRAZ::Document::Main;

} // namespace Zq::BorvanRAZ::StandIn
