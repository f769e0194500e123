#pragma once

#include "engine/core/ModuleStructured.h"
#include "models/amps/stages/Vactrol.h"

namespace AudioEngine::BorvanQom {

// A one-in, one-out stage whose gain hangs on a vactrol (the compressor, the
// limiter): the vactrol child, which the stage steps inside its own sample
// loop, and R, the resistance the next step starts from. Prepare and reset put
// the photoresistor back in the dark, so a fresh or reset stage starts from
// rest rather than from whatever the last block left.
template <class VactrolType> class VactrolStage : public ModuleExplicit {
public:
    using ModuleExplicit::ModuleExplicit;

    // The vactrol comes first among the children, before the stage's own.
    void createSubModules() override { vactrol_ = addSubModule<VactrolType>("Vactrol"); }

    void createInputs() override { inputs_.addInput(Input("In", ""), "In"); }
    void createOutputs() override
    {
        outputs_.addBufferedOutput(OutputBuffered("Out", "", getBlockCapacity()), "Out");
    }

    void bindPorts() override
    {
        ModuleExplicit::bindPorts();
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    void reset() override
    {
        ModuleExplicit::reset();
        restPhotoresistor();
    }
    void prepare() override
    {
        ModuleExplicit::prepare();
        restPhotoresistor();
    }

    float getResistance() const noexcept { return resistance_; }
    VactrolType& getVactrol() const noexcept { return *vactrol_; }

protected:
    // R after a block of steps.
    void setResistance(float resistance) noexcept { resistance_ = resistance; }

    Port* in_ = nullptr;
    Port* out_ = nullptr;

private:
    // R at zero LED current, in the stage and in its vactrol alike, so the
    // next step starts from the dark state.
    void restPhotoresistor() noexcept
    {
        resistance_ = vactrol_->transfer(0.0f);
        vactrol_->setResistance(resistance_);
    }

    VactrolType* vactrol_ = nullptr;
    float resistance_ = VactrolType::TransferFunction::kDarkResistance;
};

} // namespace AudioEngine::BorvanQom
