#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/core/Parameter.h"
#include "engine/modules/Meter.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace AudioEngine::BorvanQom {

// The clip or limit LED of a solid-state circuit. The largest of the inputs
// (signed: negative half-waves do not count) times "GainAdjust" is rectified
// into an LED current by the variant's curve, the current is smoothed with
// "AttackTime" rising and "ReleaseTime" falling (each the time in ms to cover
// 90 % of a step; 0 follows at once), and "Level" reports the LED: 1.0 lit,
// 0.0 dark. A smoothed current below 1e-20 A is taken as 0, which keeps the
// release tail out of the subnormal range.
//
// Traits: Rectifier (a curve object, volts to amperes, flat beyond its table),
// inputCount, attackMs, releaseMs, gainDb (the parameters' defaults), and
// hysteresis: true lights at 0.02 A and darkens at 0.01 A, false is lit exactly
// while the current is at least 0.02 A.
//
// "AttackTime", "ReleaseTime" and "GainAdjust" are stored through their
// parameters (limited to their ranges) and the coefficients follow the stored
// values, as in the level meter, so a rate change keeps them and a negative
// time can never make the current grow without bound. There is no reset: the
// smoothed current and the LED survive one.
template <class Traits> class PeakLedMeter : public ModuleBasic {
public:
    static constexpr std::uint32_t kInputs = Traits::inputCount;
    static constexpr float kOn = 0.02f;
    static constexpr float kOff = 0.01f;
    static constexpr float kFloor = 1e-20f;

    static ModuleInfo moduleInfo() { return ModuleInfo{18, "PeakLedMeter", ""}; }

    PeakLedMeter() : ModuleBasic(moduleInfo()) {}

    // "In1" .. "InN".
    void createInputs() override
    {
        for (std::uint32_t k = 1; k <= kInputs; ++k) {
            const std::string name = "In" + std::to_string(k);
            inputs_.addInput(Input(name, ""), name);
        }
    }
    void createOutputs() override {}

    void createParameters() override
    {
        constexpr std::uint32_t atOnce = Parameter::kSetAtOnceAfterStates;
        attackTime_ = parameters_.addParameter(
            Parameter("AttackTime", "", 0.0f, 1000.0f, Traits::attackMs, atOnce), "AttackTime");
        releaseTime_ = parameters_.addParameter(
            Parameter("ReleaseTime", "", 0.0f, 1000.0f, Traits::releaseMs, atOnce), "ReleaseTime");
        gainAdjust_ = parameters_.addParameter(
            Parameter("GainAdjust", "", -20.0f, 20.0f, Traits::gainDb, atOnce), "GainAdjust");
        level_ =
            parameters_.addParameter(Parameter("Level", "", 0.0f, CX2::MeterDetails::kLevelMaximum,
                                               0.0f, Parameter::kReadOnly),
                                     "Level");
    }

    void bindPorts() override
    {
        for (std::uint32_t k = 0; k < kInputs; ++k)
            inputPorts_[k] = &getInput("In" + std::to_string(k + 1));
    }

    void setParameter(std::string_view name, float value) override
    {
        ModuleBasic::setParameter(name, value);
        if (name == "AttackTime")
            attack_ = CX2::MeterDetails::timeCoefficient(attackTime_->getValue(), getSampleRate());
        else if (name == "ReleaseTime")
            release_ =
                CX2::MeterDetails::timeCoefficient(releaseTime_->getValue(), getSampleRate());
        else if (name == "GainAdjust")
            gain_ = CX2::MeterDetails::decibelGain(gainAdjust_->getValue());
    }

    // Rate changes arrive here.
    void update() override
    {
        attack_ = CX2::MeterDetails::timeCoefficient(attackTime_->getValue(), getSampleRate());
        release_ = CX2::MeterDetails::timeCoefficient(releaseTime_->getValue(), getSampleRate());
        gain_ = CX2::MeterDetails::decibelGain(gainAdjust_->getValue());
    }

    void prepare() override
    {
        ModuleBasic::prepare();
        update();
    }

    // "Level" is set once, after the block.
    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        std::array<const float*, kInputs> x;
        for (std::uint32_t k = 0; k < kInputs; ++k)
            x[k] = inputPorts_[k]->getBuffer();
        float current = current_;
        for (std::uint32_t i = 0; i < n; ++i) {
            float p = 0.0f;
            for (std::uint32_t k = 0; k < kInputs; ++k)
                p = x[k][i] > p ? x[k][i] : p;
            current = smooth(current, p);
        }
        current_ = current;
        level_->set(publish(current) ? 1.0f : 0.0f);
        return n;
    }

    // One sample of one input, for an owner that steps the meter inside its
    // own loop (the limiter); the result is the LED after this sample.
    void step(const float& in, float& result) noexcept
    {
        current_ = smooth(current_, in);
        result = publish(current_) ? 1.0f : 0.0f;
    }
    float step(float in) noexcept
    {
        float result;
        step(in, result);
        return result;
    }

    float getCurrent() const noexcept { return current_; }
    bool isLit() const noexcept { return lit_; }
    float getAttackCoefficient() const noexcept { return attack_; }
    float getReleaseCoefficient() const noexcept { return release_; }
    float getInputGain() const noexcept { return gain_; }
    const typename Traits::Rectifier& getRectifier() const noexcept { return rectifier_; }

private:
    float smooth(float current, float in) const noexcept
    {
        const float x = in * gain_;
        // x > 0 also turns a NaN away; the curve holds its end value beyond its
        // table, so an infinite x reads the last sample.
        const float r = x > 0.0f ? rectifier_(x) : 0.0f;
        current = (current - r) * (r < current ? release_ : attack_) + r;
        return current < kFloor ? 0.0f : current;
    }

    // The variant's switching rule; hysteresis moves the LED state.
    bool publish(float current) noexcept
    {
        if constexpr (Traits::hysteresis) {
            if (!lit_ && current >= kOn)
                lit_ = true;
            else if (lit_ && current <= kOff)
                lit_ = false;
            return lit_;
        } else {
            return current >= kOn;
        }
    }

    typename Traits::Rectifier rectifier_;
    bool lit_ = false;
    std::array<Port*, kInputs> inputPorts_{};
    ParameterBase* level_ = nullptr;
    ParameterBase* attackTime_ = nullptr;
    ParameterBase* releaseTime_ = nullptr;
    ParameterBase* gainAdjust_ = nullptr;
    float current_ = 0.0f;
    float attack_ = 0.0f;
    float release_ = 0.0f;
    float gain_ = 1.0f;
};

} // namespace AudioEngine::BorvanQom
