#include "models/amps/BorvanRE500.h"

#include "models/amps/AmpSelector.h"

namespace AudioEngine::BorvanQom::Application {

std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> AmpCreators::re500()
{
    return ModuleSelectorDetails::makeCreator<
        CX2::Application::ModuleArrayElement<BorvanRE500<BorvanRE500Traits>>>();
}

} // namespace AudioEngine::BorvanQom::Application
