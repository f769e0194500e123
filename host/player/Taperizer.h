#pragma once

// Window (taper) functions. One Hann table of 8192 + 1 entries is shared by the
// whole process: the grain windows of the pitch and time engine look it up
// instead of evaluating cosines per sample.

#include "host/player/Object.h"

#include <vector>

namespace player {

class ITaperizer : public virtual IObject {
public:
    // Builds the Hann table for size n (n + 1 entries).
    virtual void build(int n) = 0;
    // Multiplies v[0 .. n) by the table stretched over n samples.
    virtual void apply(float* v, int n) const = 0;
    // The table's rising half stretched over v[0 .. rise) and its falling half
    // over v[rise .. rise + fall): a grain whose two sides differ in length.
    virtual void apply(float* v, int rise, int fall) const = 0;
    virtual int size() const = 0;
    virtual const float* table() const = 0;
};

class CTaperizer : public CObject, public ITaperizer {
public:
    explicit CTaperizer(int n = 0);

    void build(int n) override;
    void apply(float* v, int n) const override;
    void apply(float* v, int rise, int fall) const override;
    int size() const override { return size_; }
    const float* table() const override { return table_.data(); }

    // Fixed windows, each multiplying v[0 .. n) in place.
    static void hamming(float* v, int n);
    static void threeTerm(float* v, int n);
    // Falls from 1 at frame b to 0 past the last frame; frames before b stay.
    static void fadeOut(float* v, int n, int b);
    // Zero outside, 1 in the middle half, Hann flanks of width x n / 2 around the
    // quarter points (0 < x <= 1).
    static void centredBand(float* v, int n, float x);
    // A Hann fade-in over the first fadeIn frames and a fade-out over the last fadeOut.
    static void edgeFades(float* v, int n, int fadeIn, int fadeOut);
    // Rising and falling halves of 0.5 + 0.5 cos(pi k / (n + 1)).
    static void risingHalf(float* v, int n);
    static void fallingHalf(float* v, int n);

private:
    std::vector<float> table_;
    int size_ = 0;
};

// The process-wide table of size 8192, built on first use; safe to call from
// any thread (the first call builds it, so call it before audio runs).
const CTaperizer& globalTaperizer();

} // namespace player
