// The cabinet: its block routine against a uniformly partitioned FFT convolver over FFTW running
// the same responses, and its preparation against the literal one (every table transformed
// afresh, full spectral products, fresh allocations), which makes the same responses to the bit.
#include "BenchMain.h"

#include "engine/core/Environment.h"
#include "engine/core/Port.h"
#include "engine/dsp/Convolver.h"
#include "models/cabinet/CabinetBorvan.h"
#include "models/cabinet/ImpulseSets.h"
#include "tests/support/Signals.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using dsp::Domain::OldConvolvers::Convolver;
namespace kernels = dsp::Domain::OldConvolvers;
using Cabinet = CabinetBorvan<WooferSetTraits, TweeterSetTraits>;

constexpr std::uint32_t kPiece = 64;

using test::randomSignal;

class BenchEnvironment : public AudioEngine::Environment {
public:
    explicit BenchEnvironment(float rate) : rate_(rate) {}
    void setRate(float rate) { rate_ = rate; }
    std::int32_t getState() const override { return 0; }
    void setState(std::int32_t) override {}
    std::uint32_t getBlockCapacity() const override { return kPiece; }
    float getSampleRate() const override { return rate_; }
    std::int32_t getLatency() const override { return 0; }
    std::int32_t getOutputPolicy(const Module*) const override { return 0; }
    std::uint32_t getChunkSize() const override { return kPiece; }
    void structureChanged() override {}

private:
    float rate_;
};

// The cabinet the rig plays most: a woofer response of 2048 samples (WF212H near the axis, SM57,
// impedance curve) and the 256-sample tweeter at "TweeterLevel" 1.
struct CabinetRig {
    explicit CabinetRig(float rate) : environment(rate)
    {
        cabinet.build(&environment);
        cabinet.getInput("In").connect(&source);
        cabinet.resolveConnections();
        cabinet.bindPorts();
        cabinet.resetParametersToDefaults();
        cabinet.setParameter("CabModel", 13.0f);
        cabinet.setParameter("MicModel", 28.0f);
    }

    BenchEnvironment environment;
    OutputBuffered source{"Source", "", kPiece};
    Cabinet cabinet;
};

// Uniformly partitioned overlap-save convolution in 64-sample blocks (FFT size 128): the
// response in 64-sample partitions, a frequency-domain delay line of past input spectra, one
// forward and one inverse real FFT per block. No added latency at this block size.
class PartitionedConvolver {
public:
    explicit PartitionedConvolver(const std::vector<float>& impulse)
        : partitions_((impulse.size() + kPiece - 1) / kPiece), bins_(kPiece + 1),
          time_(fftwf_alloc_real(2 * kPiece)), spectrum_(fftwf_alloc_complex(bins_)),
          responses_(partitions_ * bins_), history_(partitions_ * bins_), window_(2 * kPiece, 0.0f)
    {
        forward_ = fftwf_plan_dft_r2c_1d(2 * kPiece, time_, spectrum_, FFTW_MEASURE);
        inverse_ = fftwf_plan_dft_c2r_1d(2 * kPiece, spectrum_, time_, FFTW_MEASURE);
        for (std::size_t p = 0; p < partitions_; ++p) {
            std::fill(time_, time_ + 2 * kPiece, 0.0f);
            for (std::size_t i = 0; i < kPiece && p * kPiece + i < impulse.size(); ++i)
                time_[i] = impulse[p * kPiece + i] / (2.0f * kPiece); // the inverse is unscaled
            fftwf_execute(forward_);
            for (std::size_t k = 0; k < bins_; ++k)
                responses_[p * bins_ + k] = {spectrum_[k][0], spectrum_[k][1]};
        }
    }
    ~PartitionedConvolver()
    {
        fftwf_destroy_plan(forward_);
        fftwf_destroy_plan(inverse_);
        fftwf_free(time_);
        fftwf_free(spectrum_);
    }

