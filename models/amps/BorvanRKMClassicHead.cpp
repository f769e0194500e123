#include "models/amps/BorvanRKMClassicHead.h"

#include "models/amps/AmpSelector.h"

namespace AudioEngine::BorvanQom::Application {

std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> AmpCreators::rkmClassic()
{
    return ModuleSelectorDetails::makeCreator<
        CX2::Application::ModuleArrayElement<BorvanRKMClassicHead<BorvanRKMClassicHeadTraits>>>();
}

} // namespace AudioEngine::BorvanQom::Application
