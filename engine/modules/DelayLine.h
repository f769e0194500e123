#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/modules/BufferCircular.h"

namespace AudioEngine {

struct DelayLineTraits {
    using Buffer = AudioContainers::BufferCircular<AudioContainers::BufferCircularSampleTraits>;
};

// Delays "In" by a whole number of samples D = trunc(fs x "Delay" / 1000), up
// to a maximum in ms fixed at construction. The ring holds 1 + the maximum
// delay in samples, so any D fits; a change of "Delay" moves only the write
// position, taking effect at once without clearing.
template <class Traits = DelayLineTraits> class DelayLine : public ModuleBasic {
public:
    explicit DelayLine(float maximumMs)
        : ModuleBasic(ModuleInfo{0x12, "DelayLine", "Delay line"}), maximumMs_(maximumMs)
    {
    }

    // Sizes the ring for the current rate and starts reading at 0. A new size
    // gets a new zeroed block; an unchanged size is cleared in place, so a
    // selector that prepares the line on a switch does not allocate.
    virtual void allocateBuffer()
    {
        const std::uint32_t size = 1 + delaySamples(maximumMs_);
        if (size != buffer_.size())
            buffer_.resize(size);
        else
            buffer_.clear();
        read_.setIndex(0);
        applyDelay();
    }

    virtual void applyDelay()
    {
        write_.setIndex(read_.index());
        write_.advance(static_cast<std::int32_t>(delaySamples(delay_->getValue())));
    }

    void setParameter(std::string_view name, float value) override
    {
        ModuleBasic::setParameter(name, value);
        if (name == "Delay")
            applyDelay();
    }

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    // Rate changes arrive here.
    void update() override { allocateBuffer(); }
    void reset() override { buffer_.clear(); }

    void createParameters() override
    {
        delay_ =
            parameters_.addParameter(Parameter("Delay", "", 0.0f, maximumMs_, 0.0f, 0), "Delay");
    }

    void prepare() override
    {
        ModuleBasic::prepare();
        allocateBuffer();
    }

    void createOutputs() override { createOutputsBuffered(); }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        float* ring = buffer_.data();
        const auto size = static_cast<std::int32_t>(buffer_.size());
        std::int32_t w = write_.index();
        std::int32_t r = read_.index();
        for (std::uint32_t i = 0; i < n; ++i) {
            ring[w] = x[i];
            y[i] = ring[r];
            if (++w == size)
                w = 0;
            if (++r == size)
                r = 0;
        }
        write_.setIndex(w);
        read_.setIndex(r);
        return n;
    }

    // D for a time in ms at the current rate.
    std::uint32_t delaySamples(float ms) const
    {
        const float samples = getSampleRate() * ms / 1000.0f;
        return samples > 0.0f ? static_cast<std::uint32_t>(samples) : 0u;
    }
    std::uint32_t getBufferSize() const noexcept { return buffer_.size(); }

protected:
    float maximumMs_;
    typename Traits::Buffer buffer_;
    typename Traits::Buffer::Cursor read_{buffer_};
    typename Traits::Buffer::Cursor write_{buffer_};
    Port* in_ = nullptr;
    Port* out_ = nullptr;
    ParameterBase* delay_ = nullptr;
};

} // namespace AudioEngine
