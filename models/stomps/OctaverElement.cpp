#include "models/stomps/Octaver.h"

#include "models/stomps/StompSet.h"

namespace AudioEngine::BorvanQom::Application {

std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> StompCreators::octaver()
{
    return ModuleSelectorDetails::makeCreator<StompElement<Octaver<OctaverTraits>>>();
}

} // namespace AudioEngine::BorvanQom::Application
