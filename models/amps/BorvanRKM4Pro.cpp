#include "models/amps/BorvanRKM4Pro.h"

#include "models/amps/AmpSelector.h"

namespace AudioEngine::BorvanQom::Application {

std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> AmpCreators::rkm4Pro()
{
    return ModuleSelectorDetails::makeCreator<
        CX2::Application::ModuleArrayElement<BorvanRKM4Pro<BorvanRKM4ProTraits>>>();
}

} // namespace AudioEngine::BorvanQom::Application
