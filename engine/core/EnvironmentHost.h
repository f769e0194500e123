#pragma once

#include "engine/core/Buffer.h"
#include "engine/core/Environment.h"
#include "engine/core/Port.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace AudioEngine {

// The root environment that turns host blocks of any length into pieces of at
// most Capacity samples, each a multiple of 4, through per-channel FIFOs that
// delay the output by exactly Delay samples.
//
// Between pieces the input FIFO holds 1..Delay samples and the input fill plus
// the output fill is Delay. A piece is the largest multiple of 4 (at most the
// capacity) that leaves Delay samples in the input FIFO once the new frames are
// in; a tail of fewer frames is served by a piece of 4 over the samples already
// waiting, and a call too short even for that is served from the output FIFO.
template <std::uint32_t Capacity, std::uint32_t Delay> class EnvironmentHost : public Environment {
public:
    using BufferPadType = EnvironmentHostDetails::BufferPadType;
    static constexpr std::uint32_t kMaxChannels = 4;
    static_assert(Capacity % 4 == 0 && Capacity >= 4, "pieces are multiples of four samples");
    static_assert(Capacity + Delay + 4 <= BufferPadType::Buffer::kSamples,
                  "FIFOs must hold a piece");

    std::int32_t getState() const override { return 0; }
    void setState(std::int32_t) override {}
    std::uint32_t getBlockCapacity() const override { return Capacity; }
    std::uint32_t getChunkSize() const override { return chunkSize_; }
    void structureChanged() override {}

    // The FIFO block algorithm; runs processChunk once per piece (pieces of 0
    // samples included: processChunk decides what they cost).
    void processHost(const float* const* inputs, float* const* outputs,
                     std::uint32_t frames) override
    {
        beginCall(inputs, outputs);
        for (std::uint32_t done = 0; done < frames;) {
            const Piece piece = nextPiece(frames - done);
            readInput(done, piece, false);
            processChunk();
            finishPiece(done, piece);
            done += piece.take;
        }
    }

    std::uint32_t getInputFill() const noexcept { return inputFill_; }
    std::uint32_t getOutputFill() const noexcept { return outputFill_; }

protected:
    struct Piece {
        std::uint32_t chunk; // samples the graph processes
        std::uint32_t take;  // host frames entering and leaving
    };

    // Piece size for `remaining` host frames at the current input fill.
    Piece nextPiece(std::uint32_t remaining) const noexcept
    {
        const std::uint32_t fill = inputFill_;
        if (fill + remaining < Delay)
            return {0, remaining}; // too short for any piece: the output FIFO serves it
        std::uint32_t quads = ((fill + remaining) >> 2) - 1;
        if (4 * quads > Capacity)
            quads = Capacity >> 2;
        Piece piece{4 * quads, 4 * quads + Delay - fill};
        if (piece.take == 0)
            piece = {4, remaining};
        return piece;
    }

    void beginCall(const float* const* inputs, float* const* outputs) noexcept
    {
        hostInputs_ = inputs;
        hostOutputArray_ = outputs;
    }

    // Appends take frames of each host input (zeros when silent or missing) to
    // the input FIFOs and shows the FIFO heads to the chain.
    void readInput(std::uint32_t done, Piece piece, bool silent) noexcept
    {
        chunkSize_ = piece.chunk;
        const std::uint32_t channels = std::min<std::uint32_t>(getInputCount(), kMaxChannels);
        for (std::uint32_t k = 0; k < channels; ++k) {
            float* fifo = inputFifo_[k].data();
            const float* host = hostInputs_ ? hostInputs_[k] : nullptr;
            if (silent || !host)
                std::fill_n(fifo + inputFill_, piece.take, 0.0f);
            else
                std::copy_n(host + done, piece.take, fifo + inputFill_);
            if (k < hostOutputs_.size())
                hostOutputs_[k]->setSamples(fifo, piece.chunk);
        }
        inputFill_ += piece.take;
    }

    void scaleInput(std::uint32_t chunk, float gain) noexcept
    {
        const std::uint32_t channels = std::min<std::uint32_t>(getInputCount(), kMaxChannels);
        for (std::uint32_t k = 0; k < channels; ++k) {
            float* fifo = inputFifo_[k].data();
            for (std::uint32_t i = 0; i < chunk; ++i)
                fifo[i] *= gain;
        }
    }

    // Drops the processed chunk from the input FIFOs and moves the chain's
    // output through the output FIFOs to the host (zeros when discarded).
    // The output goes first: a chain that passes its input straight through
    // presents the input FIFO itself, which the shift would move under it.
    void finishPiece(std::uint32_t done, Piece piece, bool discardOutput = false) noexcept
    {
        emitOutput(done, piece, discardOutput);
        shiftInput(piece.chunk);
    }

    void emitOutput(std::uint32_t done, Piece piece, bool discardOutput) noexcept
    {
        const std::uint32_t channels = std::min<std::uint32_t>(getOutputCount(), kMaxChannels);
        for (std::uint32_t k = 0; k < channels; ++k) {
            float* host = hostOutputArray_ ? hostOutputArray_[k] : nullptr;
            float* fifo = outputFifo_[k].data();
            if (discardOutput) {
                // Silence now, and silence kept for what the FIFO still owes.
                if (host)
                    std::fill_n(host + done, piece.take, 0.0f);
                std::fill_n(fifo, outputFill_ + piece.chunk - piece.take, 0.0f);
                continue;
            }
            const float* chain = getOutputBuffer(k);
            if (chain)
                std::copy_n(chain, piece.chunk, fifo + outputFill_);
            else
                std::fill_n(fifo + outputFill_, piece.chunk, 0.0f);
            if (host)
                std::copy_n(fifo, piece.take, host + done);
            std::memmove(fifo, fifo + piece.take,
                         (outputFill_ + piece.chunk - piece.take) * sizeof(float));
        }
        outputFill_ = outputFill_ + piece.chunk - piece.take;
    }

    // Drops the chunk unprocessed; what stays in the FIFOs becomes silence.
    void dropInput(std::uint32_t chunk) noexcept
    {
        inputFill_ -= chunk;
        const std::uint32_t channels = std::min<std::uint32_t>(getInputCount(), kMaxChannels);
        for (std::uint32_t k = 0; k < channels; ++k)
            std::fill_n(inputFifo_[k].data(), inputFill_, 0.0f);
    }

    void shiftInput(std::uint32_t chunk) noexcept
    {
        const std::uint32_t channels = std::min<std::uint32_t>(getInputCount(), kMaxChannels);
        for (std::uint32_t k = 0; k < channels; ++k) {
            float* fifo = inputFifo_[k].data();
            std::memmove(fifo, fifo + chunk, (inputFill_ - chunk) * sizeof(float));
        }
        inputFill_ -= chunk;
    }

    // Host output k presents host input channel k to the chain.
    std::vector<std::unique_ptr<EnvironmentHostDetails::HostOutput>> hostOutputs_;
    std::uint32_t chunkSize_ = 0;
    const float* const* hostInputs_ = nullptr;
    float* const* hostOutputArray_ = nullptr;
    std::array<BufferPadType::Buffer, kMaxChannels> inputFifo_;
    std::uint32_t inputFill_ = Delay;
    std::array<BufferPadType::Buffer, kMaxChannels> outputFifo_;
    std::uint32_t outputFill_ = 0;
};

} // namespace AudioEngine
