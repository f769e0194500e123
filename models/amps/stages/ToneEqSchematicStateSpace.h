#pragma once

#include "engine/math/SampleFlush.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace AudioEngine::CX1 {

// What the state-space tone stacks compute in: double precision throughout.
struct ToneEqSchematicTraits {
    using Value = double;
};

// A linear circuit of N capacitors as a continuous-time state-space model
//   dx/dt = A x + B u,  y = C x + D u
// (x the capacitor voltages), run as its bilinear discretisation with K = 2 fs:
//   x[n] = Ad x[n-1] + Bd (u[n] + u[n-1]),  y[n] = C x[n] + D u[n],
//   Ad = (K I - A)^-1 (K I + A),  Bd = (K I - A)^-1 B,
// whose transfer function is exactly H(s) = C (sI - A)^-1 B + D at
// s = K (z - 1) / (z + 1).
//
// A schematic derives from this, maps the knobs to circuit quantities
// (mapControls) and fills A, B, C, D from its components (computeModel). All
// model work runs outside the sample loop, allocates nothing and may run on
// the audio thread on every knob step.
//
// Per sample a dither of +-1e-20 rides on the input so the recursion never
// decays into subnormal numbers; the generator is the linear congruential
// s = 1103515245 s + 12345 (mod 2^32) with the low 30 bits as the random value.
// Its state belongs to the instance: two tone stacks on two audio threads
// share nothing.
template <class Traits, int N> class ToneEqSchematicStateSpace {
public:
    using Value = typename Traits::Value;
    using Matrix = std::array<std::array<Value, N>, N>;
    using Vector = std::array<Value, N>;

    static constexpr int order = N;

    explicit ToneEqSchematicStateSpace(Value outputGain) : gain_(outputGain) {}
    ToneEqSchematicStateSpace(const ToneEqSchematicStateSpace&) = default;
    ToneEqSchematicStateSpace& operator=(const ToneEqSchematicStateSpace&) = default;
    virtual ~ToneEqSchematicStateSpace() = default;

    // Turns the knob values (0 .. 1) into the quantities computeModel takes.
    virtual void mapControls(Value& bass, Value& mid, Value& treble) const = 0;

    // Runs n samples from in to out (which may be the same buffer).
    virtual void process(const float* in, float* out, std::uint32_t n) noexcept
    {
        Vector x = x_;
        Value previous = uPrevious_;
        std::uint32_t seed = dither_;
        Value y = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            seed = seed * 1103515245u + 12345u;
            const Value r = static_cast<Value>(seed & 0x3FFFFFFFu) * 0x1p-29;
            // A NaN or infinite sample is taken as silence, so it cannot stay in x.
            const Value u = static_cast<Value>(AudioMath::flushedSample(in[i])) + 1e-20 * (r - 1.0);
            const Value sum = u + previous;
            // The recursion through x is the critical path of the loop: the
            // loops over the state are unrolled at any optimisation level so
            // that x stays in registers, and the products are summed pairwise,
            // which halves the depth of the additions.
            Vector next;
#pragma GCC unroll 8
            for (int k = 0; k < N; ++k) {
                Vector p;
#pragma GCC unroll 8
                for (int j = 0; j < N; ++j)
                    p[j] = ad_[k][j] * x[j];
                next[k] = flushed(bd_[k] * sum + pairwise<0, N>(p));
            }
            x = next;
            Vector p;
#pragma GCC unroll 8
            for (int k = 0; k < N; ++k)
                p[k] = c_[k] * x[k];
            y = flushed(d_ * u + pairwise<0, N>(p));
            previous = u;
            out[i] = AudioMath::flushedSample(static_cast<float>(gain_ * y));
        }
        x_ = x;
        uPrevious_ = previous;
        output_ = y;
        dither_ = seed;
    }

    // Fills A, B, C and D for the mapped controls at the rate fs.
    virtual void computeModel(Value bass, Value mid, Value treble, Value fs) = 0;

    // Ad and Bd from A and B for the rate fs. A rate that is not a positive
    // number, or a model whose K I - A cannot be inverted (or gives non-finite
    // values), leaves the previous discrete model in place.
    virtual void discretise(Value fs)
    {
        if (!(fs > 0.0) || !std::isfinite(fs))
            return;
        const Value k = 2.0 * fs;
        // Gauss-Jordan on [K I - A | K I + A | B] with partial pivoting.
        std::array<std::array<Value, 2 * N + 1>, N> m{};
        for (int r = 0; r < N; ++r) {
            for (int j = 0; j < N; ++j) {
                const Value diagonal = r == j ? k : 0.0;
                m[r][j] = diagonal - a_[r][j];
                m[r][N + j] = diagonal + a_[r][j];
            }
            m[r][2 * N] = b_[r];
        }
        for (int col = 0; col < N; ++col) {
            int pivot = col;
            for (int r = col + 1; r < N; ++r)
                if (std::fabs(m[r][col]) > std::fabs(m[pivot][col]))
                    pivot = r;
            if (!(std::fabs(m[pivot][col]) > 0.0))
                return;
            std::swap(m[col], m[pivot]);
            const Value inverse = 1.0 / m[col][col];
            for (auto& v : m[col])
                v *= inverse;
            for (int r = 0; r < N; ++r) {
                if (r == col)
                    continue;
                const Value factor = m[r][col];
                if (factor == 0.0)
                    continue;
                for (int j = 0; j < 2 * N + 1; ++j)
                    m[r][j] -= factor * m[col][j];
            }
        }
        Matrix ad;
        Vector bd;
        for (int r = 0; r < N; ++r) {
            for (int j = 0; j < N; ++j) {
                ad[r][j] = m[r][N + j];
                if (!std::isfinite(ad[r][j]))
                    return;
            }
            bd[r] = m[r][2 * N];
            if (!std::isfinite(bd[r]))
                return;
        }
        ad_ = ad;
        bd_ = bd;
    }

    // Clears the capacitor voltages and the input history.
    void reset() noexcept
    {
        x_ = Vector{};
        uPrevious_ = 0;
        output_ = 0;
    }

    const Matrix& getA() const noexcept
    {
        return a_;
    }
    const Vector& getB() const noexcept
    {
        return b_;
    }
    const Vector& getC() const noexcept
    {
        return c_;
    }
    Value getD() const noexcept
    {
        return d_;
    }
    const Matrix& getAd() const noexcept
    {
        return ad_;
    }
    const Vector& getBd() const noexcept
    {
        return bd_;
    }
    const Vector& getState() const noexcept
    {
        return x_;
    }
    Value getOutput() const noexcept
    {
        return output_;
    }
    Value getOutputGain() const noexcept
    {
        return gain_;
    }

protected:
    // p[Lo] + .. + p[Hi - 1], halves first.
    template <int Lo, int Hi> static Value pairwise(const Vector& p) noexcept
    {
        if constexpr (Hi - Lo == 1)
            return p[Lo];
        else
            return pairwise<Lo, (Lo + Hi) / 2>(p) + pairwise<(Lo + Hi) / 2, Hi>(p);
    }

    // +0 for a zero or subnormal double, so the state never decays through the
    // slow subnormal range.
    static Value flushed(Value v) noexcept
    {
        return std::fabs(v) < std::numeric_limits<Value>::min() ? 0.0 : v;
    }

    Matrix a_{};
    Vector b_{};
    Vector c_{};
    Value d_ = 0;
    Matrix ad_{};
    Vector bd_{};

private:
    Vector x_{};
    Value uPrevious_ = 0;
    Value output_ = 0;
    Value gain_;
    std::uint32_t dither_ = 0;
};

} // namespace AudioEngine::CX1
