#include "host/player/CRAPSTS.h"

#include <algorithm>
#include <cmath>

namespace player {
namespace {

constexpr double kMinGrainRate = 25.0;
constexpr double kMaxGrainRate = 80.0;
// Enough for the longest read of a grain: two maximum periods, the matching
// reach and the interpolation's margins.
int longestRead(int rate)
{
    return static_cast<int>(2.0 * rate / kMinGrainRate) + 2 * (rate / 80 + 1) + 32;
}

} // namespace

CRAPSTS::CRAPSTS(IRAPCMSource& source) : source_(source), rate_(std::max(1000, source.sampleRate()))
{
    if (source.channels() == 2) {
        for (int ch = 1; ch <= 2; ++ch) {
            adapters_.push_back(
                std::make_unique<CRAPCMMonoAdapter>(source, ch, longestRead(source.sampleRate())));
            channels_.push_back(
                std::make_unique<CRAPstsChannel>(*adapters_.back(), source.sampleRate()));
        }
        channels_[1]->follow(channels_[0].get());
    } else {
        channels_.push_back(std::make_unique<CRAPstsChannel>(source, source.sampleRate()));
    }
    h_ = channels_.front()->period();
}

void CRAPSTS::applyPeriod(double h)
{
    h_ = h;
    for (auto& c : channels_)
        c->setPeriod(h);
}

void CRAPSTS::setPitchFactor(double p)
{
    if (!std::isfinite(p))
        return;
    p_ = p;
    for (auto& c : channels_)
        c->setFactors(p_, s_);
    adaptPeriod();
}

void CRAPSTS::setTimeFactor(double s)
{
    if (!std::isfinite(s))
        return;
    s_ = s;
    for (auto& c : channels_)
        c->setFactors(p_, s_);
    adaptPeriod();
}

void CRAPSTS::setGrainRate(double hz)
{
    if (!std::isfinite(hz) || hz <= 0.0)
        return;
    grainRate_ = hz;
    applyPeriod(rate_ / grainRate_);
}

void CRAPSTS::adaptPeriod()
{
    // d: 1 without a pitch change, 0 from one semitone on; e: 1 at unity
    // tempo, 0 from 10 % off on; both together pick the grain rate between R and 80 Hz.
    const double d = std::max(0.0, 1.0 - std::fabs(12.0 * std::log2(p_)));
    const double e = std::max(0.0, s_ < 1.0 ? 10.0 * s_ - 9.0 : 11.0 - 10.0 * s_);
    const double g = std::sqrt(e) * std::sqrt(d);
    if (g > 0.0) {
        adaptive_ = true;
        applyPeriod(rate_ / ((kMaxGrainRate - grainRate_) * g + grainRate_));
    } else if (adaptive_) {
        adaptive_ = false;
        applyPeriod(rate_ / grainRate_);
    }
}

void CRAPSTS::setOutputRate(int hz)
{
    for (auto& c : channels_)
        c->setOutputRate(hz);
}

void CRAPSTS::seek(double a)
{
    for (auto& c : channels_)
        c->seek(a);
}

void CRAPSTS::process(float* const* out, int channels, int frames)
{
    const int n = std::min(channels, static_cast<int>(channels_.size()));
    for (int ch = 0; ch < n; ++ch)
        channels_[static_cast<std::size_t>(ch)]->process(out[ch], frames);
}

} // namespace player
