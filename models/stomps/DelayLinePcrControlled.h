#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/math/SampleFlush.h"
#include "engine/modules/BufferCircular.h"
#include "engine/modules/DelayLineVariable.h"
#include "engine/modules/RingRead.h"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace AudioEngine {

// A bucket-brigade delay line: "Delay" (MinimumMs .. MaximumMs) sets the
// length, and a change of it glides the length like a brigade whose clock is
// retuned, so the delayed signal is pitch-shifted while the length moves.
//
// "Mode" "Ramp" moves the length L linearly from where it is to the new
// target T by step = 1 - L / T samples per sample: the delayed signal plays at
// the constant speed L / T, and every ramp lasts T samples, the new delay time
// (500 -> 250 ms at 44.1 kHz: -1 per sample for 11025 samples; 250 -> 500 ms:
// +0.5 per sample for 22050 samples). "Step" jumps to the new length at the
// next sample.
//
// Each sample reads ratio x L behind the one just written, between the two
// neighbouring samples with linear interpolation; the ratio is the pitch-change
// ratio of the knob laws (tick) or the "InPcr" sample (block routine). The read
// offset is limited to the ring, NaN to no delay, so no ratio and no length
// reads outside it.
//
// The ring holds trunc(fs MaximumMs / 1000) + 1 samples (22051 at 44.1 kHz).
// Whenever it is sized for a rate, by prepare or by update, the length starts
// at the maximum and ramps to "Delay"; both routes also set "Mode" back to
// "Ramp".
//
// Traits: Buffer, the ring's type.
template <class Traits, int MinimumMs, int MaximumMs>
class DelayLinePcrControlled : public ModuleBasic {
public:
    static constexpr float kRamp = 0.0f; // "Mode" state "Ramp"
    static constexpr float kStep = 1.0f; // "Mode" state "Step"

    DelayLinePcrControlled()
        : ModuleBasic(ModuleInfo{18, "DelayLinePcrControlled",
                                 "Delay line with pitch-shift effect on delay time change"})
    {
    }

    void createParameters() override
    {
        delay_ =
            parameters_.addParameter(Parameter("Delay", "", float(MinimumMs), float(MaximumMs),
                                               float(MaximumMs), Parameter::kSetAtOnceAfterStates),
                                     "Delay");
        mode_ =
            parameters_.addParameter(Parameter("Mode", "", ParameterBase::States{"Ramp", "Step"},
                                               "Ramp", Parameter::kSetAtOnceAfterStates),
                                     "Mode");
    }

    void createInputs() override
    {
        inputs_.addInput(Input("In", ""), "In");
        inputs_.addInput(Input("InPcr", ""), "InPcr");
    }
    void createOutputs() override { createOutputsBuffered(); }

    void bindPorts() override
    {
        in_ = &getInput("In");
        pcr_ = &getInput("InPcr");
        out_ = &getOutput("Out");
    }

    void prepare() override
    {
        ModuleBasic::prepare();
        allocateBuffer();
        setParameter("Mode", kRamp);
    }

    // Rate changes arrive here, and must leave the line where prepare would:
    // sized for the rate and on its way to "Delay".
    void update() override
    {
        allocateBuffer();
        setParameter("Mode", kRamp);
    }

    void reset() override { buffer_.clear(); }

    // The target comes from the parameter once it has limited the value, so a
    // value outside the range (or NaN, which the parameter ignores) can never
    // set a length the ring does not hold.
    void setParameter(std::string_view name, float value) override
    {
        ModuleBasic::setParameter(name, value);
        if (name != "Delay" && name != "Mode")
            return;
        // fs x ms / 1000 worked in double: a whole number of samples (250 ms
        // at 44.1 kHz) comes out whole, as the ring's size does.
        target_ =
            static_cast<float>(static_cast<double>(getSampleRate()) * delay_->getValue() / 1000.0);
        const float mode = std::trunc(mode_->getValue());
        if (mode == kRamp) {
            settled_ = current_;
            step_ = 1.0f - current_ / target_;
        } else if (mode == kStep) {
            current_ = target_;
            settled_ = target_;
        }
    }

    // Writes one sample and returns the one ratio x length behind it.
    // Audio thread; allocation-free.
    float tick(float sample, float ratio) noexcept
    {
        float* ring = buffer_.data();
        const auto size = static_cast<std::int32_t>(buffer_.size());
        std::int32_t w = write_;
        if (w >= size)
            w -= size;
        else if (w < 0)
            w += size;
        ring[w] = AudioMath::flushedSample(sample);

        if (settled_ != target_) {
            current_ += step_;
            if ((step_ < 0.0f && current_ <= target_) || (step_ > 0.0f && current_ >= target_)) {
                current_ = target_;
                settled_ = target_;
            }
        }

        float back = ratio * current_;
        const auto longest = static_cast<float>(size - 1);
        if (!(back > 0.0f)) // also NaN
            back = 0.0f;
        else if (back > longest)
            back = longest;
        const float y = AudioMath::flushedSample(readBehind(ring, size, w, back));

        if (++w == size)
            w = 0;
        write_ = w;
        return y;
    }

    // The line run as a graph module: "In" delayed by "InPcr" x length.
    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        const float* ratio = pcr_->getBuffer();
        float* y = out_->getBuffer();
        for (std::uint32_t i = 0; i < n; ++i)
            y[i] = tick(x[i], ratio[i]);
        return n;
    }

    float getCurrentLength() const noexcept { return current_; }
    float getSettledLength() const noexcept { return settled_; }
    float getTargetLength() const noexcept { return target_; }
    float getStep() const noexcept { return step_; }
    std::int32_t getWriteIndex() const noexcept { return write_; }
    std::uint32_t getBufferSize() const noexcept { return buffer_.size(); }
    float getMaximumMs() const noexcept { return maximumMs_; }

private:
    // Sizes the ring for the current rate, zeroed, writing from its start,
    // with the length at the maximum and at rest. An unchanged size is cleared
    // in place without allocating; a new size allocates (not on the audio
    // thread).
    void allocateBuffer()
    {
        const std::uint32_t size = DelayLineVariableDetails::ringSize(getSampleRate(), maximumMs_);
        if (size != buffer_.size())
            buffer_.resize(size);
        else
            buffer_.clear();
        write_ = 0;
        current_ = static_cast<float>(size - 1);
        settled_ = current_;
        target_ = current_;
        step_ = 0.0f;
    }

    float maximumMs_ = static_cast<float>(MaximumMs);
    typename Traits::Buffer buffer_;
    std::int32_t write_ = 0;
    float current_ = 0.0f;
    float settled_ = 0.0f;
    float target_ = 0.0f;
    float step_ = 0.0f;
    ParameterBase* delay_ = nullptr;
    ParameterBase* mode_ = nullptr;
    Port* in_ = nullptr;
    Port* pcr_ = nullptr;
    Port* out_ = nullptr;
};

} // namespace AudioEngine
