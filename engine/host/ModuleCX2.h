#pragma once

#include "engine/core/Buffer.h"
#include "engine/core/ModuleStructured.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace AudioEngine::CX2::Application {

namespace ModuleCX2Details {

// The states of "Process", in the order they are numbered.
inline const ParameterBase::States& processStates()
{
    static const ParameterBase::States states{"Normal", "Bypass", "Mute", "MuteIn", "Stop"};
    return states;
}

// Over a composite, a switch further down (a selector that changed its model)
// makes the wrapper bring its links to the sub-modules' parameters up to date
// in place ("Process" is its own and stays), and pass the news on to its own
// environment.
template <class T, bool Structured = std::is_base_of_v<ModuleStructured, T>>
class Relinking : public T {
};

template <class T> class Relinking<T, true> : public T {
public:
    void structureChanged() override
    {
        this->relinkSubModuleParameters();
        if (this->parent_)
            this->parent_->structureChanged();
    }
};

} // namespace ModuleCX2Details

// Gives a model, or an array of models, the run mode "Process":
//   "Normal" 0   the wrapped module runs;
//   "Bypass" 1   each output copies its paired input (the wrapped module is
//                reset once, when the mode is chosen, and then stands still);
//   "Mute"   2   each output is silent;
//   "MuteIn" 3   the wrapped module runs on silence, so tails ring out;
//   "Stop"   4   nothing runs and the outputs keep what they hold.
// An output pairs with the single input when there is one, else with the input
// named like it with "Out" replaced by "In" ("Out" with "In"; "InDry" never).
template <class T> class ModuleCX2 : public ModuleCX2Details::Relinking<T> {
public:
    static constexpr float kNormal = 0.0f;
    static constexpr float kBypass = 1.0f;
    static constexpr float kMute = 2.0f;
    static constexpr float kMuteIn = 3.0f;
    static constexpr float kStop = 4.0f;

    ModuleCX2() = default;

    // "Process" chooses the routine from the value truncated toward zero. A
    // value that matches no state (7) keeps the routine but is stored as the
    // mode; a negative value is no mode at all and keeps routine and mode. The
    // parameter takes the value either way, clamped to 0..4 (and ignores NaN).
    void setParameter(std::string_view name, float value) override
    {
        if (name == "Process")
            selectMode(value);
        T::setParameter(name, value);
    }

    void process() override { (this->*routine_)(); }

    void bindPorts() override
    {
        T::bindPorts();
        if (!paired_)
            pairPorts();
    }

    void createParameters() override
    {
        T::createParameters();
        this->parameters_.addParameter(
            Parameter("Process", "", ModuleCX2Details::processStates(), "Normal", 0), "Process");
    }

    // The routine follows the stored mode after every preparation.
    void prepare() override
    {
        T::prepare();
        setParameter("Process", mode_);
    }

    float getMode() const noexcept { return mode_; }
    const std::vector<std::pair<Port*, Port*>>& getBypassPairs() const noexcept { return pairs_; }

private:
    using Routine = void (ModuleCX2::*)();

    bool selectMode(float value)
    {
        const float v = std::trunc(value);
        if (!(v >= 0.0f))
            return false;
        if (v == kNormal) {
            routine_ = &ModuleCX2::processNormal;
        } else if (v == kBypass) {
            routine_ = &ModuleCX2::processBypass;
            T::reset();
        } else if (v == kStop) {
            routine_ = &ModuleCX2::processStop;
        } else if (v == kMute) {
            routine_ = &ModuleCX2::processMute;
        } else if (v == kMuteIn) {
            routine_ = &ModuleCX2::processMuteIn;
        }
        mode_ = v;
        return true;
    }

    // Built once, at the first binding; a switch further up rebinds without
    // allocating.
    void pairPorts()
    {
        const Inputs& inputs = this->getInputs();
        for (const auto& [name, output] : this->getOutputs()) {
            Port* input = nullptr;
            if (inputs.size() == 1) {
                input = inputs.begin()->second.get();
            } else {
                std::string inputName = name;
                if (const auto at = inputName.find("Out"); at != std::string::npos)
                    inputName.replace(at, 3, "In");
                input = &this->getInput(inputName);
            }
            pairs_.emplace_back(input, output.get());
        }
        saved_.resize(
            std::max<std::uint32_t>(1, this->getBlockCapacity() * std::uint32_t(pairs_.size())));
        paired_ = true;
    }

    void processNormal() { T::process(); }

    void processBypass()
    {
        const std::uint32_t n = this->getChunkSize();
        const float* silence = AudioContainers::silenceSamples();
        for (const auto& [input, output] : pairs_) {
            const float* x = input->getBuffer();
            float* y = output->getBuffer();
            if (y != x && y != silence)
                std::memcpy(y, x, std::size_t(n) * sizeof(float));
        }
    }

    void processMute()
    {
        const std::uint32_t n = this->getChunkSize();
        const float* silence = AudioContainers::silenceSamples();
        for (const auto& [input, output] : pairs_) {
            float* y = output->getBuffer();
            if (y != silence)
                std::fill_n(y, n, 0.0f);
        }
    }

    // The inputs' samples belong to the modules upstream, which other modules
    // may read too: they are kept aside, zeroed while the wrapped module runs
    // and put back after it, so only this chain hears the silence. Restoring
    // in reverse order undoes pairs that share one input correctly.
    void processMuteIn()
    {
        const std::uint32_t n = this->getChunkSize();
        const std::uint32_t capacity = this->getBlockCapacity();
        const float* silence = AudioContainers::silenceSamples();
        float* saved = saved_.data();
        for (std::size_t k = 0; k < pairs_.size(); ++k) {
            float* x = pairs_[k].first->getBuffer();
            if (x == silence)
                continue;
            std::memcpy(saved + k * capacity, x, std::size_t(n) * sizeof(float));
            std::fill_n(x, n, 0.0f);
        }
        T::process();
        for (std::size_t k = pairs_.size(); k-- > 0;) {
            float* x = pairs_[k].first->getBuffer();
            // An output that works in place over its input holds the result now.
            if (x == silence || x == pairs_[k].second->getBuffer())
                continue;
            std::memcpy(x, saved + k * capacity, std::size_t(n) * sizeof(float));
        }
    }

    void processStop() {}

    Routine routine_ = &ModuleCX2::processNormal;
    std::vector<std::pair<Port*, Port*>> pairs_;
    float mode_ = kNormal;
    bool paired_ = false;
    AudioContainers::Buffer saved_;
};

} // namespace AudioEngine::CX2::Application
