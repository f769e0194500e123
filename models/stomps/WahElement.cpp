#include "models/stomps/Wah.h"

#include "models/stomps/StompSet.h"

namespace AudioEngine::BorvanQom::Application {

std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> StompCreators::bassWah()
{
    return ModuleSelectorDetails::makeCreator<StompElement<CX1::Wah<WahTraits>>>();
}

} // namespace AudioEngine::BorvanQom::Application
