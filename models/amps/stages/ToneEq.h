#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/core/Parameter.h"

#include <cstdint>
#include <string_view>

namespace AudioEngine::CX1 {

// A tone stack as a leaf module: "In" through a state-space schematic to "Out".
// The knobs "Bass", "Mid" and "Treble" (0 .. 1, default 0.5, slewed by the
// change queue) are mapped by the schematic, which then rebuilds its
// continuous model and its discretisation; that happens on every knob change,
// on a rate change (update) and at prepare, never inside the sample loop.
template <class Schematic> class ToneEq : public ModuleBasic {
public:
    static ModuleInfo moduleInfo() { return ModuleInfo{0x12, "ToneEq", "CX1 tone EQ"}; }

    ToneEq() : ModuleBasic(moduleInfo()) {}

    void createParameters() override
    {
        bass_ = parameters_.addParameter(Parameter("Bass", "", 0.0f, 1.0f, 0.5f, 0), "Bass");
        mid_ = parameters_.addParameter(Parameter("Mid", "", 0.0f, 1.0f, 0.5f, 0), "Mid");
        treble_ = parameters_.addParameter(Parameter("Treble", "", 0.0f, 1.0f, 0.5f, 0), "Treble");
    }

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
        bass_ = &getParameter("Bass");
        mid_ = &getParameter("Mid");
        treble_ = &getParameter("Treble");
    }

    void setParameter(std::string_view name, float value) override
    {
        ModuleBasic::setParameter(name, value);
        updateSchematic();
    }

    void prepare() override
    {
        ModuleBasic::prepare();
        updateSchematic();
    }

    void update() override { updateSchematic(); }

    void reset() override { schematic_.reset(); }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        schematic_.process(in_->getBuffer(), out_->getBuffer(), n);
        return n;
    }

    const Schematic& getSchematic() const noexcept { return schematic_; }

private:
    void updateSchematic()
    {
        using Value = typename Schematic::Value;
        const auto fs = static_cast<Value>(getSampleRate());
        auto bass = static_cast<Value>(bass_->getValue());
        auto mid = static_cast<Value>(mid_->getValue());
        auto treble = static_cast<Value>(treble_->getValue());
        schematic_.mapControls(bass, mid, treble);
        schematic_.computeModel(bass, mid, treble, fs);
        schematic_.discretise(fs);
    }

    Port* in_ = nullptr;
    Port* out_ = nullptr;
    ParameterBase* bass_ = nullptr;
    ParameterBase* mid_ = nullptr;
    ParameterBase* treble_ = nullptr;
    Schematic schematic_;
};

} // namespace AudioEngine::CX1
