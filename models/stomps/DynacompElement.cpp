#include "models/stomps/Dynacomp.h"

#include "models/stomps/StompSet.h"

namespace AudioEngine::BorvanQom::Application {

std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> StompCreators::compressor()
{
    return ModuleSelectorDetails::makeCreator<
        StompElement<CX2::Dynacomp<CX2::DynacompTraits<float>>>>();
}

} // namespace AudioEngine::BorvanQom::Application
