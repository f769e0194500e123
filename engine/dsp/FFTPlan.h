#pragma once

#include <cstdint>

namespace dsp {

// The real FFT of Convolver::realTransform (same layout, sign and scale, same formulas), computed
// incrementally: one transform is spread over many calls of advance, each doing work in
// proportion to the progress it is given, so that a caller feeding it per audio chunk pays an
// even share of every transform. The progress of a frame runs from 0 to N: 8.7 % of it goes to
// the bit reversal, 8.8 % to the split step and the rest to the butterflies.
//
// Usage: configure once; then per frame startFrame, and advance with non-decreasing progress until
// it returns true. advance allocates nothing and may run on the audio thread.
class FFTPlan {
public:
    // configure(16, +1).
    FFTPlan();

    // N a power of two, at least 16 (so that every quota is at least 1); direction +1 forward,
    // -1 the unscaled inverse. Refuses anything else and keeps the previous configuration.
    bool configure(int N, int direction);

    // Adds 1e-12 to each of the N values in place (keeping silence out of the subnormal range)
    // and binds the plan to them until the frame is done; starts a frame.
    void startFrame(float* data);

    // Runs the frame's phases as far as progress (0 .. N; larger values count as N, a value below
    // an earlier one as no new progress) allows. True once the whole transform is done, also on
    // later calls; false before that or when no frame was started.
    bool advance(int progress);

    int size() const { return n_; }
    int direction() const { return direction_; }

    // The division of progress and work fixed by configure.
    struct Quotas {
        int bitReversal;    // q1
        int splitStep;      // q2
        int butterflies;    // q3
        int butterflyCount; // B, all butterflies of a transform
    };
    Quotas quotas() const;

    // Work done and progress used in the current frame, for checking the pacing.
    struct Work {
        uint32_t points;      // complex points visited by the bit reversal
        uint32_t pairs;       // bin pairs done by the split step
        uint32_t butterflies; // butterflies done
        uint32_t bitReversalProgress;
        uint32_t splitProgress;
        uint32_t butterflyProgress;
    };
    Work work() const;

private:
    enum class Phase : uint8_t {
        BitReversal,
        ButterflyStart,
        Butterflies,
        SplitStep,
        ForwardEnd,
        InverseEnd
    };
    // Runs one phase with the given budget of progress; true when it has finished.
    bool run(Phase phase, uint32_t budget);

    bool bitReversal(uint32_t budget);
    bool butterflyStart(uint32_t budget);
    bool butterflies(uint32_t budget);
    bool splitStep(uint32_t budget);
    bool forwardEnd(uint32_t budget);
    bool inverseEnd(uint32_t budget);
    void setStage(int floatsPerHalf);
    static uint32_t pacedTarget(uint32_t used, float rate, uint32_t whole);

    float* data_ = nullptr;
    int n_ = 16;
    int direction_ = 1;
    uint32_t butterflyCount_ = 0;

    // Split step constants.
    double splitTheta_ = 0.0;
    float c1_ = 0.5f;
    float c2_ = -0.5f;

    // Butterflies: stage half-length in floats, twiddle index and group index (floats), the
    // twiddle recurrence and the group stride.
    int stageHalf_ = 2;
    int twiddleIndex_ = 0;
    int groupIndex_ = 0;
    double savedWr_ = 0.0, wr_ = 1.0, wpr_ = 0.0, wpi_ = 0.0, wi_ = 0.0, theta_ = 0.0;
    int groupStride_ = 4;

    uint32_t q1_ = 0, q2_ = 0, q3_ = 0;
    uint32_t e1_ = 0, e2_ = 0, e3_ = 0;
    float r1_ = 0.0f, r2_ = 0.0f, r3_ = 0.0f;
    Phase phases_[5] = {}; // fixed by the direction
    int phaseIndex_ = 5;
    uint32_t credited_ = 0;

    // Bit reversal: partner and current point as float positions (0-based), halving bit.
    uint32_t partner_ = 0;
    uint32_t point_ = 0;
    uint32_t halvingBit_ = 0;

    // Split step: pair index and its twiddle recurrence.
    uint32_t pair_ = 1;
    double splitSavedWr_ = 0.0, splitWpr_ = 0.0, splitWpi_ = 0.0, splitWr_ = 0.0, splitWi_ = 0.0;

    uint32_t totalButterflies_ = 0;
};

} // namespace dsp
