#pragma once

#include "engine/core/ModuleBasic.h"

#include <atomic>
#include <cmath>
#include <memory>

namespace AudioEngine::CX2 {

namespace MeterDetails {
// One-pole smoothing coefficient of a ballistic time t in ms: the envelope
// covers 90 % of a step in t, so coefficient^(t x fs / 1000) = 0.1. A time of
// 0 follows at once.
inline float timeCoefficient(float timeMs, float sampleRate) noexcept
{
    if (!(timeMs > 0.0f) || !(sampleRate > 0.0f))
        return 0.0f;
    return static_cast<float>(std::pow(0.1, 1000.0 / (double(sampleRate) * double(timeMs))));
}

inline float decibelGain(float dB) noexcept
{
    return static_cast<float>(std::pow(10.0, 0.05 * double(dB)));
}

// Runs the peak envelope over n samples and returns the highest envelope
// reached. A sample that is not finite counts as the top of the meter's range,
// so garbage shows as an overload and never leaves the envelope NaN.
float runEnvelope(const float* x, std::uint32_t n, float& envelope, float attack,
                  float release) noexcept;

constexpr float kLevelMaximum = 100000.0f;
} // namespace MeterDetails

// A peak meter with attack and release ballistics and a calibration gain. It
// publishes gain x the highest envelope since the last read of "Level"; every
// read starts the next measurement. The template arguments are the defaults of
// "AttackTime" (ms), "ReleaseTime" (ms) and "GainAdjust" (dB).
//
// The control side reads "Level" without the engine's lock while the audio
// thread measures. The chunk's maximum is kept locally and merged once per
// chunk into an atomic peak; a read exchanges that peak with 0, so no maximum
// is lost between a merge and a read and none is reported twice.
template <int Attack, int Release, int GainDb> class Meter : public ModuleBasic {
public:
    // "Level": reading it hands over the peak and resets it in one atomic step.
    class ParameterReset : public Parameter {
    public:
        explicit ParameterReset(std::atomic<float>* peak)
            : Parameter("Level", "", 0.0f, MeterDetails::kLevelMaximum, 0.0f, kReadOnly),
              peak_(peak)
        {
        }

        // Any thread.
        float getValue() override { return peak_->exchange(0.0f, std::memory_order_relaxed); }
        // A value set from outside (the reset to defaults) becomes the peak.
        void set(float value) override
        {
            if (!std::isnan(value))
                peak_->store(clamp(value, getMinimum(), getMaximum()), std::memory_order_relaxed);
        }

    private:
        std::atomic<float>* peak_;
    };

    Meter() : ModuleBasic(ModuleInfo{0x12, "Meter", ""}) {}

    void createParameters() override
    {
        attackTime_ =
            parameters_.addParameter(Parameter("AttackTime", "", 0.0f, 1000.0f, float(Attack),
                                               Parameter::kSetAtOnceAfterStates),
                                     "AttackTime");
        releaseTime_ =
            parameters_.addParameter(Parameter("ReleaseTime", "", 0.0f, 1000.0f, float(Release),
                                               Parameter::kSetAtOnceAfterStates),
                                     "ReleaseTime");
        gainAdjust_ =
            parameters_.addParameter(Parameter("GainAdjust", "", -20.0f, 20.0f, float(GainDb),
                                               Parameter::kSetAtOnceAfterStates),
                                     "GainAdjust");
        level_ = parameters_.insert("Level", std::make_unique<ParameterReset>(&peak_));
    }

    void createOutputs() override {}
    void bindPorts() override { in_ = &getInput("In"); }

    // The value is stored through the parameter, which limits it; the
    // coefficient follows the stored value, so an update keeps the setting.
    void setParameter(std::string_view name, float value) override
    {
        ModuleBasic::setParameter(name, value);
        const float rate = getSampleRate();
        if (name == "AttackTime")
            attack_ = MeterDetails::timeCoefficient(attackTime_->getValue(), rate);
        else if (name == "ReleaseTime")
            release_ = MeterDetails::timeCoefficient(releaseTime_->getValue(), rate);
        else if (name == "GainAdjust")
            gain_ = MeterDetails::decibelGain(gainAdjust_->getValue());
    }

    // Rate changes arrive here.
    void update() override
    {
        const float rate = getSampleRate();
        attack_ = MeterDetails::timeCoefficient(attackTime_->getValue(), rate);
        release_ = MeterDetails::timeCoefficient(releaseTime_->getValue(), rate);
        gain_ = MeterDetails::decibelGain(gainAdjust_->getValue());
    }

    void prepare() override
    {
        ModuleBasic::prepare();
        update();
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float highest =
            MeterDetails::runEnvelope(in_->getBuffer(), n, envelope_, attack_, release_);
        const float level = std::fmin(gain_ * highest, MeterDetails::kLevelMaximum);
        float held = peak_.load(std::memory_order_relaxed);
        while (level > held &&
               !peak_.compare_exchange_weak(held, level, std::memory_order_relaxed)) {
        }
        return n;
    }

    float getEnvelope() const noexcept { return envelope_; }

private:
    Port* in_ = nullptr;
    ParameterBase* level_ = nullptr;
    ParameterBase* attackTime_ = nullptr;
    ParameterBase* releaseTime_ = nullptr;
    ParameterBase* gainAdjust_ = nullptr;
    float envelope_ = 0.0f;
    std::atomic<float> peak_{0.0f};
    float attack_ = 0.0f;
    float release_ = 0.0f;
    float gain_ = MeterDetails::decibelGain(float(GainDb));
};

} // namespace AudioEngine::CX2
