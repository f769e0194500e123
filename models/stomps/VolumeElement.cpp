#include "models/stomps/Volume.h"

#include "models/stomps/StompSet.h"

namespace AudioEngine::BorvanQom::Application {

std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> StompCreators::volume()
{
    return ModuleSelectorDetails::makeCreator<StompElement<CX2::Volume<CX2::VolumeTraits>>>();
}

} // namespace AudioEngine::BorvanQom::Application
