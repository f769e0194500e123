#include "plugin/engine/EngineFacade.h"

#include "models/RigModuleCreators.h"
#include "plugin/engine/ChainStructure.h"

#include <cstring>

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
    : host_(std::make_unique<ModuleHostBorvanQom>()),
      ring_(std::make_unique<Change[]>(kRingCapacity)), engineChannel_(document.getEngineChannel())
{
    host_->setChangeLock(&graphLock_);
}

EngineFacade::~EngineFacade()
{
    host_.reset();
}

void EngineFacade::setParameterByName(const std::string& path, const std::string& valueName)
{
    setParameter(path, lookupNamedValue(path, valueName));
}

void EngineFacade::setParameter(const std::string& path, float value)
{
    using AudioEngine::ModuleHostDetails::ParameterChanges;
    if (path.size() > ParameterChanges::kMaxNameLength)
        return;
    std::lock_guard writer(writeLock_);
    if (ringPush(path, value))
        return;
    // Full: no block has emptied the ring for thousands of changes (none is
    // running, or a burst outgrew a block). The writer empties it itself, so
    // nothing is lost and the order stays.
    std::lock_guard block(blockLock_);
    ringDrain();
    host_->getParameterChanges().push(path, value);
}

bool EngineFacade::ringPush(std::string_view path, float value) noexcept
{
    const std::size_t tail = ringTail_.load(std::memory_order_relaxed);
    if (tail - ringHead_.load(std::memory_order_acquire) == kRingCapacity)
        return false;
    Change& change = ring_[tail % kRingCapacity];
    std::memcpy(change.name.data(), path.data(), path.size());
    change.length = static_cast<std::uint8_t>(path.size());
    change.value = value;
    ringTail_.store(tail + 1, std::memory_order_release);
    return true;
}

void EngineFacade::ringDrain() noexcept
{
    std::size_t head = ringHead_.load(std::memory_order_relaxed);
    const std::size_t tail = ringTail_.load(std::memory_order_acquire);
    auto& changes = host_->getParameterChanges();
    for (; head != tail; ++head) {
        const Change& change = ring_[head % kRingCapacity];
        changes.push(std::string_view(change.name.data(), change.length), change.value);
    }
    ringHead_.store(head, std::memory_order_release);
}

std::size_t EngineFacade::getRingCount() const noexcept
{
    return ringTail_.load(std::memory_order_acquire) - ringHead_.load(std::memory_order_acquire);
}

void EngineFacade::flushRing()
{
    std::lock_guard block(blockLock_);
    ringDrain();
}

float EngineFacade::getParameter(const std::string& path)
{
    return host_->readValue(path);
}

float EngineFacade::lookupNamedValue(const std::string& path, const std::string& valueName)
{
    // The tables change only while the audio thread applies changes, which it
    // does only when it gets this lock at once: the wait is never a block.
    std::lock_guard lock(graphLock_);
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
    std::lock_guard block(blockLock_);
    std::lock_guard graph(graphLock_);
    return host_->setSampleRate(rate);
}

void EngineFacade::process(const float* const* inputs, float* const* outputs, std::uint32_t frames)
{
    std::lock_guard block(blockLock_);
    ringDrain();
    host_->processHost(inputs, outputs, frames);
}

AudioEngine::ModuleHostBase& EngineFacade::getModuleHost() noexcept
{
    return *host_;
}

} // namespace Zq::BorvanRAZ::Engine
