#include "host/player/CRAPstsChannel.h"

#include "host/player/Taperizer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace player {
namespace {

constexpr double kLowest = std::numeric_limits<double>::lowest();
// The ring spans at most this many samples in one read; longer blocks go in chunks.
constexpr int kMaxRead = 4096;
// The overlap match compares every kStride-th frame of at most kMatchFrames.
constexpr int kStride = 2;
constexpr int kMatchFrames = 1024;
// Below this pitch factor a grain spans far more source frames than it has
// samples: it is read sample by sample, and not matched.
constexpr double kSparsePitch = 0.125;
constexpr double kMatchPitch = 0.25;

int grainCapacity(double maxPeriod, double maxPitch)
{
    return static_cast<int>(maxPeriod * maxPitch * 2.0) + 9;
}

inline float catmullRom(const float* p, float t)
{
    return p[1] +
           t * ((p[2] - p[0]) * 0.5f + t * ((p[0] - 2.5f * p[1] + 2.0f * p[2] - 0.5f * p[3]) +
                                            t * ((p[1] - p[2]) * 1.5f + (p[3] - p[0]) * 0.5f)));
}

} // namespace

CRAPstsChannel::CRAPstsChannel(IRAPCMSource& source, int sourceRate, double minGrainRate,
                               double maxPitch, int spare)
    : source_(source), rate_(std::max(1000, sourceRate)), maxPeriod_(rate_ / minGrainRate),
      maxPitch_(maxPitch), align_(static_cast<int>(std::lround(rate_ / 80.0))),
      cacheStart_(kLowest), cachePitch_(kLowest),
      grain_(static_cast<std::size_t>(grainCapacity(maxPeriod_, maxPitch_))),
      sourceScratch_(static_cast<std::size_t>(2.0 * maxPeriod_) + 2 * align_ + 64),
      reference_(kMatchFrames / kStride + 1),
      energies_(2 * static_cast<std::size_t>((2 * align_) / 6 + kMatchFrames / 6 + 8)),
      ring_(2 * grainCapacity(maxPeriod_, maxPitch_) + static_cast<int>(4 * maxPeriod_) + kMaxRead +
                spare,
            kMaxRead),
      moves_(kMoves)
{
    updateSpacing();
    seek(0.0);
}

void CRAPstsChannel::setOutputRate(int outputRate)
{
    r_ = outputRate > 0 ? rate_ / outputRate : 1.0;
    // Reading the ring faster than one sample a frame decimates it: the
    // low-pass keeps what lies above the output's Nyquist frequency out.
    ring_.setAntiAliasing(r_ > 1.0, 1.0 / r_);
    updateSpacing();
}

void CRAPstsChannel::setPeriod(double h)
{
    h = std::clamp(h, 16.0, maxPeriod_);
    if (h == h_)
        return;
    prevH_ = h_;
    h_ = h;
    last_ = furthest_;
    updateSpacing();
}

void CRAPstsChannel::setFactors(double p, double s)
{
    p_ = std::clamp(std::isfinite(p) ? p : 1.0, 0.001, maxPitch_);
    s_ = std::clamp(std::isfinite(s) ? s : 1.0, 0.001, 10.0);
    updateSpacing();
}

void CRAPstsChannel::updateSpacing()
{
    x_ = h_ * p_;
    const int spacing = std::max(1, static_cast<int>(std::lround(x_)));
    ring_.setSpacing(spacing);
    // The ring holds grains at the rounded spacing; reading it at this step
    // plays one grain spacing per x output frames.
    const double step = spacing / x_ * r_;
    ring_.setReadStep(step);
    chunkFrames_ = std::clamp(static_cast<int>((kMaxRead - 8) / step), 1, 1024);
}

double CRAPstsChannel::playPosition() const
{
    // The write position stands for next_; each ring sample before it is
    // x / (s spacing) source frames earlier.
    const double behind = static_cast<double>(ring_.writePosition()) - ring_.readPosition();
    return next_ - behind * x_ / (s_ * ring_.spacing());
}

void CRAPstsChannel::seek(double a)
{
    next_ = last_ = furthest_ = a;
    prevH_ = h_;
    prevFall_ = ring_.spacing();
    cacheStart_ = cachePitch_ = kLowest;
    referenceLength_ = 0;
    movesWritten_ = movesRead_ = 0;
    ring_.clear();
    std::fill(grain_.begin(), grain_.end(), 0.0f);
    grainLength_ = 0;
}

