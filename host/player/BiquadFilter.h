#pragma once

// A second-order section in direct form I for one or two interleaved channels,
// with analogue-prototype designs mapped by the bilinear transform
// s = 2 fs (z - 1) / (z + 1) (no prewarping: the caller prewarps).

namespace player {

class BiquadFilter {
public:
    virtual ~BiquadFilter() = default;

    // channels 1 or 2 (anything else counts as 2).
    virtual void setFormat(int channels, float sampleRate);
    virtual void reset();
    virtual void setCoefficients(double b0, double b1, double b2, double a1, double a2);
    // H(s) = (a s^2 + b s + c) / (d s^2 + e s + f).
    virtual void designBilinear(double a, double b, double c, double d, double e, double f);
    // H(s) = w^2 / (s^2 + k w s + w^2); w in radians per second, k = 1 / Q.
    virtual void designLowPass(double w, double k);
    // H(s) = s^2 / (s^2 + k w s + w^2).
    virtual void designHighPass(double w, double k);
    // H(s) = k w s / (s^2 + k w s + w^2).
    virtual void designBandPass(double w, double k);
    // H(s) = (p1 p2 / (z1 z2)) (s + z1)(s + z2) / ((s + p1)(s + p2)): unity at 0 Hz.
    virtual void designShelf(double z1, double z2, double p1, double p2);
    // frames interleaved frames; out may equal in.
    virtual void process(float* out, const float* in, int frames);
    // One frame (one or two samples).
    virtual void processFrame(float* out, const float* in);

    int channels() const { return channels_; }
    double b0() const { return b0_; }
    double b1() const { return b1_; }
    double b2() const { return b2_; }
    double a1() const { return a1_; }
    double a2() const { return a2_; }

private:
    struct History {
        double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    };
    double step(History& h, double x) const;

    int channels_ = 1;
    double fs_ = 44100.0;
    double b0_ = 1.0, b1_ = 0.0, b2_ = 0.0, a1_ = 0.0, a2_ = 0.0;
    History history_[2];
};

} // namespace player
