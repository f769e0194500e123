#include "models/stomps/EnvelopeFilter.h"

#include "models/stomps/StompSet.h"

namespace AudioEngine::BorvanQom::Application {

std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> StompCreators::envelopeFilter()
{
    return ModuleSelectorDetails::makeCreator<StompElement<CX2::EnvelopeFilter>>();
}

} // namespace AudioEngine::BorvanQom::Application
