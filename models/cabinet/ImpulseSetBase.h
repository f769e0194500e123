#pragma once

#include "models/cabinet/CabinetTables.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace AudioEngine::BorvanQom {

// A set of stored responses and the responses made from them for the host: for every position c
// and microphone m, the convolution of position, microphone and the cabinet's impedance curve
// (even index 2 (M c + m)) or of position and microphone alone (the odd index after it), folded
// or resampled onto L samples at the host's rate.
//
// The forward transforms of the stored tables never change: they are made once per process, when
// the first set that uses a table is built, and shared read-only by every set. A response is the
// product of three spectra at the bins the length and rate read, transformed back on L points.
//
// The responses themselves never change either once made for a rate: the first set to ask for a
// rate makes them for every length (the powers of two up to the longest) under a process-wide
// lock, and every set of the same tables at that rate reads them. So a preparation at a rate
// already prepared (a change of length) only picks other responses: it neither allocates, locks
// nor transforms, and the audio thread may run it. A preparation at a new rate may take the lock,
// allocate and do the transform work, and belongs where the host changes the rate.
class ImpulseSetBase {
public:
    // Woofer sets give their entries these kinds by index: "Flat", then C positions, M
    // microphones and I impedance curves.
    enum class Kind { None, Position, Microphone, Impedance };

    struct Entry {
        std::string name;
        const float* samples; // CabinetTables::kTableLength samples, read-only
        std::uint32_t length;
        double sampleRate;
    };

    // Transform length of the combination: room for the linear convolution of three tables.
    static constexpr std::uint32_t kSpectrumLength = 32768;

    virtual ~ImpulseSetBase() = default;
    ImpulseSetBase(const ImpulseSetBase&) = delete;
    ImpulseSetBase& operator=(const ImpulseSetBase&) = delete;

    // Rate of the stored tables.
    virtual double getSampleRate() const { return CabinetTables::kTableRate; }

    // Makes the 2 C M responses of `length` samples (the largest power of two not above it, at
    // least 1, at most the longest length) for `rate`. Returns at once, false, when both equal
    // the last preparation's or the rate is not a positive finite number; true when it worked.
    bool prepare(std::uint32_t length, double rate);

    // A prepared response, chosen as the cabinet chooses (all unsigned arithmetic): cabinet c =
    // cabIndex limited to 1 .. C; microphone m = micIndex - C (wrapping below 0) limited to
    // 1 .. M, so micIndex C + 1 .. C + M picks the microphones, C the first, anything below C the
    // last; index 2 ((c - 1) M + (m - 1)), plus 1 without the impedance curve.
    const float* getResponse(std::uint32_t cabIndex, std::uint32_t micIndex,
                             bool withImpedance) const;
    // Response `index` (0 .. 2 C M - 1) of the last preparation.
    const float* getPreparedResponse(std::uint32_t index) const;
    // Every prepared response holds L samples and then zeros up to a multiple of 4 (at least 4):
    // the length to hand to a convolver.
    std::uint32_t getResponseLength() const noexcept { return stride_; }
    std::uint32_t getPreparedLength() const noexcept { return preparedLength_; }
    double getPreparedRate() const noexcept { return preparedRate_; }

    const std::vector<Entry>& getEntries() const noexcept { return entries_; }
    std::uint32_t getResponseCount() const noexcept { return 2 * positions_ * microphones_; }

    // Counters for tests and benchmarks: responses and forward transforms of stored tables made in
    // this process.
    static std::uint64_t getSynthesisCount() noexcept;
    static std::uint64_t getForwardTransformCount() noexcept;

    // A rate's responses of every length, shared by the sets of the same tables.
    struct Prepared;

protected:
    // Takes the kEntryCount tables in set order and allocates for responses of up to
    // `longestLength` samples. Builds the shared spectra of tables not seen before.
    ImpulseSetBase(const CabinetTables::Table* tables, std::uint32_t longestLength);

private:
    struct Scratch;

    void addEntry(const CabinetTables::Table& table, Kind kind);
    // The responses of every length at `rate`, made on first use in the process.
    std::shared_ptr<const Prepared> acquirePrepared(double rate);
    // Makes all 2 C M responses of L samples for `rate` into `out`, each `stride` floats apart.
    void synthesiseAll(Scratch& scratch, std::uint32_t L, double rate, float* out,
                       std::uint32_t stride) const;
    // The bins of the product that the decimation or the interpolation for (L, rate) reads.
    void planBins(Scratch& scratch, std::uint32_t length, float rate) const;
    void synthesise(Scratch& scratch, const float* const spectra[3], std::uint32_t L,
                    std::uint32_t stride, float rate, float* response) const;

    std::vector<Entry> entries_;
    std::uint32_t positions_ = 0;
    std::uint32_t microphones_ = 0;
    std::uint32_t impedances_ = 0;

    // Shared spectra, by entry role.
    std::vector<const float*> positionSpectra_;
    std::vector<const float*> microphoneSpectra_;
    std::vector<const float*> impedanceSpectra_; // one per cabinet (group of four positions)
    const float* unitSpectrum_ = nullptr;

    const CabinetTables::Table* tables_;
    std::uint32_t longestLength_;
    std::shared_ptr<const Prepared> prepared_; // every length at the last prepared rate
    const float* responses_;                   // prepared_'s for the length; zeros before any
    std::uint32_t preparedLength_ = 0;
    double preparedRate_ = 0.0;
    std::uint32_t stride_ = 4;
};

} // namespace AudioEngine::BorvanQom
