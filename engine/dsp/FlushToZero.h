#pragma once

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

namespace dsp {

// Sets flush-to-zero and denormals-are-zero for the lifetime of the object and restores the
// previous mode after. Products of tiny impulse tails with the convolver's 1e-18 offset can still
// land in the subnormal range, and subnormal arithmetic costs many times the normal kind.
class ScopedFlushToZero {
public:
#if defined(__SSE__) || defined(_M_X64)
    ScopedFlushToZero() : saved(_mm_getcsr()) { _mm_setcsr(saved | kFlushBits); }
    ~ScopedFlushToZero() { _mm_setcsr(saved); }

private:
    static constexpr unsigned kFlushBits = 0x8040; // FTZ (bit 15) and DAZ (bit 6)
    unsigned saved;
#else
    ScopedFlushToZero() = default;
#endif

public:
    ScopedFlushToZero(const ScopedFlushToZero&) = delete;
    ScopedFlushToZero& operator=(const ScopedFlushToZero&) = delete;
};

} // namespace dsp
