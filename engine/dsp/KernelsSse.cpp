// The SSE kernel set: the plain set's results on 16-byte aligned four-lane
// vectors, four groups of four floats to a loop turn. There is no explicit prefetch:
// every kernel streams forward through its buffers, which the hardware
// prefetchers of every SSE2 processor already follow, and a software prefetch
// only adds an instruction per group.
#include "engine/dsp/KernelChecks.h"
#include "engine/dsp/Kernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace utils {

#if defined(__SSE2__)
namespace {

using kernelChecks::padded;

void need(const void* p, std::uint32_t elements) noexcept
{
    kernelChecks::checkBuffer(p, std::size_t{elements} * 4u, true);
}

inline __m128 load(const float* p) noexcept
{
    return _mm_load_ps(p);
}
inline void store(float* p, __m128 v) noexcept
{
    _mm_store_ps(p, v);
}
inline __m128 pair(float left, float right) noexcept
{
    return _mm_setr_ps(left, right, left, right);
}
// g + i step, with the index i in float as the plain set forms it.
inline __m128 rampGain(__m128 g, __m128 index, __m128 step) noexcept
{
    return _mm_add_ps(g, _mm_mul_ps(index, step));
}

// Runs body(i) for i = 0, 4, 8 .. m - 4, four groups to a turn: one group per
// turn spends as many instructions on the loop as on the work. The index is
// full width: a 32-bit one costs an extension per address.
template <class Body> inline void groups(std::size_t m, Body body) noexcept
{
    std::size_t i = 0;
    for (; i + 16 <= m; i += 16) {
        body(i);
        body(i + 4);
        body(i + 8);
        body(i + 12);
    }
    for (; i < m; i += 4)
        body(i);
}

// As groups, for ramps: body(i, index) also gets each lane's ramp position,
// the float's own offset or, per frame, its frame. The positions are one
// converted base per turn plus constant lane offsets, all exact integers in
// float (below 2^24), so they equal the plain set's and no lane waits on the
// one before.
template <class Body> inline void rampGroups(std::size_t m, bool perFrame, Body body) noexcept
{
    const __m128 lanes =
        perFrame ? _mm_setr_ps(0.0f, 0.0f, 1.0f, 1.0f) : _mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f);
    const __m128 stride = _mm_set1_ps(perFrame ? 2.0f : 4.0f); // positions per group
    const __m128 lanes1 = _mm_add_ps(lanes, stride);
    const __m128 lanes2 = _mm_add_ps(lanes1, stride);
    const __m128 lanes3 = _mm_add_ps(lanes2, stride);
    const unsigned shift = perFrame ? 1u : 0u;
    std::size_t i = 0;
    for (; i + 16 <= m; i += 16) {
        const __m128 base = _mm_set1_ps(static_cast<float>(i >> shift));
        body(i, _mm_add_ps(base, lanes));
        body(i + 4, _mm_add_ps(base, lanes1));
        body(i + 8, _mm_add_ps(base, lanes2));
        body(i + 12, _mm_add_ps(base, lanes3));
    }
    for (; i < m; i += 4)
        body(i, _mm_add_ps(_mm_set1_ps(static_cast<float>(i >> shift)), lanes));
}

void addStereoGains(float* d, const float* s, std::uint32_t n, float gL, float gR)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    const __m128 g = pair(gL, gR);
    groups(m, [&](std::size_t i) {
        store(d + i, _mm_add_ps(load(d + i), _mm_mul_ps(load(s + i), g)));
    });
}

void addRamp(float* d, const float* s, std::uint32_t n, float g, float step, int channels)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    const __m128 g0 = _mm_set1_ps(g);
    const __m128 dg = _mm_set1_ps(step);
    rampGroups(m, channels == 2, [&](std::size_t i, __m128 index) {
        store(d + i, _mm_add_ps(load(d + i), _mm_mul_ps(load(s + i), rampGain(g0, index, dg))));
    });
}

void addMonoToStereoRamp(float* d, const float* s, std::uint32_t frames, float g, float step)
{
    const std::uint32_t m = padded(frames);
    need(d, 2 * m), need(s, m);
    const __m128 g0 = _mm_set1_ps(g);
    const __m128 dg = _mm_set1_ps(step);
    rampGroups(m, false, [&](std::size_t i, __m128 index) {
        const __m128 v = _mm_mul_ps(load(s + i), rampGain(g0, index, dg));
        float* out = d + 2 * i;
        store(out, _mm_add_ps(load(out), _mm_unpacklo_ps(v, v)));
        store(out + 4, _mm_add_ps(load(out + 4), _mm_unpackhi_ps(v, v)));
    });
}

