#include "plugin/engine/EngineFacade.h"

#include "models/RigModuleCreators.h"
#include "plugin/engine/ChainStructure.h"

namespace Zq::BorvanRAZ::Engine {

namespace {

struct ModuleHostTraits {
    using Creators = AudioEngine::BorvanQom::Application::ModuleCreators;
};

} // namespace

// The rig's module host: the chain that ChainStructure describes, built from
// the rig's creator table.
class ModuleHostBorvanQom : public AudioEngine::ModuleHost<ModuleHostTraits> {
public:
    ModuleHostBorvanQom() : ModuleHost(ChainStructure().build()) {}
};

EngineFacade::EngineFacade(Document::Main& document)
    : host_(std::make_unique<ModuleHostBorvanQom>()), engineChannel_(document.getEngineChannel())
{
}

EngineFacade::~EngineFacade()
{
    host_.reset();
}

void EngineFacade::setParameterByName(const std::string& path, const std::string& valueName)
{
    const float value = lookupNamedValue(path, valueName);
    std::lock_guard lock(lock_);
    host_->getParameterChanges().push(path, value);
}

void EngineFacade::setParameter(const std::string& path, float value)
{
    std::lock_guard lock(lock_);
    host_->getParameterChanges().push(path, value);
}

float EngineFacade::getParameter(const std::string& path)
{
    return host_->readValue(path);
}

float EngineFacade::lookupNamedValue(const std::string& path, const std::string& valueName)
{
    std::lock_guard lock(lock_);
    // Straight to the parameter's own table: nothing is copied or inserted,
    // whatever the path and the name.
    const AudioEngine::ParameterBase* parameter = host_->getModuleSet().findParameter(path);
    if (!parameter)
        return 0.0f;
    return parameter->getStates().find(valueName).value_or(0.0f);
}

float EngineFacade::getImpedanceSwitch(const std::string&, const std::string& ampModel) const
{
    return impedanceSwitch(ampModel);
}

float EngineFacade::impedanceSwitch(const std::string& ampModel) noexcept
{
    return ampModel == "V9E" ? 1.0f : 0.0f;
}

bool EngineFacade::setSampleRate(float rate)
{
    std::lock_guard lock(lock_);
    return host_->setSampleRate(rate);
}

void EngineFacade::process(const float* const* inputs, float* const* outputs, std::uint32_t frames)
{
    std::lock_guard lock(lock_);
    host_->processHost(inputs, outputs, frames);
}

AudioEngine::ModuleHostBase& EngineFacade::getModuleHost() noexcept
{
    return *host_;
}

} // namespace Zq::BorvanRAZ::Engine
