#pragma once

// One channel of the granular pitch and time engine: grains of two periods
// are cut from the source around an input position that advances by the
// grain spacing over the time factor, resampled by the pitch factor with
// Catmull-Rom cubics, windowed with the global Hann table and overlap-added
// into the ring at the grain spacing.
//
// Each grain's start may move by up to one minimum period from its place on
// the grid, to where the source best matches what the previous grain plays in
// their overlap: without that, a low tone overlapped with itself at a random
// phase loses level and gains side tones at the grain rate that pull its pitch
// (a 110 Hz tone shifted down an octave would read 150 cents sharp). The grid
// positions themselves never move, so the duration is unaffected.

#include "host/player/CRAPstsRing.h"
#include "host/player/IRAPCMSource.h"

#include <cstdint>
#include <vector>

namespace player {

class CRAPstsChannel {
public:
    // For a source at sourceRate frames per second, with periods of at most
    // sourceRate / minGrainRate frames and pitch factors up to maxPitch.
    CRAPstsChannel(IRAPCMSource& source, int sourceRate, double minGrainRate = 25.0,
                   double maxPitch = 4.0, int spare = 64);

    // Sizes the ring for the output rate (prepare time: allocates).
    void setOutputRate(int outputRate);
    // A new period h (frames); the next grain crossfades from the old one.
    void setPeriod(double h);
    // Pitch factor p (output period / source period, at most maxPitch) and
    // time factor s (output duration / source duration).
    void setFactors(double p, double s);
    // Takes each grain's move from the leader instead of matching on its own,
    // so the channels of a stereo source keep their grains together (two
    // channels matched apart would drift up to a minimum period apart and
    // smear the stereo image). The leader runs first over each block.
    void follow(CRAPstsChannel* leader) { leader_ = leader; }
    // Restarts at source position a with an empty ring.
    void seek(double a);
    // frames output samples. Audio thread; never allocates.
    void process(float* out, int frames);

    double period() const { return h_; }
    double pitch() const { return p_; }
    double rateRatio() const { return r_; }
    double spacing() const { return x_; }
    // The source position of the next grain on the grid.
    double inputPosition() const { return next_; }
    // The source position that the next output frame plays (within a grain).
    double playPosition() const;
    const CRAPstsRing& ring() const { return ring_; }

private:
    // A grain centred on source frame snapped: rise ring samples before the
    // centre (the previous grain's fall, so the two crossfade exactly) and fall
    // samples after it (the spacing, the next grain's rise).
    struct Grain {
        double snapped = 0.0;
        int rise = 1, fall = 1;
        double start = 0.0; // source frames
        int samples() const { return rise + fall; }
    };
    Grain placeNext() const;
    void updateSpacing();
    // Reads source frames [first, first + n) into sourceScratch_ with
    // non-finite samples replaced by zeros.
    void readSource(std::int64_t first, int n, float* into);
    int alignment(const Grain& g, std::int64_t scratchFirst);
    // The leader's move for this channel's next matched grain, when it has one.
    bool leaderMove(int& delta) const;
    void extract(const Grain& g);

    IRAPCMSource& source_;
    double rate_;
    double maxPeriod_;
    double maxPitch_;
    int align_; // the largest move of a grain's start, frames

    double h_ = 200.0, prevH_ = 200.0;
    double p_ = 1.0, s_ = 1.0, r_ = 1.0;
    double x_ = 200.0; // grain spacing h p, ring samples
    double next_ = 0.0, last_ = 0.0, furthest_ = 0.0;
    int prevFall_ = 200;

    // The last extracted grain: its grid start, pitch, actual start and length.
    double cacheStart_, cachePitch_;
    double actualStart_ = 0.0;
    int actualRise_ = 0;
    std::vector<float> grain_;
    int grainLength_ = 0;
    std::vector<float> sourceScratch_;
    // What the last placed grain plays in its second half (from source frame
    // referenceStart_ on), every second frame.
    std::vector<float> reference_;
    int referenceLength_ = 0;
    double referenceStart_ = 0.0;
    // Running sums of squares for the coarse match.
    std::vector<double> energies_;

    CRAPstsRing ring_;
    int chunkFrames_ = 256;

    // The moves of the matched grains since the last seek, for a follower.
    static constexpr int kMoves = 512;
    std::vector<int> moves_;
    std::int64_t movesWritten_ = 0;
    std::int64_t movesRead_ = 0;
    CRAPstsChannel* leader_ = nullptr;
};

} // namespace player