    void process(float* output, const float* input)
    {
        std::copy(window_.begin() + kPiece, window_.end(), window_.begin());
        std::copy(input, input + kPiece, window_.begin() + kPiece);
        std::copy(window_.begin(), window_.end(), time_);
        fftwf_execute(forward_);
        newest_ = (newest_ + partitions_ - 1) % partitions_;
        std::complex<float>* slot = &history_[newest_ * bins_];
        for (std::size_t k = 0; k < bins_; ++k)
            slot[k] = {spectrum_[k][0], spectrum_[k][1]};
        std::vector<std::complex<float>>& sum = sum_;
        sum.assign(bins_, {0.0f, 0.0f});
        for (std::size_t p = 0; p < partitions_; ++p) {
            const std::complex<float>* x = &history_[((newest_ + p) % partitions_) * bins_];
            const std::complex<float>* h = &responses_[p * bins_];
            for (std::size_t k = 0; k < bins_; ++k)
                sum[k] += x[k] * h[k];
        }
        for (std::size_t k = 0; k < bins_; ++k) {
            spectrum_[k][0] = sum[k].real();
            spectrum_[k][1] = sum[k].imag();
        }
        fftwf_execute(inverse_);
        std::copy(time_ + kPiece, time_ + 2 * kPiece, output);
    }

private:
    std::size_t partitions_;
    std::size_t bins_;
    float* time_;
    fftwf_complex* spectrum_;
    std::vector<std::complex<float>> responses_;
    std::vector<std::complex<float>> history_;
    std::vector<float> window_;
    std::vector<std::complex<float>> sum_ = std::vector<std::complex<float>>(kPiece + 1);
    std::size_t newest_ = 0;
    fftwf_plan forward_;
    fftwf_plan inverse_;
};

// One second of audio per iteration, in 64-sample pieces.
void setAudioCounters(benchmark::State& state, float rate)
{
    state.counters["x_realtime"] =
        benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(std::to_string(static_cast<int>(rate)) + " Hz");
}

void runCabinet(benchmark::State& state, kernels::ConvolverKernel kernel)
{
    const float rate = static_cast<float>(state.range(0));
    CabinetRig rig(rate);
    rig.cabinet.selectConvolverKernel(kernel);
    const std::vector<float> input = randomSignal(kPiece * 64, 3);
    const auto pieces = static_cast<std::size_t>(std::lround(rate / kPiece));
    for (auto _ : state) {
        for (std::size_t p = 0; p < pieces; ++p) {
            std::copy_n(input.data() + (p % 64) * kPiece, kPiece, rig.source.getBuffer());
            rig.cabinet.process();
        }
        benchmark::DoNotOptimize(rig.cabinet.getOutput("Out").getBuffer());
    }
    setAudioCounters(state, rate);
}

void BM_CabinetAvx(benchmark::State& state)
{
    if (!kernels::avxAvailable()) {
        state.SkipWithError("no AVX on this processor");
        return;
    }
    runCabinet(state, kernels::avxKernel);
}
void BM_CabinetSse(benchmark::State& state)
{
    runCabinet(state, kernels::sseKernel);
}
void BM_CabinetPlain(benchmark::State& state)
{
    runCabinet(state, kernels::plainKernel);
}

// The cabinet's woofer response plus 3.16 times its tweeter response, as one partitioned
// convolver; checked against the cabinet's own output before timing.
void BM_PartitionedFftw(benchmark::State& state)
{
    const float rate = static_cast<float>(state.range(0));
    CabinetRig rig(rate);
    const std::uint32_t wooferLength = rig.cabinet.getWooferSet().getResponseLength();
    std::vector<float> impulse(rig.cabinet.getWooferResponse(),
                               rig.cabinet.getWooferResponse() + wooferLength);
    for (std::uint32_t i = 0; i < TweeterSetTraits::kLength; ++i)
        impulse[i] += 3.16f * rig.cabinet.getTweeterResponse()[i];
    PartitionedConvolver convolver(impulse);

    const std::vector<float> input = randomSignal(kPiece * 64, 3);
    std::vector<float> out(kPiece);
    double error = 0.0, scale = 0.0;
    for (std::size_t p = 0; p < 64; ++p) {
        std::copy_n(input.data() + p * kPiece, kPiece, rig.source.getBuffer());
        rig.cabinet.process();
        convolver.process(out.data(), input.data() + p * kPiece);
        const float* expected = rig.cabinet.getOutput("Out").getBuffer();
        for (std::uint32_t i = 0; i < kPiece; ++i) {
            error = std::max(error, double(std::fabs(out[i] - expected[i])));
            scale = std::max(scale, double(std::fabs(expected[i])));
        }
    }
    if (error > 1e-4 * scale) {
        state.SkipWithError("the partitioned convolver does not play the cabinet's responses");
        return;
    }

    const auto pieces = static_cast<std::size_t>(std::lround(rate / kPiece));
    for (auto _ : state) {
        for (std::size_t p = 0; p < pieces; ++p)
            convolver.process(out.data(), input.data() + (p % 64) * kPiece);
        benchmark::DoNotOptimize(out.data());
    }
    setAudioCounters(state, rate);
}

