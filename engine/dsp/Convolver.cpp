#include "engine/dsp/Convolver.h"

#include "engine/core/Denormal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace dsp::Domain::OldConvolvers {
namespace {

// Silence enters the kernels as the 1e-18 offset; impulse samples below this magnitude would make
// subnormal products with it (and cost far more than sound does). At -380 dB they are inaudible,
// so they are dropped when the impulse is set.
constexpr float kNegligibleSample = 1e-19f;

} // namespace

Convolver::Convolver()
{
    std::vector<float> unit(1024, 0.0f);
    unit[0] = 1.0f;
    setImpulse(unit.data(), static_cast<int>(unit.size()));
}

Convolver::~Convolver()
{
    freeSegments();
}

float* Convolver::allocateAligned(int n, int alignment)
{
    alignment = std::max(alignment, 4);
    float* raw = new float[static_cast<size_t>(std::max(n, 0)) + alignment / 4];
    blocks_.push_back(raw);
    const auto address = reinterpret_cast<std::uintptr_t>(raw);
    const auto mask = static_cast<std::uintptr_t>(alignment) - 1;
    return raw + ((alignment - (address & mask)) & mask) / sizeof(float);
}

void Convolver::freeSegments()
{
    for (float* block : blocks_)
        delete[] block;
    blocks_.clear();
    std::fill(std::begin(impulseCopies_), std::end(impulseCopies_), nullptr);
    padded_ = nullptr;
    accumulator_ = nullptr;
    reservedLength_ = 0;
}

void Convolver::allocateFor(int longest)
{
    freeSegments();
    for (int k = 0; k < 4; ++k)
        impulseCopies_[k] = allocateAligned((k + longest + 3) / 4 * 4, 16);
    padded_ = allocateAligned(longest + 6, 64);
    accumulator_ = allocateAligned(longest + blockCapacity_ + 3, 16);
    reservedLength_ = longest;
}

void Convolver::reserve(int longest)
{
    if (longest <= reservedLength_)
        return;
    std::vector<float> impulse;
    if (impulseCopies_[0] != nullptr) // not after freeSegments
        impulse.assign(impulseCopies_[0], impulseCopies_[0] + impulseLength_);
    allocateFor(longest);
    setImpulse(impulse.data(), static_cast<int>(impulse.size()));
}

void Convolver::setImpulse(const float* impulse, int L)
{
    static const float silence = 0.0f;
    if (impulse == nullptr || L < 1) {
        impulse = &silence;
        L = 1;
    }
    if (L > reservedLength_)
        allocateFor(L);
    for (int k = 0; k < 4; ++k) {
        const int length = (k + L + 3) / 4 * 4;
        float* copy = impulseCopies_[k];
        std::fill(copy, copy + length, 0.0f);
        for (int i = 0; i < L; ++i)
            copy[k + i] = std::fabs(impulse[i]) < kNegligibleSample ? 0.0f : impulse[i];
    }
    std::fill(padded_, padded_ + L + 6, 0.0f);
    std::copy(impulseCopies_[0], impulseCopies_[0] + L, padded_ + 3);
    impulseLength_ = L;
    accLength_ = L + blockCapacity_;
    std::fill(accumulator_, accumulator_ + accLength_ + 3, 0.0f);
    position_ = 0;
}

void Convolver::selectProcessRoutine(bool useSse)
{
    kernel_ = useSse ? vectorKernel() : plainKernel;
}

void Convolver::process(float* output, const float* input, int n)
{
    // The accumulator holds blockCapacity_ samples beyond the impulse: a longer block would let
    // its last inputs wrap onto outputs not yet read, so it runs as several blocks.
    while (n > 0) {
        const int run = std::min(n, blockCapacity_);
        processRun(output, input, run);
        output += run;
        input += run;
        n -= run;
    }
}

void Convolver::accumulateFour(const float* input, int p)
{
    const float x[4] = {input[0] + 1e-18f, input[1] + 1e-18f, input[2] + 1e-18f, input[3] + 1e-18f};
    // Sample k adds impulse[t - k] at position p + t: positions p .. p + L + 2 in all, the part
    // past the accumulator's end wrapping to index 0.
    const float* impulse = padded_ + 3;
    const int total = impulseLength_ + 3;
    const int first = std::min(total, accLength_ - p);
    avx512Kernel4(accumulator_ + p, impulse, first, x);
    if (first < total)
        avx512Kernel4(accumulator_, impulse + first, total - first, x);
}

void Convolver::processRun(float* output, const float* input, int n)
{
    const int L = impulseLength_;
    const int accLength = accLength_;
    float* const acc = accumulator_;
    const ConvolverKernel kernel = kernel_;

    int p = position_;
    int j = 0;
    // Where the processor has AVX-512, four input samples at a time: the accumulator is read and
    // written once for the four, which is what bounds the one-sample kernel. The sums are the same
    // to the bit (see avx512Kernel4).
    if (kernel == avx512Kernel && avx512Available()) {
        for (; j + 4 <= n; j += 4) {
            accumulateFour(input + j, p);
            p += 4;
            if (p >= accLength)
                p -= accLength;
        }
    }
    for (; j < n; ++j) {
        const float x = input[j] + 1e-18f;
        const int k = p & 3;
        // The part of the impulse that fits before the end of the accumulator, from p on in
        // aligned groups of four: copy k starts with k zeros, so acc + p - k is aligned. Lanes
        // past the end land in the three spare floats, which are never read.
        const int v = std::min(L, accLength - p);
        kernel(acc + p - k, impulseCopies_[k], (v + k - 1) / 4 * 4 + 4, x);
        // The rest wraps to index 0. Impulse sample v must sit on an aligned index of the copy:
        // copy c holds it at v + c, aligned for c = (-v) mod 4, whatever L is.
        const int r = L - v;
        if (r > 0) {
            const int c = (-v) & 3;
            kernel(acc, impulseCopies_[c] + v + c, (r - 1) / 4 * 4 + 4, x);
        }
        if (++p == accLength)
            p = 0;
    }

    p = position_;
    for (int j = 0; j < n; ++j) {
        output[j] = AudioEngine::flushedDenormal(acc[p]);
        acc[p] = 0.0f;
        if (++p == accLength)
            p = 0;
    }
    position_ = p;
}

} // namespace dsp::Domain::OldConvolvers
