#include "engine/dsp/RecurrenceFft.h"

#include <cmath>
#include <utility>

namespace dsp::fft {

void recurrenceComplexTransform(float* data, int n, int direction)
{
    const int floats = 2 * n;

    int j = 0;
    for (int i = 0; i < floats; i += 2) {
        if (j > i) {
            std::swap(data[j], data[i]);
            std::swap(data[j + 1], data[i + 1]);
        }
        int m = n;
        while (m >= 2 && j >= m) {
            j -= m;
            m >>= 1;
        }
        j += m;
    }

    // Stage half-lengths are counted in floats (mmax), as are the group strides.
    for (int mmax = 2; floats > mmax;) {
        const int step = mmax << 1;
        const double theta = direction * (6.28318530717959 / mmax);
        const double s = std::sin(0.5 * theta);
        const double wpr = -2.0 * s * s;
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (int m = 0; m < mmax; m += 2) {
            for (int i = m; i < floats; i += step) {
                const int k = i + mmax;
                const double tr = wr * data[k] - wi * data[k + 1];
                const double ti = wr * data[k + 1] + wi * data[k];
                data[k] = static_cast<float>(data[i] - tr);
                data[k + 1] = static_cast<float>(data[i + 1] - ti);
                data[i] = static_cast<float>(data[i] + tr);
                data[i + 1] = static_cast<float>(data[i + 1] + ti);
            }
            const double old = wr;
            wr = wr * wpr - wi * wpi + wr;
            wi = wi * wpr + old * wpi + wi;
        }
        mmax = step;
    }
}

void recurrenceSplitStep(float* data, int N, int direction)
{
    const double theta = (direction == 1 ? 1.0 : -1.0) * (3.141592653589793 / (N >> 1));
    const float c1 = 0.5f;
    const float c2 = direction == 1 ? -0.5f : 0.5f;
    const double s = std::sin(0.5 * theta);
    const double wpr = -2.0 * s * s;
    const double wpi = std::sin(theta);
    double wr = 1.0 + wpr;
    double wi = wpi;
    for (int k = 1; k < N / 4; ++k) {
        float* lo = data + 2 * k;
        float* hi = data + N - 2 * k;
        const float h1r = c1 * (lo[0] + hi[0]);
        const float h1i = c1 * (lo[1] - hi[1]);
        const float h2r = -c2 * (lo[1] + hi[1]);
        const float h2i = c2 * (lo[0] - hi[0]);
        lo[0] = static_cast<float>(h1r + wr * h2r - wi * h2i);
        lo[1] = static_cast<float>(h1i + wr * h2i + wi * h2r);
        hi[0] = static_cast<float>(h1r - wr * h2r + wi * h2i);
        hi[1] = static_cast<float>(-h1i + wr * h2i + wi * h2r);
        const double old = wr;
        wr = wr * wpr - wi * wpi + wr;
        wi = wi * wpr + old * wpi + wi;
    }
}

void recurrenceRealTransform(float* data, int N, int direction)
{
    if (direction == 1) {
        recurrenceComplexTransform(data, N / 2, 1);
        recurrenceSplitStep(data, N, 1);
        const float h = data[0];
        data[0] = h + data[1];
        data[1] = h - data[1];
    } else {
        recurrenceSplitStep(data, N, -1);
        const float h = data[0];
        data[0] = 0.5f * (h + data[1]);
        data[1] = 0.5f * (h - data[1]);
        recurrenceComplexTransform(data, N / 2, -1);
    }
}

} // namespace dsp::fft
