#pragma once

#include "engine/core/ModuleSetDescription.h"

#include <cstdint>

namespace AudioEngine {

class Module;

// What a module asks about the world it runs in. The root environment is the
// module host; every composite hands its sub-modules a local environment that
// forwards to its own, so the whole tree sees the root's answers. The host
// operations (processChunk onwards) are only meaningful on a root; elsewhere
// they do nothing.
class Environment {
public:
    virtual ~Environment() = default;

    // Host state: 0 while running normally.
    virtual std::int32_t getState() const = 0;
    virtual void setState(std::int32_t state) = 0;
    // Largest piece in samples; modules size their buffers with it.
    virtual std::uint32_t getBlockCapacity() const = 0;
    virtual float getSampleRate() const = 0;
    // The host's fixed delay in samples.
    virtual std::int32_t getLatency() const = 0;
    // How a leaf makes its "Out": 0 buffered; 1 in place only for modules that
    // allow it strictly; 2 or 3 in place where allowed.
    virtual std::int32_t getOutputPolicy(const Module* module) const = 0;
    // Samples in the piece being processed.
    virtual std::uint32_t getChunkSize() const = 0;
    // A module below reports that its structure changed.
    virtual void structureChanged() = 0;

    virtual void processChunk() {}
    virtual void processHost(const float* const* inputs, float* const* outputs,
                             std::uint32_t frames)
    {
        (void)inputs;
        (void)outputs;
        (void)frames;
    }
    virtual std::uint32_t getInputCount() const { return 0; }
    virtual std::uint32_t getOutputCount() const { return 0; }
    virtual const float* getOutputBuffer(std::uint32_t index) const
    {
        (void)index;
        return nullptr;
    }
    virtual const ModuleSetDescription& getStructure() const
    {
        static const ModuleSetDescription none;
        return none;
    }
};

// The environment a composite gives its sub-modules: every query goes to the
// composite's own environment; setState and structureChanged do nothing unless
// the composite replaces them.
class EnvironmentLocal : public Environment {
public:
    std::int32_t getState() const override { return parent_->getState(); }
    void setState(std::int32_t) override {}
    std::uint32_t getBlockCapacity() const override { return parent_->getBlockCapacity(); }
    float getSampleRate() const override { return parent_->getSampleRate(); }
    std::int32_t getLatency() const override { return parent_->getLatency(); }
    std::int32_t getOutputPolicy(const Module* module) const override
    {
        return parent_->getOutputPolicy(module);
    }
    std::uint32_t getChunkSize() const override { return parent_->getChunkSize(); }
    void structureChanged() override {}
    const ModuleSetDescription& getStructure() const override { return parent_->getStructure(); }

    Environment* getParentEnvironment() const noexcept { return parent_; }

protected:
    void setParentEnvironment(Environment* parent) noexcept { parent_ = parent; }

    Environment* parent_ = nullptr;
};

} // namespace AudioEngine