CRAPstsChannel::Grain CRAPstsChannel::placeNext() const
{
    // Grains sit a whole number of periods from the last one, so a grain that
    // is due again (a slow tempo) is the very same grain.
    Grain g;
    if (next_ > last_) {
        const double k = std::round((next_ - last_) / h_);
        g.snapped = last_ + k * h_;
    } else {
        const double k = std::round((last_ - next_) / prevH_);
        g.snapped = last_ - k * prevH_;
    }
    // The rise never reaches more than a maximum period into the source.
    g.rise = std::clamp(prevFall_, 1, std::max(1, static_cast<int>(maxPeriod_ * p_)));
    g.fall = ring_.spacing();
    g.start = g.snapped - g.rise / p_;
    return g;
}
void CRAPstsChannel::readSource(std::int64_t first, int n, float* into)
{
    source_.read(into, first, first + n);
    // A non-finite source sample would stay in the ring for a grain and in
    // the output's interpolation: it reads as silence instead.
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(into[i]))
            into[i] = 0.0f;
}

int CRAPstsChannel::alignment(const Grain& g, std::int64_t scratchFirst)
{
    const int reach = align_;
    // The previous grain continued: nothing matches better than the source itself.
    const double contiguous = std::round(referenceStart_ - g.start);
    if (std::fabs(contiguous) <= reach)
        return static_cast<int>(contiguous);

    const int count = std::min(referenceLength_, static_cast<int>(g.rise / p_) / kStride);
    const float* base =
        sourceScratch_.data() + (static_cast<std::int64_t>(std::floor(g.start)) - scratchFirst);
    const float* ref = reference_.data();
    auto score = [&](int delta, int every, double energy) {
        const float* x = base + delta;
        const int step = every * kStride;
        // Two independent sums, so the additions overlap.
        float dotA = 0.0f, dotB = 0.0f;
        int j = 0;
        for (; j + every < count; j += 2 * every) {
            dotA += x[j * kStride] * ref[j];
            dotB += x[j * kStride + step] * ref[j + every];
        }
        for (; j < count; j += every)
            dotA += x[j * kStride] * ref[j];
        return energy > 1e-20 ? (dotA + dotB) / static_cast<float>(std::sqrt(energy)) : 0.0f;
    };
    auto energyOf = [&](int delta, int every) {
        double e = 0.0;
        for (int j = 0; j < count; j += every) {
            const double v = base[delta + j * kStride];
            e += v * v;
        }
        return e;
    };
    // Coarse: every third move, every sixth frame. The candidates' energies
    // come from running sums over the two residues (moves are multiples of 3,
    // frames 6 apart), not from a second pass each.
    constexpr int kCoarse = 3, kFrames = kCoarse * kStride;
    const int terms = (count + kCoarse - 1) / kCoarse;
    const float* from = base - reach;
    const int classes = (2 * reach) / kFrames + terms + 2;
    for (int r = 0; r < 2; ++r) {
        double sum = 0.0;
        double* prefix = energies_.data() + r * (classes + 1);
        prefix[0] = 0.0;
        for (int k = 0; k < classes; ++k) {
            const double v = from[r * kCoarse + k * kFrames];
            sum += v * v;
            prefix[k + 1] = sum;
        }
    }
    int best = 0;
    float bestScore = score(0, kCoarse, energyOf(0, kCoarse));
    for (int c = 0; - reach + kCoarse * c <= reach; ++c) {
        const int r = c % 2, k = c / 2;
        const double* prefix = energies_.data() + r * (classes + 1);
        const float s = score(-reach + kCoarse * c, kCoarse, prefix[k + terms] - prefix[k]);
        if (s > bestScore) {
            bestScore = s;
            best = -reach + kCoarse * c;
        }
    }
    const int centre = best;
    bestScore = score(centre, 1, energyOf(centre, 1));
    for (int delta = std::max(-reach, centre - 2); delta <= std::min(reach, centre + 2); ++delta) {
        const float s = score(delta, 1, energyOf(delta, 1));
        if (s > bestScore) {
            bestScore = s;
            best = delta;
        }
    }
    return best;
}

