#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/modules/BufferCircular.h"

#include <cstdint>

namespace AudioEngine {

namespace DelayLineVariableDetails {

// The ring for a maximum delay at a sample rate: 1 + trunc(fs maxMs / 1000)
// samples, fs + 1 for a second at a whole-number rate. A rate that gives no
// sensible count yields the one-sample ring; an absurd one is capped so the
// count stays representable (reads are clamped to the ring anyway).
std::uint32_t ringSize(float sampleRate, float maximumMs) noexcept;

// One block: ring[w] = x[i] (w wrapped once into the ring), then the sample
// d = msToSamples t[i] behind it, read with linear interpolation between the
// two neighbouring samples. d is clamped to 0 .. size - 1, NaN to 0, so no
// delay input can read outside the ring. Returns the new write index.
std::int32_t process(float* ring, std::int32_t size, std::int32_t write, const float* x,
                     const float* t, float* y, std::uint32_t n, float msToSamples) noexcept;

} // namespace DelayLineVariableDetails

// A delay whose time is a signal: "In" is delayed by "InDelay" milliseconds,
// read per sample with linear interpolation, so a swept time (a chorus)
// glides instead of stepping. The ring is sized for the traits' maximum delay
// whenever the sample rate changes, whether the module is prepared or updated.
// Traits: Buffer (a circular buffer type), maximumDelayMs.
template <class Traits> class DelayLineVariable : public ModuleBasic {
public:
    DelayLineVariable() : ModuleBasic(ModuleInfo{0x12, "DelayLineVariable", "Delay line"}) {}

    void createInputs() override
    {
        inputs_.addInput(Input("In", ""), "In");
        inputs_.addInput(Input("InDelay", ""), "InDelay");
    }

    void bindPorts() override
    {
        in_ = &getInput("In");
        delay_ = &getInput("InDelay");
        out_ = &getOutput("Out");
    }

    void prepare() override
    {
        ModuleBasic::prepare();
        allocateBuffer();
    }

    // Rate changes arrive here.
    void update() override { allocateBuffer(); }

    void reset() override { buffer_.clear(); }

    // A new size gets a new zeroed ring read from its start; an unchanged size
    // keeps what it holds, so a repeated update neither allocates nor clicks.
    // Allocates: not for the audio thread.
    void allocateBuffer()
    {
        const std::uint32_t size = DelayLineVariableDetails::ringSize(getSampleRate(), maximumMs_);
        if (size != buffer_.size()) {
            buffer_.resize(size);
            write_ = 0;
        }
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        write_ = DelayLineVariableDetails::process(
            buffer_.data(), static_cast<std::int32_t>(buffer_.size()), write_, in_->getBuffer(),
            delay_->getBuffer(), out_->getBuffer(), n, getSampleRate() * 0.001f);
        return n;
    }

    float getMaximumMs() const noexcept { return maximumMs_; }
    std::uint32_t getBufferSize() const noexcept { return buffer_.size(); }

private:
    float maximumMs_ = Traits::maximumDelayMs;
    typename Traits::Buffer buffer_;
    std::int32_t write_ = 0;
    Port* in_ = nullptr;
    Port* delay_ = nullptr;
    Port* out_ = nullptr;
};

} // namespace AudioEngine
