#pragma once

#include "engine/host/ModuleHost.h"
#include "plugin/document/Main.h"
#include "plugin/docview/MAFInterface.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace Zq::BorvanRAZ::Engine {

class ModuleHostBorvanQom;

// The only door between the control side and the rig's DSP graph. It owns the
// module host (built from ChainStructure with the rig's module creators) and
// the facade lock.
//
// Locks: the audio thread holds the facade lock for the whole of a block; the
// control side takes it for one queued change, one named-value lookup or a
// rate change, so the audio thread waits at most for one of those. Control
// callers already hold the document lock (document before facade); nothing
// here ever waits for the document lock.
class EngineFacade : public Application::DocView::MAFInterface {
public:
    explicit EngineFacade(Document::Main& document);
    ~EngineFacade() override;
    EngineFacade(const EngineFacade&) = delete;
    EngineFacade& operator=(const EngineFacade&) = delete;

    // Looks the number up (under the lock), then queues it (under the lock
    // again). An unknown path or name queues 0, which the queue drops for an
    // unknown path.
    void setParameterByName(const std::string& path, const std::string& valueName) override;
    // Queued for the audio thread, which applies it between pieces.
    void setParameter(const std::string& path, float value) override;
    // No lock: meant for the audio thread (the read-backs after a block), or
    // for a caller that knows no block is running. 0 for an unknown path.
    float getParameter(const std::string& path) override;
    // The number of a named state of the parameter at path; 0 for a path or a
    // name the graph does not know, and nothing is created for either.
    float lookupNamedValue(const std::string& path, const std::string& valueName) override;

    // The cabinet's impedance-curve switch for an amp model: 1 for exactly
    // "V9E", 0 for anything else. The path is not used; no lock.
    float getImpedanceSwitch(const std::string& path, const std::string& ampModel) const;
    static float impedanceSwitch(const std::string& ampModel) noexcept;

    // Control thread. A rate that is not a positive finite number is refused.
    bool setSampleRate(float rate);

    // Audio thread: one mono input, two outputs (the output may be the input).
    void process(const float* const* inputs, float* const* outputs, std::uint32_t frames);

    // For the engine's tests and tools: the host behind the door. Its
    // operations follow the locking rules above.
    AudioEngine::ModuleHostBase& getModuleHost() noexcept;
    Document::Main::EngineChannel* getEngineChannel() const noexcept { return engineChannel_; }

private:
    std::unique_ptr<ModuleHostBorvanQom> host_;
    std::mutex lock_;
    // Kept for the document's sake; the facade's own operations never use it.
    Document::Main::EngineChannel* engineChannel_;
};

} // namespace Zq::BorvanRAZ::Engine
