#include "engine/dsp/FFTPlan.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

namespace dsp {

FFTPlan::FFTPlan()
{
    configure(16, 1);
}

bool FFTPlan::configure(int N, int direction)
{
    if (N < 16 || !std::has_single_bit(static_cast<unsigned>(N)) ||
        (direction != 1 && direction != -1))
        return false;
    n_ = N;
    direction_ = direction;
    const int log2N = std::countr_zero(static_cast<unsigned>(N));
    totalButterflies_ = static_cast<uint32_t>((log2N - 1) * N / 4);
    q1_ = static_cast<uint32_t>(0.087f * static_cast<float>(N));
    q2_ = static_cast<uint32_t>(0.088f * static_cast<float>(N));
    q3_ = static_cast<uint32_t>(N) - q1_ - q2_;
    r1_ = static_cast<float>(static_cast<double>(N) / q1_);
    r2_ = static_cast<float>(static_cast<double>(N / 4) / q2_);
    r3_ = static_cast<float>(static_cast<double>(totalButterflies_) / q3_);
    if (direction == 1) {
        phases_[0] = Phase::BitReversal;
        phases_[1] = Phase::ButterflyStart;
        phases_[2] = Phase::Butterflies;
        phases_[3] = Phase::SplitStep;
        phases_[4] = Phase::ForwardEnd;
    } else {
        phases_[0] = Phase::SplitStep;
        phases_[1] = Phase::InverseEnd;
        phases_[2] = Phase::BitReversal;
        phases_[3] = Phase::ButterflyStart;
        phases_[4] = Phase::Butterflies;
    }
    // A frame in progress belonged to the old size.
    data_ = nullptr;
    phaseIndex_ = 5;
    return true;
}

FFTPlan::Quotas FFTPlan::quotas() const
{
    return {static_cast<int>(q1_), static_cast<int>(q2_), static_cast<int>(q3_),
            static_cast<int>(totalButterflies_)};
}

FFTPlan::Work FFTPlan::work() const
{
    return {point_ / 2, pair_ - 1, butterflyCount_, e1_, e2_, e3_};
}

void FFTPlan::startFrame(float* data)
{
    for (int i = 0; i < n_; ++i)
        data[i] += 1e-12f;
    data_ = data;
    phaseIndex_ = 0;
    credited_ = 0;
    e1_ = e2_ = e3_ = 0;
    butterflyCount_ = 0;

    partner_ = 0;
    point_ = 0;
    halvingBit_ = 0;

    pair_ = 1;
    splitTheta_ = 3.141592653589793 / (n_ >> 1);
    if (direction_ != 1)
        splitTheta_ = -splitTheta_;
    c1_ = 0.5f;
    c2_ = direction_ == 1 ? -0.5f : 0.5f;
    const double s = std::sin(0.5 * splitTheta_);
    splitWpr_ = -2.0 * s * s;
    splitWpi_ = std::sin(splitTheta_);
    splitWr_ = 1.0 + splitWpr_;
    splitWi_ = splitWpi_;
}

bool FFTPlan::advance(int progress)
{
    if (data_ == nullptr)
        return false;
    const uint32_t reached = static_cast<uint32_t>(std::clamp(progress, 0, n_));
    while (phaseIndex_ < 5) {
        const uint32_t budget = reached > credited_ ? reached - credited_ : 0;
        if (!run(phases_[phaseIndex_], budget))
            return false;
        ++phaseIndex_;
    }
    return true;
}

bool FFTPlan::run(Phase phase, uint32_t budget)
{
    switch (phase) {
    case Phase::BitReversal:
        return bitReversal(budget);
    case Phase::ButterflyStart:
        return butterflyStart(budget);
    case Phase::Butterflies:
        return butterflies(budget);
    case Phase::SplitStep:
        return splitStep(budget);
    case Phase::ForwardEnd:
        return forwardEnd(budget);
    case Phase::InverseEnd:
        return inverseEnd(budget);
    }
    return true;
}

uint32_t FFTPlan::pacedTarget(uint32_t used, float rate, uint32_t whole)
{
    const uint32_t target = static_cast<uint32_t>(static_cast<float>(used) * rate) + 1;
    return std::min(target, whole);
}

bool FFTPlan::bitReversal(uint32_t budget)
{
    const uint32_t t = std::min(budget, q1_ - e1_);
    e1_ += t;
    credited_ += t;
    const uint32_t floats = static_cast<uint32_t>(n_);
    // With its quota used up the phase must be complete, whatever the rounding of the rate.
    const uint32_t target = e1_ == q1_ ? floats : pacedTarget(e1_, r1_, floats);

    float* d = data_;
    uint32_t i = point_;
    uint32_t j = partner_;
    uint32_t m = halvingBit_;
    // Visits points while the 1-based float position of the last one visited (i - 1 after the
    // visit) is below the target.
    while (i < floats && i < target + 1) {
        if (j > i) {
            std::swap(d[j], d[i]);
            std::swap(d[j + 1], d[i + 1]);
        }
        m = floats >> 1;
        while (m >= 2 && j >= m) {
            j -= m;
            m >>= 1;
        }
        j += m;
        i += 2;
    }
    point_ = i;
    partner_ = j;
    halvingBit_ = m;
    return e1_ == q1_;
}

void FFTPlan::setStage(int floatsPerHalf)
{
    stageHalf_ = floatsPerHalf;
    groupStride_ = 2 * floatsPerHalf;
    theta_ = direction_ * (6.28318530717959 / floatsPerHalf);
    const double s = std::sin(0.5 * theta_);
    wpr_ = -2.0 * s * s;
    wpi_ = std::sin(theta_);
    wr_ = 1.0;
    wi_ = 0.0;
    twiddleIndex_ = 0;
    groupIndex_ = 0;
}

bool FFTPlan::butterflyStart(uint32_t)
{
    setStage(2);
    return true;
}

bool FFTPlan::butterflies(uint32_t budget)
{
    const uint32_t t = std::min(budget, q3_ - e3_);
    e3_ += t;
    credited_ += t;
    const uint32_t target =
        e3_ == q3_ ? totalButterflies_ : pacedTarget(e3_, r3_, totalButterflies_);

    float* d = data_;
    // At least one butterfly per call while any remain, then up to the target.
    while (butterflyCount_ < totalButterflies_) {
        const int i = groupIndex_;
        const int j = i + stageHalf_;
        const double tr = wr_ * d[j] - wi_ * d[j + 1];
        const double ti = wr_ * d[j + 1] + wi_ * d[j];
        d[j] = static_cast<float>(d[i] - tr);
        d[j + 1] = static_cast<float>(d[i + 1] - ti);
        d[i] = static_cast<float>(d[i] + tr);
        d[i + 1] = static_cast<float>(d[i + 1] + ti);
        ++butterflyCount_;

        groupIndex_ += groupStride_;
        if (groupIndex_ >= n_) {
            // Every group has used this twiddle: on to the next one, or to the next stage.
            twiddleIndex_ += 2;
            savedWr_ = wr_;
            wr_ = wr_ * wpr_ - wi_ * wpi_ + wr_;
            wi_ = (1.0 + wpr_) * wi_ + wpi_ * savedWr_;
            if (twiddleIndex_ >= stageHalf_ && groupStride_ < n_)
                setStage(groupStride_);
            groupIndex_ = twiddleIndex_;
        }
        if (butterflyCount_ >= target)
            break;
    }
    return butterflyCount_ >= totalButterflies_;
}

bool FFTPlan::splitStep(uint32_t budget)
{
    const uint32_t t = std::min(budget, q2_ - e2_);
    e2_ += t;
    credited_ += t;
    const uint32_t pairs = static_cast<uint32_t>(n_ / 4);
    const uint32_t target = e2_ == q2_ ? pairs : pacedTarget(e2_, r2_, pairs);

    float* d = data_;
    const int N = n_;
    for (; pair_ < target; ++pair_) {
        float* lo = d + 2 * pair_;
        float* hi = d + N - 2 * pair_;
        const float h1r = c1_ * (lo[0] + hi[0]);
        const float h1i = c1_ * (lo[1] - hi[1]);
        const float h2r = -c2_ * (lo[1] + hi[1]);
        const float h2i = c2_ * (lo[0] - hi[0]);
        lo[0] = static_cast<float>(h1r + splitWr_ * h2r - splitWi_ * h2i);
        lo[1] = static_cast<float>(h1i + splitWr_ * h2i + splitWi_ * h2r);
        hi[0] = static_cast<float>(h1r - splitWr_ * h2r + splitWi_ * h2i);
        hi[1] = static_cast<float>(-h1i + splitWr_ * h2i + splitWi_ * h2r);
        splitSavedWr_ = splitWr_;
        splitWr_ = splitWr_ + splitWr_ * splitWpr_ - splitWi_ * splitWpi_;
        splitWi_ = splitWi_ + splitWi_ * splitWpr_ + splitSavedWr_ * splitWpi_;
    }
    return e2_ == q2_;
}

bool FFTPlan::forwardEnd(uint32_t)
{
    const float h = data_[0];
    data_[0] = h + data_[1];
    data_[1] = h - data_[1];
    return true;
}

bool FFTPlan::inverseEnd(uint32_t)
{
    const float h = data_[0];
    data_[0] = c1_ * (h + data_[1]);
    data_[1] = c1_ * (h - data_[1]);
    return true;
}

} // namespace dsp
