#include "plugin/automation/UnitConnectable.h"

namespace Zq::BorvanRAZ::Automation {

UnitConnectable::~UnitConnectable() = default;

} // namespace Zq::BorvanRAZ::Automation
