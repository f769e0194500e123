#include "models/stomps/MemoryMan.h"

#include "models/stomps/StompSet.h"

namespace AudioEngine::BorvanQom::Application {

std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> StompCreators::analogDelay()
{
    return ModuleSelectorDetails::makeCreator<StompElement<CX2::MemoryMan<CX2::MemoryManTraits>>>();
}

} // namespace AudioEngine::BorvanQom::Application
