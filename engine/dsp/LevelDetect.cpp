#include "engine/dsp/LevelDetect.h"

#include "engine/dsp/KernelDispatch.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace utils {
namespace {

// Written so that a NaN never wins: a comparison with NaN is false.
inline float larger(float held, float candidate) noexcept
{
    return candidate > held ? candidate : held;
}

} // namespace

void LevelDetect::setChannels(std::int32_t channels, float sampleRate)
{
    if (channels == 1 || channels == 2)
        channels_ = channels;
    sampleRate_ = sampleRate;
}

void LevelDetect::setMode(std::int32_t mode)
{
    if (mode == kPeak || mode == kRootSumSquare)
        mode_ = mode;
}

float LevelDetect::measure(const float* samples, std::int32_t frames, float* left, float* right)
{
    float l = 0.0f;
    float r = 0.0f;
    if (frames > 0)
        levels(samples, frames, l, r);
    if (left)
        *left = l;
    if (right)
        *right = r;
    return larger(l, r);
}

void LevelDetect::levels(const float* samples, std::int32_t frames, float& left, float& right) const
{
    const std::int32_t channels = channels_;
    float value[2] = {0.0f, 0.0f};
    for (std::int32_t f = 0; f < frames; ++f) {
        for (std::int32_t c = 0; c < channels; ++c) {
            const float x = samples[f * channels + c];
            if (mode_ == kPeak)
                value[c] = larger(value[c], std::fabs(x));
            else
                value[c] += x * x;
        }
    }
    if (mode_ == kRootSumSquare)
        for (float& v : value)
            v = std::sqrt(v);
    left = value[0];
    right = channels == 2 ? value[1] : value[0];
}

#if defined(__SSE2__)

void LevelDetectKATMAI::levels(const float* samples, std::int32_t frames, float& left,
                               float& right) const
{
    const std::int32_t channels = channels_;
    const std::int32_t count = frames * channels;
    const std::int32_t vectorEnd = count & ~3;
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    __m128 acc = _mm_setzero_ps();
    const bool peak = mode_ == kPeak;
    for (std::int32_t i = 0; i < vectorEnd; i += 4) {
        const __m128 x = _mm_loadu_ps(samples + i);
        // maxps answers its second operand when either is NaN: the held value.
        acc = peak ? _mm_max_ps(_mm_and_ps(x, magnitude), acc) : _mm_add_ps(acc, _mm_mul_ps(x, x));
    }
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, acc);
    // Lanes hold channel i % channels (the count of four keeps stereo pairs aligned).
    float value[2];
    if (peak) {
        value[0] = larger(lanes[0], lanes[2]);
        value[1] = larger(lanes[1], lanes[3]);
    } else {
        value[0] = lanes[0] + lanes[2];
        value[1] = lanes[1] + lanes[3];
    }
    if (channels == 1) {
        value[0] = peak ? larger(value[0], value[1]) : value[0] + value[1];
        value[1] = 0.0f;
    }
    for (std::int32_t i = vectorEnd; i < count; ++i) {
        const float x = samples[i];
        float& v = value[i % channels];
        v = peak ? larger(v, std::fabs(x)) : v + x * x;
    }
    if (!peak)
        for (float& v : value)
            v = std::sqrt(v);
    left = value[0];
    right = channels == 2 ? value[1] : value[0];
}

#else

void LevelDetectKATMAI::levels(const float* samples, std::int32_t frames, float& left,
                               float& right) const
{
    LevelDetect::levels(samples, frames, left, right);
}

#endif

std::unique_ptr<LevelDetect> createLevelDetector(std::uint32_t features)
{
    if (features & kFeatureSse)
        return std::make_unique<LevelDetectKATMAI>();
    return std::make_unique<LevelDetect>();
}

std::unique_ptr<LevelDetect> createLevelDetector()
{
    return createLevelDetector(getFeatures());
}

} // namespace utils