void addStereoRampPan(float* d, const float* s, std::uint32_t n, float g, float step, float gL,
                      float gR)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    const __m128 g0 = _mm_set1_ps(g);
    const __m128 dg = _mm_set1_ps(step);
    const __m128 pan = pair(gL, gR);
    rampGroups(m, true, [&](std::size_t i, __m128 index) {
        const __m128 gain = rampGain(g0, index, dg);
        store(d + i, _mm_add_ps(load(d + i), _mm_mul_ps(_mm_mul_ps(load(s + i), gain), pan)));
    });
}

void addMonoToStereoRampPan(float* d, const float* s, std::uint32_t frames, float g, float step,
                            float gL, float gR)
{
    const std::uint32_t m = padded(frames);
    need(d, 2 * m), need(s, m);
    const __m128 g0 = _mm_set1_ps(g);
    const __m128 dg = _mm_set1_ps(step);
    const __m128 pan = pair(gL, gR);
    rampGroups(m, false, [&](std::size_t i, __m128 index) {
        const __m128 v = _mm_mul_ps(load(s + i), rampGain(g0, index, dg));
        float* out = d + 2 * i;
        store(out, _mm_add_ps(load(out), _mm_mul_ps(_mm_unpacklo_ps(v, v), pan)));
        store(out + 4, _mm_add_ps(load(out + 4), _mm_mul_ps(_mm_unpackhi_ps(v, v), pan)));
    });
}

void scaleRamp(float* d, std::uint32_t n, float g, float step, int channels)
{
    const std::uint32_t m = padded(n);
    need(d, m);
    const __m128 g0 = _mm_set1_ps(g);
    const __m128 dg = _mm_set1_ps(step);
    rampGroups(m, channels == 2, [&](std::size_t i, __m128 index) {
        store(d + i, _mm_mul_ps(load(d + i), rampGain(g0, index, dg)));
    });
}

void scaleStereoRamps(float* d, std::uint32_t n, float gL, float stepL, float gR, float stepR)
{
    const std::uint32_t m = padded(n);
    need(d, m);
    const __m128 g0 = pair(gL, gR);
    const __m128 dg = pair(stepL, stepR);
    rampGroups(m, true, [&](std::size_t i, __m128 index) {
        store(d + i, _mm_mul_ps(load(d + i), rampGain(g0, index, dg)));
    });
}

void add(float* d, const float* s, std::uint32_t n)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    groups(m, [&](std::size_t i) { store(d + i, _mm_add_ps(load(d + i), load(s + i))); });
}

void addMonoToStereo(float* d, const float* s, std::uint32_t frames)
{
    const std::uint32_t m = padded(frames);
    need(d, 2 * m), need(s, m);
    groups(m, [&](std::size_t i) {
        const __m128 v = load(s + i);
        float* out = d + 2 * i;
        store(out, _mm_add_ps(load(out), _mm_unpacklo_ps(v, v)));
        store(out + 4, _mm_add_ps(load(out + 4), _mm_unpackhi_ps(v, v)));
    });
}

void addMonoToStereoPan(float* d, const float* s, std::uint32_t frames, float gL, float gR)
{
    const std::uint32_t m = padded(frames);
    need(d, 2 * m), need(s, m);
    const __m128 pan = pair(gL, gR);
    groups(m, [&](std::size_t i) {
        const __m128 v = load(s + i);
        float* out = d + 2 * i;
        store(out, _mm_add_ps(load(out), _mm_mul_ps(_mm_unpacklo_ps(v, v), pan)));
        store(out + 4, _mm_add_ps(load(out + 4), _mm_mul_ps(_mm_unpackhi_ps(v, v), pan)));
    });
}

void moveToward(float* d, const float* s, std::uint32_t n, float k)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    const __m128 kk = _mm_set1_ps(k);
    groups(m, [&](std::size_t i) {
        const __m128 v = load(d + i);
        store(d + i, _mm_add_ps(v, _mm_mul_ps(_mm_sub_ps(load(s + i), v), kk)));
    });
}

void blend(float* d, const float* s, std::uint32_t n, float a, float b)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    const __m128 aa = _mm_set1_ps(a);
    const __m128 bb = _mm_set1_ps(b);
    groups(m, [&](std::size_t i) {
        store(d + i, _mm_add_ps(_mm_mul_ps(load(d + i), aa), _mm_mul_ps(load(s + i), bb)));
    });
}

void scaleStereo(float* d, std::uint32_t n, float gL, float gR)
{
    const std::uint32_t m = padded(n);
    need(d, m);
    const __m128 g = pair(gL, gR);
    groups(m, [&](std::size_t i) { store(d + i, _mm_mul_ps(load(d + i), g)); });
}

void copyStereoGains(float* d, const float* s, std::uint32_t n, float gL, float gR)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    const __m128 g = pair(gL, gR);
    groups(m, [&](std::size_t i) { store(d + i, _mm_mul_ps(load(s + i), g)); });
}

