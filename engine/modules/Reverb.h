#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/core/Parameter.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace AudioEngine::CX2 {

// A stereo leaf over a mixer room reverb: "InL", "InR" in, buffered "OutL",
// "OutR" out, and the reverb's five controls as parameters 0..127 ("Time" 40,
// "Density" 64, "Level" 64, "Color" 64, "Size" 16), each sent to its
// controller as an integer.
//
// "Level" 0 bypasses: the inputs are copied exactly and the reverb stops. The
// reverb starts again (its tail cleared) only on the way from 0 back to any
// other level: the change queue slews "Level" in small steps, and a knob
// move must not wipe the tail at every step. A "Size" change still clears the
// tail, since it moves the taps.
//
// The reverb is called only from the thread that processes the graph.
template <class Effect> class Reverb : public ModuleBasic {
public:
    Reverb() : ModuleBasic(ModuleInfo{18, "Reverb", ""}) {}

    void createInputs() override
    {
        inputs_.addInput(Input("InL", ""), "InL");
        inputs_.addInput(Input("InR", ""), "InR");
    }

    void createOutputs() override
    {
        addOutputBuffered(OutputBuffered("OutL", "", blockCapacity_));
        addOutputBuffered(OutputBuffered("OutR", "", blockCapacity_));
    }

    void createParameters() override
    {
        for (const auto& [name, value] :
             {std::pair{"Time", 40.0f}, std::pair{"Density", 64.0f}, std::pair{"Level", 64.0f},
              std::pair{"Color", 64.0f}, std::pair{"Size", 16.0f}})
            parameters_.addParameter(Parameter(name, "", 0.0f, 127.0f, value, 0), name);
    }

    void bindPorts() override
    {
        inL_ = &getInput("InL");
        inR_ = &getInput("InR");
        outL_ = &getOutput("OutL");
        outR_ = &getOutput("OutR");
    }

    // The parameter is set (and limited) first; its value, truncated, goes to
    // the reverb's controller.
    void setParameter(std::string_view name, float value) override
    {
        ModuleBasic::setParameter(name, value);
        const auto v = static_cast<std::int32_t>(getParameter(name).getValue());
        effect_.setController(controllerOf(name), v);
        if (name != "Level")
            return;
        if (v == 0) {
            if (!bypass_) {
                bypass_ = true;
                effect_.stop();
            }
        } else if (bypass_) {
            bypass_ = false;
            effect_.start();
        }
    }

    // The reverb takes the rate and two channels each way and starts. Set-up
    // time: the interleaving buffers are allocated here.
    void prepare() override
    {
        effect_.setFormat(getSampleRate(), 2, 2);
        interleavedIn_.assign(2 * static_cast<std::size_t>(blockCapacity_), 0.0f);
        interleavedOut_.assign(2 * static_cast<std::size_t>(blockCapacity_), 0.0f);
        effect_.start();
        ModuleBasic::prepare();
    }

    // A rate change: the taps are placed anew for the environment's rate.
    void update() override
    {
        effect_.setFormat(getSampleRate(), 2, 2);
        effect_.start();
    }

    void reset() override { effect_.start(); }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* inL = inL_->getBuffer();
        const float* inR = inR_->getBuffer();
        float* outL = outL_->getBuffer();
        float* outR = outR_->getBuffer();
        if (bypass_) {
            std::copy_n(inL, n, outL);
            std::copy_n(inR, n, outR);
            return n;
        }
        float* in = interleavedIn_.data();
        float* out = interleavedOut_.data();
        for (std::uint32_t i = 0; i < n; ++i) {
            in[2 * i] = inL[i];
            in[2 * i + 1] = inR[i];
        }
        effect_.process(out, in, static_cast<std::int32_t>(n));
        for (std::uint32_t i = 0; i < n; ++i) {
            outL[i] = out[2 * i];
            outR[i] = out[2 * i + 1];
        }
        return n;
    }

    bool isBypassed() const noexcept { return bypass_; }
    const Effect& getEffect() const noexcept { return effect_; }

protected:
    static std::int32_t controllerOf(std::string_view name)
    {
        if (name == "Time")
            return 89;
        if (name == "Color")
            return 90;
        if (name == "Density")
            return 102;
        if (name == "Size")
            return 103;
        return 104; // "Level"; any other name was refused by the lookup above
    }

    Effect effect_;

private:
    Port* inL_ = nullptr;
    Port* inR_ = nullptr;
    Port* outL_ = nullptr;
    Port* outR_ = nullptr;
    bool bypass_ = false;
    std::vector<float> interleavedIn_;
    std::vector<float> interleavedOut_;
};

} // namespace AudioEngine::CX2
