#pragma once

#include "engine/core/Buffer.h"
#include "engine/core/Denormal.h"
#include "models/amps/power/Interpolator2To3.h"
#include "models/amps/power/PowerAmpLevelBase.h"
#include "models/amps/power/PowerAmpStageTable.h"

#include <cmath>
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
// change). Building the solver allocates: prepare and update run off the
// audio thread.
//
// The supply starts at its rest for the idle stage: prepare, update and reset
// put it there before the next block, with the settings that block plays
// (a switch of detail restores the settings after its reset), so a silent
// input gives a constant output from the first sample and the supply does
// not creep towards its rest for seconds after a start.
//
// The grid, its nine curve triples and their sample-loop layout are the
// model's and never change: they are built by the first stage of the model in
// the process and shared read-only by every later one (the sample loop reads
// the layout, PowerAmpStageTable, which gives the interpolator's values bit
// for bit).
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
          shared_(sharedTables())
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

    // The supply back to its rest for the idle stage, from the next block on.
    void reset() override { settlePending_ = true; }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        const float* in = in_->getBuffer();
        float* out = out_->getBuffer();
        // In place over an input nobody connected: the shared silence is
        // nobody's to write, but the supply still runs on the idle stage.
        if (out == AudioContainers::silenceSamples())
            out = discard_.data();
        if (settlePending_)
            settleSupply();
        const float gain = volume_->getValue() * drive_;
        const float outScale = outScale_;
        const float plateScale = plateScale_;
        const float screenScale = screenScale_;
        Solver& solver = *solver_;
        const PowerAmpStageTable& stage = shared_.table;
        typename Solver::Input u;
        u[0] = supply_;
        AudioMath::InterpolatorMultiDetails::Point s{s0_, s1_};
        for (std::uint32_t j = 0; j < n; ++j) {
            const float x = gain * flushedDenormal(in[j]);
            const auto r = stage.interpolateAt(x, s);
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
            settleSupply();
        return n;
    }

    // The supply on its rest for the idle stage and the present settings. The
    // idle stage's currents load the supply and depend on its voltages (the
    // grid point s), so the rest is the s where the supply's own rest for
    // those loads is s again: G(s) = rest(loads(s)) - s = 0. Plain repetition
    // of s <- rest(loads(s)) runs away (the screen node sits 47 kohm below a
    // current that grows with it), so Newton's method solves G = 0 from the
    // grid's centre, with the Jacobian by differences. Bounded work, no
    // allocation: a reset may run it on the audio thread.
    void settleSupply() noexcept
    {
        settlePending_ = false;
        Solver& solver = *solver_;
        const PowerAmpStageTable& stage = shared_.table;
        solver.reset();
        typename Solver::Input u;
        u[0] = supply_;
        // The supply's rest for the loads at s.
        auto restFor = [&](double a, double b, double& restA, double& restB) {
            const AudioMath::InterpolatorMultiDetails::Point s{static_cast<float>(a),
                                                               static_cast<float>(b)};
            const auto r = stage.interpolate(0.0f, s, stage.find(s));
            u[1] = r[1] * plateScale_;
            u[2] = r[2] * screenScale_;
            solver.settle(u);
            restA = solver.getExactXPrev()[0];
            restB = solver.getExactXPrev()[kScreenNode];
        };
        double a = solver.getExactXPrev()[0], b = solver.getExactXPrev()[kScreenNode];
        constexpr double kStep = 0.01; // volts, for the differences
        for (int round = 0; round < kSettleRounds; ++round) {
            double ra, rb, aa, ab, ba, bb;
            restFor(a, b, ra, rb);
            const double ga = ra - a, gb = rb - b;
            if (std::fabs(ga) < 1e-6 && std::fabs(gb) < 1e-6)
                break;
            restFor(a + kStep, b, aa, ab);
            restFor(a, b + kStep, ba, bb);
            // J = dG/ds, column by column.
            const double j00 = (aa - (a + kStep) - ga) / kStep;
            const double j10 = (ab - b - gb) / kStep;
            const double j01 = (ba - a - ga) / kStep;
            const double j11 = (bb - (b + kStep) - gb) / kStep;
            const double det = j00 * j11 - j01 * j10;
            if (!(std::fabs(det) > 1e-12))
                break;
            const double da = (-ga * j11 + gb * j01) / det;
            const double db = (-gb * j00 + ga * j10) / det;
            if (!std::isfinite(da) || !std::isfinite(db))
                break;
            a += da;
            b += db;
        }
        double ra, rb;
        restFor(a, b, ra, rb);
        if (!solver.isFinite())
            solver.reset();
        loadState0();
        loadState1();
        const AudioMath::InterpolatorMultiDetails::Point s{s0_, s1_};
        restStage_ = stage.interpolate(0.0f, s, stage.find(s))[0];
    }

    void loadState0() noexcept { s0_ = solver_->getXPrev()[0]; }
    void loadState1() noexcept { s1_ = solver_->getXPrev()[kScreenNode]; }

    float getS0() const noexcept { return s0_; }
    float getS1() const noexcept { return s1_; }
    const Solver* getSolver() const noexcept { return solver_.get(); }
    const Finder& getFinder() const noexcept { return shared_.finder; }
    const Interpolator& getInterpolator() const noexcept { return shared_.interpolator; }
    const PowerAmpStageTable& getStageTable() const noexcept { return shared_.table; }

private:
    static constexpr int kSettleRounds = 12;

    void rebuildSolver()
    {
        // On the grid's centre until the first block settles it with the
        // settings it plays, which may not have arrived yet.
        solver_ = std::make_unique<Solver>(getSampleRate());
        loadState0();
        loadState1();
        settlePending_ = true;
    }

    // The model's immutable curves, in both forms.
    struct Shared {
        Grid grid;
        Finder finder{grid};
        Interpolator interpolator{grid};
        PowerAmpStageTable table{grid, triples(interpolator)};
    };

    static std::array<const PowerAmpFunction*, 9> triples(const Interpolator& interpolator)
    {
        std::array<const PowerAmpFunction*, 9> functions{};
        for (int n = 1; n <= 9; ++n)
            functions[static_cast<std::size_t>(n - 1)] = &interpolator.triple(n).getFunction();
        return functions;
    }

    // Built on the first call (thread-safe), kept until the process ends.
    static const Shared& sharedTables()
    {
        static const Shared shared;
        return shared;
    }

    const Shared& shared_;
    std::unique_ptr<Solver> solver_;
    std::vector<float> discard_;
    float s0_ = 0.0f;
    float s1_ = 0.0f;
    bool settlePending_ = false;
};

} // namespace AudioEngine::CX2
