#include "models/amps/BorvanV9E.h"

#include "models/amps/AmpSelector.h"

namespace AudioEngine::BorvanQom::Application {

std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> AmpCreators::v9e()
{
    return ModuleSelectorDetails::makeCreator<
        CX2::Application::ModuleArrayElement<BorvanV9E<BorvanV9ETraits>>>();
}

} // namespace AudioEngine::BorvanQom::Application