BENCHMARK(BM_CabinetAvx)->Arg(44100)->Arg(96000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CabinetSse)->Arg(44100)->Arg(96000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CabinetPlain)->Arg(44100)->Arg(96000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PartitionedFftw)->Arg(44100)->Arg(96000)->Unit(benchmark::kMicrosecond);

// The budget is the second of audio each iteration plays.
BENCH_COMPARE(blockAvx44, "cabinet block routine AVX, 44100 Hz vs partitioned FFTW",
              "BM_CabinetAvx/44100", "BM_PartitionedFftw/44100", 1e9);
BENCH_COMPARE(blockSse44, "cabinet block routine SSE, 44100 Hz vs partitioned FFTW",
              "BM_CabinetSse/44100", "BM_PartitionedFftw/44100", 1e9);
BENCH_COMPARE(blockPlain44, "cabinet block routine plain, 44100 Hz vs partitioned FFTW",
              "BM_CabinetPlain/44100", "BM_PartitionedFftw/44100", 1e9);
BENCH_COMPARE(blockAvx96, "cabinet block routine AVX, 96000 Hz vs partitioned FFTW",
              "BM_CabinetAvx/96000", "BM_PartitionedFftw/96000", 1e9);
BENCH_COMPARE(blockSse96, "cabinet block routine SSE, 96000 Hz vs partitioned FFTW",
              "BM_CabinetSse/96000", "BM_PartitionedFftw/96000", 1e9);
BENCH_COMPARE(blockPlain96, "cabinet block routine plain, 96000 Hz vs partitioned FFTW",
              "BM_CabinetPlain/96000", "BM_PartitionedFftw/96000", 1e9);
BENCH_COMPARE(blockSseVsPlain44, "cabinet block routine SSE vs plain, 44100 Hz",
              "BM_CabinetSse/44100", "BM_CabinetPlain/44100");

// ---- Preparation.

// A set prepared the straightforward way: every table zero-padded into a fresh buffer
// and transformed, 55 transforms per preparation, the full products through resampleImpulse, the
// responses in a fresh allocation.
class LiteralSet {
public:
    explicit LiteralSet(const CabinetTables::Table* tables) : tables_(tables) {}

    void prepare(std::uint32_t L, float rate)
    {
        constexpr int N = ImpulseSetBase::kSpectrumLength;
        constexpr std::uint32_t C = 24, M = 6;
        length_ = L;
        responses_ =
            std::make_unique<float[]>(std::size_t(2) * C * M * std::max<std::uint32_t>(2, L));
        auto transform = [this](std::uint32_t entry) {
            std::vector<float> s(N, 0.0f);
            std::copy_n(tables_[entry].samples, CabinetTables::kTableLength, s.begin());
            Convolver::forwardTransform(s.data(), N);
            return s;
        };
        std::vector<std::vector<float>> microphones;
        for (std::uint32_t m = 0; m < M; ++m)
            microphones.push_back(transform(1 + C + m));
        std::vector<float> unit(N, 0.0f);
        unit[0] = 1.0f;
        Convolver::forwardTransform(unit.data(), N);
        for (std::uint32_t c = 0; c < C; ++c) {
            const std::vector<float> position = transform(1 + c);
            const std::vector<float> impedance = transform(1 + C + M + c / 4);
            for (int withUnit = 0; withUnit < 2; ++withUnit)
                for (std::uint32_t m = 0; m < M; ++m) {
                    const float* spectra[3] = {microphones[m].data(), position.data(),
                                               withUnit ? unit.data() : impedance.data()};
                    Convolver::resampleImpulse(spectra, 3, N, 44100.0f,
                                               response(2 * (M * c + m) + withUnit),
                                               static_cast<int>(L), rate);
                }
        }
    }

