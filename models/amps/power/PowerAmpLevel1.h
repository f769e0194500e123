#pragma once

#include "engine/core/Buffer.h"
#include "engine/core/Denormal.h"
#include "models/amps/power/Interpolator2To3.h"
#include "models/amps/power/PowerAmpLevelBase.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace AudioEngine::CX2 {

// The detailed tube power amp: the output stage and its power supply coupled
// sample by sample. The stage maps the drive x to the output voltage v, the
// plate current i1 and the screen current i2 by curves measured on a 3 x 3
// grid of supply voltages (s0, s1) and blended between them; the currents load
// the supply, whose node voltages, solved by the K-method, are the (s0, s1) of
// the next sample. A loud passage draws more current, the supply sags and the
// stage moves down its grid: the sag of a tube amp.
//
// L1Traits: Grid (the model's supply grid), Interpolators (its nine curve
// triples, see PowerAmpInterpolators), KMethod (its supply solver) and
// calibration.
//
// The solver is built for the environment's rate in prepare and rebuilt by
// update when the rate has changed (the host runs only update on a rate
// change); both restart the supply from its operating point. Building the
// solver allocates: prepare and update run off the audio thread.
template <class L1Traits> class PowerAmpLevel1 : public PowerAmpLevelBase {
public:
    using Grid = typename L1Traits::Grid;
    using Finder = AudioMath::Interpolator2To3Details::Finder<Grid>;
    using Interpolator =
        AudioMath::Interpolator2To3Details::Interpolator<Grid, typename L1Traits::Interpolators>;
    using Solver = typename L1Traits::KMethod;
    // The supply node that is the grid's second axis (the screen supply).
    static constexpr std::size_t kScreenNode = Solver::screenNode;

    PowerAmpLevel1()
        : PowerAmpLevelBase(ModuleInfo{19, "PowerAmpL1", "PowerAmp DSM level 1"},
                            L1Traits::calibration),
          finder_(grid_), interpolator_(grid_)
    {
    }

    void prepare() override
    {
        PowerAmpLevelBase::prepare();
        discard_.assign(getBlockCapacity(), 0.0f);
        rebuildSolver();
    }

    void update() override
    {
        PowerAmpLevelBase::update();
        if (!solver_ || solver_->getSampleRate() != getSampleRate())
            rebuildSolver();
    }

    // The supply back to its operating point, on the centre of the grid.
    void reset() override
    {
        if (!solver_)
            return;
        solver_->reset();
        loadState0();
        loadState1();
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* in = in_->getBuffer();
        float* out = out_->getBuffer();
        // In place over an input nobody connected: the shared silence is
        // nobody's to write, but the supply still runs on the idle stage.
        if (out == AudioContainers::silenceSamples())
            out = discard_.data();
        const float gain = volume_->getValue() * drive_;
        const float outScale = outScale_;
        const float plateScale = plateScale_;
        const float screenScale = screenScale_;
        Solver& solver = *solver_;
        typename Solver::Input u;
        u[0] = supply_;
        AudioMath::InterpolatorMultiDetails::Point s{s0_, s1_};
        for (std::uint32_t j = 0; j < n; ++j) {
            const float x = gain * flushedDenormal(in[j]);
            const auto r = interpolator_.interpolate(x, s, finder_.find(s));
            out[j] = flushedDenormal(r[0] * outScale);
            // The curves' currents are drawn (negative); the calibration turns
            // them into the supply's loads.
            u[1] = r[1] * plateScale;
            u[2] = r[2] * screenScale;
            const auto next = solver.step(u);
            s.s0 = next.x[0];
            s.s1 = next.x[kScreenNode];
        }
        s0_ = s.s0;
        s1_ = s.s1;
        // The lookups are limited, so the supply cannot leave the finite
        // range; should it ever, it starts over rather than staying lost.
        if (!solver.isFinite())
            reset();
        return n;
    }

    void loadState0() noexcept { s0_ = solver_->getXPrev()[0]; }
    void loadState1() noexcept { s1_ = solver_->getXPrev()[kScreenNode]; }

    float getS0() const noexcept { return s0_; }
    float getS1() const noexcept { return s1_; }
    const Solver* getSolver() const noexcept { return solver_.get(); }
    const Grid& getGrid() const noexcept { return grid_; }
    const Finder& getFinder() const noexcept { return finder_; }
    const Interpolator& getInterpolator() const noexcept { return interpolator_; }

private:
    void rebuildSolver()
    {
        solver_ = std::make_unique<Solver>(getSampleRate());
        loadState0();
        loadState1();
    }

    Grid grid_;
    Finder finder_;
    Interpolator interpolator_;
    std::unique_ptr<Solver> solver_;
    std::vector<float> discard_;
    float s0_ = 0.0f;
    float s1_ = 0.0f;
};

} // namespace AudioEngine::CX2
