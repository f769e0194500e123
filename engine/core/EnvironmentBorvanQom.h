#pragma once

#include "engine/core/EnvironmentHost.h"
#include "engine/core/ModuleSetDescription.h"

namespace Zq::BorvanRAZ::Engine {

// The rig's root environment: 64-sample pieces, a 4-sample delay, buffered
// outputs for every module, and the chain description the module set builds
// from. The description is handed in once and kept unchanged.
class EnvironmentBorvanQom : public AudioEngine::EnvironmentHost<64, 4> {
public:
    explicit EnvironmentBorvanQom(AudioEngine::ModuleSetDescription description)
        : description_(std::move(description))
    {
    }

    float getSampleRate() const override { return sampleRate_; }
    std::int32_t getLatency() const override { return latency_; }
    std::int32_t getOutputPolicy(const AudioEngine::Module*) const override { return 0; }
    const AudioEngine::ModuleSetDescription& getStructure() const override { return description_; }

protected:
    AudioEngine::ModuleSetDescription description_;
    float sampleRate_ = 44100.0f;
    std::int32_t latency_ = 4;
};

} // namespace Zq::BorvanRAZ::Engine
