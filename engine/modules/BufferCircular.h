#pragma once

#include "engine/core/Buffer.h"

#include <algorithm>
#include <cstdint>

namespace AudioEngine::AudioContainers {

struct BufferCircularSampleTraits {
    using Sample = float;
};

// A ring of samples for delay lines. Resizing hands out a new zero-filled
// block (the aligned allocator clears what it allocates), so a line never plays
// memory it did not write.
template <class Traits = BufferCircularSampleTraits> class BufferCircular {
public:
    // A position in the ring: advancing wraps into 0 .. size - 1.
    class Cursor {
    public:
        explicit Cursor(const BufferCircular& buffer, std::int32_t index = 0)
            : buffer_(&buffer), index_(index)
        {
        }

        void advance(std::int32_t k) noexcept
        {
            const auto size = static_cast<std::int32_t>(buffer_->size());
            if (size == 0)
                return;
            index_ = (index_ + k) % size;
            if (index_ < 0)
                index_ += size;
        }
        std::int32_t index() const noexcept { return index_; }
        void setIndex(std::int32_t index) noexcept { index_ = index; }

    private:
        const BufferCircular* buffer_;
        std::int32_t index_;
    };

    BufferCircular() = default;
    BufferCircular(const BufferCircular&) = delete;
    BufferCircular& operator=(const BufferCircular&) = delete;
    virtual ~BufferCircular() = default;

    // A new block of the given size, zeroed. Allocates: not for the audio thread.
    void resize(std::uint32_t samples)
    {
        if (samples == 0)
            storage_.release();
        else
            storage_.resize(samples);
    }
    void clear() noexcept { std::fill_n(storage_.data(), storage_.size(), 0.0f); }

    std::uint32_t size() const noexcept { return storage_.size(); }
    float* data() const noexcept { return storage_.data(); }

private:
    Buffer storage_;
};

} // namespace AudioEngine::AudioContainers
