#include "models/stomps/ChorusRI1Mono.h"

#include "models/stomps/StompSet.h"

namespace AudioEngine::BorvanQom::Application {

std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> StompCreators::analogChorus()
{
    return ModuleSelectorDetails::makeCreator<
        StompElement<CX2::ChorusRI1Mono<CX2::ChorusRI1MonoTraits>>>();
}

} // namespace AudioEngine::BorvanQom::Application
