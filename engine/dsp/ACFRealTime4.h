#pragma once

#include "engine/dsp/FFTPlan.h"
#include "engine/dsp/FFTPrcACFer.h"

#include <vector>

namespace dsp::Domain::ACF {

// Period detection by the lag function of a Hann-windowed frame of N samples (N the smallest power
// of two at least twice the longest period), computed as the inverse FFT of the frame's magnitude
// spectrum. Each frame yields a period (in samples, parabolically refined), a clarity (the weighted
// peak over the lag-0 value) and an energy (twice the lag-0 value).
//
// Frames are double-buffered: while one frame fills, the previous one is analysed step by step, in
// proportion to the fill, so that every chunk pays an even share:
//   fill  0     .. 7N/16   forward FFT (FFTPlan, advanced with the fill)
//         7N/16 .. 8N/16   magnitude step, bin by bin
//         8N/16 .. 15N/16  inverse FFT
//         15N/16 .. N      lag search
// A frame's result is published when the next frame is complete, N samples after its own end.
class ACFRealTime4 {
public:
    ACFRealTime4();

    // Off the audio thread: allocates. N from maxPeriod (at least 16); the lags searched run from
    // minLag to maxPeriod - 2. Starts with an empty frame and period 100, clarity 0, energy 0.
    void setup(int maxPeriod, int minLag);

    // Audio thread: feeds count samples. True when a new result was published during the call.
    bool process(const float* samples, int count);

    float getPeriod() const { return period_; }
    float getClarity() const { return clarity_; }
    float getEnergy() const { return energy_; }

    int getSize() const { return size_; }
    int getMinLag() const { return minLag_; }
    int getMaxLag() const { return maxLag_; }
    const FFTPrcACFer& getProcessor() const { return acfer_; }

    // The lag weight 1 / (0.5 (cos(2 pi k / (1.12 N)) + 1)): it undoes most of the decay that the
    // window's own lag function (0.5 (1 + cos(2 pi k / N))) puts on every peak, so that a long
    // period competes with its shorter multiples on equal terms; the factor 1.12 keeps a slight
    // preference for the shorter lag.
    static float lagWeight(int k, int N);

private:
    enum class Stage { Idle, Forward, Magnitude, Inverse, Search };

    // The frame just filled becomes the one analysed; the one analysed before is finished first.
    void completeFrame();
    // Runs the analysis as far as the fill position allows (N finishes it).
    void advance(int fill);
    void searchLags(int firstLag, int endLag);
    void publish();
    float weighted(int k) const { return work_[k] * lagWeights_[k]; }

    int size_ = 0;
    int minLag_ = 5;
    int maxLag_ = 0;
    int fill_ = 0;

    FFTPrcACFer acfer_;
    FFTPlan forward_;
    FFTPlan inverse_;
    std::vector<float> frameA_;
    std::vector<float> frameB_;
    float* filling_ = nullptr;  // windowed samples of the frame being filled
    float* work_ = nullptr;     // the frame analysed: spectrum, then lag function
    std::vector<float> window_; // Hann window scaled by 1/N
    std::vector<float> lagWeights_;

    Stage stage_ = Stage::Idle;
    int binsDone_ = 0;
    int nextLag_ = 0;
    float best_ = 0.0f;
    int bestLag_ = 0;
    bool published_ = false;

    float period_ = 100.0f;
    float clarity_ = 0.0f;
    float energy_ = 0.0f;
};

} // namespace dsp::Domain::ACF
