#pragma once

namespace dsp::Domain::Pitch {

// One second-order section of the pitch detector, direct form I with float coefficients and a
// double state.
//
// The detector's high-pass sits at 4 Hz: its poles lie within about 3e-4 of z = 1 at 96 kHz, where
// a float state would feed rounding noise through a gain of some 1e5 into the signal as a slow
// baseline wander that moves the zero crossings. In double that noise is gone. The state is
// flushed to zero below 1e-30 so that a decaying tail never reaches the subnormal range (of
// doubles), which the software flush rule covers as well.
class PitchBiquad {
public:
    // H(s) = w^2 / (s^2 + (w / q) s + w^2) with w = 2 pi cornerHz, bilinear with c = 2 fs and no
    // prewarping.
    void designLowPass(double cornerHz, double q, double sampleRate);
    // H(s) = s^2 / (s^2 + (w / q) s + w^2), the same way.
    void designHighPass(double cornerHz, double q, double sampleRate);
    // Section `index` (0 .. order/2 - 1) of a Butterworth low-pass of even order, its corner
    // prewarped (w = 2 fs tan(pi f / fs)) so that the digital -3 dB point is exactly cornerHz.
    void designButterworthSection(int order, int index, double cornerHz, double sampleRate);

    void reset() { x1_ = x2_ = y1_ = y2_ = 0.0; }
    // Fills the state as if x had been the input for ever (the settled output for a DC gain g).
    void settle(double x);

    double step(double x)
    {
        double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        if (y < 1e-30 && y > -1e-30)
            y = 0.0;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

    double dcGain() const;

private:
    // Takes H(s) = (B0 + B1 s + B2 s^2) / (A0 + A1 s + A2 s^2) through the engine's bilinear
    // transform.
    void setFromS(float B0, float B1, float B2, float A0, float A1, float A2, double sampleRate);

    double b0_ = 1.0, b1_ = 0.0, b2_ = 0.0, a1_ = 0.0, a2_ = 0.0;
    double x1_ = 0.0, x2_ = 0.0, y1_ = 0.0, y2_ = 0.0;
};

} // namespace dsp::Domain::Pitch
