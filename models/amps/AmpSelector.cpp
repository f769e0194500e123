#include "models/amps/AmpSelector.h"

namespace AudioEngine::BorvanQom::Application {

AmpSet::AmpSet()
{
    add<CX2::Application::ModuleArrayElement<Bypass>>("Empty");
    add(AmpModelNames::kRKMClassic, AmpCreators::rkmClassic());
    add(AmpModelNames::kRE500, AmpCreators::re500());
    add(AmpModelNames::kRKM4Pro, AmpCreators::rkm4Pro());
    add(AmpModelNames::kV9E, AmpCreators::v9e());
}

} // namespace AudioEngine::BorvanQom::Application
