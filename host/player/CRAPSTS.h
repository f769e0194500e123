#pragma once

// The pitch and time engine over a random-access source: one channel engine
// per source channel (a stereo source is split through two mono adapters),
// the pitch and time factors, and the grain rate that sets the grain period.

#include "host/player/CRAPstsChannel.h"
#include "host/player/IRAPCMSource.h"

#include <memory>
#include <vector>

namespace player {

class CRAPSTS {
public:
    // Builds the channel engines (allocates: prepare time).
    explicit CRAPSTS(IRAPCMSource& source);
    virtual ~CRAPSTS() = default;
    CRAPSTS(const CRAPSTS&) = delete;
    CRAPSTS& operator=(const CRAPSTS&) = delete;

    virtual void setPitchFactor(double p);
    // Grain rate in hertz: the period becomes rate / grain rate frames.
    virtual void setGrainRate(double hz);
    void setTimeFactor(double s);
    void setOutputRate(int hz);
    // Every channel restarts at source position a.
    void seek(double a);
    // Output frames for the first channels engines (1 or 2) into out[0], out[1].
    void process(float* const* out, int channels, int frames);

    int channels() const { return static_cast<int>(channels_.size()); }
    CRAPstsChannel& channel(int i) { return *channels_[static_cast<std::size_t>(i)]; }
    double period() const { return h_; }
    double grainRate() const { return grainRate_; }
    double pitchFactor() const { return p_; }
    double timeFactor() const { return s_; }

protected:
    // Near unity the grains shorten towards 80 per second, where the shorter
    // overlaps blur transients less.
    void adaptPeriod();
    void applyPeriod(double h);

    IRAPCMSource& source_;
    std::vector<std::unique_ptr<CRAPCMMonoAdapter>> adapters_;
    std::vector<std::unique_ptr<CRAPstsChannel>> channels_;
    double rate_;
    double p_ = 1.0, s_ = 1.0;
    double grainRate_ = 25.0;
    double h_ = 200.0;
    bool adaptive_ = false;
};

// The engine of effect 102, whose grains are resampled with cubic interpolation.
class CRANewPolyPSTS : public CRAPSTS {
public:
    using CRAPSTS::CRAPSTS;
};

} // namespace player