void splitStereoAdd(float* l, float* r, const float* s, std::uint32_t frames, float gL, float gR)
{
    const std::uint32_t m = padded(frames);
    need(l, m), need(r, m), need(s, 2 * m);
    const __m128 kl = _mm_set1_ps(gL);
    const __m128 kr = _mm_set1_ps(gR);
    groups(m, [&](std::size_t i) {
        const __m128 a = load(s + 2 * i);
        const __m128 b = load(s + 2 * i + 4);
        const __m128 left = _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 right = _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1));
        store(l + i, _mm_add_ps(load(l + i), _mm_mul_ps(left, kl)));
        store(r + i, _mm_add_ps(load(r + i), _mm_mul_ps(right, kr)));
    });
}

void splitStereo(float* l, float* r, const float* s, std::uint32_t frames, float gL, float gR)
{
    const std::uint32_t m = padded(frames);
    need(l, m), need(r, m), need(s, 2 * m);
    const __m128 kl = _mm_set1_ps(gL);
    const __m128 kr = _mm_set1_ps(gR);
    groups(m, [&](std::size_t i) {
        const __m128 a = load(s + 2 * i);
        const __m128 b = load(s + 2 * i + 4);
        store(l + i, _mm_mul_ps(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)), kl));
        store(r + i, _mm_mul_ps(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)), kr));
    });
}

void intToFloatStereo(float* d, const std::int32_t* s, std::uint32_t n, float gL, float gR)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    const __m128 g = _mm_mul_ps(pair(gL, gR), _mm_set1_ps(1.0f / 32768.0f));
    groups(m, [&](std::size_t i) {
        const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(s + i));
        store(d + i, _mm_mul_ps(_mm_cvtepi32_ps(v), g));
    });
}

void intToFloat(float* d, const std::int32_t* s, std::uint32_t n, float scale)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(s, m);
    const __m128 g = _mm_set1_ps(scale);
    groups(m, [&](std::size_t i) {
        const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(s + i));
        store(d + i, _mm_mul_ps(_mm_cvtepi32_ps(v), g));
    });
}

void difference(float* d, const float* a, const float* b, std::uint32_t n)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(a, m), need(b, m);
    groups(m, [&](std::size_t i) { store(d + i, _mm_sub_ps(load(a + i), load(b + i))); });
}

void product(float* d, const float* a, const float* b, std::uint32_t n)
{
    const std::uint32_t m = padded(n);
    need(d, m), need(a, m), need(b, m);
    groups(m, [&](std::size_t i) { store(d + i, _mm_mul_ps(load(a + i), load(b + i))); });
}

void stereoTimesGain(float* d, const float* s, const float* g, std::uint32_t frames)
{
    const std::uint32_t m = padded(frames);
    need(d, 2 * m), need(s, 2 * m), need(g, m);
    groups(m, [&](std::size_t i) {
        const __m128 gains = load(g + i);
        store(d + 2 * i, _mm_mul_ps(load(s + 2 * i), _mm_unpacklo_ps(gains, gains)));
        store(d + 2 * i + 4, _mm_mul_ps(load(s + 2 * i + 4), _mm_unpackhi_ps(gains, gains)));
    });
}

void reciprocal(float* d, std::uint32_t n)
{
    const std::uint32_t m = padded(n);
    need(d, m);
    // A true division, not the approximate reciprocal instruction, so that the
    // result is the plain set's to the last bit.
    const __m128 one = _mm_set1_ps(1.0f);
    groups(m, [&](std::size_t i) { store(d + i, _mm_div_ps(one, _mm_add_ps(load(d + i), one))); });
}

KernelTable makeSseTable() noexcept
{
    KernelTable table = plainKernels(); // addExact stays the plain routine
    table.addStereoGains = addStereoGains;
    table.addRamp = addRamp;
    table.addMonoToStereoRamp = addMonoToStereoRamp;
    table.addStereoRampPan = addStereoRampPan;
    table.addMonoToStereoRampPan = addMonoToStereoRampPan;
    table.scaleRamp = scaleRamp;
    table.scaleStereoRamps = scaleStereoRamps;
    table.add = add;
    table.addMonoToStereo = addMonoToStereo;
    table.addMonoToStereoPan = addMonoToStereoPan;
    table.moveToward = moveToward;
    table.blend = blend;
    table.scaleStereo = scaleStereo;
    table.copyStereoGains = copyStereoGains;
    table.splitStereoAdd = splitStereoAdd;
    table.splitStereo = splitStereo;
    table.intToFloatStereo = intToFloatStereo;
    table.intToFloat = intToFloat;
    table.difference = difference;
    table.product = product;
    table.stereoTimesGain = stereoTimesGain;
    table.reciprocal = reciprocal;
    return table;
}

} // namespace

const KernelTable& sseKernels() noexcept
{
    // Built on first use, so that it is ready even for a caller that runs
    // during another file's static initialisation.
    static const KernelTable table = makeSseTable();
    return table;
}

#else

const KernelTable& sseKernels() noexcept
{
    return plainKernels();
}

#endif

} // namespace utils
