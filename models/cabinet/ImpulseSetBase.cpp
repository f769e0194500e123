#include "models/cabinet/ImpulseSetBase.h"

#include "engine/dsp/Convolver.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

namespace AudioEngine::BorvanQom {
namespace {

using dsp::Domain::OldConvolvers::Convolver;

constexpr std::uint32_t N = ImpulseSetBase::kSpectrumLength;
// Shape of every set: "Flat", then positions, microphones and impedance curves.
constexpr std::uint32_t kPositions = 24;
constexpr std::uint32_t kMicrophones = 6;
constexpr std::uint32_t kImpedances = 6;

// Forward transforms of the stored tables, made once per process and never changed: sets built on
// any thread share them. Keyed by the table's storage, so that tables stored once are transformed
// once. Only construction takes the lock; preparation reads the spectra through pointers.
struct SharedSpectra {
    std::mutex mutex;
    std::map<const float*, std::vector<float>> spectra; // nodes never move
    std::atomic<std::uint64_t> transforms{0};
};

SharedSpectra& sharedSpectra()
{
    static SharedSpectra shared;
    return shared;
}

const float* spectrumOf(const float* table)
{
    SharedSpectra& shared = sharedSpectra();
    std::lock_guard lock(shared.mutex);
    auto [it, inserted] = shared.spectra.try_emplace(table);
    if (inserted) {
        it->second.assign(N, 0.0f);
        std::copy(table, table + CabinetTables::kTableLength, it->second.begin());
        Convolver::forwardTransform(it->second.data(), static_cast<int>(N));
        shared.transforms.fetch_add(1, std::memory_order_relaxed);
    }
    return it->second.data();
}

ImpulseSetBase::Kind kindOf(std::uint32_t index)
{
    if (index == 0)
        return ImpulseSetBase::Kind::None;
    if (index <= kPositions)
        return ImpulseSetBase::Kind::Position;
    if (index <= kPositions + kMicrophones)
        return ImpulseSetBase::Kind::Microphone;
    return ImpulseSetBase::Kind::Impedance;
}

std::uint32_t strideFor(std::uint32_t length)
{
    return std::max<std::uint32_t>(4, (length + 3) / 4 * 4);
}

} // namespace

// The responses of every length L = 1, 2, 4 .. longest for one rate, each length's 2 C M responses
// stride(L) floats apart from offset[log2 L] on; never changed once made.
struct ImpulseSetBase::Prepared {
    std::vector<float> samples;
    std::vector<std::size_t> offsets;
};

// What making responses needs besides the spectra: the product at the bins read, the bins, and
// one response being transformed back. Only the maker of a rate's responses has one, under the
// lock, for the time it takes.
struct ImpulseSetBase::Scratch {
    std::vector<float> product;
    std::vector<float> output;
    std::vector<std::uint32_t> bins;
    std::uint32_t binCount = 0;
};

namespace {

// Every rate's responses made in this process, by tables, longest length and rate. Entries stay
// for the life of the process, as the spectra do: a host uses few rates, and a processor made
// later at one of them then makes nothing. Only preparations at a new rate take the lock.
struct SharedResponses {
    using Key = std::tuple<const CabinetTables::Table*, std::uint32_t, double>;
    std::mutex mutex;
    std::map<Key, std::shared_ptr<const ImpulseSetBase::Prepared>> rates;
    std::atomic<std::uint64_t> syntheses{0};
};

SharedResponses& sharedResponses()
{
    static SharedResponses shared;
    return shared;
}

// What getPreparedResponse reads before any preparation: zeros, four per response.
const float* silentResponses(std::uint32_t count)
{
    static const std::vector<float> zeros(std::size_t(2) * kPositions * kMicrophones * 4, 0.0f);
    return count * 4 <= zeros.size() ? zeros.data() : nullptr;
}

} // namespace

std::uint64_t ImpulseSetBase::getForwardTransformCount() noexcept
{
    return sharedSpectra().transforms.load(std::memory_order_relaxed);
}

std::uint64_t ImpulseSetBase::getSynthesisCount() noexcept
{
    return sharedResponses().syntheses.load(std::memory_order_relaxed);
}

ImpulseSetBase::ImpulseSetBase(const CabinetTables::Table* tables, std::uint32_t longestLength)
    : tables_(tables), longestLength_(std::max<std::uint32_t>(1, std::bit_floor(longestLength))),
      responses_(nullptr)
{
    for (std::uint32_t i = 0; i < CabinetTables::kEntryCount; ++i)
        addEntry(tables[i], kindOf(i));

    const std::uint32_t C = positions_, M = microphones_;
    for (std::uint32_t c = 0; c < C; ++c)
        positionSpectra_.push_back(spectrumOf(entries_[1 + c].samples));
    for (std::uint32_t m = 0; m < M; ++m)
        microphoneSpectra_.push_back(spectrumOf(entries_[1 + C + m].samples));
    // Each group of four positions shares its cabinet's impedance curve.
    for (std::uint32_t g = 0; g < impedances_; ++g)
        impedanceSpectra_.push_back(spectrumOf(entries_[1 + C + M + g].samples));
    // "Flat" is a unit impulse: its spectrum is the unit spectrum.
    unitSpectrum_ = spectrumOf(entries_[0].samples);

    responses_ = silentResponses(getResponseCount());
}

void ImpulseSetBase::addEntry(const CabinetTables::Table& table, Kind kind)
{
    entries_.push_back(
        {table.name, table.samples, CabinetTables::kTableLength, CabinetTables::kTableRate});
    switch (kind) {
    case Kind::Position:
        ++positions_;
        break;
    case Kind::Microphone:
        ++microphones_;
        break;
    case Kind::Impedance:
        ++impedances_;
        break;
    case Kind::None:
        break;
    }
}

bool ImpulseSetBase::prepare(std::uint32_t length, double rate)
{
    if (!(rate > 0.0) || !std::isfinite(rate))
        return false;
    const std::uint32_t L = std::bit_floor(std::clamp<std::uint32_t>(length, 1, longestLength_));
    if (L == preparedLength_ && rate == preparedRate_)
        return false;
    if (rate != preparedRate_ || !prepared_)
        prepared_ = acquirePrepared(rate);
    preparedLength_ = L;
    preparedRate_ = rate;
    stride_ = strideFor(L);
    responses_ = prepared_->samples.data() + prepared_->offsets[std::countr_zero(L)];
    return true;
}

std::shared_ptr<const ImpulseSetBase::Prepared> ImpulseSetBase::acquirePrepared(double rate)
{
    SharedResponses& shared = sharedResponses();
    std::lock_guard lock(shared.mutex);
    std::shared_ptr<const Prepared>& entry = shared.rates[{tables_, longestLength_, rate}];
    if (!entry) {
        auto made = std::make_shared<Prepared>();
        std::size_t total = 0;
        for (std::uint32_t L = 1; L <= longestLength_; L *= 2) {
            made->offsets.push_back(total);
            total += std::size_t(getResponseCount()) * strideFor(L);
        }
        made->samples.assign(total, 0.0f);
        Scratch scratch;
        scratch.product.assign(N, 0.0f);
        scratch.output.assign(std::max<std::uint32_t>(2, longestLength_), 0.0f);
        scratch.bins.assign(N / 2, 0);
        for (std::uint32_t L = 1, k = 0; L <= longestLength_; L *= 2, ++k)
            synthesiseAll(scratch, L, rate, made->samples.data() + made->offsets[k], strideFor(L));
        entry = std::move(made);
    }
    return entry;
}

void ImpulseSetBase::synthesiseAll(Scratch& scratch, std::uint32_t L, double rate, float* out,
                                   std::uint32_t stride) const
{
    // The engine's resampling works with single-precision rates.
    const float target = static_cast<float>(rate);
    planBins(scratch, L, target);
    const std::uint32_t C = positions_, M = microphones_;
    for (std::uint32_t c = 0; c < C; ++c) {
        for (std::uint32_t m = 0; m < M; ++m) {
            const float* spectra[3] = {microphoneSpectra_[m], positionSpectra_[c],
                                       impedanceSpectra_[c / 4]};
            synthesise(scratch, spectra, L, stride, target,
                       out + std::size_t(2 * (M * c + m)) * stride);
        }
        for (std::uint32_t m = 0; m < M; ++m) {
            const float* spectra[3] = {microphoneSpectra_[m], positionSpectra_[c], unitSpectrum_};
            synthesise(scratch, spectra, L, stride, target,
                       out + std::size_t(2 * (M * c + m) + 1) * stride);
        }
    }
    sharedResponses().syntheses.fetch_add(getResponseCount(), std::memory_order_relaxed);
}

void ImpulseSetBase::planBins(Scratch& scratch, std::uint32_t length, float rate) const
{
    std::uint32_t& count = scratch.binCount;
    std::uint32_t* bins = scratch.bins.data();
    // Bin 0 (elements 0 and 1: the DC and Nyquist terms) is always made; this lists the others in
    // increasing order, each once.
    count = 0;
    if (length == 1)
        return;
    const float source = static_cast<float>(getSampleRate());
    const std::uint32_t half = length / 2;
    if (source != rate || length > N) {
        // Output bin j is the cubic through bins i - 1 .. i + 2 around j * step, as far as the
        // source reaches (the resampling holds the last value beyond).
        const double step = static_cast<double>(N) * rate / (static_cast<double>(length) * source);
        const int limit = static_cast<int>(N / 2) - 2;
        std::uint32_t next = 1;
        for (std::uint32_t j = 1; j < half; ++j) {
            const double position = j * step;
            if (!(position < limit))
                break;
            const std::uint32_t i = std::max(1, static_cast<int>(position));
            for (std::uint32_t b = std::max(next, i - 1); b <= i + 2; ++b)
                bins[count++] = b;
            next = std::max(next, i + 3);
        }
    } else {
        const std::uint32_t stride = N / length;
        for (std::uint32_t j = 1; j < half; ++j)
            bins[count++] = j * stride;
    }
}

void ImpulseSetBase::synthesise(Scratch& scratch, const float* const spectra[3], std::uint32_t L,
                                std::uint32_t stride, float rate, float* response) const
{
    // The product bin by bin, in the order and the arithmetic of the engine's resampleImpulse,
    // so that the response is the same to the bit; only the bins read below are made.
    float* product = scratch.product.data();
    product[0] = 1.0f;
    product[1] = 1.0f;
    for (int s = 0; s < 3; ++s) {
        product[0] *= spectra[s][0];
        product[1] *= spectra[s][1];
    }
    for (std::uint32_t k = 0; k < scratch.binCount; ++k) {
        const std::uint32_t b = scratch.bins[k];
        float ar = 1.0f;
        float ai = 0.0f;
        for (int s = 0; s < 3; ++s) {
            const float br = spectra[s][2 * b];
            const float bi = spectra[s][2 * b + 1];
            const float re = ar * br - ai * bi;
            const float im = ar * bi + ai * br;
            ar = re;
            ai = im;
        }
        product[2 * b] = ar;
        product[2 * b + 1] = ai;
    }

    if (L == 1) {
        // One sample holds the whole response folded onto it: the sum of all samples, which is
        // the DC term (the inverse real transform would write a Nyquist term beside it).
        response[0] = product[0];
    } else {
        float* output = scratch.output.data();
        const float source = static_cast<float>(getSampleRate());
        const int n = static_cast<int>(N);
        const int l = static_cast<int>(L);
        if (source != rate || L > N)
            Convolver::resampleSpectrum(product, n, output, l,
                                        static_cast<double>(N) * rate /
                                            (static_cast<double>(L) * source));
        else
            Convolver::decimateSpectrum(product, n, output, l);
        Convolver::inverseTransform(output, l);
        // The inverse transform is unscaled: a transform pair multiplies by L/2.
        const float scale = 1.0f / static_cast<float>(L / 2);
        for (std::uint32_t i = 0; i < L; ++i)
            response[i] = output[i] * scale;
    }
    std::fill(response + L, response + stride, 0.0f);
}

const float* ImpulseSetBase::getPreparedResponse(std::uint32_t index) const
{
    return responses_ + std::size_t(std::min(index, getResponseCount() - 1)) * stride_;
}

const float* ImpulseSetBase::getResponse(std::uint32_t cabIndex, std::uint32_t micIndex,
                                         bool withImpedance) const
{
    const std::uint32_t C = positions_, M = microphones_;
    const std::uint32_t c = std::clamp<std::uint32_t>(cabIndex, 1, C);
    const std::uint32_t m = std::clamp<std::uint32_t>(micIndex - C, 1, M);
    const std::uint32_t index = 2 * ((c - 1) * M + (m - 1)) + (withImpedance ? 0 : 1);
    return getPreparedResponse(index);
}

} // namespace AudioEngine::BorvanQom
