#pragma once

namespace dsp::Domain::ACF {

// A step applied to a spectrum in the real FFT's layout (element 0 the real value at frequency 0,
// element 1 the real value at N/2, elements 2k and 2k+1 bin k) between a forward and an inverse
// transform. The bins may be handed over in several ranges, so that the work can be spread over
// audio chunks; a frame is started once and finished once after all of its bins were processed.
class FFTProcessor {
public:
    virtual ~FFTProcessor() = default;

    virtual void setSize(int N) { size_ = N; }
    int getSize() const { return size_; }

    virtual void startFrame() {}
    // Bins [firstBin, endBin) of the frame, 0 <= firstBin <= endBin <= N/2. Bin 0 covers elements
    // 0 and 1 (frequency 0 and N/2).
    virtual void processBins(float* spectrum, int firstBin, int endBin) = 0;
    virtual void finishFrame(const float* spectrum) { (void)spectrum; }

protected:
    int size_ = 0;
};

// Replaces every bin by its magnitude with a zero imaginary part, so that the inverse transform
// gives a lag function (the autocorrelation of a spectrally flattened frame: the magnitude, not
// the power, keeps weak harmonics in the count). It also notes the spectrum's peak.
class FFTPrcACFer : public FFTProcessor {
public:
    void startFrame() override;
    void processBins(float* spectrum, int firstBin, int endBin) override;
    void finishFrame(const float* spectrum) override;

    // The largest bin of the last finished frame, refined by the parabola through it and its two
    // neighbours; 0.5 when the largest is bin 0 or 1, where no peak can be refined.
    float getPeakPosition() const { return peakPosition_; }

private:
    float peakMagnitude_ = 0.0f;
    int peakBin_ = 0;
    float peakPosition_ = 0.0f;
};

} // namespace dsp::Domain::ACF
