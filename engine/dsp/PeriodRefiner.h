#pragma once

#include "engine/dsp/PitchFilters.h"

namespace dsp::Domain::Pitch {

// Where the cubic through four samples s0..s3 (at positions -1, 0, 1, 2) crosses zero between s1
// and s2, as a fraction 0 .. 1 of that interval. Cardano's formula in closed form: a single real
// root is taken as it is; of three real roots (trigonometric form, in the order of the angles
// theta/3, (theta + 2 pi)/3, (theta + 4 pi)/3) the first within [-0.01, 1.01], else 0. A vanishing
// cubic term falls back to the quadratic, a vanishing quadratic one to the straight line through
// s1 and s2. The result is limited to [0, 1].
double crossingFraction(double s0, double s1, double s2, double s3);

// Refines a period known roughly (from the lag function) by timing zero crossings. Tracker j
// (j = 1..6) sums the last 2j intervals between crossings, up or down; a signal with 2j crossings
// per period makes that sum exactly one period, so the tracker whose sum lies closest to the rough
// period is taken when it is within 6 % of it. The result passes through a low-pass smoother run
// once per crossing.
class PeriodRefiner {
public:
    static constexpr int kTrackers = 6;

    PeriodRefiner();

    // Activates the refiner on a new note at the rough period: crossings are timed afresh and the
    // smoother waits for the first measured period.
    void start(float period);
    void stop() { active_ = false; }
    bool isActive() const { return active_; }

    // The rough period. One that differs from the previous by more than 7 % is a new note: the
    // smoother is primed with it and takes the next measured period as its new start.
    void setTarget(float period);
    float getTarget() const { return target_; }

    // Audio thread: one chunk of the filtered signal.
    void process(const float* samples, int count);

    // The smoothed period in samples.
    float getPeriod() const { return period_; }
    // True once a period has been measured since the start (or since the last new note): until
    // then getPeriod is only the rough period.
    bool hasMeasured() const { return active_ && !awaitingMeasure_; }

private:
    struct Tracker {
        double intervals[2 * kTrackers] = {};
        int length = 0; // 2j
        int next = 0;
        double sum = 0.0;
    };

    void crossing(double fraction);
    void prime(double period);

    Tracker trackers_[kTrackers];
    float s0_ = 0.0f, s1_ = 0.0f, s2_ = 0.0f, s3_ = 0.0f;
    int samplesSeen_ = 0;   // up to 4: crossings count only between real samples
    int intervalsSeen_ = 0; // since the start, up to 2 x kTrackers: a tracker counts once full
    bool anchored_ = false; // a crossing has been seen since the start
    bool awaitingMeasure_ = true;
    double sinceCrossing_ = 0.0;
    double lastFraction_ = 0.0;
    float target_ = 100.0f;
    double refined_ = 100.0;
    float period_ = 100.0f;
    PitchBiquad smoother_;
    bool active_ = false;
};

} // namespace dsp::Domain::Pitch
