#include "engine/dsp/PeriodRefiner.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

namespace dsp::Domain::Pitch {
namespace {

// The smoother: H(s) = w^2 / (s^2 + (w / q) s + w^2), corner 1000 Hz, q = 0.5 (critically damped,
// no overshoot on a new period), designed for 44100 Hz whatever the rate: it runs once per
// crossing, not per sample, so the host rate has no meaning for it.
constexpr double kSmootherCornerHz = 1000.0;
constexpr double kSmootherQ = 0.5;
constexpr double kSmootherRate = 44100.0;

constexpr double kAcceptance = 0.06; // a tracker's sum this close to the rough period is a period
constexpr double kNewNote = 0.07;    // a rough period this far from the last one is a new note

bool inRange(double t)
{
    return t >= -0.01 && t <= 1.01;
}

} // namespace

double crossingFraction(double s0, double s1, double s2, double s3)
{
    // The cubic through the four samples, as a t^3 + b t^2 + c t + d with t = 0 at s1, t = 1 at s2.
    const double a = (s3 - s0) * 0.5 + (s1 - s2) * 1.5;
    const double b = s0 - 2.5 * s1 + 2.0 * s2 - 0.5 * s3;
    const double c = (s2 - s0) * 0.5;
    const double d = s1;
    const double linear = s2 != s1 ? -s1 / (s2 - s1) : 0.0;
    // Relative to the other terms, a cubic term below 1e-12 moves the root in [0, 1] by less than
    // rounding, while it would make Cardano's formula lose every digit.
    const double scale = std::fabs(b) + std::fabs(c) + std::fabs(d);
    double t = 0.0;
    if (std::fabs(a) > 1e-12 * scale) {
        const double B = b / a, C = c / a, D = d / a;
        // t = u - B/3 gives u^3 + p u + q = 0.
        const double p = C - B * B / 3.0;
        const double q = 2.0 * B * B * B / 27.0 - B * C / 3.0 + D;
        const double discriminant = q * q / 4.0 + p * p * p / 27.0;
        if (discriminant > 0.0) {
            const double root = std::sqrt(discriminant);
            t = std::cbrt(-q / 2.0 + root) + std::cbrt(-q / 2.0 - root) - B / 3.0;
        } else {
            const double r = std::sqrt(std::max(-p / 3.0, 0.0));
            const double cosine = r > 0.0 ? std::clamp(-q / (2.0 * r * r * r), -1.0, 1.0) : 0.0;
            const double theta = std::acos(cosine);
            t = 0.0;
            for (int k = 0; k < 3; ++k) {
                const double root =
                    2.0 * r * std::cos((theta + 2.0 * std::numbers::pi * k) / 3.0) - B / 3.0;
                if (inRange(root)) {
                    t = root;
                    break;
                }
            }
        }
    } else if (std::fabs(b) > 1e-12 * (std::fabs(c) + std::fabs(d))) {
        const double discriminant = c * c - 4.0 * b * d;
        t = linear;
        if (discriminant >= 0.0) {
            // The form without cancellation: both roots from one well-conditioned term.
            const double w = -0.5 * (c + std::copysign(std::sqrt(discriminant), c));
            const double first = w / b;
            const double second = w != 0.0 ? d / w : first;
            t = inRange(first) ? first : inRange(second) ? second : linear;
        }
    } else {
        t = linear;
    }
    if (!(t >= 0.0))
        return 0.0;
    return std::min(t, 1.0);
}

PeriodRefiner::PeriodRefiner()
{
    for (int j = 0; j < kTrackers; ++j)
        trackers_[j].length = 2 * (j + 1);
    smoother_.designLowPass(kSmootherCornerHz, kSmootherQ, kSmootherRate);
}

void PeriodRefiner::prime(double period)
{
    // Settled at the period at once (64 repeats would leave it 0.1 %, two cents, short).
    refined_ = period;
    smoother_.settle(period);
    period_ = static_cast<float>(period);
}

void PeriodRefiner::start(float period)
{
    for (Tracker& tracker : trackers_) {
        std::fill(std::begin(tracker.intervals), std::end(tracker.intervals), 0.0);
        tracker.next = 0;
        tracker.sum = 0.0;
    }
    s0_ = s1_ = s2_ = s3_ = 0.0f;
    samplesSeen_ = 0;
    intervalsSeen_ = 0;
    anchored_ = false;
    sinceCrossing_ = 0.0;
    lastFraction_ = 0.0;
    target_ = period;
    prime(period);
    awaitingMeasure_ = true;
    active_ = true;
}

void PeriodRefiner::setTarget(float period)
{
    if (std::fabs(period - target_) > kNewNote * target_) {
        prime(period);
        awaitingMeasure_ = true;
    }
    target_ = period;
}

void PeriodRefiner::process(const float* samples, int count)
{
    if (!active_)
        return;
    for (int i = 0; i < count; ++i) {
        s0_ = s1_;
        s1_ = s2_;
        s2_ = s3_;
        s3_ = samples[i];
        sinceCrossing_ += 1.0;
        if (samplesSeen_ < 4) {
            ++samplesSeen_;
            continue;
        }
        if ((s1_ < 0.0f && s2_ >= 0.0f) || (s2_ < 0.0f && s1_ >= 0.0f))
            crossing(crossingFraction(s0_, s1_, s2_, s3_));
    }
}

void PeriodRefiner::crossing(double fraction)
{
    const double interval = sinceCrossing_ - lastFraction_ + fraction;
    sinceCrossing_ = 0.0;
    lastFraction_ = fraction;
    if (!anchored_) {
        // The first crossing only fixes the phase: the time before it is no interval.
        anchored_ = true;
        return;
    }
    intervalsSeen_ = std::min(intervalsSeen_ + 1, 2 * kTrackers);
    const double target = target_;
    const Tracker* closest = nullptr;
    for (Tracker& tracker : trackers_) {
        tracker.intervals[tracker.next] = interval;
        tracker.next = tracker.next + 1 == tracker.length ? 0 : tracker.next + 1;
        double sum = 0.0;
        for (int k = 0; k < tracker.length; ++k)
            sum += tracker.intervals[k];
        tracker.sum = sum;
        // A ring not yet full holds part of a period, which could pass for a whole one.
        if (tracker.length > intervalsSeen_)
            continue;
        if (!closest || std::fabs(sum - target) < std::fabs(closest->sum - target))
            closest = &tracker;
    }
    if (closest && std::fabs(closest->sum - target) < kAcceptance * target) {
        if (awaitingMeasure_) {
            prime(closest->sum);
            awaitingMeasure_ = false;
            return;
        }
        refined_ = closest->sum;
    }
    period_ = static_cast<float>(smoother_.step(refined_));
}

} // namespace dsp::Domain::Pitch