bool CRAPstsChannel::leaderMove(int& delta) const
{
    // The leader placed the same grains in the same order: the n-th matched
    // grain of this channel is the leader's n-th, while the leader still holds it.
    if (leader_ == nullptr || movesRead_ >= leader_->movesWritten_ ||
        leader_->movesWritten_ - movesRead_ > kMoves)
        return false;
    delta = leader_->moves_[static_cast<std::size_t>(movesRead_ % kMoves)];
    return true;
}

void CRAPstsChannel::extract(const Grain& g)
{
    const int samples = std::min(g.samples(), static_cast<int>(grain_.size()));
    const double step = 1.0 / p_;
    float* grain = grain_.data();
    const bool same = p_ == cachePitch_ && samples == grainLength_ && g.rise == actualRise_;

    if (p_ < kSparsePitch) {
        if (same && g.start == cacheStart_)
            return;
        // Four source frames around each grain sample.
        float frames[4];
        for (int m = 0; m < samples; ++m) {
            const double position = g.start + m * step;
            const double whole = std::floor(position);
            readSource(static_cast<std::int64_t>(whole) - 1, 4, frames);
            grain[m] = catmullRom(frames, static_cast<float>(position - whole));
        }
        referenceLength_ = 0;
        actualStart_ = g.start;
    } else {
        const bool match = referenceLength_ > 0 && p_ >= kMatchPitch;
        if (!match && same && g.start == cacheStart_)
            return;
        // A follower knows its move before it reads: it reads no wider than the grain.
        int delta = 0;
        const bool known = match && leaderMove(delta);
        const int reach = match && !known ? align_ : 0;
        // One frame before the grain through four after it, widened by the reach.
        const auto first = static_cast<std::int64_t>(std::floor(g.start)) + delta - 1 - reach;
        const auto last =
            static_cast<std::int64_t>(std::floor(g.start + samples * step)) + delta + 5 + reach;
        const int n = static_cast<int>(
            std::min<std::int64_t>(last - first, static_cast<std::int64_t>(sourceScratch_.size())));
        readSource(first, n, sourceScratch_.data());
        if (match) {
            if (!known)
                delta = alignment(g, first);
            ++movesRead_;
            moves_[static_cast<std::size_t>(movesWritten_++ % kMoves)] = delta;
        }
        const double actual = g.start + delta;

        // What this grain plays after its centre: the next grain is matched to it.
        const double centre = actual + g.rise * step;
        referenceStart_ = centre;
        referenceLength_ = std::min(kMatchFrames, static_cast<int>(g.fall * step)) / kStride;
        const auto from = static_cast<std::int64_t>(std::floor(centre)) - first;
        for (int j = 0; j < referenceLength_; ++j)
            reference_[static_cast<std::size_t>(j)] =
                sourceScratch_[static_cast<std::size_t>(from + j * kStride)];

        if (same && actual == actualStart_)
            return;
        // Catmull-Rom resampling at a step of 1 / p: L source frames give L p samples.
        const float* src = sourceScratch_.data();
        const double offset = actual - static_cast<double>(first);
        for (int m = 0; m < samples; ++m) {
            // position is at least 1 here: truncation is its floor.
            const double position = offset + m * step;
            const auto whole = static_cast<std::ptrdiff_t>(position);
            grain[m] = catmullRom(src + whole - 1, static_cast<float>(position - double(whole)));
        }
        actualStart_ = actual;
    }
    globalTaperizer().apply(grain, g.rise, samples - g.rise);
    grainLength_ = samples;
    actualRise_ = g.rise;
    cacheStart_ = g.start;
    cachePitch_ = p_;
}

void CRAPstsChannel::process(float* out, int frames)
{
    while (frames > 0) {
        const int n = std::min(frames, chunkFrames_);
        const double need = ring_.fillPoint(n);
        for (;;) {
            const Grain g = placeNext();
            // Enough once the next grain would start beyond what this read needs.
            if (need < static_cast<double>(ring_.writePosition() - g.rise))
                break;
            extract(g);
            ring_.addGrain(grain_.data(), g.rise, grainLength_);
            furthest_ = std::max(furthest_, g.start + grainLength_ / p_);
            last_ = g.snapped;
            prevH_ = h_;
            prevFall_ = g.fall;
            next_ += x_ / s_;
        }
        ring_.read(out, n);
        out += n;
        frames -= n;
    }
}

} // namespace player