    float* response(std::uint32_t index)
    {
        return &responses_[std::size_t(index) * std::max<std::uint32_t>(2, length_)];
    }

private:
    const CabinetTables::Table* tables_;
    std::uint32_t length_ = 0;
    std::unique_ptr<float[]> responses_;
};

// Ours and the literal preparation make the same responses, to the bit; otherwise the
// comparison means nothing and the run stops.
void checkSameResponses()
{
    WooferModels::ImpulseSet ours;
    LiteralSet literal(CabinetTables::kWooferTables);
    for (const auto& [L, rate] :
         {std::pair{2048u, 44100.0f}, std::pair{1024u, 44100.0f}, std::pair{2048u, 48000.0f}}) {
        ours.prepare(L, rate);
        literal.prepare(L, rate);
        for (std::uint32_t index = 0; index < ours.getResponseCount(); ++index)
            if (std::memcmp(ours.getPreparedResponse(index), literal.response(index),
                            L * sizeof(float)) != 0) {
                std::fprintf(stderr, "CabinetBench: response %u differs at L %u, %g Hz\n", index, L,
                             rate);
                std::exit(1);
            }
    }
}

void BM_PointsChangeOurs(benchmark::State& state)
{
    static const bool checked = (checkSameResponses(), true);
    (void)checked;
    CabinetRig rig(44100.0f);
    for (auto _ : state) {
        rig.cabinet.setParameter("Points", 1024.0f);
        rig.cabinet.setParameter("Points", 2048.0f);
    }
}

void BM_PointsChangeLiteral(benchmark::State& state)
{
    LiteralSet woofer(CabinetTables::kWooferTables);
    Convolver convolver;
    for (auto _ : state) {
        for (std::uint32_t L : {1024u, 2048u}) {
            woofer.prepare(L, 44100.0f);
            convolver.setImpulse(woofer.response(0), static_cast<int>(L));
        }
    }
}

// Both sets prepared for 48000 Hz, as prepare does after a rate change to a rate the process has
// seen before: the responses of every length are already made and shared.
void BM_Prepare48kOurs(benchmark::State& state)
{
    CabinetRig rig(44100.0f);
    Cabinet& cabinet = rig.cabinet;
    for (auto _ : state) {
        state.PauseTiming();
        rig.environment.setRate(44100.0f);
        cabinet.update();
        rig.environment.setRate(48000.0f);
        state.ResumeTiming();
        cabinet.prepare();
    }
}

// Both sets at a rate the process has not seen: the responses of every length (1 .. 2048 for the
// woofer, 1 .. 256 for the tweeter) made once, as the first processor at a rate makes them. Each
// iteration takes a new rate and keeps its responses, so the run is short.
void BM_PrepareNewRateOurs(benchmark::State& state)
{
    float rate = 47000.0f;
    for (auto _ : state) {
        rate += 1.0f;
        WooferModels::ImpulseSet woofer;
        TweeterModels::ImpulseSet tweeter;
        woofer.prepare(2048, rate);
        tweeter.prepare(256, rate);
        benchmark::DoNotOptimize(woofer.getPreparedResponse(0));
    }
}

void BM_Prepare48kLiteral(benchmark::State& state)
{
    LiteralSet woofer(CabinetTables::kWooferTables), tweeter(CabinetTables::kTweeterTables);
    for (auto _ : state) {
        woofer.prepare(2048, 48000.0f);
        tweeter.prepare(256, 48000.0f);
    }
}

BENCHMARK(BM_PointsChangeOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointsChangeLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Prepare48kOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareNewRateOurs)->Iterations(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Prepare48kLiteral)->Unit(benchmark::kMillisecond);

BENCH_COMPARE(points, "Points 2048 -> 1024 -> 2048, ours vs literal preparation",
              "BM_PointsChangeOurs", "BM_PointsChangeLiteral");
BENCH_COMPARE(prepare48k,
              "prepare at 48000 Hz (both sets, a rate seen before), ours vs literal preparation",
              "BM_Prepare48kOurs", "BM_Prepare48kLiteral");
BENCH_COMPARE(prepareNewRate,
              "prepare at a new rate (both sets, every length), ours vs literal preparation of one",
              "BM_PrepareNewRateOurs/iterations:4", "BM_Prepare48kLiteral");

} // namespace
