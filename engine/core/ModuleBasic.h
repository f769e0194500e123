#pragma once

#include "engine/core/Module.h"

#include <cstdint>

namespace AudioEngine {

// A leaf module: named ports and parameters, one block routine per piece.
//
// Leaves cache port and parameter pointers in bindPorts and fetch each port's
// getBuffer() per piece, never raw buffer addresses: a selector switch re-points
// a connectable output without rebinding the leaves downstream.
class ModuleBasic : public Module {
public:
    using Module::Module;
    // An unbuilt copy: no environment, the default routine, capacity 0.
    ModuleBasic(const ModuleBasic& other) : Module(other) {}

    // setEnvironment, createParameters, createInputs, createOutputs, prepare.
    void build(Environment* environment) override;
    void process() override { (this->*routine_)(); }
    void connect() override {}
    void resolveConnections() override;
    void describe(std::ostream& stream, const std::string& prefix) const override;
    void resetParametersToDefaults() override;
    void update() override {}
    void notify() override {}
    // One input "In".
    void createInputs() override;
    // Buffered or in place, as the environment's output policy and the flags say.
    void createOutputs() override;
    void createParameters() override {}
    // Rate-dependent work goes in an override that ends by calling this.
    void prepare() override { selectProcessRoutine(); }
    void setEnvironment(Environment* environment) override;

    virtual std::uint32_t processBlockVector() { return 0; }
    virtual std::uint32_t processBlockAlt() { return 0; }
    // 0x80 takes processBlockVector, then 0x40 processBlockAlt; else processBlock.
    virtual void selectProcessRoutine();
    virtual Output* addOutputInPlace(const Port& prototype);
    virtual Output* addOutputBuffered(const OutputBuffered& prototype);
    Environment* getEnvironment() const noexcept { return environment_; }
    // One buffered "Out" of the block capacity.
    virtual void createOutputsBuffered();
    // One "Out" over the first input's samples.
    virtual void createOutputsInPlace();
    virtual std::uint32_t processBlock() { return 0; }
    float getSampleRate() const { return environment_->getSampleRate(); }

    std::uint32_t getBlockCapacity() const noexcept { return blockCapacity_; }
    std::uint32_t getChunkSize() const { return environment_->getChunkSize(); }

    using Routine = std::uint32_t (ModuleBasic::*)();
    Routine getProcessRoutine() const noexcept { return routine_; }

protected:
    Environment* environment_ = nullptr;
    Routine routine_ = &ModuleBasic::processBlock;
    std::uint32_t blockCapacity_ = 0;
};

} // namespace AudioEngine
