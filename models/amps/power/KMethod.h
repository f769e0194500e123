#pragma once

#include "engine/math/Curve2.h"
#include "engine/math/Matrix.h"
#include "engine/math/SplineCubicShear.h"
#include "models/amps/power/PowerCurve.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace AudioEngine::BorvanQom {

// Current through one rectifier diode at V volts across it (thermal voltage
// 0.026 V): forward Shockley law IS (exp(V / (N Vt)) - 1) minus the reverse
// breakdown IBV exp(-(BV + V) / Vt), which only wakes near -1000 V.
inline double rectifierDiodeCurrent(double v) noexcept
{
    constexpr double kIs = 2.55e-9, kN = 1.75, kBv = 1000.0, kIbv = 9.86e-5, kVt = 0.026;
    return kIs * (std::exp(v / (kN * kVt)) - 1.0) - kIbv * std::exp(-(kBv + v) / kVt);
}

// A string of Diodes equal diodes in series, sampled at 101 voltages over
// -Diodes .. +Diodes volts (one volt per diode each way): the string's current
// against the voltage across it, which splits evenly over the diodes.
template <int Diodes>
class DiodeStringCurve : public AudioMath::Curve2<AudioMath::Curve2Traits<float>> {
public:
    static constexpr int kPoints = 101;

    DiodeStringCurve()
    {
        resize(kPoints);
        const double width = 2.0 * Diodes;
        for (int k = 0; k < kPoints; ++k) {
            auto& point = (*this)[static_cast<std::size_t>(k)];
            point.x = static_cast<float>(k * width * 0.01 - Diodes);
            point.y =
                static_cast<float>(rectifierDiodeCurrent(static_cast<double>(point.x) / Diodes));
        }
    }
};

// A supply circuit as a continuous state-space model with N node voltages x,
// the input u = (mains after the variac, plate current drawn, screen current
// drawn) and the rectifier current i charging the first capacitor:
//   dx/dt = Ac x + Bc u + Cc i,   vd = Dc x + Ec u + Fc i,
// vd being the voltage across the diode string.
template <std::size_t N> struct SupplyModel {
    AudioMath::Matrix<float, N, N> ac;
    AudioMath::Matrix<float, N, 3> bc;
    AudioMath::Vector<float, N> cc;
    AudioMath::Matrix<float, 1, N> dc;
    AudioMath::Matrix<float, 1, 3> ec;
    AudioMath::Matrix<float, 1, 1> fc;
};

// Where a reset puts the solver: near the circuit's rest for the idle input.
template <std::size_t N> struct SupplyOperatingPoint {
    AudioMath::Vector<float, N> x;
    AudioMath::Vector<float, 3> u;
    float i;
};

