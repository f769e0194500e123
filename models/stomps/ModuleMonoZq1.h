#pragma once

#include "engine/core/ModuleBasic.h"

#include <cmath>
#include <cstdint>

namespace AudioEngine::CX2 {

// A mono leaf over a mixer effect T held by value: "In" through T to "Out", one
// call of the effect per engine piece. The effect sees one channel at the
// environment's rate in whole hertz.
//
// T is a mixer effect (mixer::IAutomatedEffect): setFormat, start, stop and
// process(out, in, frames).
template <class T> class ModuleMonoZq1 : public ModuleBasic {
public:
    template <class... Args>
    explicit ModuleMonoZq1(ModuleInfo info, Args&&... args)
        : ModuleBasic(std::move(info)), core_(std::forward<Args>(args)...)
    {
    }

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    // The rate as the effect takes it; then the effect starts afresh (its
    // states cleared, every control applied again).
    void update() override
    {
        core_.stop();
        const float rate = std::trunc(getSampleRate());
        // The effect refuses a rate below 1 Hz by throwing; such a rate is no
        // rate, and the effect keeps its last one.
        if (rate >= 1.0f && rate < 1e9f)
            core_.setFormat(rate, 1, 1);
        core_.start();
    }

    void prepare() override
    {
        ModuleBasic::prepare();
        update();
        core_.start();
    }

    // Returns every state the signal reaches to rest, as update does.
    void reset() override
    {
        core_.stop();
        core_.start();
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        core_.process(out_->getBuffer(), in_->getBuffer(), static_cast<std::int32_t>(n));
        return n;
    }

    T& getCore() noexcept { return core_; }
    const T& getCore() const noexcept { return core_; }

protected:
    T core_;
    Port* in_ = nullptr;
    Port* out_ = nullptr;
};

} // namespace AudioEngine::CX2
