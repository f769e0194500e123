// The plain kernel set: loops over the count rounded up to a multiple of four,
// written so that the compiler may vectorise them for whatever processor it
// targets. Every result is formed in the order Kernels.h gives, as the SSE set
// forms it, and ramp gains are g + i step in both, so the two sets give the same
// bits; the tests still allow them float rounding.
#include "engine/dsp/KernelChecks.h"
#include "engine/dsp/Kernels.h"

namespace utils {
namespace {

using kernelChecks::padded;

void need(const void* p, std::uint32_t elements) noexcept
{
    kernelChecks::checkBuffer(p, std::size_t{elements} * 4u, false);
}

// Gain of sample (or frame) i of a ramp.
inline float rampGain(float g, float step, std::uint32_t i) noexcept
{
    return g + static_cast<float>(i) * step;
}

void addStereoGains(float* d, const float* s, std::uint32_t n, float gL, float gR)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    for (std::uint32_t i = 0; i < m; i += 2) {
        d[i] += s[i] * gL;
        d[i + 1] += s[i + 1] * gR;
    }
}

void addRamp(float* d, const float* s, std::uint32_t n, float g, float step, int channels)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    const std::uint32_t shift = channels == 2 ? 1u : 0u;
    for (std::uint32_t i = 0; i < m; ++i)
        d[i] += s[i] * rampGain(g, step, i >> shift);
}

void addMonoToStereoRamp(float* d, const float* s, std::uint32_t frames, float g, float step)
{
    const std::uint32_t m = padded(frames);
    need(d, 2 * m), need(s, m);
    for (std::uint32_t i = 0; i < m; ++i) {
        const float v = s[i] * rampGain(g, step, i);
        d[2 * i] += v;
        d[2 * i + 1] += v;
    }
}

void addStereoRampPan(float* d, const float* s, std::uint32_t n, float g, float step, float gL,
                      float gR)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    for (std::uint32_t i = 0; i < m; i += 2) {
        const float gi = rampGain(g, step, i >> 1);
        d[i] += (s[i] * gi) * gL;
        d[i + 1] += (s[i + 1] * gi) * gR;
    }
}

void addMonoToStereoRampPan(float* d, const float* s, std::uint32_t frames, float g, float step,
                            float gL, float gR)
{
    const std::uint32_t m = padded(frames);
    need(d, 2 * m), need(s, m);
    for (std::uint32_t i = 0; i < m; ++i) {
        const float v = s[i] * rampGain(g, step, i);
        d[2 * i] += v * gL;
        d[2 * i + 1] += v * gR;
    }
}

void scaleRamp(float* d, std::uint32_t n, float g, float step, int channels)
{
    const std::uint32_t m = padded(n);
    need(d, m);
    const std::uint32_t shift = channels == 2 ? 1u : 0u;
    for (std::uint32_t i = 0; i < m; ++i)
        d[i] *= rampGain(g, step, i >> shift);
}

void scaleStereoRamps(float* d, std::uint32_t n, float gL, float stepL, float gR, float stepR)
{
    const std::uint32_t m = padded(n);
    need(d, m);
    for (std::uint32_t i = 0; i < m; i += 2) {
        d[i] *= rampGain(gL, stepL, i >> 1);
        d[i + 1] *= rampGain(gR, stepR, i >> 1);
    }
}

void add(float* d, const float* s, std::uint32_t n)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    for (std::uint32_t i = 0; i < m; ++i)
        d[i] += s[i];
}

void addMonoToStereo(float* d, const float* s, std::uint32_t frames)
{
    const std::uint32_t m = padded(frames);
    need(d, 2 * m), need(s, m);
    for (std::uint32_t i = 0; i < m; ++i) {
        d[2 * i] += s[i];
        d[2 * i + 1] += s[i];
    }
}

void addMonoToStereoPan(float* d, const float* s, std::uint32_t frames, float gL, float gR)
{
    const std::uint32_t m = padded(frames);
    need(d, 2 * m), need(s, m);
    for (std::uint32_t i = 0; i < m; ++i) {
        d[2 * i] += s[i] * gL;
        d[2 * i + 1] += s[i] * gR;
    }
}

void moveToward(float* d, const float* s, std::uint32_t n, float k)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    for (std::uint32_t i = 0; i < m; ++i)
        d[i] += (s[i] - d[i]) * k;
}

