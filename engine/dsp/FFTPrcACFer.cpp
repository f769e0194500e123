#include "engine/dsp/FFTPrcACFer.h"

#include <cmath>

namespace dsp::Domain::ACF {

void FFTPrcACFer::startFrame()
{
    peakMagnitude_ = -1.0f;
    peakBin_ = 0;
}

void FFTPrcACFer::processBins(float* spectrum, int firstBin, int endBin)
{
    int bin = firstBin;
    if (bin == 0 && endBin > 0) {
        // Bin 0 carries the two real terms; the one at N/2 is kept in place, never a candidate.
        spectrum[0] = std::fabs(spectrum[0]);
        spectrum[1] = std::fabs(spectrum[1]);
        if (spectrum[0] > peakMagnitude_) {
            peakMagnitude_ = spectrum[0];
            peakBin_ = 0;
        }
        bin = 1;
    }
    for (; bin < endBin; ++bin) {
        const double re = spectrum[2 * bin];
        const double im = spectrum[2 * bin + 1];
        // In double, so that no square overflows whatever the level.
        const float magnitude = static_cast<float>(std::sqrt(re * re + im * im));
        spectrum[2 * bin] = magnitude;
        spectrum[2 * bin + 1] = 0.0f;
        if (magnitude > peakMagnitude_) {
            peakMagnitude_ = magnitude;
            peakBin_ = bin;
        }
    }
}

void FFTPrcACFer::finishFrame(const float* spectrum)
{
    const int half = size_ / 2;
    const int k = peakBin_;
    if (k <= 1 || half < 4) {
        peakPosition_ = 0.5f;
        return;
    }
    const float left = spectrum[2 * (k - 1)];
    const float centre = spectrum[2 * k];
    const float right = k + 1 < half ? spectrum[2 * (k + 1)] : spectrum[1];
    const float curvature = left - 2.0f * centre + right;
    const float offset = curvature < 0.0f ? 0.5f * (left - right) / curvature : 0.0f;
    peakPosition_ = static_cast<float>(k) + offset;
}

} // namespace dsp::Domain::ACF