// The supply solved per sample by the K-method. The linear part is
// discretised with the trapezoidal rule (bilinear transform, t = 2 fs):
//   H = (t I - Ac)^-1, Ad = H (t I + Ac), Bd = H Bc, Cd = H Cc,
//   x[n] = Ad x[n-1] + Bd (u[n] + u[n-1]) + Cd (i[n] + i[n-1]),
// so the diode voltage is vd = p + K i with p known before i and
// K = Dc Cd + Fc. The diode string's curve i = d(vd), sheared to i = g(p)
// (SplineCubicShearUniform), then gives i without iteration.
//
// The discretised matrices and the state are held in double. The slow nodes
// move by a few microvolts per sample (a 47 kohm / 47 uF branch at 44.1 kHz
// closes 5e-6 of its gap per sample), less than half a float step at 600 V:
// a float state would stall up to several volts short of its rest, by an
// amount that changes with the rate, and float matrices shift the rest itself
// (1 - Ad is formed from entries within 1e-5 of 1). In double the trapezoidal
// rule keeps the circuit's equilibrium at every rate.
//
// Circuit supplies: states (N), screenNode (the node the screens draw
// from), NonLinearity (the diode string's curve),
// model() (the continuous matrices, float constants) and operatingPoint().
//
// Construction allocates (the spline); step allocates nothing, divides
// nothing and never iterates.
template <class Circuit> class KMethodSolver {
public:
    static constexpr std::size_t N = Circuit::states;
    static constexpr std::size_t screenNode = Circuit::screenNode;
    using State = AudioMath::Vector<float, N>;
    using Input = AudioMath::Vector<float, 3>;
    using ExactState = AudioMath::Vector<double, N>;
    using NonLinearitySpline =
        AudioMath::SplineCubicShearUniformMatrix<typename Circuit::NonLinearity>;

    struct Result {
        State x; // node voltages
        float v; // voltage across the diode string
        float i; // rectifier current
    };

    // Discretises the circuit for fs and starts at the operating point. Call
    // off the audio thread.
    explicit KMethodSolver(float sampleRate) : KMethodSolver(discretise(sampleRate)) {}

    [[gnu::always_inline]] Result step(const Input& u) noexcept
    {
        AudioMath::Vector<double, 3> uNow, uSum;
        for (std::size_t c = 0; c < 3; ++c) {
            uNow[c] = static_cast<double>(u[c]);
            uSum[c] = uNow[c] + static_cast<double>(uPrev_[c]);
        }
        const ExactState w = ad_ * xPrev_ + bd_ * uSum + iPrev_ * cd_;
        // p = Dc w + Ec u with Dc taken into the products beforehand: the
        // state reaches p through one dot product instead of two in a row,
        // which shortens the sample-to-sample chain the step sits on.
        double p = pc_ * iPrev_;
        for (std::size_t c = 0; c < 3; ++c)
            p += pb_[c] * uSum[c] + ec_[c] * uNow[c];
        p += dot(pa_, xPrev_);
        const double i = static_cast<double>(evaluateLimited(nonlinearity_, static_cast<float>(p)));
        Result result;
        for (std::size_t r = 0; r < N; ++r) {
            xPrev_[r] = guardedBelow(w[r] + cd_[r] * i, guardLimit_);
            result.x[r] = static_cast<float>(xPrev_[r]);
        }
        result.v = static_cast<float>(p + k_ * i);
        result.i = static_cast<float>(i);
        uPrev_ = u;
        iPrev_ = i;
        return result;
    }

    // Onto the equilibrium the step keeps for ever for the constant input u:
    // the state, the previous input and the previous rectifier current of a
    // supply that has long been fed u. With x[n] = x[n-1] and i[n] = i[n-1],
    // the trapezoidal update reduces to the circuit's own DC solution,
    //   x = -Ac^-1 (Bc u + Cc i),
    // and the rectifier current is the one the step's own curve gives at that
    // state: i = g(p(i)), p = Dc (x - Cd i) + Ec u. p falls as i rises (more
    // charge, less voltage across the diodes) while g rises with p, so
    // g(p(i)) - i falls through zero once: bisection finds it. Bounded work
    // and no allocation: a reset may do it on the audio thread.
    void settle(const Input& u) noexcept
    {
        AudioMath::Vector<double, 3> uExact;
        for (std::size_t c = 0; c < 3; ++c)
            uExact[c] = static_cast<double>(u[c]);
        // x = xu + xi i, and p = pu + pi i.
        const ExactState xu = -1.0 * (acInverse_ * (bc_ * uExact));
        const ExactState xi = -1.0 * (acInverse_ * cc_);
        const double pu = (dc_ * xu)[0] + (ec_ * uExact)[0];
        const double pi = (dc_ * xi)[0] - (dc_ * cd_)[0];
        auto excess = [&](double i) {
            const double g = evaluateLimited(nonlinearity_, static_cast<float>(pu + pi * i));
            return g - i;
        };
        // The curve is limited, so its current is bounded and the root lies
        // between its extremes.
        double low = std::min(
            0.0, static_cast<double>(nonlinearity_.evaluateUniform(nonlinearity_.getXFirst())));
        double high = std::max(
            0.0, static_cast<double>(nonlinearity_.evaluateUniform(nonlinearity_.getXLast())));
        if (!(excess(low) >= 0.0))
            high = low;
        else if (!(excess(high) <= 0.0))
            low = high;
        for (int k = 0; k < 200 && low < high; ++k) {
            const double middle = 0.5 * (low + high);
            if (middle <= low || middle >= high)
                break;
            (excess(middle) > 0.0 ? low : high) = middle;
        }
        const double i = 0.5 * (low + high);
        for (std::size_t r = 0; r < N; ++r)
            xPrev_[r] = xu[r] + xi[r] * i;
        uPrev_ = u;
        iPrev_ = i;
        xGuard_ = State::filled(kGuard);
    }

    // Back to the operating point; the discretisation stays.
    void reset() noexcept
    {
        const SupplyOperatingPoint<N> op = Circuit::operatingPoint();
        for (std::size_t r = 0; r < N; ++r)
            xPrev_[r] = static_cast<double>(op.x[r]);
        uPrev_ = op.u;
        iPrev_ = static_cast<double>(op.i);
        xGuard_ = State::filled(kGuard);
    }

    // The denormal guard (x + guard) - guard in float: a state smaller than
    // half the float step at the guard (2^-84 for 1e-18) is swallowed by the
    // sum and becomes 0, so a decaying node never lingers near the subnormal
    // range; any other state passes unchanged, at its full precision.
    static double guarded(double x, float guard) noexcept
    {
        return (static_cast<float>(x) + guard) - guard == 0.0f ? 0.0 : x;
    }

    // The largest |x| that guarded(x, guard) swallows. The sum swallows x
    // exactly while |x| is at most a bound (rounding to float and adding are
    // both monotone, and symmetric about 0 for a guard that is no power of
    // two), so the bound is found once by halving over the bit patterns of
    // the doubles between 0 and the guard.
    static double swallowLimit(float guard) noexcept
    {
        std::uint64_t low = 0; // swallowed
        std::uint64_t high = std::bit_cast<std::uint64_t>(static_cast<double>(guard));
        while (high - low > 1) {
            const std::uint64_t middle = low + (high - low) / 2;
            (guarded(std::bit_cast<double>(middle), guard) == 0.0 ? low : high) = middle;
        }
        return std::bit_cast<double>(low);
    }

    // guarded(x, guard) for limit = swallowLimit(guard), to the bit: one
    // comparison instead of a round trip through float on the step's
    // sample-to-sample chain.
    static double guardedBelow(double x, double limit) noexcept
    {
        return std::fabs(x) <= limit ? 0.0 : x;
    }

    // True while every state is finite.
    bool isFinite() const noexcept
    {
        for (double v : xPrev_.data)
            if (!std::isfinite(v))
                return false;
        return true;
    }

    State getXPrev() const noexcept
    {
        State x;
        for (std::size_t r = 0; r < N; ++r)
            x[r] = static_cast<float>(xPrev_[r]);
        return x;
    }
    const ExactState& getExactXPrev() const noexcept { return xPrev_; }
    const Input& getUPrev() const noexcept { return uPrev_; }
    float getIPrev() const noexcept { return static_cast<float>(iPrev_); }
    const State& getXGuard() const noexcept { return xGuard_; }
    float getSampleRate() const noexcept { return sampleRate_; }
    float getK() const noexcept { return static_cast<float>(k_); }
    const AudioMath::Matrix<double, N, N>& getAd() const noexcept { return ad_; }
    const AudioMath::Matrix<double, N, 3>& getBd() const noexcept { return bd_; }
    const SupplyModel<N>& getModel() const noexcept { return model_; }
    const NonLinearitySpline& getNonLinearity() const noexcept { return nonlinearity_; }

private:
    // Every node's denormal guard.
    static constexpr float kGuard = 1e-18f;

    template <std::size_t R, std::size_t C>
    static AudioMath::Matrix<double, R, C> widened(const AudioMath::Matrix<float, R, C>& m) noexcept
    {
        AudioMath::Matrix<double, R, C> d;
        for (std::size_t k = 0; k < R * C; ++k)
            d.data[k] = static_cast<double>(m.data[k]);
        return d;
    }

    // A dot product as a pairwise sum, so its latency grows with log N.
    static double dot(const AudioMath::Matrix<double, 1, N>& a, const ExactState& x) noexcept
    {
        if constexpr (N == 4)
            return (a[0] * x[0] + a[1] * x[1]) + (a[2] * x[2] + a[3] * x[3]);
        else if constexpr (N == 2)
            return a[0] * x[0] + a[1] * x[1];
        else {
            double sum = 0.0;
            for (std::size_t r = 0; r < N; ++r)
                sum += a[r] * x[r];
            return sum;
        }
    }

    static AudioMath::Matrix<float, 1, 1> oneByOne(float value) noexcept
    {
        AudioMath::Matrix<float, 1, 1> m;
        m[0] = value;
        return m;
    }

    struct Discretisation {
        float sampleRate;
        SupplyModel<N> model;
        ExactState cd;
        AudioMath::Matrix<double, N, N> ad;
        AudioMath::Matrix<double, N, 3> bd;
        AudioMath::Matrix<double, N, N> acInverse;
        double k;
    };

    static Discretisation discretise(float sampleRate)
    {
        Discretisation d{};
        d.sampleRate = sampleRate;
        d.model = Circuit::model();
        const double t = 2.0 * static_cast<double>(sampleRate);
        const auto identity = AudioMath::Matrix<double, N, N>::identity();
        const auto ac = widened(d.model.ac);
        AudioMath::Matrix<double, N, N> h;
        // t I - Ac is never singular for a passive circuit at a positive rate.
        (void)AudioMath::invertGaussJordan(t * identity - ac, h);
        d.cd = h * widened(d.model.cc);
        d.ad = h * (t * identity + ac);
        d.bd = h * widened(d.model.bc);
        d.k = (widened(d.model.dc) * d.cd)[0] + static_cast<double>(d.model.fc[0]);
        // The bleeders tie every node to ground: Ac is never singular.
        (void)AudioMath::invertGaussJordan(ac, d.acInverse);
        return d;
    }

    explicit KMethodSolver(const Discretisation& d)
        : sampleRate_(d.sampleRate), model_(d.model), dc_(widened(d.model.dc)),
          ec_(widened(d.model.ec)), bc_(widened(d.model.bc)), cc_(widened(d.model.cc)), cd_(d.cd),
          ad_(d.ad), bd_(d.bd), acInverse_(d.acInverse), pa_(dc_ * d.ad), pb_(dc_ * d.bd),
          pc_((dc_ * d.cd)[0]), k_(d.k), nonlinearity_(oneByOne(static_cast<float>(d.k))),
          guardLimit_(swallowLimit(kGuard))
    {
        reset();
    }

    float sampleRate_;
    SupplyModel<N> model_;
    AudioMath::Matrix<double, 1, N> dc_;
    AudioMath::Matrix<double, 1, 3> ec_;
    AudioMath::Matrix<double, N, 3> bc_;
    ExactState cc_;
    ExactState cd_;
    AudioMath::Matrix<double, N, N> ad_;
    AudioMath::Matrix<double, N, 3> bd_;
    AudioMath::Matrix<double, N, N> acInverse_;
    AudioMath::Matrix<double, 1, N> pa_; // Dc Ad
    AudioMath::Matrix<double, 1, 3> pb_; // Dc Bd
    double pc_;                          // Dc Cd
    double k_;
    NonLinearitySpline nonlinearity_;
    double guardLimit_; // swallowLimit(kGuard)
    ExactState xPrev_{};
    Input uPrev_{};
    double iPrev_ = 0.0;
    State xGuard_{};
};

} // namespace AudioEngine::BorvanQom
