#include "models/stomps/OverDrive.h"

#include "models/stomps/StompSet.h"

namespace AudioEngine::BorvanQom::Application {

std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> StompCreators::overdrive()
{
    return ModuleSelectorDetails::makeCreator<StompElement<OverDrive<OverDriveTraits>>>();
}

} // namespace AudioEngine::BorvanQom::Application
