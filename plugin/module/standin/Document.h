#pragma once

#include "plugin/document/Main.h"

namespace Zq::BorvanRAZ::StandIn {

// The editor stand-in holds the processor's document by its base: the rig
// document is real, the stand-in only keeps a reference to it.
using Document = BorvanRAZ::Document::Main;

} // namespace Zq::BorvanRAZ::StandIn