void blend(float* d, const float* s, std::uint32_t n, float a, float b)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    for (std::uint32_t i = 0; i < m; ++i)
        d[i] = d[i] * a + s[i] * b;
}

void scaleStereo(float* d, std::uint32_t n, float gL, float gR)
{
    const std::uint32_t m = padded(n);
    need(d, m);
    for (std::uint32_t i = 0; i < m; i += 2) {
        d[i] *= gL;
        d[i + 1] *= gR;
    }
}

void copyStereoGains(float* d, const float* s, std::uint32_t n, float gL, float gR)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    for (std::uint32_t i = 0; i < m; i += 2) {
        d[i] = s[i] * gL;
        d[i + 1] = s[i + 1] * gR;
    }
}

void splitStereoAdd(float* l, float* r, const float* s, std::uint32_t frames, float gL, float gR)
{
    const std::uint32_t m = padded(frames);
    need(l, m), need(r, m), need(s, 2 * m);
    for (std::uint32_t i = 0; i < m; ++i) {
        l[i] += s[2 * i] * gL;
        r[i] += s[2 * i + 1] * gR;
    }
}

void splitStereo(float* l, float* r, const float* s, std::uint32_t frames, float gL, float gR)
{
    const std::uint32_t m = padded(frames);
    need(l, m), need(r, m), need(s, 2 * m);
    for (std::uint32_t i = 0; i < m; ++i) {
        l[i] = s[2 * i] * gL;
        r[i] = s[2 * i + 1] * gR;
    }
}

void intToFloatStereo(float* d, const std::int32_t* s, std::uint32_t n, float gL, float gR)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    // Scaling by a power of two is exact, so the order of the two products
    // does not matter; this one matches the SSE set's.
    const float kL = gL * (1.0f / 32768.0f);
    const float kR = gR * (1.0f / 32768.0f);
    for (std::uint32_t i = 0; i < m; i += 2) {
        d[i] = static_cast<float>(s[i]) * kL;
        d[i + 1] = static_cast<float>(s[i + 1]) * kR;
    }
}

void intToFloat(float* d, const std::int32_t* s, std::uint32_t n, float scale)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    for (std::uint32_t i = 0; i < m; ++i)
        d[i] = static_cast<float>(s[i]) * scale;
}

void difference(float* d, const float* a, const float* b, std::uint32_t n)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(a, m), need(b, m);
    for (std::uint32_t i = 0; i < m; ++i)
        d[i] = a[i] - b[i];
}

void product(float* d, const float* a, const float* b, std::uint32_t n)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(a, m), need(b, m);
    for (std::uint32_t i = 0; i < m; ++i)
        d[i] = a[i] * b[i];
}

void stereoTimesGain(float* d, const float* s, const float* g, std::uint32_t frames)
{
    const std::uint32_t m = padded(frames);
    need(d, 2 * m), need(s, 2 * m), need(g, m);
    for (std::uint32_t i = 0; i < m; ++i) {
        d[2 * i] = s[2 * i] * g[i];
        d[2 * i + 1] = s[2 * i + 1] * g[i];
    }
}

void reciprocal(float* d, std::uint32_t n)
{
    const std::uint32_t m = padded(n);
    need(d, m);
    for (std::uint32_t i = 0; i < m; ++i)
        d[i] = 1.0f / (d[i] + 1.0f);
}

void addExact(float* d, const float* s, std::uint32_t n)
{
    need(d, n), need(s, n);
    const std::uint32_t groups = n & ~3u;
    std::uint32_t i = 0;
    for (; i < groups; i += 4) {
        d[i] += s[i];
        d[i + 1] += s[i + 1];
        d[i + 2] += s[i + 2];
        d[i + 3] += s[i + 3];
    }
    for (; i < n; ++i)
        d[i] += s[i];
}

constexpr KernelTable kPlain{
    addStereoGains,
    addRamp,
    addMonoToStereoRamp,
    addStereoRampPan,
    addMonoToStereoRampPan,
    scaleRamp,
    scaleStereoRamps,
    add,
    addMonoToStereo,
    addMonoToStereoPan,
    moveToward,
    blend,
    scaleStereo,
    copyStereoGains,
    splitStereoAdd,
    splitStereo,
    intToFloatStereo,
    intToFloat,
    difference,
    product,
    stereoTimesGain,
    reciprocal,
    addExact,
};

} // namespace

const KernelTable& plainKernels() noexcept
{
    return kPlain;
}

} // namespace utils
