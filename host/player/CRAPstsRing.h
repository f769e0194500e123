#pragma once

// The overlap-add ring of one channel engine: windowed grains are added at a
// fixed integer spacing and the output is read back at a fractional step with
// Catmull-Rom interpolation. Positions are absolute (64-bit) and wrap into
// the ring's storage.

#include "host/player/HOFilter.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace player {

class CRAPstsRing {
public:
    // capacity: the most samples that are live at once (unread output plus a
    // grain); maxRead: the most ring samples one read spans.
    CRAPstsRing(int capacity, int maxRead);

    // Back to positions 0 with an empty ring and a reset filter.
    void clear();
    void setSpacing(int spacing) { spacing_ = spacing < 1 ? 1 : spacing; }
    int spacing() const { return spacing_; }
    void setReadStep(double step) { step_ = step; }
    double readStep() const { return step_; }
    // Enables the anti-aliasing low-pass with its cutoff at x times Nyquist.
    void setAntiAliasing(bool on, double x);
    bool antiAliasing() const { return antiAliasing_; }

    // The ring position up to which a read of n frames needs final samples.
    double fillPoint(int frames) const { return double(readInt_) + frac_ + frames * step_ + 3.0; }
    std::int64_t writePosition() const { return write_; }
    // Adds a grain whose first rise samples lie before the write position,
    // then advances the write position by the spacing.
    void addGrain(const float* grain, int rise, int n);
    // The ring position of the next output frame.
    double readPosition() const { return double(readInt_) + frac_; }
    // Reads frames output samples; the ring must be filled to fillPoint(frames).
    void read(float* out, int frames);

private:
    float& at(std::int64_t position) { return data_[static_cast<std::size_t>(position & mask_)]; }
    // Zeroes positions from up to (not including) to.
    void zero(std::int64_t from, std::int64_t to);

    std::vector<float> data_;
    std::int64_t mask_;
    std::vector<float> linear_;
    std::int64_t write_ = 0;
    int spacing_ = 200;
    std::int64_t readInt_ = 0;
    double frac_ = 0.0;
    double step_ = 1.0;
    // Samples below live_ have been consumed (and zeroed); below filtered_
    // they have passed the anti-aliasing low-pass.
    std::int64_t live_ = -1;
    std::int64_t filtered_ = -1;
    bool antiAliasing_ = false;
    std::unique_ptr<CHOFilterASO> lowPass_;
};

} // namespace player
