#pragma once

#include "engine/core/Buffer.h"
#include "engine/core/Denormal.h"
#include "models/amps/power/PowerAmpLevelBase.h"
#include "models/amps/power/PowerCurve.h"

#include <cstdint>

namespace AudioEngine::CX2 {

// The light tube power amp: the output stage reduced to one static transfer
// curve of the drive, the stage's output at its idle supply,
//   out = outScale curve(Volume drive in).
// Beyond the curve's table the output holds its end sample: the stage clips
// hard. No signal state.
//
// L0Traits: Curve (the model's curve, a Curve2 that fills itself) and
// calibration (PowerAmpCalibration). "Variac", "PlateCurrentGain" and
// "ScreenCurrentGain" are kept for the detail switch and do nothing here.
template <class L0Traits> class PowerAmpLevel0 : public PowerAmpLevelBase {
public:
    using Curve = typename L0Traits::Curve;
    using Spline = BorvanQom::ClipperSpline<Curve>;

    PowerAmpLevel0()
        : PowerAmpLevelBase(ModuleInfo{19, "PowerAmpL0", "PowerAmp DSM level 0"},
                            L0Traits::calibration),
          curve_(Curve())
    {
        restStage_ = BorvanQom::evaluateLimited(curve_, 0.0f);
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* in = in_->getBuffer();
        float* out = out_->getBuffer();
        // In place over an input nobody connected: the shared silence is
        // nobody's to write, and this level keeps no state to advance.
        if (out == AudioContainers::silenceSamples())
            return n;
        const float gain = volume_->getValue() * drive_;
        const float scale = outScale_;
        for (std::uint32_t i = 0; i < n; ++i) {
            const float x = gain * flushedDenormal(in[i]);
            out[i] = flushedDenormal(BorvanQom::evaluateLimited(curve_, x) * scale);
        }
        return n;
    }

    const Spline& getCurve() const noexcept { return curve_; }

private:
    Spline curve_;
};

} // namespace AudioEngine::CX2
