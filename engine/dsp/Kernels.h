#pragma once

#include <cstdint>

namespace utils {

// The small buffer kernels of the mixer effects (mixing, scaling, panning,
// conversion), reached through a table of function pointers so that the
// processor check can choose between two sets once: a plain set of loops over
// groups of four floats and an SSE set on four-lane vectors.
//
// Buffer contract. Counts are rounded up to a multiple of four, so every buffer
// must be padded to that many elements (a count of 5 touches 8); for the SSE set
// every buffer must also be 16-byte aligned. Debug builds assert both (padding
// through the address sanitizer, where it runs). Only addExact touches exactly
// its count. Stereo buffers are interleaved left/right.
//
// Counts: n counts the floats of each buffer where all buffers have one layout;
// frames counts the samples of the mono buffer where mono meets stereo (the
// stereo buffer then holds 2 x frames floats, padding included).
//
// Ramps: the gain of sample (or frame) i is g + i step, formed by one multiply
// rather than by repeated addition, so it does not drift over a long block and
// both sets give the same gains. The caller advances its own gain by
// step x count afterwards. channels is 1 (one gain per float) or 2 (one gain per
// interleaved frame).
//
// Kernels never allocate, lock or branch per sample; any thread may call them.
struct KernelTable {
    // d[2i] += s[2i] gL, d[2i+1] += s[2i+1] gR.
    void (*addStereoGains)(float* d, const float* s, std::uint32_t n, float gL, float gR);
    // d[i] += s[i] g_i.
    void (*addRamp)(float* d, const float* s, std::uint32_t n, float g, float step, int channels);
    // d[2i] += s[i] g_i, d[2i+1] += s[i] g_i.
    void (*addMonoToStereoRamp)(float* d, const float* s, std::uint32_t frames, float g,
                                float step);
    // d[2i] += (s[2i] g_i) gL, d[2i+1] += (s[2i+1] g_i) gR, one gain per frame.
    void (*addStereoRampPan)(float* d, const float* s, std::uint32_t n, float g, float step,
                             float gL, float gR);
    // d[2i] += (s[i] g_i) gL, d[2i+1] += (s[i] g_i) gR.
    void (*addMonoToStereoRampPan)(float* d, const float* s, std::uint32_t frames, float g,
                                   float step, float gL, float gR);
    // d[i] *= g_i.
    void (*scaleRamp)(float* d, std::uint32_t n, float g, float step, int channels);
    // d[2i] *= gL + i stepL, d[2i+1] *= gR + i stepR.
    void (*scaleStereoRamps)(float* d, std::uint32_t n, float gL, float stepL, float gR,
                             float stepR);
    // d[i] += s[i].
    void (*add)(float* d, const float* s, std::uint32_t n);
    // d[2i] += s[i], d[2i+1] += s[i].
    void (*addMonoToStereo)(float* d, const float* s, std::uint32_t frames);
    // d[2i] += s[i] gL, d[2i+1] += s[i] gR.
    void (*addMonoToStereoPan)(float* d, const float* s, std::uint32_t frames, float gL, float gR);
    // d[i] += (s[i] - d[i]) k.
    void (*moveToward)(float* d, const float* s, std::uint32_t n, float k);
    // d[i] = d[i] a + s[i] b.
    void (*blend)(float* d, const float* s, std::uint32_t n, float a, float b);
    // d[2i] *= gL, d[2i+1] *= gR.
    void (*scaleStereo)(float* d, std::uint32_t n, float gL, float gR);
    // d[2i] = s[2i] gL, d[2i+1] = s[2i+1] gR.
    void (*copyStereoGains)(float* d, const float* s, std::uint32_t n, float gL, float gR);
    // l[i] += s[2i] gL, r[i] += s[2i+1] gR.
    void (*splitStereoAdd)(float* l, float* r, const float* s, std::uint32_t frames, float gL,
                           float gR);
    // l[i] = s[2i] gL, r[i] = s[2i+1] gR.
    void (*splitStereo)(float* l, float* r, const float* s, std::uint32_t frames, float gL,
                        float gR);
    // d[2i] = s[2i] (gL / 32768), d[2i+1] = s[2i+1] (gR / 32768), s 32-bit integers.
    void (*intToFloatStereo)(float* d, const std::int32_t* s, std::uint32_t n, float gL, float gR);
    // d[i] = s[i] scale, s 32-bit integers.
    void (*intToFloat)(float* d, const std::int32_t* s, std::uint32_t n, float scale);
    // d[i] = a[i] - b[i].
    void (*difference)(float* d, const float* a, const float* b, std::uint32_t n);
    // d[i] = a[i] b[i].
    void (*product)(float* d, const float* a, const float* b, std::uint32_t n);
    // d[2i] = s[2i] g[i], d[2i+1] = s[2i+1] g[i].
    void (*stereoTimesGain)(float* d, const float* s, const float* g, std::uint32_t frames);
    // d[i] = 1 / (d[i] + 1).
    void (*reciprocal)(float* d, std::uint32_t n);
    // d[i] += s[i] for exactly n floats (groups of four, then the rest): the one
    // kernel for unpadded buffers. Always the plain routine.
    void (*addExact)(float* d, const float* s, std::uint32_t n);
};

// The two sets. Where the build has no SSE the SSE set is the plain one.
const KernelTable& plainKernels() noexcept;
const KernelTable& sseKernels() noexcept;

// The set the last initKernels installed (KernelDispatch.h); the plain set
// before any. Read it once per block: a later dispatch swaps the whole set at
// once, so a caller never sees half of one set and half of another.
const KernelTable& kernels() noexcept;

} // namespace utils
